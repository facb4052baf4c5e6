// Start-up order, mode dispatch, the hosted saver, the error path and the exit code.
#include "shell/program.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "config/config_form.h"
#include "config/settings_file.h"
#include "platform/input_file.h"
#include "platform/message_box_codes.h"
#include "platform/profile_location.h"
#include "raster/engine_init.h"
#include "shell/instance_mutex.h"
#include "shell/sys_util.h"

namespace quillet {

tScreenForm* ScreenForm = nullptr;
tConfigForm* ConfigForm = nullptr;

namespace {

// What one run holds: the backend, the live settings every mode reads, and the two windows with
// their toolkit windows.
struct TRun {
  IProgramBackend* Backend = nullptr;
  DemoSettings LiveSettings;
  std::unique_ptr<tScreenForm> Screen;
  std::unique_ptr<IScreenWindow> ScreenWindow;
  std::unique_ptr<tConfigForm> Config;
  std::unique_ptr<IConfigWindow> ConfigWindow;
  bool ScreenIsMain = false;
  TLaunchRules Rules;
  TErrorReport ErrorReport = TErrorReport::Box;
  bool Failed = false;
};

TRun Run;

void DestroyForms() {
  // The windows stop reporting to the forms, the forms go, then the windows.
  ScreenForm = nullptr;
  ConfigForm = nullptr;
  if (Run.ScreenWindow) Run.ScreenWindow->DetachForm();
  if (Run.ConfigWindow) Run.ConfigWindow->DetachForm();
  if (Run.Config) Run.Config->SetView(nullptr);
  Run.Screen.reset();
  Run.ScreenWindow.reset();
  Run.Config.reset();
  Run.ConfigWindow.reset();
}

// Outside the event loop the toolkit is ended first, so that text the error box put on the
// clipboard is handed on to whoever keeps it after the program.
void EndProcess(int ExitCode) {
  CloseInstanceMutex();
  if (Run.Backend && !Run.Backend->EventLoopRunning()) {
    DestroyForms();
    Run.Backend->StopToolkit();
  }
  std::exit(ExitCode);
}

void Quit(int ExitCode) { Run.Backend->QuitEventLoop(ExitCode); }

void CreateScreenForm() {
  Run.Screen = std::make_unique<tScreenForm>(Run.Backend->EventLoop());
  Run.ScreenWindow = Run.Backend->CreateScreenWindow(*Run.Screen);
  Run.Screen->AttachWindow(*Run.ScreenWindow);
  Run.Screen->OnSurfaceError = &ReportRunError;
  Run.Screen->SetSettings(&Run.LiveSettings);
  ScreenForm = Run.Screen.get();
}

void CreateConfigForm() {
  Run.Config = std::make_unique<tConfigForm>(Run.LiveSettings, ProfileFilePath(SettingsFileName),
                                             ProfileReadPath(SettingsFileName));
  Run.ConfigWindow = Run.Backend->CreateConfigWindow(*Run.Config);
  Run.Config->SetView(Run.ConfigWindow.get());
  Run.Config->FormCreate();
  ConfigForm = Run.Config.get();
}

// Hosted: the built-in defaults, a settings file only when one is named, then the options. The
// host's own settings decide what is drawn.
bool CreateHostedForm(const TLaunchRequest& Request, std::string& Error) {
  if (!Request.SettingsFile.empty()) LoadSettings(Run.LiveSettings, Request.SettingsFile);
  Request.Overrides.ApplyTo(Run.LiveSettings);
  CreateScreenForm();
  Run.Screen->SetHosted();
  Run.Screen->ShowRates(Request.ShowRates);
  if (!Run.Backend->PlaceHosted(*Run.Screen, Request, Error)) return false;
  Run.Screen->OnClosed = [] { Quit(0); };
  return true;
}

void ShowMainWindow(bool Hosted) {
  if (Hosted)
    Run.Backend->ShowHosted(*Run.Screen);
  else if (Run.ScreenIsMain)
    Run.Screen->Show();
  else
    Run.ConfigWindow->ShowAndActivate();
}

}  // namespace

void ReportRunError(std::string_view What) {
  if (Run.ErrorReport == TErrorReport::Stderr) {
    if (Run.Failed) return;
    Run.Failed = true;
    std::fprintf(stderr, "quillet: %.*s\n", static_cast<int>(What.size()), What.data());
    Quit(ExitFailed);
    return;
  }
  // One box at a time: the box's own event loop may meet the same failure again.
  static bool Showing = false;
  if (Showing) return;
  Showing = true;
  ErrorBox(ApplicationTitle, What, MB_OK);
  Showing = false;
}

void CheckSingleInstance(const std::vector<std::string>& Args) {
  if (CreateInstanceMutex(SessionInstanceName(Runtime().ProgramBaseName, Args, Run.Backend->InstanceSession())))
    EndProcess(ExitAlreadyRunning);
}

bool CreateFormsForMode(const std::vector<std::string>& Args) {
  const TCommandLine Command = ParseCommandLine(Args, Run.Rules.Dialect);
  bool& ScreenIsMain = Run.ScreenIsMain;
  switch (Command.SaverMode) {
    case TSaverMode::ModeChangePassword:
      return false;
    case TSaverMode::ModeNone:
    case TSaverMode::ModeConfig:
      CreateConfigForm();
      CreateScreenForm();
      break;
    case TSaverMode::ModeSaver:
    case TSaverMode::ModePreview:
      CreateScreenForm();
      CreateConfigForm();
      ScreenIsMain = true;
      break;
  }

  Run.Config->SetScreen(Run.Screen.get());
  Run.Screen->OnShowConfig = [] { Run.ConfigWindow->ShowAndActivate(); };
  if (ScreenIsMain) {
    Run.Screen->OnClosed = [] { Quit(0); };
    // A window manager may hand the focus elsewhere when the dialog closes; without it, keys and
    // movement would no longer end the saver.
    Run.Config->OnClosed = [] {
      if (Run.ScreenWindow->IsVisible() && Run.Screen->PreviousParent() == 0) Run.Screen->Show();
    };
  } else {
    Run.Config->OnClosed = [] { Quit(0); };
  }

  if (Command.SaverMode == TSaverMode::ModeSaver) {
    Run.ScreenWindow->SetLook(TWindowLook::FullScreen);
  } else if (Command.SaverMode == TSaverMode::ModePreview) {
    uint32_t Host = Command.PreviewParent;
    if (Host == 0) {
      // Without a host the preview is drawn inside the dialog.
      Run.ConfigWindow->ShowAndActivate();
      Host = Run.ConfigWindow->NativeHandle();
    }
    Run.Screen->SetParentWindow(Host);
    if (Command.PreviewParent != 0 && Run.Screen->PreviousParent() != 0) Run.ScreenWindow->FollowHostSize(Host);
    // A preview inside the dialog would run on unseen once the dialog is closed: it ends with it.
    if (Command.PreviewParent == 0 && Run.Screen->PreviousParent() != 0)
      Run.Config->OnClosed = [] { Run.ScreenWindow->Close(); };
  }

  // The dialog of a "/c:HWND" belongs to that window.
  if (Command.DialogOwner != 0) Run.ConfigWindow->SetOwner(Command.DialogOwner);
  Run.Config->AppendToCaption(Command.ModeText);
  return true;
}

int RunProgram(IProgramBackend& Backend, const std::vector<std::string>& Args) {
  Run.Backend = &Backend;
  Run.Rules = Backend.LaunchRules();
  const TLaunchRules& Rules = Run.Rules;
  const char* HostVariable = std::getenv("XSCREENSAVER_WINDOW");
  const TLaunchRequest Request = ParseLaunchRequest(Args, HostVariable, Rules);
  // A host may stop what it has just started: its requests are caught before anything else, and
  // end the run once the event loop runs.
  const bool QuitOnRequest =
      Request.Action != TLaunchAction::UsageError && EndsOnQuitSignals(Request, Args, Rules.Dialect);
  if (QuitOnRequest) Backend.CatchQuitRequests();
  InitRasterEngine();
  switch (Request.Action) {
    case TLaunchAction::Help:
      std::fputs(LaunchUsage(Rules).c_str(), stdout);
      return 0;
    case TLaunchAction::Version:
      std::printf("quillet %s\n", QUILLET_VERSION);
      return 0;
    case TLaunchAction::UsageError:
      std::fprintf(stderr, "quillet: %s (see quillet --help)\n", Request.Error.c_str());
      return ExitUsage;
    case TLaunchAction::ScreenSaverMode:
    case TLaunchAction::Hosted:
      break;
  }
  const bool Hosted = Request.Action == TLaunchAction::Hosted;
  std::string Problem;
  if (!Request.SettingsFile.empty() && !CanReadRegularFile(Request.SettingsFile, Problem)) {
    std::fprintf(stderr, "quillet: cannot read %s: %s\n", Request.SettingsFile.c_str(), Problem.c_str());
    return ExitUsage;
  }
  if (!Backend.ReachDisplay(Problem)) {
    // Changing the password needs no window, hence no display.
    if (!Hosted && ParseCommandLine(Args, Rules.Dialect).SaverMode == TSaverMode::ModeChangePassword) return 0;
    std::fprintf(stderr, "quillet: %s\n", Problem.c_str());
    return ExitFailed;
  }

  Backend.StartToolkit(&ReportRunError);
  Run.ErrorReport = ErrorReportFor(Request, Args, Rules.Dialect);
  TErrorBoxHooks Hooks = Backend.ErrorBoxHooks();
  Hooks.EndProcess = &EndProcess;
  SetErrorBoxHooks(std::move(Hooks));
  SetCursorCounter([&Backend](bool Show) { return Backend.ShowCursor(Show); });
  if (QuitOnRequest) Backend.HandleQuitRequests([] { Quit(0); });
  RuntimeStartup(Backend.StartupServices());

  bool HasWindows = false;
  int ExitCode = 0;
  if (Hosted) {
    // A host may run one copy per monitor and one for its preview: no instance lock.
    HasWindows = CreateHostedForm(Request, Problem);
    if (!HasWindows) {
      std::fprintf(stderr, "quillet: %s\n", Problem.c_str());
      ExitCode = ExitFailed;
    }
  } else {
    CheckSingleInstance(Args);
    HasWindows = CreateFormsForMode(Args);
  }
  if (HasWindows) {
    Backend.SetApplicationTitle(ApplicationTitle);
    ShowMainWindow(Hosted);
    Backend.RunEventLoop();
    if (Run.Failed) ExitCode = ExitFailed;
  }
  DestroyForms();
  Backend.StopToolkit();
  RuntimeShutdown();
  Run.Backend = nullptr;
  return ExitCode;
}

}  // namespace quillet
