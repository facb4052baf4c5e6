// Process-wide services of the Win32 user interface: message boxes, the clipboard, the screen's
// geometry, a monitor's refresh rate, the standard streams of a program without a console, and
// the one path by which errors leave a window procedure.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string_view>

#include "platform/ui_win32/win32_handles.h"
#include "raster/fixed.h"

namespace quillet::win32 {

// MessageBoxW with UTF-8 text; the button pressed, or 0 when the box could not be shown.
int ShowMessageBox(WindowHandle Owner, std::string_view Text, std::string_view Caption, uint32_t Flags);

// Puts Text on the clipboard as Unicode text (the system makes the ANSI form); Owner holds it.
void SetClipboardText(WindowHandle Owner, std::string_view Text);

// The rectangle that holds every monitor, in device pixels (the virtual screen).
TRect VirtualScreenRect();
// The primary monitor's rectangle.
TRect PrimaryMonitorRect();

// The refresh rate of the monitor the window is on (the nearest one), in hertz; 0 when the
// system does not say.
double MonitorRefreshRate(WindowHandle Window);

// A program of the GUI subsystem has no standard streams unless its caller redirected them: it
// then writes to the console of the process that started it, when there is one.
void ConnectParentConsole();

// Errors must not leave a window procedure (the system's frames lie between it and the loop):
// Guarded runs Action and hands what it throws to the handler the backend set.
void SetUncaughtErrorHandler(std::function<void(std::string_view What)> Handler);
void ReportUncaught(std::string_view What);
template <typename Action>
void Guarded(Action&& Run) {
  try {
    Run();
  } catch (const std::exception& Error) {
    ReportUncaught(Error.what());
  } catch (...) {
    ReportUncaught("unknown error");
  }
}

}  // namespace quillet::win32
