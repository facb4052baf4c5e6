// Telling a host's command line from the screen-saver modes, and reading it.
#include "shell/launch_request.h"

#include <string_view>

#include "shell/command_line.h"

namespace quillet {

namespace {

bool IsHostOption(std::string_view Arg) {
  return Arg.substr(0, 2) == "--" || Arg == "-root" || Arg == "-window-id" || Arg == "-fps";
}

TLaunchRequest Failed(std::string Error) {
  TLaunchRequest R;
  R.Action = TLaunchAction::UsageError;
  R.Error = std::move(Error);
  return R;
}

}  // namespace

TLaunchRequest ParseLaunchRequest(const std::vector<std::string>& Args, const char* HostVariable) {
  const std::string_view Variable = HostVariable ? HostVariable : "";
  TLaunchRequest R;
  if (!Args.empty() && !IsHostOption(Args[0]) && Args[0] != "-h") return R;

  bool Root = false;
  bool NamedWindow = false;
  for (size_t I = 0; I < Args.size(); ++I) {
    const std::string_view Arg = Args[I];
    if (Arg == "--help" || Arg == "-h") {
      R.Action = TLaunchAction::Help;
      return R;
    }
    if (Arg == "--version") {
      R.Action = TLaunchAction::Version;
      return R;
    }
    if (Arg == "--root" || Arg == "-root") {
      Root = true;
      continue;
    }
    if (Arg == "--window-id" || Arg == "-window-id" || Arg.substr(0, 12) == "--window-id=") {
      std::string_view Id;
      if (Arg.size() > 12) {
        Id = Arg.substr(12);
      } else if (I + 1 < Args.size()) {
        Id = Args[++I];
      } else {
        return Failed("missing window id after " + std::string(Arg));
      }
      if (!ParseWindowId(Id, R.HostWindow) || R.HostWindow == 0)
        return Failed("not a window id: '" + std::string(Id) + "'");
      NamedWindow = true;
      continue;
    }
    if (Arg == "--fps" || Arg == "-fps") {
      R.ShowRates = true;
      continue;
    }
    if (Arg == "--ini" || Arg.substr(0, 6) == "--ini=") {
      std::string_view File;
      if (Arg != "--ini")
        File = Arg.substr(6);
      else if (I + 1 < Args.size())
        File = Args[++I];
      if (File.empty()) return Failed("missing file name after --ini");
      R.SettingsFile = File;
      continue;
    }
    std::string Error;
    const int Taken = TakeSettingOption(Args, I, R.Overrides, Error);
    if (Taken < 0) return Failed(Error);
    if (Taken == 0) return Failed("unknown option: " + std::string(Arg));
    I += static_cast<size_t>(Taken) - 1;
  }

  R.Action = TLaunchAction::Hosted;
  if (NamedWindow) {
    R.Target = THostTarget::Window;
  } else if (!Variable.empty()) {
    if (!ParseWindowId(Variable, R.HostWindow) || R.HostWindow == 0)
      return Failed("XSCREENSAVER_WINDOW is not a window id: '" + std::string(Variable) + "'");
    R.Target = THostTarget::Window;
  } else if (Root) {
    R.Target = THostTarget::Root;
  } else if (Args.empty()) {
    R.Action = TLaunchAction::ScreenSaverMode;
  } else {
    return Failed("settings on the command line need --root or --window-id");
  }
  return R;
}

TLaunchRequest ParseLaunchRequest(const std::vector<std::string>& Args, const char* HostVariable,
                                  const TLaunchRules& Rules) {
  if (Rules.Hosting) return ParseLaunchRequest(Args, HostVariable);
  TLaunchRequest R = ParseLaunchRequest(Args, nullptr);
  if (R.Action == TLaunchAction::Hosted)
    return Failed("drawing into another program's window (--root, --window-id and the settings options) "
                  "needs an X11 host; here /p HWND shows a preview in a window");
  return R;
}

std::string LaunchUsage(const TLaunchRules& Rules) {
  if (Rules.Hosting) return LaunchUsage();
  return "usage: quillet.scr [/c[:HWND] | /s | /p[:]HWND | /a]\n"
         "       quillet.scr --help | --version\n"
         "\n"
         "Screen-saver modes (\"-\" may stand for \"/\", letters in either case):\n"
         "  (none), /c        the configuration dialog; /c:HWND owned by window HWND\n"
         "  /s                the screen saver, full screen over every monitor\n"
         "  /p HWND, /p:HWND  a live preview inside window HWND (decimal or 0x hexadecimal);\n"
         "                    without HWND, inside the dialog\n"
         "  /a                ends at once (there is no password)\n"
         "\n"
         "  -h, --help        this text\n"
         "  --version         the version\n";
}

std::string LaunchUsage() {
  return "usage: quillet [/c | /s | /p [ID] | /a]\n"
         "       quillet (--root | --window-id ID) [--fps] [--ini FILE] [SETTING...]\n"
         "       quillet --help | --version\n"
         "\n"
         "Screen-saver modes (\"-\" may stand for \"/\", letters in either case):\n"
         "  (none), /c        the configuration dialog\n"
         "  /s                the screen saver, full screen over every monitor\n"
         "  /p ID             a live preview inside X11 window ID (decimal or 0x hexadecimal);\n"
         "                    without ID, inside the dialog\n"
         "  /a                ends at once (there is no password)\n"
         "\n"
         "Hosted (as xscreensaver runs its programs; the host ends it with a signal):\n"
         "  --root, -root     draw into the window in $XSCREENSAVER_WINDOW, else into the root\n"
         "                    window (or the virtual root of the desktop)\n"
         "  --window-id ID, -window-id ID\n"
         "                    draw into X11 window ID (decimal or 0x hexadecimal)\n"
         "  --fps, -fps       show ticks and frames per second in the bottom-left corner\n"
         "  With XSCREENSAVER_WINDOW set, no arguments (or only settings and --fps) mean --root.\n"
         "\n"
         "Settings, from the built-in defaults (clamped to the dialog's ranges):\n"
         "  --ini FILE        first those of FILE (the dialog saves QUILLET.INI)\n" +
         SettingOptionsUsage() +
         "\n"
         "  -h, --help        this text\n"
         "  --version         the version\n";
}

TErrorReport ErrorReportFor(const TLaunchRequest& Request, const std::vector<std::string>& Args,
                            TCommandLineDialect Dialect) {
  if (Request.Action == TLaunchAction::Hosted) return TErrorReport::Stderr;
  const TCommandLine Line = ParseCommandLine(Args, Dialect);
  return Line.SaverMode == TSaverMode::ModePreview && Line.PreviewParent != 0 ? TErrorReport::Stderr
                                                                              : TErrorReport::Box;
}

bool EndsOnQuitSignals(const TLaunchRequest& Request, const std::vector<std::string>& Args,
                       TCommandLineDialect Dialect) {
  return Request.Action == TLaunchAction::Hosted ||
         ParseCommandLine(Args, Dialect).SaverMode == TSaverMode::ModePreview;
}

}  // namespace quillet
