// The screen window's input rules as plain decisions: what a key, a typed character or a message
// seen by the application-wide filter does to the screen saver. The screen window gathers the
// facts, a toolkit's backend delivers the events.
#pragma once

#include <cstdint>

#include "platform/ui_events.h"

namespace quillet {

// The messages the application-wide filter acts on; everything else is Other.
enum class TAppMessage : uint8_t {
  RightButtonDown,
  LeftButtonDown,
  MiddleButtonDown,
  SystemKeyDown,  // a key pressed with Alt, or the Alt key itself
  SystemKeyUp,
  MouseMove,
  Other,
};

struct TInputFacts {
  bool ScreenHasFocus = false;  // the screen window has the keyboard focus
  bool WindowedTest = false;
  bool Embedded = false;  // a preview inside a host window
  TScreenPoint StartCursorPos;
  TScreenPoint CursorPos;  // where the pointer is now, for MouseMove
};

struct TInputActions {
  bool ShowConfig = false;  // bring up the dialog and show the cursor
  bool TogglePause = false;
  bool Close = false;
  bool operator==(const TInputActions&) const = default;
};

// Movement up to this many pixels on each axis is tolerated.
inline constexpr int32_t CursorDistanceTolerated = 10;

TInputActions AppMessageActions(TAppMessage Message, const TInputFacts& Facts);
// The Pause key pauses; no other key does anything here.
TInputActions KeyDownActions(uint32_t VirtualKey);
// A lower-case p pauses; every other typed character closes.
TInputActions KeyPressActions(char32_t Character);

}  // namespace quillet
