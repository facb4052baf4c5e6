// Timers of the shell's event loop on Qt.
#include "platform/ui_qt_x11/qt_event_loop.h"

#include <QTimer>

#include "platform/ui_qt_x11/periodic_timer.h"

namespace quillet {

namespace {

class TPeriodic : public ITimer {
 public:
  explicit TPeriodic(std::function<void()> OnTick) : FTimer(std::move(OnTick)) {}
  void Start(int32_t Milliseconds) override {
    FTimer.SetInterval(Milliseconds);
    FTimer.Start();
  }
  void Stop() override { FTimer.Stop(); }
  bool IsActive() const override { return FTimer.IsActive(); }

 private:
  TPeriodicTimer FTimer;
};

class TOneShot : public ITimer {
 public:
  explicit TOneShot(std::function<void()> OnFire) {
    FTimer.setSingleShot(true);
    FTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&FTimer, &QTimer::timeout, std::move(OnFire));
  }
  void Start(int32_t Milliseconds) override { FTimer.start(Milliseconds < 0 ? 0 : Milliseconds); }
  void Stop() override { FTimer.stop(); }
  bool IsActive() const override { return FTimer.isActive(); }

 private:
  QTimer FTimer;
};

}  // namespace

TQtEventLoop::TQtEventLoop() { FClock.start(); }

std::unique_ptr<ITimer> TQtEventLoop::CreatePeriodicTimer(std::function<void()> OnTick) {
  return std::make_unique<TPeriodic>(std::move(OnTick));
}

std::unique_ptr<ITimer> TQtEventLoop::CreateOneShotTimer(std::function<void()> OnFire) {
  return std::make_unique<TOneShot>(std::move(OnFire));
}

}  // namespace quillet
