// What the shell's logic asks of a toolkit's event loop: a steady clock and timers whose handlers
// run from the loop, never inside one another.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace quillet {

class ITimer {
 public:
  virtual ~ITimer() = default;
  // A periodic timer fires every Milliseconds (at least 1) on a fixed grid, dropping the periods
  // missed while a handler ran; a one-shot timer fires once, Milliseconds (0 or more) from now.
  // Starting an active timer starts it anew.
  virtual void Start(int32_t Milliseconds) = 0;
  virtual void Stop() = 0;
  virtual bool IsActive() const = 0;
};

class IEventLoop {
 public:
  virtual ~IEventLoop() = default;
  // Nanoseconds of a steady clock.
  virtual int64_t NowNanoseconds() const = 0;
  virtual std::unique_ptr<ITimer> CreatePeriodicTimer(std::function<void()> OnTick) = 0;
  virtual std::unique_ptr<ITimer> CreateOneShotTimer(std::function<void()> OnFire) = 0;
};

}  // namespace quillet
