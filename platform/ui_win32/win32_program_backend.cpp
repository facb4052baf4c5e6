// The program's backend on Win32.
#include "platform/ui_win32/win32_program_backend.h"

#include <windows.h>

#include "platform/os_win32/gdi_text_output.h"
#include "platform/os_win32/wide_text.h"
#include "platform/precise_wakeups.h"
#include "platform/ui_win32/win32_config_dialog.h"
#include "platform/ui_win32/win32_screen_window.h"
#include "platform/ui_win32/win32_services.h"
#include "shell/sys_util.h"

namespace quillet {

namespace {

constexpr wchar_t ApplicationClass[] = L"QuilletApplication";

}  // namespace

TWin32Backend::TWin32Backend() = default;

TWin32Backend::~TWin32Backend() { StopToolkit(); }

TLaunchRules TWin32Backend::LaunchRules() const {
  TLaunchRules Rules;
  Rules.Dialect.WindowAfterColon = true;
  Rules.Hosting = false;
  return Rules;
}

bool TWin32Backend::ReachDisplay(std::string& Problem) {
  // A process without a desktop (a service) has nowhere to show a window.
  if (::GetDesktopWindow() && ::GetThreadDesktop(::GetCurrentThreadId())) return true;
  Problem = "no desktop to show windows on";
  return false;
}

void TWin32Backend::StartToolkit(std::function<void(std::string_view What)> OnUncaughtError) {
  win32::SetUncaughtErrorHandler(std::move(OnUncaughtError));
  InstallGdiTextOutput();
  FLoop = std::make_unique<TWin32EventLoop>();
  FLoop->SetMessageHook([this](win32::Message& Msg) { return PreDispatch(Msg); });
  // The screen window's timer and waits end within a millisecond.
  RequestPreciseWakeups();

  WNDCLASSEXW Class{};
  Class.cbSize = sizeof Class;
  Class.lpfnWndProc = &::DefWindowProcW;
  Class.hInstance = ::GetModuleHandleW(nullptr);
  Class.lpszClassName = ApplicationClass;
  ::RegisterClassExW(&Class);
  // The hidden window that owns the others: exactly WS_EX_TOOLWINDOW, so that the program has no
  // taskbar button of its own.
  FApplication = ::CreateWindowExW(WS_EX_TOOLWINDOW, ApplicationClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
  if (FApplication) ::SetWindowLongW(FApplication, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
}

TStartupServices TWin32Backend::StartupServices() {
  TStartupServices Services;
  Services.ProgramBaseName = [] { return GetProgramBaseName(); };
  // The display is every monitor: the virtual screen.
  Services.ReadDisplayInfo = [] {
    const TRect Screen = win32::VirtualScreenRect();
    return TDisplayInfo{Screen.Right - Screen.Left, Screen.Bottom - Screen.Top};
  };
  Services.WaveOut = PlatformWaveOut();
  return Services;
}

TErrorBoxHooks TWin32Backend::ErrorBoxHooks() {
  TErrorBoxHooks Hooks;
  Hooks.ShowBox = [](std::string_view Text, std::string_view Caption, uint32_t Flags) {
    return win32::ShowMessageBox(nullptr, Text, Caption, Flags);
  };
  Hooks.SetClipboard = [this](std::string_view Text) { win32::SetClipboardText(FApplication, Text); };
  return Hooks;
}

int32_t TWin32Backend::ShowCursor(bool Show) { return ::ShowCursor(Show ? TRUE : FALSE); }

void TWin32Backend::SetApplicationTitle(std::string_view Title) {
  if (FApplication) ::SetWindowTextW(FApplication, win32::WideFromUtf8(Title).c_str());
}

std::unique_ptr<IScreenWindow> TWin32Backend::CreateScreenWindow(tScreenForm& Form) {
  auto Window = std::make_unique<TWin32ScreenWindow>(Form, FApplication, *FLoop);
  FScreen = Window.get();
  Window->OnGone = [this] { FScreen = nullptr; };
  return Window;
}

std::unique_ptr<IConfigWindow> TWin32Backend::CreateConfigWindow(tConfigForm& Form) {
  auto Window = std::make_unique<TWin32ConfigDialog>(Form, FApplication);
  FDialog = Window.get();
  Window->OnGone = [this] { FDialog = nullptr; };
  return Window;
}

bool TWin32Backend::PlaceHosted(tScreenForm&, const TLaunchRequest&, std::string& Error) {
  Error = "Windows has no hosts that lend a window; /p HWND shows a preview in one";
  return false;
}

bool TWin32Backend::PreDispatch(win32::Message& Msg) {
  // The application-wide filter first, for every message of the program.
  if (FScreen) FScreen->FilterMessage(Msg);
  return FDialog && FDialog->DialogMessage(Msg);
}

void TWin32Backend::RunEventLoop() {
  if (FLoop) FLoop->Run();
}

void TWin32Backend::QuitEventLoop(int ExitCode) {
  if (FLoop) FLoop->Quit(ExitCode);
}

bool TWin32Backend::EventLoopRunning() const { return FLoop && FLoop->Running(); }

void TWin32Backend::StopToolkit() {
  if (FApplication) ::DestroyWindow(FApplication);
  FApplication = nullptr;
  FLoop.reset();
}

}  // namespace quillet
