// Timer wake-ups on Windows: the system timer's resolution raised to 1 ms for the process (it
// returns to normal when the process ends), so that waits end within a millisecond.
#include "platform/precise_wakeups.h"

#include <windows.h>
#include <mmsystem.h>

#include <atomic>

namespace quillet {

void RequestPreciseWakeups() {
  static std::atomic<bool> Requested{false};
  if (!Requested.exchange(true)) ::timeBeginPeriod(1);
}

}  // namespace quillet
