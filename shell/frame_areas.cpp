// Frame bookkeeping: the copy list, the wipe's fill, and where the screen may not be black.
#include "shell/frame_areas.h"

namespace quillet {

void TFrameAreas::SetBounds(int32_t Width, int32_t Height) {
  FChanged.SetBounds(Width, Height);
  FSinceErase.SetBounds(Width, Height);
  FBlack.SetBounds(Width, Height);
}

void TFrameAreas::Erased() {
  // The screen may show what frames showed since the last wipe, and what a paint of the view's
  // own took from the surface since the last frame.
  for (const TRect& R : FSinceErase.Rects()) FBlack.Add(R);
  for (const TRect& R : FChanged.Rects()) FBlack.Add(R);
  FSinceErase.Clear();
  FChanged.Clear();
}

const std::vector<TRect>& TFrameAreas::Black() const {
  static const std::vector<TRect> Nothing;
  return FChanged.Whole() ? Nothing : FBlack.Rects();
}

void TFrameAreas::FrameShown() {
  for (const TRect& R : FChanged.Rects()) FSinceErase.Add(R);
  FChanged.Clear();
  FBlack.Clear();
}

}  // namespace quillet
