// Output files through the Win32 API: links followed, the new file made with CREATE_NEW under a
// fresh name beside the target, MoveFileExW into place. While it is written, a console's Ctrl+C,
// Ctrl+Break or closing removes it before the process ends.
#include "tools/output_file.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "platform/path_text.h"
#include "platform/os_win32/wide_text.h"

namespace quillet {

namespace {

constexpr int CreateAttempts = 100;
// Room in a file name for the dot, the suffix and its numbers.
constexpr size_t MaxBaseInTemporaryName = 200;

bool Fail(std::string& Error, DWORD Code = ::GetLastError()) {
  Error = win32::SystemErrorText(Code);
  return false;
}

// The temporary file that a console control event removes; empty when none is being written.
// Only one output file is written at a time.
wchar_t GuardedPath[MAX_PATH * 4];
std::atomic<bool> Guarding{false};

BOOL WINAPI RemoveTemporary(DWORD) {
  // The file was opened with FILE_SHARE_DELETE: it goes when the process ends and closes it.
  if (Guarding) ::DeleteFileW(GuardedPath);
  return FALSE;  // on to the default handling, which ends the process
}

class TConsoleGuard {
 public:
  explicit TConsoleGuard(const std::filesystem::path& Temporary) {
    const std::wstring& Name = Temporary.native();
    if (Name.size() >= sizeof GuardedPath / sizeof GuardedPath[0]) return;
    Name.copy(GuardedPath, Name.size());
    GuardedPath[Name.size()] = L'\0';
    Guarding = true;
    FInstalled = ::SetConsoleCtrlHandler(RemoveTemporary, TRUE);
  }
  ~TConsoleGuard() {
    Guarding = false;
    if (FInstalled) ::SetConsoleCtrlHandler(RemoveTemporary, FALSE);
  }
  TConsoleGuard(const TConsoleGuard&) = delete;
  TConsoleGuard& operator=(const TConsoleGuard&) = delete;

 private:
  BOOL FInstalled = FALSE;
};

// A stream over File, which it then owns; null (File closed) on failure.
std::FILE* StreamOf(HANDLE File) {
  const int Fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(File), _O_WRONLY | _O_BINARY);
  if (Fd < 0) {
    ::CloseHandle(File);
    return nullptr;
  }
  std::FILE* Stream = ::_fdopen(Fd, "wb");
  if (!Stream) ::_close(Fd);
  return Stream;
}

// Write, then everything flushed (to the disk too when Sync); the stream is closed either way.
bool WriteAndClose(std::FILE* Stream, HANDLE File, const TOutputWriter& Write, bool Sync, std::string& Error) {
  bool Ok = Write(Stream, Error);
  if (std::fflush(Stream) != 0 && Ok) Ok = Fail(Error);
  if (Ok && Sync && !::FlushFileBuffers(File)) Ok = Fail(Error);
  if (std::fclose(Stream) != 0 && Ok) Ok = Fail(Error, ERROR_WRITE_FAULT);
  return Ok;
}

// The new content beside Target, moved over it once complete.
bool ReplaceFile(const std::filesystem::path& Target, const TOutputWriter& Write, std::string& Error) {
  const std::filesystem::path Dir = Target.has_parent_path() ? Target.parent_path() : L".";
  const std::wstring Stem = L"." + Target.filename().native().substr(0, MaxBaseInTemporaryName) + L".tmp-" +
                            std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(::GetTickCount()) + L"-";
  std::filesystem::path Temporary;
  HANDLE File = INVALID_HANDLE_VALUE;
  for (int Attempt = 0; Attempt < CreateAttempts && File == INVALID_HANDLE_VALUE; ++Attempt) {
    Temporary = Dir / (Stem + std::to_wstring(Attempt));
    File = ::CreateFileW(Temporary.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) return Fail(Error);
  }
  if (File == INVALID_HANDLE_VALUE) return Fail(Error);
  const TConsoleGuard Guard(Temporary);
  std::FILE* Stream = StreamOf(File);
  bool Ok = Stream ? WriteAndClose(Stream, File, Write, true, Error) : Fail(Error);
  if (Ok && !::MoveFileExW(Temporary.c_str(), Target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    Ok = Fail(Error);
  if (!Ok) ::DeleteFileW(Temporary.c_str());
  return Ok;
}

}  // namespace

bool WriteOutputFile(const std::string& Path, const TOutputWriter& Write, std::string& Error) {
  if (Path == "-") {
    ::_setmode(::_fileno(stdout), _O_BINARY);
    bool Ok = Write(stdout, Error);
    if (std::fflush(stdout) != 0 && Ok) Ok = Fail(Error, ERROR_WRITE_FAULT);
    return Ok;
  }
  std::filesystem::path Target = PathFromUtf8(Path);
  std::error_code Ignored;
  if (std::filesystem::is_symlink(Target, Ignored)) {
    std::filesystem::path Resolved = std::filesystem::weakly_canonical(Target, Ignored);
    if (!Ignored) Target = std::move(Resolved);
  }
  const DWORD Attributes = ::GetFileAttributesW(Target.c_str());
  if (Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY))
    return Fail(Error, ERROR_ACCESS_DENIED);

  // A device (NUL, CON, a pipe) takes the content as it comes.
  const HANDLE Device = ::CreateFileW(Target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (Device != INVALID_HANDLE_VALUE) {
    if (::GetFileType(Device) != FILE_TYPE_DISK) {
      std::FILE* Stream = StreamOf(Device);
      return Stream ? WriteAndClose(Stream, Device, Write, false, Error) : Fail(Error);
    }
    ::CloseHandle(Device);
  }
  return ReplaceFile(Target, Write, Error);
}

}  // namespace quillet
