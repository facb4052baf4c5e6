// Message boxes, the clipboard, monitors, the console and the error path of window procedures.
#include "platform/ui_win32/win32_services.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "platform/os_win32/wide_text.h"

namespace quillet::win32 {

namespace {

std::function<void(std::string_view What)>& UncaughtHandler() {
  static std::function<void(std::string_view What)> Handler;
  return Handler;
}

}  // namespace

int ShowMessageBox(WindowHandle Owner, std::string_view Text, std::string_view Caption, uint32_t Flags) {
  const std::wstring WideText = WideFromUtf8(Text);
  const std::wstring WideCaption = WideFromUtf8(Caption);
  return ::MessageBoxW(Owner, WideText.c_str(), WideCaption.c_str(), Flags);
}

void SetClipboardText(WindowHandle Owner, std::string_view Text) {
  const std::wstring Wide = WideFromUtf8(Text);
  const size_t Bytes = (Wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL Memory = ::GlobalAlloc(GMEM_MOVEABLE, Bytes);
  if (!Memory) return;
  if (void* Locked = ::GlobalLock(Memory)) {
    std::memcpy(Locked, Wide.c_str(), Bytes);
    ::GlobalUnlock(Memory);
  } else {
    ::GlobalFree(Memory);
    return;
  }
  // Without an owner window, emptying the clipboard leaves it to nobody and the data is refused.
  if (!::OpenClipboard(Owner)) {
    ::GlobalFree(Memory);
    return;
  }
  ::EmptyClipboard();
  if (!::SetClipboardData(CF_UNICODETEXT, Memory)) ::GlobalFree(Memory);  // the system owns it once set
  ::CloseClipboard();
}

TRect VirtualScreenRect() {
  const int32_t Left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int32_t Top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {Left, Top, Left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), Top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

TRect PrimaryMonitorRect() { return {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}; }

double MonitorRefreshRate(WindowHandle Window) {
  const HMONITOR Monitor = ::MonitorFromWindow(Window, MONITOR_DEFAULTTONEAREST);
  MONITORINFOEXW Info{};
  Info.cbSize = sizeof Info;
  if (!Monitor || !::GetMonitorInfoW(Monitor, &Info)) return 0;
  DEVMODEW Mode{};
  Mode.dmSize = sizeof Mode;
  if (!::EnumDisplaySettingsW(Info.szDevice, ENUM_CURRENT_SETTINGS, &Mode)) return 0;
  // 0 and 1 stand for the hardware's default rate, which the system does not name.
  return Mode.dmDisplayFrequency > 1 ? Mode.dmDisplayFrequency : 0;
}

void ConnectParentConsole() {
  const auto Missing = [](DWORD Which) {
    const HANDLE H = ::GetStdHandle(Which);
    return H == nullptr || H == INVALID_HANDLE_VALUE;
  };
  const bool NoOut = Missing(STD_OUTPUT_HANDLE), NoErr = Missing(STD_ERROR_HANDLE);
  if (!NoOut && !NoErr) return;
  if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
  if (NoOut) std::freopen("CONOUT$", "w", stdout);
  if (NoErr) std::freopen("CONOUT$", "w", stderr);
}

void SetUncaughtErrorHandler(std::function<void(std::string_view What)> Handler) {
  UncaughtHandler() = std::move(Handler);
}

void ReportUncaught(std::string_view What) {
  if (UncaughtHandler()) UncaughtHandler()(What);
}

}  // namespace quillet::win32
