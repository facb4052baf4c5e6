// The shell's event loop on Qt: a steady clock, a periodic timer on a fixed grid of the monotonic
// clock (a kernel timer where one can be made) and precise one-shot timers.
#pragma once

#include <QElapsedTimer>

#include "shell/event_loop.h"

namespace quillet {

class TQtEventLoop : public IEventLoop {
 public:
  TQtEventLoop();
  int64_t NowNanoseconds() const override { return FClock.nsecsElapsed(); }
  std::unique_ptr<ITimer> CreatePeriodicTimer(std::function<void()> OnTick) override;
  std::unique_ptr<ITimer> CreateOneShotTimer(std::function<void()> OnFire) override;

 private:
  QElapsedTimer FClock;
};

}  // namespace quillet
