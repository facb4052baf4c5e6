// The program's backend on Qt 6 and X11: the display held until the toolkit has its own
// connection, a lost display ending the run in one line, the quit signals, the application
// object, the two windows and the hosted placements on the root, a virtual root or a window id.
#pragma once

#include <memory>

#include "platform/ui_qt_x11/display_check.h"
#include "platform/ui_qt_x11/qt_event_loop.h"
#include "shell/program.h"

namespace quillet {

class TGuardedApplication;

class TQtX11Backend : public IProgramBackend {
 public:
  // Program is argv[0]: the toolkit sees only the program's name, never our arguments.
  explicit TQtX11Backend(char* Program);
  ~TQtX11Backend() override;

  void CatchQuitRequests() override;
  bool ReachDisplay(std::string& Problem) override;
  void StartToolkit(std::function<void(std::string_view What)> OnUncaughtError) override;
  void HandleQuitRequests(std::function<void()> Quit) override;
  IEventLoop& EventLoop() override { return *FLoop; }
  TStartupServices StartupServices() override;
  TErrorBoxHooks ErrorBoxHooks() override;
  int32_t ShowCursor(bool Show) override;
  std::string InstanceSession() override;
  void SetApplicationTitle(std::string_view Title) override;
  std::unique_ptr<IScreenWindow> CreateScreenWindow(tScreenForm& Form) override;
  std::unique_ptr<IConfigWindow> CreateConfigWindow(tConfigForm& Form) override;
  bool PlaceHosted(tScreenForm& Form, const TLaunchRequest& Request, std::string& Error) override;
  void ShowHosted(tScreenForm& Form) override;
  void RunEventLoop() override;
  void QuitEventLoop(int ExitCode) override;
  bool EventLoopRunning() const override;
  void StopToolkit() override;

 private:
  int FArgc = 1;
  char* FArgv[2];
  TDisplayHold FDisplay;
  TGuardedApplication* FApplication = nullptr;
  std::unique_ptr<TQtEventLoop> FLoop;
  // Quit before the loop ran (a signal during start-up, or from a box's own loop).
  bool FQuitRequested = false;
};

}  // namespace quillet
