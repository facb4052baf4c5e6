// Profile files per user in the roaming application data: %APPDATA%\Quillet\NAME.
//
// A bare name given to the system's own profile calls lands in the Windows directory, where a
// standard user may not write: every save would fail. The profile therefore lives per user;
// a file that an older setup left in the Windows directory still gives the starting values until
// the first save makes the user's own.
#include "platform/profile_location.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "platform/path_text.h"

namespace quillet {

namespace {

constexpr wchar_t ProgramFolder[] = L"Quillet";

bool HasDirectoryPart(std::string_view Name) { return Name.find_first_of("\\/:") != std::string_view::npos; }

std::filesystem::path EnvironmentPath(const wchar_t* Variable) {
  const DWORD Size = ::GetEnvironmentVariableW(Variable, nullptr, 0);
  if (Size <= 1) return {};
  std::vector<wchar_t> Value(Size);
  const DWORD Length = ::GetEnvironmentVariableW(Variable, Value.data(), Size);
  if (Length == 0 || Length >= Size) return {};
  return std::filesystem::path(std::wstring(Value.data(), Length));
}

// %APPDATA% when it holds an absolute path, else what the shell knows as the roaming folder.
std::filesystem::path RoamingAppData() {
  std::filesystem::path Dir = EnvironmentPath(L"APPDATA");
  if (Dir.is_absolute()) return Dir;
  wchar_t* Known = nullptr;
  if (::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &Known) == S_OK && Known)
    Dir = std::filesystem::path(Known);
  else
    Dir.clear();
  ::CoTaskMemFree(Known);
  return Dir.is_absolute() ? Dir : std::filesystem::path();
}

std::filesystem::path WindowsDirectory() {
  const UINT Size = ::GetWindowsDirectoryW(nullptr, 0);
  if (Size == 0) return {};
  std::vector<wchar_t> Buffer(Size);
  const UINT Length = ::GetWindowsDirectoryW(Buffer.data(), Size);
  if (Length == 0 || Length >= Size) return {};
  return std::filesystem::path(std::wstring(Buffer.data(), Length));
}

}  // namespace

std::filesystem::path ProfileFilePath(std::string_view Name) {
  const std::filesystem::path File = PathFromUtf8(Name);
  if (HasDirectoryPart(Name)) return File;
  const std::filesystem::path Dir = RoamingAppData();
  return Dir.empty() ? File : Dir / ProgramFolder / File;
}

std::filesystem::path ProfileReadPath(std::string_view Name) {
  std::filesystem::path Placed = ProfileFilePath(Name);
  if (HasDirectoryPart(Name)) return Placed;
  std::error_code Error;
  // Anything at the placed name, even what cannot be read, is the user's own file.
  if (std::filesystem::symlink_status(Placed, Error).type() != std::filesystem::file_type::not_found)
    return Placed;
  const std::filesystem::path WinDir = WindowsDirectory();
  if (WinDir.empty()) return Placed;
  std::filesystem::path Old = WinDir / PathFromUtf8(Name);
  return std::filesystem::is_regular_file(Old, Error) ? Old : Placed;
}

}  // namespace quillet
