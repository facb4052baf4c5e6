// Atomic file replacement on Windows: the new content goes to a temporary file beside the target,
// created exclusively and flushed, which then takes the target's place in one rename with
// MoveFileExW. The new file has the folder's inherited security, like any new file there.
// (ReplaceFileW would keep the old file's attributes, but Wine's leaves stray files behind when it
// fails and moves a folder aside instead of refusing.) A read-only target, a folder and a file
// that another program holds open are refused. The temporary files of saves whose process ended
// before it could finish are removed by the next replacement of the same target once they are ten
// seconds old.
#include "platform/file_replace.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>

namespace quillet {

namespace {

constexpr auto AbandonedAfter = std::chrono::seconds(10);

std::error_code LastError() { return {static_cast<int>(::GetLastError()), std::system_category()}; }

bool WriteAll(HANDLE File, std::string_view Content) {
  while (!Content.empty()) {
    const DWORD Chunk = Content.size() < (1u << 30) ? static_cast<DWORD>(Content.size()) : (1u << 30);
    DWORD Written = 0;
    if (!::WriteFile(File, Content.data(), Chunk, &Written, nullptr) || Written == 0) return false;
    Content.remove_prefix(Written);
  }
  return true;
}

// Temporary files are named ".<target>.tmp-<pid>-<n>" beside their target.
std::wstring TemporaryPrefix(const std::filesystem::path& Target) {
  return L"." + Target.filename().native() + L".tmp-";
}

// The process id in a temporary file's name after its prefix ("<pid>-<n>"), or 0 for any other name.
DWORD TemporaryOwner(std::wstring_view Rest) {
  const size_t Dash = Rest.find(L'-');
  if (Dash == 0 || Dash == std::wstring_view::npos || Dash + 1 == Rest.size() || Dash > 9) return 0;
  for (size_t I = 0; I < Rest.size(); ++I)
    if (I != Dash && (Rest[I] < L'0' || Rest[I] > L'9')) return 0;
  DWORD Pid = 0;
  for (const wchar_t C : Rest.substr(0, Dash)) Pid = Pid * 10 + static_cast<DWORD>(C - L'0');
  return Pid;
}

bool ProcessRuns(DWORD Pid) {
  const HANDLE Process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, Pid);
  if (!Process) return ::GetLastError() != ERROR_INVALID_PARAMETER;  // refused: it exists
  DWORD Code = 0;
  const bool Runs = ::GetExitCodeProcess(Process, &Code) && Code == STILL_ACTIVE;
  ::CloseHandle(Process);
  return Runs;
}

// Removes the temporary files of saves that their process did not live to finish (ended from
// outside, or by a power cut). A file counts only when its process is gone and it has not been
// written for a while, since process ids are soon used again.
void SweepAbandonedTemporaries(const std::filesystem::path& Target) {
  const std::wstring Prefix = TemporaryPrefix(Target);
  std::error_code Error;
  std::filesystem::directory_iterator Entries(Target.has_parent_path() ? Target.parent_path() : L".", Error);
  if (Error) return;
  const auto Old = std::filesystem::file_time_type::clock::now() - AbandonedAfter;
  for (const std::filesystem::directory_entry& Entry : Entries) {
    const std::wstring Name = Entry.path().filename().native();
    if (Name.compare(0, Prefix.size(), Prefix) != 0) continue;
    const DWORD Owner = TemporaryOwner(std::wstring_view(Name).substr(Prefix.size()));
    if (Owner == 0 || Owner == ::GetCurrentProcessId() || ProcessRuns(Owner)) continue;
    if (!Entry.is_regular_file(Error) || Entry.last_write_time(Error) > Old || Error) continue;
    ::DeleteFileW(Entry.path().c_str());
  }
}

// A new file beside Target under a name no one else uses; INVALID_HANDLE_VALUE on failure, with
// the last error set.
HANDLE CreateTemporary(const std::filesystem::path& Target, std::filesystem::path& Temporary) {
  static std::atomic<unsigned> Counter{0};
  const std::filesystem::path Dir = Target.has_parent_path() ? Target.parent_path() : L".";
  std::wstring Stem = TemporaryPrefix(Target);
  Stem += std::to_wstring(::GetCurrentProcessId());
  Stem += L'-';
  for (int Attempt = 0; Attempt < 100; ++Attempt) {
    Temporary = Dir / (Stem + std::to_wstring(Counter++));
    const HANDLE File = ::CreateFileW(Temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File != INVALID_HANDLE_VALUE) return File;
    const DWORD Error = ::GetLastError();
    if (Error != ERROR_FILE_EXISTS && Error != ERROR_ALREADY_EXISTS) return INVALID_HANDLE_VALUE;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

std::error_code ReplaceFileAtomically(const std::filesystem::path& Target, std::string_view Content) {
  std::error_code Error;
  std::filesystem::path Real = Target;
  if (std::filesystem::is_symlink(Target, Error)) {
    std::filesystem::path Resolved = std::filesystem::weakly_canonical(Target, Error);
    if (!Error) Real = std::move(Resolved);
  }
  if (Real.has_parent_path()) std::filesystem::create_directories(Real.parent_path(), Error);
  // Windows refuses to rename over these; Wine would not, so it is checked here for both.
  const DWORD Attributes = ::GetFileAttributesW(Real.c_str());
  if (Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return {ERROR_ACCESS_DENIED, std::system_category()};

  SweepAbandonedTemporaries(Real);
  std::filesystem::path Temporary;
  const HANDLE File = CreateTemporary(Real, Temporary);
  if (File == INVALID_HANDLE_VALUE) return LastError();

  std::error_code Failure;
  if (!WriteAll(File, Content) || !::FlushFileBuffers(File)) Failure = LastError();
  if (!::CloseHandle(File) && !Failure) Failure = LastError();
  if (!Failure &&
      !::MoveFileExW(Temporary.c_str(), Real.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    Failure = LastError();
  if (Failure) ::DeleteFileW(Temporary.c_str());
  return Failure;
}

}  // namespace quillet
