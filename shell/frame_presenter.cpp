// The frame timer: started by the first damage after a frame, for the time the pace still asks.
#include "shell/frame_presenter.h"

namespace quillet {

TFramePresenter::TFramePresenter(TFrameDamage& Damage, IFrameView& View, IEventLoop& Loop)
    : FDamage(Damage), FView(View), FLoop(Loop), FTimer(Loop.CreateOneShotTimer([this] { ShowFrame(); })) {
  FDamage.OnPending = [this] { Schedule(); };
  Schedule();
}

TFramePresenter::~TFramePresenter() { FDamage.OnPending = nullptr; }

void TFramePresenter::Schedule() {
  if (FDamage.Empty() || FTimer->IsActive()) return;
  constexpr int64_t Millisecond = 1000000;
  const int64_t Wait = FPacer.NextFrameAt() - FLoop.NowNanoseconds();
  FTimer->Start(Wait <= 0 ? 0 : static_cast<int32_t>((Wait + Millisecond / 2) / Millisecond));
}

void TFramePresenter::ShowFrame() {
  // The monitor may change while the window moves.
  FPacer.SetRefreshRate(FView.RefreshRate());
  const TFrameAreas& Areas = FDamage.Areas();
  FView.PresentAreas(Areas.Copy(), Areas.Black());
  FDamage.FrameShown();
  FPacer.FrameShown(FLoop.NowNanoseconds());
  ++FFramesShown;
}

}  // namespace quillet
