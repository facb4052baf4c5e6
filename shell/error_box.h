// The runtime utilities' error box: a stop-icon message box whose Abort or Cancel copies the text
// to the clipboard and ends the process with exit code 255, and whose failure ends it with 225.
// The box, the clipboard and the process end are hooks, so that the logic runs without a display.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quillet {

inline constexpr int ExitAborted = 255;
inline constexpr int ExitErrorBoxFailed = 225;

struct TErrorBoxHooks {
  // Shows the box and returns the button pressed, or 0 when it cannot be shown.
  std::function<int(std::string_view Text, std::string_view Caption, uint32_t Flags)> ShowBox;
  std::function<void(std::string_view Text)> SetClipboard;
  // Ends the process; the default closes the instance mutex and exits.
  std::function<void(int ExitCode)> EndProcess;
};

// Replaces the hooks; empty members fall back to: no box (so showing fails), no clipboard, and
// the default process end.
void SetErrorBoxHooks(TErrorBoxHooks Hooks);

// Closes the instance mutex and ends the process with ExitCode.
[[noreturn]] void EndProcessWithCode(int ExitCode);

// Shows Text with the stop icon added to Flags. Cancel or Abort: the text goes to the clipboard
// and the process ends with 255. A box that cannot be shown ends it with 225. Otherwise the
// clock restarts (the time in the box does not count) and the button is returned.
int ErrorBox(std::string_view Caption, std::string_view Text, uint32_t Flags);

}  // namespace quillet
