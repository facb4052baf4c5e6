// A timerfd, watched by the event loop, where the kernel offers one; the toolkit's precise timer
// where it does not.
#include "platform/ui_qt_x11/periodic_timer.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace quillet {

TPeriodicTimer::TPeriodicTimer(std::function<void()> OnTick) : FOnTick(std::move(OnTick)) {
  FTimerFd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (FTimerFd >= 0) {
    FNotifier = std::make_unique<QSocketNotifier>(FTimerFd, QSocketNotifier::Read);
    FNotifier->setEnabled(false);
    QObject::connect(FNotifier.get(), &QSocketNotifier::activated, [this] {
      // The count of periods since the last read; any number of them makes one tick.
      uint64_t Expirations = 0;
      if (read(FTimerFd, &Expirations, sizeof Expirations) == sizeof Expirations && FActive) FOnTick();
    });
  }
  FFallback.setTimerType(Qt::PreciseTimer);
  QObject::connect(&FFallback, &QTimer::timeout, [this] { FOnTick(); });
}

TPeriodicTimer::~TPeriodicTimer() {
  FNotifier.reset();
  if (FTimerFd >= 0) close(FTimerFd);
}

void TPeriodicTimer::SetInterval(int Milliseconds) { FInterval = std::max(Milliseconds, 1); }

void TPeriodicTimer::Start() {
  Stop();
  FActive = true;
  if (FTimerFd >= 0) {
    const timespec Period{FInterval / 1000, (FInterval % 1000) * 1000000L};
    const itimerspec Schedule{Period, Period};
    if (timerfd_settime(FTimerFd, 0, &Schedule, nullptr) == 0) {
      FNotifier->setEnabled(true);
      return;
    }
  }
  FFallback.start(FInterval);
}

void TPeriodicTimer::Stop() {
  FActive = false;
  FFallback.stop();
  if (FTimerFd < 0) return;
  FNotifier->setEnabled(false);
  // Disarming also forgets the periods that expired unread.
  const itimerspec Disarm{};
  timerfd_settime(FTimerFd, 0, &Disarm, nullptr);
}

}  // namespace quillet
