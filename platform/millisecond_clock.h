// The system's millisecond tick count, which the runtime utilities' clock reads.
#pragma once

#include <cstdint>

namespace quillet {

// Milliseconds of a clock that never jumps with the wall time, truncated to unsigned 32 bits: it
// wraps after about 49.7 days, and differences taken in unsigned arithmetic stay right.
uint32_t MillisecondTicks();

}  // namespace quillet
