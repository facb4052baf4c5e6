// The program's entry without a toolkit: the command line, the single-instance check, the windows
// of each mode in their order, the hosted saver, the error path, the message loop and the exit
// code. A toolkit's backend (IProgramBackend) provides the display, the event loop, the windows
// and the process-wide services.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_view.h"
#include "shell/command_line.h"
#include "shell/error_box.h"
#include "shell/event_loop.h"
#include "shell/launch_request.h"
#include "shell/runtime_state.h"
#include "shell/screen_form.h"
#include "shell/screen_window.h"

namespace quillet {

class tConfigForm;

inline constexpr char ApplicationTitle[] = "Quillet";
inline constexpr int ExitAlreadyRunning = 1;
// No display, no window to draw into, or an error reported on stderr ended the run.
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = 2;

// The two windows, created once for the whole run (null in a mode that creates none).
extern tScreenForm* ScreenForm;
extern tConfigForm* ConfigForm;

class IProgramBackend {
 public:
  virtual ~IProgramBackend() = default;

  // From now on a host's request to stop (a signal) is caught; it ends the run once the event
  // loop runs. Called first of all, for the runs a host stops.
  virtual void CatchQuitRequests() = 0;
  // How this platform's screen-saver machinery and hosts write the command line.
  virtual TLaunchRules LaunchRules() const { return {}; }
  // Before the toolkit starts: the display the program will show on. False with Problem set when
  // there is none.
  virtual bool ReachDisplay(std::string& Problem) = 0;
  // Starts the toolkit on that display. Errors that escape an event handler go to OnUncaughtError.
  virtual void StartToolkit(std::function<void(std::string_view What)> OnUncaughtError) = 0;
  // From now on a caught quit request calls Quit from the event loop (or from a box's own loop).
  virtual void HandleQuitRequests(std::function<void()> Quit) = 0;

  virtual IEventLoop& EventLoop() = 0;
  virtual TStartupServices StartupServices() = 0;
  // The error box's message box and clipboard; the process end is the program's.
  virtual TErrorBoxHooks ErrorBoxHooks() = 0;
  // The cursor display counter: +1 for true, -1 for false; returns the new count.
  virtual int32_t ShowCursor(bool Show) = 0;
  // The login session the single-instance lock is kept per; empty for one lock per user.
  virtual std::string InstanceSession() = 0;
  virtual void SetApplicationTitle(std::string_view Title) = 0;

  virtual std::unique_ptr<IScreenWindow> CreateScreenWindow(tScreenForm& Form) = 0;
  virtual std::unique_ptr<IConfigWindow> CreateConfigWindow(tConfigForm& Form) = 0;
  // Places Form's window in the window a host names (Request: the root, a window id). False with
  // Error set when there is no such window or it cannot hold the saver.
  virtual bool PlaceHosted(tScreenForm& Form, const TLaunchRequest& Request, std::string& Error) = 0;
  virtual void ShowHosted(tScreenForm& Form) = 0;

  // Runs the event loop until QuitEventLoop; returns at once when asked to quit before.
  virtual void RunEventLoop() = 0;
  virtual void QuitEventLoop(int ExitCode) = 0;
  virtual bool EventLoopRunning() const = 0;
  // Ends the toolkit; the windows are gone by then.
  virtual void StopToolkit() = 0;
};

// Ends the process with exit code 1, showing nothing, when a copy with the same instance name
// runs in the same session.
void CheckSingleInstance(const std::vector<std::string>& Args);

// Parses the command line and creates the windows of its mode; returns false when the mode has
// none (the change-password request).
bool CreateFormsForMode(const std::vector<std::string>& Args);

// The program's error path for what fails inside the event loop (a surface that cannot be had,
// memory that runs out): the error box, after which the program runs on; hosted and in a host's
// preview, where nobody would see a box, one line on stderr and exit code 1. Nothing is written,
// so the settings file keeps what it had.
void ReportRunError(std::string_view What);

// The whole program over Backend; Args are the arguments after the program's path. Returns the
// exit code.
int RunProgram(IProgramBackend& Backend, const std::vector<std::string>& Args);

}  // namespace quillet
