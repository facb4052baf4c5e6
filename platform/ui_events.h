// The plain input that the toolkit-free shell and dialog logic take from a window toolkit: mouse
// buttons, the few virtual keys the rules name, and where the pointer is. Backends translate their
// own events into these.
#pragma once

#include <cstdint>

namespace quillet {

enum class TMouseButton : uint8_t { Left, Middle, Right, Other };

// Virtual-key codes, as the rules know them.
inline constexpr uint32_t VK_PAUSE_KEY = 19;

struct TScreenPoint {
  int32_t X = 0;
  int32_t Y = 0;
  bool operator==(const TScreenPoint&) const = default;
};

}  // namespace quillet
