// The command line as the screen-saver machinery passes it: the mode switch, the preview's host
// window, and the name under which only one copy of the program may run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

enum class TSaverMode : uint8_t {
  ModeNone = 0,
  ModeConfig = 1,
  ModeSaver = 2,
  ModePreview = 3,
  ModeChangePassword = 4,
};

struct TCommandLine {
  TSaverMode SaverMode = TSaverMode::ModeNone;
  // The first argument in upper case (ASCII letters only); shown after the dialog's caption.
  std::string ModeText;
  // The second argument as a window id; 0 when absent or not a window id (see ParseWindowId).
  uint32_t PreviewParent = 0;
  // The window that owns the dialog ("/c:HWND" where the dialect reads it); 0 for none.
  uint32_t DialogOwner = 0;
};

// How a platform's screen-saver machinery writes the command line.
struct TCommandLineDialect {
  // Windows also writes the window after a colon: "/p:HWND" names the preview's host (before a
  // second argument), "/c:HWND" the dialog's owner. Elsewhere the colon's text is ignored.
  bool WindowAfterColon = false;
};

// Args are the arguments after the program's path.
TCommandLine ParseCommandLine(const std::vector<std::string>& Args, TCommandLineDialect Dialect = {});

// A window id as X11 tools print them: decimal digits, or "0x" and hexadecimal digits, within 32
// bits; no sign, blanks or other characters.
bool ParseWindowId(std::string_view S, uint32_t& Id);

// The base name followed by the first two bytes of the first argument exactly as typed.
std::string InstanceName(std::string_view ProgramBaseName, const std::vector<std::string>& Args);

// The login session of an X display name ($DISPLAY, "[host]:number[.screen]"): the host and the
// display number. The screen does not count, and "unix" is the local host, so ":0", ":0.1" and
// "unix:0" are one session. A name of another form stands as it is; empty stays empty.
std::string DisplaySession(std::string_view Display);

// InstanceName of the session: one copy of a mode per user and display. Followed by "@" and the
// session when there is one.
std::string SessionInstanceName(std::string_view ProgramBaseName, const std::vector<std::string>& Args,
                                std::string_view Display);

}  // namespace quillet
