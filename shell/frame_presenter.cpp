// The frame timer: started by the first change after a frame, for the time the pace still asks.
#include "shell/frame_presenter.h"

#include <QScreen>

#include "platform/image_view.h"

namespace quillet {

TFramePresenter::TFramePresenter(TImage32& View) : FView(View) {
  FClock.start();
  FTimer.setSingleShot(true);
  FTimer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&FTimer, &QTimer::timeout, [this] { ShowFrame(); });
  TBitmap32& Surface = View.Bitmap();
  FAreas.SetBounds(Surface.Width(), Surface.Height());
  FAreas.FrameShown();
  FPrevious = std::move(Surface.OnAreaChanged);
  Surface.OnAreaChanged = [this](TBitmap32*, const TRect& Area, uint32_t Info) { AreaChanged(Area, Info); };
}

TFramePresenter::~TFramePresenter() { FView.Bitmap().OnAreaChanged = std::move(FPrevious); }

void TFramePresenter::AreaChanged(const TRect& Area, uint32_t Info) {
  const TBitmap32& Surface = FView.Bitmap();
  FAreas.SetBounds(Surface.Width(), Surface.Height());
  FAreas.AddReport(Area, Info);
  Schedule();
}

void TFramePresenter::Erased() {
  const TBitmap32& Surface = FView.Bitmap();
  FAreas.SetBounds(Surface.Width(), Surface.Height());
  FAreas.Erased();
  Schedule();
}

void TFramePresenter::Schedule() {
  if (FAreas.Empty() || FTimer.isActive()) return;
  constexpr int64_t Millisecond = 1000000;
  const int64_t Wait = FPacer.NextFrameAt() - FClock.nsecsElapsed();
  FTimer.start(Wait <= 0 ? 0 : static_cast<int>((Wait + Millisecond / 2) / Millisecond));
}

void TFramePresenter::ShowFrame() {
  // The monitor may change while the window moves.
  const QScreen* Monitor = FView.screen();
  FPacer.SetRefreshRate(Monitor ? Monitor->refreshRate() : 0);
  const TBitmap32& Surface = FView.Bitmap();
  FAreas.SetBounds(Surface.Width(), Surface.Height());
  FView.PresentAreas(FAreas.Copy(), FAreas.Black());
  FAreas.FrameShown();
  FPacer.FrameShown(FClock.nsecsElapsed());
  ++FFramesShown;
}

}  // namespace quillet
