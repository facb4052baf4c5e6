// The frame timer: started by the first change after a frame, for the time the pace still asks.
#include "shell/frame_presenter.h"

#include <utility>

namespace quillet {

TFramePresenter::TFramePresenter(TBitmap32& Surface, IFrameView& View, IEventLoop& Loop)
    : FSurface(Surface), FView(View), FLoop(Loop), FTimer(Loop.CreateOneShotTimer([this] { ShowFrame(); })) {
  FollowSurfaceSize();
  FAreas.FrameShown();
  FPrevious = std::move(Surface.OnAreaChanged);
  Surface.OnAreaChanged = [this](TBitmap32*, const TRect& Area, uint32_t Info) { AreaChanged(Area, Info); };
}

TFramePresenter::~TFramePresenter() { FSurface.OnAreaChanged = std::move(FPrevious); }

void TFramePresenter::FollowSurfaceSize() { FAreas.SetBounds(FSurface.Width(), FSurface.Height()); }

void TFramePresenter::AreaChanged(const TRect& Area, uint32_t Info) {
  FollowSurfaceSize();
  FAreas.AddReport(Area, Info);
  Schedule();
}

void TFramePresenter::Erased() {
  FollowSurfaceSize();
  FAreas.Erased();
  Schedule();
}

void TFramePresenter::Schedule() {
  if (FAreas.Empty() || FTimer->IsActive()) return;
  constexpr int64_t Millisecond = 1000000;
  const int64_t Wait = FPacer.NextFrameAt() - FLoop.NowNanoseconds();
  FTimer->Start(Wait <= 0 ? 0 : static_cast<int32_t>((Wait + Millisecond / 2) / Millisecond));
}

void TFramePresenter::ShowFrame() {
  // The monitor may change while the window moves.
  FPacer.SetRefreshRate(FView.RefreshRate());
  FollowSurfaceSize();
  FView.PresentAreas(FAreas.Copy(), FAreas.Black());
  FAreas.FrameShown();
  FPacer.FrameShown(FLoop.NowNanoseconds());
  ++FFramesShown;
}

}  // namespace quillet
