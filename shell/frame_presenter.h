// Shows the screen window's surface at the display's pace. The frame tick runs every millisecond,
// far more often than any monitor refreshes: the damage the ticks report is gathered and put on
// screen at most once per refresh of the monitor the view is on (60 Hz when it is not known), and
// at the latest one refresh after it arrived. A paused tick changes nothing, so nothing is shown.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "shell/event_loop.h"
#include "shell/frame_damage.h"
#include "shell/frame_pacer.h"

namespace quillet {

// Where frames go: a toolkit's view of the surface.
class IFrameView {
 public:
  virtual ~IFrameView() = default;
  // Shows Copy (surface pixels) now, after filling Black opaque black: outside Copy the surface is
  // black there.
  virtual void PresentAreas(const std::vector<TRect>& Copy, const std::vector<TRect>& Black) = 0;
  // The refresh rate of the monitor the view is on, in hertz; 0 when not known.
  virtual double RefreshRate() const = 0;
};

class TFramePresenter {
 public:
  // Shows what Damage gathers, and clears it with every frame; hears of new damage until destroyed.
  TFramePresenter(TFrameDamage& Damage, IFrameView& View, IEventLoop& Loop);
  ~TFramePresenter();
  TFramePresenter(const TFramePresenter&) = delete;
  TFramePresenter& operator=(const TFramePresenter&) = delete;

  const TChangedAreas& Pending() const { return FDamage.Areas().Changed(); }
  uint64_t FramesShown() const { return FFramesShown; }

 private:
  void Schedule();
  void ShowFrame();

  TFrameDamage& FDamage;
  IFrameView& FView;
  IEventLoop& FLoop;
  TFramePacer FPacer;
  std::unique_ptr<ITimer> FTimer;
  uint64_t FFramesShown = 0;
};

}  // namespace quillet
