// The program's backend on Win32: the hidden application window that owns the program's windows
// (WS_EX_TOOLWINDOW: no taskbar button), the message loop with the application-wide filter and
// the dialog's keys, the two windows, and the process-wide services. Windows hosts no saver in a
// window of its own the way X11 hosts do: /p HWND is its preview, and the hosted command lines
// are a usage error. "/p:HWND" and "/c:HWND" name a window after the colon.
#pragma once

#include <memory>

#include "platform/ui_win32/win32_event_loop.h"
#include "platform/ui_win32/win32_handles.h"
#include "shell/program.h"

namespace quillet {

class TWin32ScreenWindow;
class TWin32ConfigDialog;

class TWin32Backend : public IProgramBackend {
 public:
  TWin32Backend();
  ~TWin32Backend() override;

  void CatchQuitRequests() override {}
  TLaunchRules LaunchRules() const override;
  bool ReachDisplay(std::string& Problem) override;
  void StartToolkit(std::function<void(std::string_view What)> OnUncaughtError) override;
  void HandleQuitRequests(std::function<void()>) override {}
  IEventLoop& EventLoop() override { return *FLoop; }
  TStartupServices StartupServices() override;
  TErrorBoxHooks ErrorBoxHooks() override;
  int32_t ShowCursor(bool Show) override;
  std::string InstanceSession() override { return {}; }  // a named mutex is per login session already
  void SetApplicationTitle(std::string_view Title) override;
  std::unique_ptr<IScreenWindow> CreateScreenWindow(tScreenForm& Form) override;
  std::unique_ptr<IConfigWindow> CreateConfigWindow(tConfigForm& Form) override;
  bool PlaceHosted(tScreenForm& Form, const TLaunchRequest& Request, std::string& Error) override;
  void ShowHosted(tScreenForm&) override {}
  void RunEventLoop() override;
  void QuitEventLoop(int ExitCode) override;
  bool EventLoopRunning() const override;
  void StopToolkit() override;

 private:
  bool PreDispatch(win32::Message& Msg);

  std::unique_ptr<TWin32EventLoop> FLoop;
  win32::WindowHandle FApplication = nullptr;
  TWin32ScreenWindow* FScreen = nullptr;
  TWin32ConfigDialog* FDialog = nullptr;
};

}  // namespace quillet
