// Shows the screen window's surface at the display's pace. The frame tick runs every millisecond,
// far more often than any monitor refreshes: the areas the ticks change are gathered and put on
// screen at most once per refresh of the monitor the view is on (60 Hz when it is not known), and
// at the latest one refresh after they changed. A paused tick changes nothing, so nothing is shown.
#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <cstdint>

#include "platform/changed_areas.h"
#include "platform/frame_pacer.h"
#include "raster/bitmap32.h"

namespace quillet {

class TImage32;

class TFramePresenter {
 public:
  // Takes the area reports of View's surface over from View, until destroyed.
  explicit TFramePresenter(TImage32& View);
  ~TFramePresenter();
  TFramePresenter(const TFramePresenter&) = delete;
  TFramePresenter& operator=(const TFramePresenter&) = delete;

  // Every pixel has just become opaque black: the next frame fills the view black and shows only
  // what is drawn afterwards.
  void Erased();

  const TChangedAreas& Pending() const { return FAreas; }
  uint64_t FramesShown() const { return FFramesShown; }

 private:
  void AreaChanged(const TRect& Area, uint32_t Info);
  void Schedule();
  void ShowFrame();

  TImage32& FView;
  TChangedAreas FAreas;
  TFramePacer FPacer;
  QTimer FTimer;
  QElapsedTimer FClock;
  uint64_t FFramesShown = 0;
  bool FErased = false;
};

}  // namespace quillet
