// A host for the saver's preview, as the system's settings window is one: a frame with a small
// child window inside, handed to quillet.scr as "/p HWND" (or "/p:HWND", or "/c:HWND" to own the
// dialog). Wine does not show another process's child pixels, so the preview is checked by its
// structure and by the surface dump the saver writes (QUILLET_SURFACE_DUMP).
//
//   preview-host SCR DUMP preview|preview-colon   the child appears at the host's size, draws,
//                                                 follows a resize, ends (code 0) when the host goes
//   preview-host SCR - dialog-owner               "/c:HWND": the dialog is owned by the frame
//   preview-host SCR - resources                  the saver's name (string 1) and its version
//
// Prints what failed and exits with 1; exits with 0 when everything held.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace {

int Failures = 0;

void Fail(const char* What) {
  std::fprintf(stderr, "preview-host: %s\n", What);
  ++Failures;
}

// Runs the host's messages until Done holds or Seconds pass.
bool WaitFor(double Seconds, const std::function<bool()>& Done) {
  const ULONGLONG End = ::GetTickCount64() + static_cast<ULONGLONG>(Seconds * 1000);
  while (true) {
    MSG Msg;
    while (::PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&Msg);
      ::DispatchMessageW(&Msg);
    }
    if (Done()) return true;
    if (::GetTickCount64() >= End) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

SIZE ClientSize(HWND Window) {
  RECT R{};
  ::GetClientRect(Window, &R);
  return {R.right - R.left, R.bottom - R.top};
}

// The dump's size and whether any pixel is not black; false while it is missing or incomplete.
bool ReadDump(const std::wstring& File, int& Width, int& Height, bool& Drawn) {
  std::ifstream In(File.c_str(), std::ios::binary);
  std::string Magic;
  int Max = 0;
  if (!(In >> Magic >> Width >> Height >> Max) || Magic != "P6" || Max != 255) return false;
  In.get();
  const std::string Pixels((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  if (Pixels.size() != static_cast<size_t>(Width) * Height * 3) return false;
  Drawn = Pixels.find_first_not_of('\0') != std::string::npos;
  return true;
}

bool DumpShows(const std::wstring& File, int Width, int Height) {
  int W = 0, H = 0;
  bool Drawn = false;
  return ReadDump(File, W, H, Drawn) && W == Width && H == Height && Drawn;
}

PROCESS_INFORMATION Start(const std::wstring& Scr, const std::wstring& Arguments) {
  std::wstring Line = L"\"" + Scr + L"\" " + Arguments;
  STARTUPINFOW Startup{};
  Startup.cb = sizeof Startup;
  PROCESS_INFORMATION Process{};
  if (!::CreateProcessW(nullptr, Line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Startup, &Process))
    std::fprintf(stderr, "preview-host: quillet.scr could not be started (error %lu)\n", ::GetLastError()), ++Failures;
  return Process;
}

// The exit code once the process ended within Seconds (running the host's messages meanwhile).
bool Ended(const PROCESS_INFORMATION& Process, double Seconds, DWORD& Code) {
  if (!WaitFor(Seconds, [&] { return ::WaitForSingleObject(Process.hProcess, 0) == WAIT_OBJECT_0; })) return false;
  ::GetExitCodeProcess(Process.hProcess, &Code);
  return true;
}

void Preview(const std::wstring& Scr, const std::wstring& Dump, bool Colon, HWND Frame, HWND Host) {
  ::DeleteFileW(Dump.c_str());
  ::SetEnvironmentVariableW(L"QUILLET_SURFACE_DUMP", Dump.c_str());
  const std::wstring Id = std::to_wstring(reinterpret_cast<uintptr_t>(Host));
  const PROCESS_INFORMATION Process = Start(Scr, Colon ? L"/p:" + Id : L"/p " + Id);
  if (!Process.hProcess) return;

  HWND Child = nullptr;
  const bool Came = WaitFor(15, [&] {
    Child = ::GetWindow(Host, GW_CHILD);
    const SIZE S = Child ? ClientSize(Child) : SIZE{};
    return Child && ::IsWindowVisible(Child) && S.cx == 152 && S.cy == 112;
  });
  if (!Came) Fail("no visible 152 x 112 child window in the host");
  if (Child) {
    wchar_t Class[64] = {};
    ::GetClassNameW(Child, Class, 64);
    if (std::wstring(Class) != L"QuilletScreen") Fail("the host's child is not the saver's window");
    if (!(::GetWindowLongW(Child, GWL_STYLE) & WS_CHILD)) Fail("the preview is not a WS_CHILD");
    DWORD Owner = 0;
    ::GetWindowThreadProcessId(Child, &Owner);
    if (Owner != Process.dwProcessId) Fail("the host's child belongs to another process");
  }
  if (!WaitFor(10, [&] { return DumpShows(Dump, 152, 112); })) Fail("the preview's surface shows nothing at 152 x 112");

  // The host grows: the preview follows, and so does what it draws on.
  ::SetWindowPos(Host, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (!WaitFor(5, [&] {
        const SIZE S = Child ? ClientSize(Child) : SIZE{};
        return S.cx == 200 && S.cy == 150;
      }))
    Fail("the preview did not follow the host's size");
  if (!WaitFor(10, [&] { return DumpShows(Dump, 200, 150); })) Fail("the preview's surface did not follow the host");

  // The host goes away: the preview ends, with exit code 0.
  ::DestroyWindow(Frame);
  DWORD Code = 0;
  if (!Ended(Process, 5, Code)) {
    Fail("the preview did not end when its host went away");
    ::TerminateProcess(Process.hProcess, 9);
  } else if (Code != 0) {
    Fail("the preview's exit code is not 0");
  }
  ::CloseHandle(Process.hThread);
  ::CloseHandle(Process.hProcess);
}

struct TFound {
  DWORD Process;
  HWND Window;
};

BOOL CALLBACK FindDialog(HWND Window, LPARAM Data) {
  auto* Found = reinterpret_cast<TFound*>(Data);
  DWORD Owner = 0;
  ::GetWindowThreadProcessId(Window, &Owner);
  wchar_t Caption[128] = {};
  ::GetWindowTextW(Window, Caption, 128);
  if (Owner == Found->Process && ::IsWindowVisible(Window) && std::wstring(Caption).find(L"Configuration") != std::wstring::npos) {
    Found->Window = Window;
    return FALSE;
  }
  return TRUE;
}

void DialogOwner(const std::wstring& Scr, HWND Frame) {
  const std::wstring Id = std::to_wstring(reinterpret_cast<uintptr_t>(Frame));
  const PROCESS_INFORMATION Process = Start(Scr, L"/c:" + Id);
  if (!Process.hProcess) return;
  TFound Found{Process.dwProcessId, nullptr};
  if (!WaitFor(15, [&] {
        ::EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&Found));
        return Found.Window != nullptr;
      })) {
    Fail("no configuration dialog came");
  } else {
    if (::GetWindow(Found.Window, GW_OWNER) != Frame) Fail("the dialog of /c:HWND is not owned by that window");
    wchar_t Caption[128] = {};
    ::GetWindowTextW(Found.Window, Caption, 128);
    if (!std::wstring(Caption).ends_with(L"/C:" + Id)) Fail("the dialog's caption does not end in the mode");
    ::PostMessageW(Found.Window, WM_CLOSE, 0, 0);
  }
  DWORD Code = 0;
  if (!Ended(Process, 5, Code)) {
    Fail("the dialog did not end on its close box");
    ::TerminateProcess(Process.hProcess, 9);
  } else if (Code != 0) {
    Fail("the dialog's exit code is not 0");
  }
  ::CloseHandle(Process.hThread);
  ::CloseHandle(Process.hProcess);
}

// The system's screen-saver settings list the saver by string 1; Explorer shows the version.
void Resources(const std::wstring& Scr) {
  const HMODULE Module = ::LoadLibraryExW(Scr.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!Module) return Fail("quillet.scr could not be read");
  wchar_t Name[64] = {};
  if (::LoadStringW(Module, 1, Name, 64) <= 0 || std::wstring(Name) != L"Quillet") Fail("string 1 is not \"Quillet\"");
  if (!::FindResourceW(Module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16))) Fail("no version resource");  // RT_VERSION
  if (!::FindResourceW(Module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) Fail("no manifest");  // RT_MANIFEST
  ::FreeLibrary(Module);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: preview-host SCR DUMP preview|preview-colon|dialog-owner|resources\n");
    return 2;
  }
  const std::wstring Scr = argv[1], Dump = argv[2], Mode = argv[3];
  if (Mode == L"resources") {
    Resources(Scr);
    return Failures == 0 ? 0 : 1;
  }
  const HWND Frame = ::CreateWindowExW(0, L"STATIC", L"Preview host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                       400, 300, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  const HWND Host = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 20, 20, 152, 112, Frame,
                                      nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (!Frame || !Host) {
    std::fprintf(stderr, "preview-host: no host window\n");
    return 1;
  }
  if (Mode == L"preview" || Mode == L"preview-colon")
    Preview(Scr, Dump, Mode == L"preview-colon", Frame, Host);
  else if (Mode == L"dialog-owner")
    DialogOwner(Scr, Frame);
  else
    Fail("unknown mode");
  if (Failures == 0) std::printf("preview-host: ok\n");
  return Failures == 0 ? 0 : 1;
}
