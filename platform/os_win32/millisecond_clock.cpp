// The millisecond tick count of Windows.
#include "platform/millisecond_clock.h"

#include <windows.h>

namespace quillet {

uint32_t MillisecondTicks() { return ::GetTickCount(); }

}  // namespace quillet
