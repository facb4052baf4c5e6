// A timer that fires every Interval milliseconds on the thread's event loop, on a fixed grid of
// the monotonic clock: a late tick does not push the later ones back. The toolkit's own timer
// starts its next period from the moment a late tick was handled, and so at a 1 ms period falls
// short of 1000 ticks a second by the wake-up latency of every tick. Periods missed while a tick
// ran are dropped, not caught up.
#pragma once

#include <QSocketNotifier>
#include <QTimer>

#include <functional>
#include <memory>

namespace quillet {

class TPeriodicTimer {
 public:
  explicit TPeriodicTimer(std::function<void()> OnTick);
  ~TPeriodicTimer();
  TPeriodicTimer(const TPeriodicTimer&) = delete;
  TPeriodicTimer& operator=(const TPeriodicTimer&) = delete;

  void SetInterval(int Milliseconds);  // at least 1; takes effect at the next Start
  void Start();                        // the first tick one interval from now
  void Stop();
  bool IsActive() const { return FActive; }

 private:
  std::function<void()> FOnTick;
  int FInterval = 1;
  bool FActive = false;
  int FTimerFd = -1;  // a kernel periodic timer; -1 where none could be made
  std::unique_ptr<QSocketNotifier> FNotifier;
  QTimer FFallback;
};

}  // namespace quillet
