// Frame bookkeeping: the copy list, the wipe's fill, and where the screen may not be black.
#include "shell/frame_areas.h"

namespace quillet {

void TFrameAreas::SetBounds(int32_t Width, int32_t Height) {
  const TRect Before = FChanged.Bounds();
  FChanged.SetBounds(Width, Height);
  if (FChanged.Bounds() == Before) return;
  FSinceErase.SetBounds(Width, Height);
  FSinceErase.MarkAll();
  FBlack.SetBounds(Width, Height);
  FBlackKnown = false;
}

void TFrameAreas::Erased() {
  // The screen may show what frames showed since the last wipe, and what a paint of the view's
  // own took from the surface since the last frame.
  FBlack.MarkAllOf(FSinceErase);
  for (const TRect& R : FChanged.Rects()) FBlack.Mark(R);
  FBlackKnown = false;
  FSinceErase.Clear();
  FChanged.Clear();
}

const std::vector<TRect>& TFrameAreas::Black() const {
  static const std::vector<TRect> Nothing;
  if (FChanged.Whole()) return Nothing;
  if (!FBlackKnown) {
    FBlackRects = FBlack.Rects();
    FBlackKnown = true;
  }
  return FBlackRects;
}

void TFrameAreas::FrameShown() {
  for (const TRect& R : FChanged.Rects()) FSinceErase.Mark(R);
  FChanged.Clear();
  FBlack.Clear();
  FBlackKnown = false;
}

}  // namespace quillet
