// What the command line asks for before any window exists: the usage or the version, a saver
// drawing into a window that a host owns (xscreensaver and similar hosts), or one of the
// screen-saver modes of TCommandLine. Plain C++, so that it can be tested and fuzzed alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/setting_options.h"
#include "shell/command_line.h"

namespace quillet {

enum class TLaunchAction : uint8_t {
  ScreenSaverMode,  // /s, /c, /p ID, /a, none: read by ParseCommandLine
  Help,
  Version,
  Hosted,
  UsageError,
};

enum class THostTarget : uint8_t {
  Window,  // HostWindow names it
  Root,    // the root window, or the virtual root a desktop announces
};

struct TLaunchRequest {
  TLaunchAction Action = TLaunchAction::ScreenSaverMode;
  THostTarget Target = THostTarget::Root;
  uint32_t HostWindow = 0;
  TSettingOverrides Overrides;
  // The settings file to start from (--ini FILE); empty: the built-in defaults.
  std::string SettingsFile;
  bool ShowRates = false;  // --fps, -fps: ticks and frames per second in a corner
  std::string Error;  // UsageError: one line, without the program's name
};

// How a platform's screen-saver machinery and hosts start a saver.
struct TLaunchRules {
  TCommandLineDialect Dialect;
  // Hosts that hand the saver a window of theirs to draw into: --root, --window-id and
  // XSCREENSAVER_WINDOW (X11). Without them such a command line is a usage error and the
  // variable means nothing.
  bool Hosting = true;
};

// Args are the arguments after the program's path; HostVariable is the value of
// XSCREENSAVER_WINDOW, null (or empty) when it is not set.
//
// A command line is hosted when it holds --root, -root, --window-id ID or -window-id ID, or when
// HostVariable is set and the arguments are only setting options, --ini FILE and --fps (or
// none); -fps is --fps. --window-id names the
// window; otherwise HostVariable does; otherwise the root. A first argument that is neither
// --help, -h, --version nor a long option (/s, -s, x, ...) is a screen-saver mode.
TLaunchRequest ParseLaunchRequest(const std::vector<std::string>& Args, const char* HostVariable);
// The same under a platform's rules.
TLaunchRequest ParseLaunchRequest(const std::vector<std::string>& Args, const char* HostVariable,
                                  const TLaunchRules& Rules);

// The usage of every mode and option, for --help.
std::string LaunchUsage();
// The usage of what a platform's rules allow.
std::string LaunchUsage(const TLaunchRules& Rules);

// How an error that reaches the event loop is reported.
enum class TErrorReport : uint8_t {
  Box,     // the error box, and the program runs on: a dialog is at hand
  Stderr,  // one line on stderr and exit code 1: a host owns the window, and nobody sees a box
};

// Box for the screen-saver modes, Stderr when hosted and for a preview in a host's window (/p ID).
TErrorReport ErrorReportFor(const TLaunchRequest& Request, const std::vector<std::string>& Args,
                            TCommandLineDialect Dialect = {});

// Whether SIGTERM, SIGINT and SIGHUP end the run normally (exit code 0), as hosts stop their
// savers and previews: hosted and /p. The other modes keep the signals' default action.
bool EndsOnQuitSignals(const TLaunchRequest& Request, const std::vector<std::string>& Args,
                       TCommandLineDialect Dialect = {});

}  // namespace quillet
