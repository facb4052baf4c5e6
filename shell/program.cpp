// Start-up order, mode dispatch and the message loop.
#include "shell/program.h"

#include <QApplication>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "config/config_form.h"
#include "config/settings_file.h"
#include "platform/clipboard.h"
#include "platform/display_check.h"
#include "platform/display_loss.h"
#include "platform/fullscreen_span.h"
#include "platform/guarded_application.h"
#include "platform/input_file.h"
#include "platform/message_box.h"
#include "platform/monitor_layout.h"
#include "platform/profile_location.h"
#include "platform/qt_text_engine.h"
#include "platform/quit_signal_pipe.h"
#include "platform/quit_signals.h"
#include "platform/taskbar_hint.h"
#include "raster/engine_init.h"
#include "shell/error_box.h"
#include "shell/detail/host_mode.h"
#include "shell/instance_mutex.h"
#include "shell/runtime_state.h"
#include "shell/screen_form.h"
#include "shell/sys_util.h"

namespace quillet {

tScreenForm* ScreenForm = nullptr;
tConfigForm* ConfigForm = nullptr;

namespace {

// Destroyed only by the program itself, never by an exit handler: the toolkit may end the
// process with exit() when its display is gone, and destroying the application then would talk
// to the dead connection.
TGuardedApplication* Application = nullptr;
constexpr int ExitAlreadyRunning = 1;
// No display, or no window to draw into.
constexpr int ExitNoDisplay = 1;
// An error reported on stderr ended the run.
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

TErrorReport ErrorReport = TErrorReport::Box;
bool RunFailed = false;
// A signal may come while a box runs its own event loop, before the program's loop has begun.
bool QuitRequested = false;

void DestroyApplication() {
  delete ScreenForm;
  delete ConfigForm;
  ScreenForm = nullptr;
  ConfigForm = nullptr;
  StopWatchingDisplayConnection();
  delete Application;
  Application = nullptr;
}

// The clipboard outlives the process on X11 only when the application object hands it to a
// clipboard manager as it is destroyed, which is safe only outside the event loop.
void EndProcess(int ExitCode) {
  CloseInstanceMutex();
  if (Application && QThread::currentThread()->loopLevel() == 0) DestroyApplication();
  std::exit(ExitCode);
}

void InstallErrorBox() {
  TErrorBoxHooks Hooks;
  Hooks.ShowBox = [](std::string_view Text, std::string_view Caption, uint32_t Flags) {
    return ShowMessageBox(Text, Caption, Flags);
  };
  Hooks.SetClipboard = [](std::string_view Text) { SetClipboardText(Text); };
  Hooks.EndProcess = &EndProcess;
  SetErrorBoxHooks(std::move(Hooks));
}

// The display is every monitor: the rectangle that holds them all.
TDisplayInfo ReadDisplayInfo() {
  const ScreenSize Size = MonitorsDeviceSize();
  return {Size.Width, Size.Height};
}

void CreateConfigForm() {
  ConfigForm = new tConfigForm(ProfileFilePath(SettingsFileName));
}

void CreateScreenForm() {
  ScreenForm = new tScreenForm();
  ScreenForm->OnSurfaceError = &ReportRunError;
}

}  // namespace

void ReportRunError(std::string_view What) {
  if (ErrorReport == TErrorReport::Stderr) {
    if (RunFailed) return;
    RunFailed = true;
    std::fprintf(stderr, "quillet: %.*s\n", static_cast<int>(What.size()), What.data());
    // Before the event loop runs, the request waits in the queue.
    QTimer::singleShot(0, [] { QCoreApplication::exit(ExitFailed); });
    QCoreApplication::exit(ExitFailed);
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
  const char* Display = std::getenv("DISPLAY");
  if (CreateInstanceMutex(SessionInstanceName(Runtime().ProgramBaseName, Args, Display ? Display : "")))
    EndProcess(ExitAlreadyRunning);
}

QWidget* CreateFormsForMode(const std::vector<std::string>& Args) {
  const TCommandLine Command = ParseCommandLine(Args);
  QWidget* MainWindow = nullptr;
  switch (Command.SaverMode) {
    case TSaverMode::ModeChangePassword:
      return nullptr;
    case TSaverMode::ModeNone:
    case TSaverMode::ModeConfig:
      CreateConfigForm();
      CreateScreenForm();
      MainWindow = ConfigForm;
      break;
    case TSaverMode::ModeSaver:
    case TSaverMode::ModePreview:
      CreateScreenForm();
      CreateConfigForm();
      MainWindow = ScreenForm;
      break;
  }
  // Neither window gets a taskbar button of its own.
  KeepOffTaskbar(*ScreenForm);
  KeepOffTaskbar(*ConfigForm);
  // Full screen, under a window manager too, covers every monitor.
  SpanFullScreenOverMonitors(*ScreenForm);

  ScreenForm->SetSettings(&ConfigForm->Settings());
  ConfigForm->SetScreen(ScreenForm);
  ScreenForm->OnShowConfig = [] {
    ConfigForm->show();
    ConfigForm->raise();
    ConfigForm->activateWindow();
  };
  const auto Quit = [] { QCoreApplication::quit(); };
  if (MainWindow == ScreenForm) {
    ScreenForm->OnClosed = Quit;
    // A window manager may hand the focus elsewhere when the dialog closes; without it, keys and
    // movement would no longer end the saver.
    ConfigForm->OnClosed = [] {
      if (ScreenForm->isVisible() && ScreenForm->PreviousParent() == 0) ScreenForm->Show();
    };
  } else {
    ConfigForm->OnClosed = Quit;
  }

  if (Command.SaverMode == TSaverMode::ModeSaver) {
    const TDisplayInfo& Display = Runtime().DisplayInfo;
    const QPoint Origin = MonitorsBoundingRect().topLeft();
    const qreal Ratio = ScreenForm->devicePixelRatioF() > 0 ? ScreenForm->devicePixelRatioF() : 1;
    ScreenForm->setGeometry(Origin.x(), Origin.y(), static_cast<int>(std::lround(Display.Width / Ratio)),
                            static_cast<int>(std::lround(Display.Height / Ratio)));
    ScreenForm->setWindowState(Qt::WindowFullScreen);
  } else if (Command.SaverMode == TSaverMode::ModePreview) {
    uint32_t Host = Command.PreviewParent;
    if (Host == 0) {
      // Without a host the preview is drawn inside the dialog.
      ConfigForm->show();
      Host = static_cast<uint32_t>(ConfigForm->winId());
    }
    ScreenForm->SetParentWindow(Host);
    if (Command.PreviewParent != 0 && ScreenForm->PreviousParent() != 0)
      FollowHostSize(*ScreenForm, Host, true);
    // A preview inside the dialog would run on unseen once the dialog is closed: it ends with it.
    if (Command.PreviewParent == 0 && ScreenForm->PreviousParent() != 0)
      ConfigForm->OnClosed = [] { ScreenForm->close(); };
  }

  ConfigForm->setWindowTitle(ConfigForm->windowTitle() + QString::fromStdString(Command.ModeText));
  return MainWindow;
}

int RunProgram(int argc, char** argv) {
  const std::vector<std::string> Args(argv + 1, argv + argc);
  const TLaunchRequest Request = ParseLaunchRequest(Args, std::getenv("XSCREENSAVER_WINDOW"));
  // A host may stop what it has just started: the signals are caught before anything else, and
  // end the run once the event loop runs.
  const bool QuitOnSignals = Request.Action != TLaunchAction::UsageError && EndsOnQuitSignals(Request, Args);
  if (QuitOnSignals) CatchQuitSignals();
  InitRasterEngine();
  switch (Request.Action) {
    case TLaunchAction::Help:
      std::fputs(LaunchUsage().c_str(), stdout);
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
  TDisplayHold Display;
  if (!Display.Open(Problem)) {
    // Changing the password needs no window, hence no display.
    if (!Hosted && ParseCommandLine(Args).SaverMode == TSaverMode::ModeChangePassword) return 0;
    std::fprintf(stderr, "quillet: %s\n", Problem.c_str());
    return ExitNoDisplay;
  }

  // The toolkit sees only the program's name: its own options must not be taken from ours.
  static int QtArgc = 1;
  static char* QtArgv[] = {argv[0], nullptr};
  WatchToolkitStart("quillet");
  Application = new TGuardedApplication(QtArgc, QtArgv);
  WatchDisplayConnection();
  Display.Release();
  ErrorReport = ErrorReportFor(Request, Args);
  Application->OnUncaughtError = &ReportRunError;
  QApplication::setQuitOnLastWindowClosed(false);
  InstallQtTextOutput();
  InstallErrorBox();
  // exit() ends a box's own loop too, which quit() leaves running until the program's loop runs.
  if (QuitOnSignals) HandleQuitSignals([] {
    QuitRequested = true;
    QCoreApplication::exit(0);
  });

  TStartupServices Services;
  Services.ProgramBaseName = [] { return GetProgramBaseName(); };
  Services.ReadDisplayInfo = &ReadDisplayInfo;
  Services.WaveOut = SystemWaveOut();
  RuntimeStartup(Services);

  QWidget* MainWindow = nullptr;
  int ExitCode = 0;
  if (Hosted) {
    // A host may run one copy per monitor and one for its preview: no instance lock.
    MainWindow = CreateHostedForm(Request, Problem);
    if (!MainWindow) {
      std::fprintf(stderr, "quillet: %s\n", Problem.c_str());
      ExitCode = ExitNoDisplay;
    }
  } else {
    CheckSingleInstance(Args);
    MainWindow = CreateFormsForMode(Args);
  }
  if (MainWindow) {
    QApplication::setApplicationName(ApplicationTitle);
    if (Hosted) {
      ShowHostedForm();
    } else if (MainWindow == ScreenForm) {
      ScreenForm->Show();
    } else {
      MainWindow->show();
      MainWindow->activateWindow();
    }
    if (!QuitRequested) QApplication::exec();
    if (RunFailed) ExitCode = ExitFailed;
  }
  DestroyApplication();
  RuntimeShutdown();
  return ExitCode;
}

}  // namespace quillet
