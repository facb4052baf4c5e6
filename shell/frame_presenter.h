// Shows the screen window's surface at the display's pace. The frame tick runs every millisecond,
// far more often than any monitor refreshes: the areas the ticks change are gathered and put on
// screen at most once per refresh of the monitor the view is on (60 Hz when it is not known), and
// at the latest one refresh after they changed. A paused tick changes nothing, so nothing is shown.
#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <cstdint>

#include "platform/frame_areas.h"
#include "platform/frame_pacer.h"
#include "raster/bitmap32.h"

namespace quillet {

class TImage32;

class TFramePresenter {
 public:
  // Takes the area reports of View's surface over from their handler, until destroyed.
  explicit TFramePresenter(TImage32& View);
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

  TImage32& FView;
  TAreaChangedEvent FPrevious;  // the surface's handler before, given back at the end
  TFrameAreas FAreas;
  TFramePacer FPacer;
  QTimer FTimer;
  QElapsedTimer FClock;
  uint64_t FFramesShown = 0;
};

}  // namespace quillet
