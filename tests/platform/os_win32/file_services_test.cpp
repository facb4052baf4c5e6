// The Win32 file services: where the profile lives and where its starting values come from,
// atomic replacement, and UTF-8 names at the wide file calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>

#include "config/settings_file.h"
#include "platform/file_replace.h"
#include "platform/path_text.h"
#include "platform/profile_location.h"
#include "tests/config/temp_dir.h"

namespace quillet {
namespace {

// Sets an environment variable for the test's duration, as the system's own calls see it.
class ScopedVariable {
 public:
  ScopedVariable(const wchar_t* Name, const std::wstring& Value) : FName(Name) {
    wchar_t Buffer[32768];
    const DWORD Length = ::GetEnvironmentVariableW(Name, Buffer, 32768);
    FHad = Length > 0 && Length < 32768;
    if (FHad) FOld.assign(Buffer, Length);
    ::SetEnvironmentVariableW(Name, Value.c_str());
  }
  ~ScopedVariable() { ::SetEnvironmentVariableW(FName, FHad ? FOld.c_str() : nullptr); }

 private:
  const wchar_t* FName;
  std::wstring FOld;
  bool FHad = false;
};

class FileServices : public testing::TempDirTest {};

TEST_F(FileServices, ABareProfileNameLivesInTheUsersApplicationData) {
  const ScopedVariable AppData(L"APPDATA", Dir.native());
  EXPECT_EQ(ProfileFilePath("QUILLET.INI"), Dir / L"Quillet" / L"QUILLET.INI");
  EXPECT_EQ(ProfileFilePath("q\xC3\xA9.ini"), Dir / L"Quillet" / L"q\u00E9.ini");
  // A name with a directory part stands as it is.
  EXPECT_EQ(ProfileFilePath("c:\\x\\q.ini"), std::filesystem::path(L"c:\\x\\q.ini"));
  EXPECT_EQ(ProfileFilePath("sub/q.ini"), std::filesystem::path(L"sub/q.ini"));
  EXPECT_EQ(ProfileFilePath("d:q.ini"), std::filesystem::path(L"d:q.ini"));
  // A relative %APPDATA% is not trusted: the shell's own folder is used.
  const ScopedVariable Relative(L"APPDATA", L"relative\\dir");
  const std::filesystem::path Placed = ProfileFilePath("QUILLET.INI");
  EXPECT_TRUE(Placed.is_absolute());
  EXPECT_EQ(Placed.parent_path().filename(), L"Quillet");
}

// The mended placement: a profile left in the Windows directory by an older setup gives the
// starting values until the user's own file exists; saves never touch it.
TEST_F(FileServices, AnOldProfileInTheWindowsDirectoryGivesTheStartingValues) {
  const ScopedVariable AppData(L"APPDATA", Dir.native());
  wchar_t WinDir[MAX_PATH];
  ASSERT_GT(::GetWindowsDirectoryW(WinDir, MAX_PATH), 0u);
  const std::string Name = "quillet-test-" + std::to_string(::GetCurrentProcessId()) + ".ini";
  const std::filesystem::path Old = std::filesystem::path(WinDir) / Name;
  const std::filesystem::path Own = Dir / L"Quillet" / PathFromUtf8(Name);

  EXPECT_EQ(ProfileReadPath(Name), Own);  // neither exists
  {
    std::ofstream Out(Old, std::ios::binary);
    Out << "[Config]\r\nObjects=321\r\n[Blend]\r\nBars=0\r\n";
  }
  if (!std::filesystem::exists(Old)) GTEST_SKIP() << "the Windows directory is not writable here";
  EXPECT_EQ(ProfileReadPath(Name), Old);
  EXPECT_EQ(ProfileReadPath("sub\\" + Name), std::filesystem::path(L"sub\\") / PathFromUtf8(Name));

  DemoSettings Settings;
  LoadSettings(Settings, ProfileReadPath(Name));
  EXPECT_EQ(Settings.Objects(), 321);
  EXPECT_FALSE(Settings.bBars);
  Settings.SetSize(33);
  SaveSettings(Settings, ProfileFilePath(Name));
  EXPECT_EQ(ProfileReadPath(Name), Own);
  DemoSettings Again;
  LoadSettings(Again, ProfileReadPath(Name));
  EXPECT_EQ(Again, Settings);
  EXPECT_EQ(ReadFile(Old), "[Config]\r\nObjects=321\r\n[Blend]\r\nBars=0\r\n");
  std::filesystem::remove(Old);
}

TEST_F(FileServices, ReplacementCreatesFoldersReplacesWholeAndLeavesNoTemporaryFile) {
  const std::filesystem::path Target = Dir / L"new" / L"folder" / L"QUILLET.INI";
  EXPECT_FALSE(ReplaceFileAtomically(Target, "[S]\r\nk=1\r\n"));
  EXPECT_EQ(ReadFile(Target), "[S]\r\nk=1\r\n");
  EXPECT_FALSE(ReplaceFileAtomically(Target, "short"));
  EXPECT_EQ(ReadFile(Target), "short");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Target.parent_path()), {}), 1);
  EXPECT_FALSE(ReplaceFileAtomically(Target, ""));
  EXPECT_EQ(std::filesystem::file_size(Target), 0u);
}

TEST_F(FileServices, AFailedReplacementKeepsTheOldFileAndRemovesTheTemporary) {
  // A folder in the target's place.
  const std::filesystem::path Folder = Dir / L"QUILLET.INI";
  std::filesystem::create_directories(Folder / L"inside");
  EXPECT_TRUE(ReplaceFileAtomically(Folder, "x"));
  EXPECT_TRUE(std::filesystem::is_directory(Folder / L"inside"));
  EXPECT_EQ(EntryCount(), 1u);

  // A target that another program holds open without letting it be replaced.
  const std::filesystem::path Held = Dir / L"held.ini";
  WriteFile(Held, "old");
  const HANDLE Handle = ::CreateFileW(Held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(Handle, INVALID_HANDLE_VALUE);
  const std::error_code Error = ReplaceFileAtomically(Held, "new");
  ::CloseHandle(Handle);
  EXPECT_TRUE(Error);
  EXPECT_EQ(Error.category(), std::system_category());
  EXPECT_EQ(ReadFile(Held), "old");
  EXPECT_EQ(EntryCount(), 2u);

  // A file marked read-only.
  const std::filesystem::path ReadOnly = Dir / L"read-only.ini";
  WriteFile(ReadOnly, "old");
  ASSERT_TRUE(::SetFileAttributesW(ReadOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(ReplaceFileAtomically(ReadOnly, "new"));
  ::SetFileAttributesW(ReadOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadFile(ReadOnly), "old");
  EXPECT_EQ(EntryCount(), 3u);
}

// This test program started again with Arguments (see main.cpp); its process handle.
HANDLE StartThisProgram(const std::wstring& Arguments, DWORD& Pid) {
  wchar_t Self[MAX_PATH * 4];
  ::GetModuleFileNameW(nullptr, Self, MAX_PATH * 4);
  std::wstring Command = L"\"" + std::wstring(Self) + L"\" " + Arguments;
  STARTUPINFOW Startup{};
  Startup.cb = sizeof Startup;
  PROCESS_INFORMATION Process{};
  if (!::CreateProcessW(nullptr, Command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Startup, &Process))
    return nullptr;
  ::CloseHandle(Process.hThread);
  Pid = Process.dwProcessId;
  return Process.hProcess;
}

TEST_F(FileServices, AReplacementRemovesTheTemporaryFilesThatEndedProcessesLeft) {
  DWORD Ended = 0, Running = 0;
  const HANDLE EndedProcess = StartThisProgram(L"--sleep 0", Ended);
  ASSERT_NE(EndedProcess, nullptr);
  ::WaitForSingleObject(EndedProcess, 60000);
  ::CloseHandle(EndedProcess);
  const HANDLE RunningProcess = StartThisProgram(L"--sleep 60000", Running);
  ASSERT_NE(RunningProcess, nullptr);

  const std::wstring Own = L".QUILLET.INI.tmp-";
  const auto Abandoned = Dir / (Own + std::to_wstring(Ended) + L"-0");
  const auto Recent = Dir / (Own + std::to_wstring(Ended) + L"-1");
  const auto StillWriting = Dir / (Own + std::to_wstring(Running) + L"-0");
  const auto OtherName = Dir / (Own + L"x" + std::to_wstring(Ended) + L"-0");
  const auto OtherTarget = Dir / (L".OTHER.INI.tmp-" + std::to_wstring(Ended) + L"-0");
  const auto HourAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  for (const auto& P : {Abandoned, Recent, StillWriting, OtherName, OtherTarget}) {
    WriteFile(P, "left over");
    if (P != Recent) std::filesystem::last_write_time(P, HourAgo);
  }
  EXPECT_FALSE(ReplaceFileAtomically(Dir / L"QUILLET.INI", "[S]\nk=1\n"));
  ::TerminateProcess(RunningProcess, 0);
  ::CloseHandle(RunningProcess);
  EXPECT_FALSE(std::filesystem::exists(Abandoned));
  EXPECT_TRUE(std::filesystem::exists(Recent));  // perhaps still being written
  for (const auto& P : {StillWriting, OtherName, OtherTarget}) EXPECT_TRUE(std::filesystem::exists(P)) << P;
  EXPECT_EQ(ReadFile(Dir / L"QUILLET.INI"), "[S]\nk=1\n");
}

TEST_F(FileServices, Utf8NamesReachTheFileSystemIntact) {
  const std::string Name = "q\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80.ini";  // e-acute, euro, an emoji
  const std::filesystem::path File = Dir / PathFromUtf8(Name);
  EXPECT_EQ(File.filename(), std::filesystem::path(L"q\u00E9\u20AC\U0001F600.ini"));
  EXPECT_EQ(Utf8FromPath(File.filename()), Name);
  EXPECT_FALSE(ReplaceFileAtomically(File, "[S]\nk=v\n"));
  ASSERT_EQ(EntryCount(), 1u);
  EXPECT_EQ(Utf8FromPath(std::filesystem::directory_iterator(Dir)->path().filename()), Name);
  // What is no UTF-8 becomes U+FFFD rather than something else.
  EXPECT_EQ(PathFromUtf8("a\xFFz").native(), L"a\uFFFDz");
}

}  // namespace
}  // namespace quillet
