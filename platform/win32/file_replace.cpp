// Atomic file replacement on Windows: the new content goes to a temporary file beside the target,
// created exclusively and flushed, which then takes the target's place in one rename with
// MoveFileExW. The new file has the folder's inherited security, like any new file there.
// (ReplaceFileW would keep the old file's attributes, but Wine's leaves stray files behind when it
// fails and moves a folder aside instead of refusing.) A read-only target, a folder and a file
// that another program holds open are refused.
#include "platform/file_replace.h"

#include <windows.h>

#include <atomic>
#include <string>

namespace quillet {

namespace {

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

// A new file beside Target under a name no one else uses; INVALID_HANDLE_VALUE on failure, with
// the last error set.
HANDLE CreateTemporary(const std::filesystem::path& Target, std::filesystem::path& Temporary) {
  static std::atomic<unsigned> Counter{0};
  const std::filesystem::path Dir = Target.has_parent_path() ? Target.parent_path() : L".";
  std::wstring Stem = L".";
  Stem += Target.filename().native();
  Stem += L".tmp-";
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
