// The input rules: a right click anywhere brings up the dialog; while the full-screen or embedded
// saver has the focus, Alt keys and left or middle clicks close it, and so does moving the pointer
// more than the tolerated distance from where it was when the saver was shown (not in a preview).
#include "shell/input_rules.h"

#include <cstdlib>

namespace quillet {

TInputActions AppMessageActions(TAppMessage Message, const TInputFacts& Facts) {
  TInputActions Actions;
  if (Message == TAppMessage::RightButtonDown) Actions.ShowConfig = true;
  if (!Facts.ScreenHasFocus || Facts.WindowedTest) return Actions;
  switch (Message) {
    case TAppMessage::SystemKeyDown:
    case TAppMessage::SystemKeyUp:
    case TAppMessage::LeftButtonDown:
    case TAppMessage::MiddleButtonDown:
      Actions.Close = true;
      break;
    case TAppMessage::MouseMove: {
      if (Facts.Embedded) break;
      const int64_t Dx = int64_t{Facts.CursorPos.X} - Facts.StartCursorPos.X;
      const int64_t Dy = int64_t{Facts.CursorPos.Y} - Facts.StartCursorPos.Y;
      Actions.Close = std::llabs(Dx) > CursorDistanceTolerated || std::llabs(Dy) > CursorDistanceTolerated;
      break;
    }
    default:
      break;
  }
  return Actions;
}

TInputActions KeyDownActions(uint32_t VirtualKey) {
  TInputActions Actions;
  Actions.TogglePause = VirtualKey == VK_PAUSE_KEY;
  return Actions;
}

TInputActions KeyPressActions(char32_t Character) {
  TInputActions Actions;
  if (Character == U'p')
    Actions.TogglePause = true;
  else
    Actions.Close = true;
  return Actions;
}

}  // namespace quillet
