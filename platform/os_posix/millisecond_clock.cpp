// The millisecond tick count from the monotonic clock.
#include "platform/millisecond_clock.h"

#include <ctime>

namespace quillet {

uint32_t MillisecondTicks() {
  timespec Now{};
  ::clock_gettime(CLOCK_MONOTONIC, &Now);
  const uint64_t Ms = static_cast<uint64_t>(Now.tv_sec) * 1000u + static_cast<uint64_t>(Now.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(Ms);
}

}  // namespace quillet
