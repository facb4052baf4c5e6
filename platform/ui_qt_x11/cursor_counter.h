// The cursor display counter: the mouse cursor is blank over the program's windows while the
// counter is below 0.
#pragma once

#include <cstdint>

namespace quillet {

// Adds 1 (Show) or subtracts 1 (hide) and returns the new count, which starts at 0.
int32_t ShowCursor(bool Show);
int32_t CursorDisplayCount();

}  // namespace quillet
