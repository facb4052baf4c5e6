// The Win32 process services: the program path and base name, the named instance lock across
// processes, the arguments from the wide command line, the clock and the system colours.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/instance_lock.h"
#include "platform/os_win32/gdi_text_output.h"
#include "platform/millisecond_clock.h"
#include "platform/process_facts.h"
#include "platform/os_win32/wide_text.h"
#include "raster/color.h"
#include "shell/sys_util.h"

namespace quillet {
namespace {

using win32::WideFromUtf8;

TEST(ProgramBaseName, FollowsTheLastBackslashOrSlashAndCutsOnlyDotExe) {
  EXPECT_EQ(GetProgramBaseName("c:\\a\\b\\Quillet.exe"), "Quillet");
  EXPECT_EQ(GetProgramBaseName("c:\\a\\b\\Quillet.scr"), "Quillet.scr");
  EXPECT_EQ(GetProgramBaseName("c:\\a\\b\\QUILLET.EXE"), "QUILLET.EXE");
  EXPECT_EQ(GetProgramBaseName("c:/a/b\\q.exe"), "q");
  EXPECT_EQ(GetProgramBaseName("c:\\a\\b/q.scr"), "q.scr");
  EXPECT_EQ(GetProgramBaseName("quillet.scr"), "");
  const std::string Path = ProgramFilePath();
  ASSERT_GE(Path.size(), 19u);
  EXPECT_EQ(Path.substr(Path.size() - 19), "\\platform_tests.exe");
  EXPECT_EQ(GetProgramBaseName(), "platform_tests");
}

// Runs this test program as the second process of the lock tests (see main.cpp).
int TakenInAnotherProcess(const std::string& Name) {
  std::wstring Command = L"\"" + WideFromUtf8(ProgramFilePath()) + L"\" --instance-lock-taken \"";
  Command += WideFromUtf8(Name) + L"\"";
  STARTUPINFOW Startup{};
  Startup.cb = sizeof Startup;
  PROCESS_INFORMATION Process{};
  if (!::CreateProcessW(nullptr, Command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Startup,
                        &Process))
    return -1;
  ::WaitForSingleObject(Process.hProcess, 60000);
  DWORD Code = 99;
  ::GetExitCodeProcess(Process.hProcess, &Code);
  ::CloseHandle(Process.hThread);
  ::CloseHandle(Process.hProcess);
  return static_cast<int>(Code);
}

TEST(InstanceLock, AnotherProcessSeesTheNameHeldUntilItIsReleased) {
  // Blanks, a backslash, a percent sign and letters beyond ASCII reach the other process intact
  // through its wide command line and name one lock there.
  const std::string Name = "quillet test \xC3\xA9\\x%5C " + std::to_string(::GetCurrentProcessId());
  EXPECT_EQ(TakenInAnotherProcess(Name), 0);  // that process's lock died with it
  InstanceLock Lock;
  ASSERT_EQ(Lock.Acquire(Name), InstanceLock::Result::Acquired);
  EXPECT_TRUE(Lock.Held());
  EXPECT_EQ(TakenInAnotherProcess(Name), 1);
  // A backslash and its encoding stay two names; names keep their case.
  const std::string Encoded = "quillet test \xC3\xA9%5Cx%5C " + std::to_string(::GetCurrentProcessId());
  EXPECT_EQ(TakenInAnotherProcess(Encoded), 0);
  EXPECT_EQ(TakenInAnotherProcess("QUILLET TEST \xC3\x89\\x%5C " + std::to_string(::GetCurrentProcessId())), 0);
  Lock.Release();
  EXPECT_FALSE(Lock.Held());
  EXPECT_EQ(TakenInAnotherProcess(Name), 0);
}

TEST(InstanceLock, ASecondHolderInTheSameProcessIsRefused) {
  const std::string Name = std::string("quillet/s\0x", 11) + std::to_string(::GetCurrentProcessId());
  InstanceLock First, Second, Cut;
  EXPECT_EQ(First.Acquire(Name), InstanceLock::Result::Acquired);
  EXPECT_EQ(Second.Acquire(Name), InstanceLock::Result::AlreadyHeld);
  EXPECT_FALSE(Second.Held());
  // A zero character does not end the name.
  EXPECT_EQ(Cut.Acquire(Name.substr(0, 9)), InstanceLock::Result::Acquired);
  First.Release();
  EXPECT_EQ(Second.Acquire(Name), InstanceLock::Result::Acquired);
}

TEST(MillisecondTicks, IsTheSystemTickCount) {
  const uint32_t Before = ::GetTickCount();
  const uint32_t Ticks = MillisecondTicks();
  const uint32_t After = ::GetTickCount();
  EXPECT_LE(Ticks - Before, After - Before);
}

TEST(GdiSystemColors, NegativeColoursAreTheSystemsOwn) {
  InstallGdiTextOutput();
  const COLORREF Window = ::GetSysColor(COLOR_WINDOW);
  const TColor32 Expected = PackArgb(GetRValue(Window), GetGValue(Window), GetBValue(Window), 255);
  EXPECT_EQ(FromGdiColor(static_cast<int32_t>(0x80000000u | COLOR_WINDOW)), Expected);
}

}  // namespace
}  // namespace quillet
