// Shows the screen window's surface at the display's pace. The frame tick runs every millisecond,
// far more often than any monitor refreshes: the areas the ticks change are gathered and put on
// screen at most once per refresh of the monitor the view is on (60 Hz when it is not known), and
// at the latest one refresh after they changed. A paused tick changes nothing, so nothing is shown.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "raster/bitmap32.h"
#include "shell/event_loop.h"
#include "shell/frame_areas.h"
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
  // Takes the area reports of Surface over from their handler, until destroyed.
  TFramePresenter(TBitmap32& Surface, IFrameView& View, IEventLoop& Loop);
  ~TFramePresenter();
  TFramePresenter(const TFramePresenter&) = delete;
  TFramePresenter& operator=(const TFramePresenter&) = delete;

  // Every pixel has just become opaque black: the next frame fills black what the view may still
  // show of the page before, and shows only what is drawn afterwards.
  void Erased();

  const TChangedAreas& Pending() const { return FAreas.Changed(); }
  uint64_t FramesShown() const { return FFramesShown; }

 private:
  void AreaChanged(const TRect& Area, uint32_t Info);
  void Schedule();
  void ShowFrame();
  void FollowSurfaceSize();

  TBitmap32& FSurface;
  IFrameView& FView;
  IEventLoop& FLoop;
  TAreaChangedEvent FPrevious;  // the surface's handler before, given back at the end
  TFrameAreas FAreas;
  TFramePacer FPacer;
  std::unique_ptr<ITimer> FTimer;
  uint64_t FFramesShown = 0;
};

}  // namespace quillet
