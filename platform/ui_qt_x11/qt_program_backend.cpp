// The program's backend on Qt and X11.
#include "platform/ui_qt_x11/qt_program_backend.h"

#include <QApplication>
#include <QThread>
#include <QTimer>

#include <cstdlib>

#include "platform/precise_wakeups.h"
#include "platform/os_posix/quit_signal_pipe.h"
#include "platform/ui_qt_x11/clipboard.h"
#include "platform/ui_qt_x11/cursor_counter.h"
#include "platform/ui_qt_x11/display_loss.h"
#include "platform/ui_qt_x11/fullscreen_span.h"
#include "platform/ui_qt_x11/guarded_application.h"
#include "platform/ui_qt_x11/message_box.h"
#include "platform/ui_qt_x11/monitor_layout.h"
#include "platform/ui_qt_x11/qt_config_dialog.h"
#include "platform/ui_qt_x11/qt_screen_window.h"
#include "platform/ui_qt_x11/qt_text_engine.h"
#include "platform/ui_qt_x11/quit_signals.h"
#include "platform/ui_qt_x11/taskbar_hint.h"
#include "platform/ui_qt_x11/x11_host_window.h"
#include "shell/sys_util.h"

namespace quillet {

TQtX11Backend::TQtX11Backend(char* Program) : FArgv{Program, nullptr} {}

TQtX11Backend::~TQtX11Backend() { StopToolkit(); }

void TQtX11Backend::CatchQuitRequests() { CatchQuitSignals(); }

bool TQtX11Backend::ReachDisplay(std::string& Problem) { return FDisplay.Open(Problem); }

void TQtX11Backend::StartToolkit(std::function<void(std::string_view What)> OnUncaughtError) {
  WatchToolkitStart("quillet");
  FApplication = new TGuardedApplication(FArgc, FArgv);
  WatchDisplayConnection();
  FDisplay.Release();
  FApplication->OnUncaughtError = std::move(OnUncaughtError);
  QApplication::setQuitOnLastWindowClosed(false);
  InstallQtTextOutput();
  FLoop = std::make_unique<TQtEventLoop>();
  // The screen window's timer wakes on time.
  RequestPreciseWakeups();
}

void TQtX11Backend::HandleQuitRequests(std::function<void()> Quit) {
  HandleQuitSignals([this, Quit = std::move(Quit)] {
    FQuitRequested = true;
    Quit();
  });
}

TStartupServices TQtX11Backend::StartupServices() {
  TStartupServices Services;
  Services.ProgramBaseName = [] { return GetProgramBaseName(); };
  // The display is every monitor: the rectangle that holds them all.
  Services.ReadDisplayInfo = [] {
    const ScreenSize Size = MonitorsDeviceSize();
    return TDisplayInfo{Size.Width, Size.Height};
  };
  Services.WaveOut = PlatformWaveOut();
  return Services;
}

TErrorBoxHooks TQtX11Backend::ErrorBoxHooks() {
  TErrorBoxHooks Hooks;
  Hooks.ShowBox = [](std::string_view Text, std::string_view Caption, uint32_t Flags) {
    return ShowMessageBox(Text, Caption, Flags);
  };
  Hooks.SetClipboard = [](std::string_view Text) { SetClipboardText(Text); };
  return Hooks;
}

int32_t TQtX11Backend::ShowCursor(bool Show) { return quillet::ShowCursor(Show); }

// A Windows named mutex belongs to one login session; here a session is a display.
std::string TQtX11Backend::InstanceSession() {
  const char* Display = std::getenv("DISPLAY");
  return DisplaySession(Display ? Display : "");
}

void TQtX11Backend::SetApplicationTitle(std::string_view Title) {
  QApplication::setApplicationName(QString::fromUtf8(Title.data(), static_cast<qsizetype>(Title.size())));
}

std::unique_ptr<IScreenWindow> TQtX11Backend::CreateScreenWindow(tScreenForm& Form) {
  auto Window = std::make_unique<TQtScreenWindow>(Form);
  // No taskbar button of its own; full screen, under a window manager too, covers every monitor.
  KeepOffTaskbar(*Window);
  SpanFullScreenOverMonitors(*Window);
  return Window;
}

std::unique_ptr<IConfigWindow> TQtX11Backend::CreateConfigWindow(tConfigForm& Form) {
  auto Window = std::make_unique<TQtConfigDialog>(Form);
  KeepOffTaskbar(*Window);
  return Window;
}

bool TQtX11Backend::PlaceHosted(tScreenForm& Form, const TLaunchRequest& Request, std::string& Error) {
  const uint32_t Root = ScreenRootWindow();
  if (Root == 0) {
    Error = "drawing into a window needs an X11 display";
    return false;
  }
  const uint32_t Host = Request.Target == THostTarget::Window ? Request.HostWindow : VirtualRootWindow(Root);
  return static_cast<TQtScreenWindow&>(Form.Window()).PlaceInHost(Host, Host == Root, Error);
}

void TQtX11Backend::ShowHosted(tScreenForm& Form) { static_cast<TQtScreenWindow&>(Form.Window()).ShowHosted(); }

void TQtX11Backend::RunEventLoop() {
  if (!FQuitRequested) QApplication::exec();
}

void TQtX11Backend::QuitEventLoop(int ExitCode) {
  // exit() also ends a box's own loop, which quit() would leave running; before the program's
  // loop runs, the request waits in the queue.
  QTimer::singleShot(0, [ExitCode] { QCoreApplication::exit(ExitCode); });
  QCoreApplication::exit(ExitCode);
}

bool TQtX11Backend::EventLoopRunning() const {
  return FApplication && QThread::currentThread()->loopLevel() > 0;
}

void TQtX11Backend::StopToolkit() {
  if (!FApplication) return;
  StopWatchingDisplayConnection();
  delete FApplication;
  FApplication = nullptr;
  FLoop.reset();
}

}  // namespace quillet
