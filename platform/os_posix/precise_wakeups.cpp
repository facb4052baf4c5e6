// The timer slack of the calling thread, through prctl.
#include "platform/precise_wakeups.h"

#include <sys/prctl.h>

namespace quillet {

void RequestPreciseWakeups() {
  // One nanosecond: zero would restore the default.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

}  // namespace quillet
