// Output files on Windows: a temporary file created with CREATE_NEW beside the target, moved over
// it with MoveFileExW once complete and flushed.
#include "tools/detail/output_file.h"

#include <windows.h>

#include <filesystem>

#include "platform/path_text.h"
#include "platform/win32/wide_text.h"

namespace quillet {

namespace {

bool WriteAll(HANDLE File, const uint8_t* Data, size_t Size) {
  while (Size > 0) {
    const DWORD Chunk = Size < (1u << 30) ? static_cast<DWORD>(Size) : (1u << 30);
    DWORD Written = 0;
    if (!::WriteFile(File, Data, Chunk, &Written, nullptr) || Written == 0) return false;
    Data += Written;
    Size -= Written;
  }
  return true;
}

void NoteLastError(std::string& Error) { Error = win32::SystemErrorText(::GetLastError()); }

// A character device or pipe named by Target (NUL, CON, \\.\pipe\...), opened for writing; else
// INVALID_HANDLE_VALUE.
HANDLE OpenDevice(const std::filesystem::path& Target) {
  const HANDLE File = ::CreateFileW(Target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (File == INVALID_HANDLE_VALUE) return File;
  if (::GetFileType(File) == FILE_TYPE_DISK) {
    ::CloseHandle(File);
    return INVALID_HANDLE_VALUE;
  }
  return File;
}

}  // namespace

bool WriteOutputFile(const std::string& Path, const TOutputProducer& Produce, std::string& Error) {
  const std::filesystem::path Target = PathFromUtf8(Path);
  // Produce into File; a refused write is reported with the system's message.
  const auto Run = [&](HANDLE File) {
    DWORD WriteError = ERROR_SUCCESS;
    const TOutputSink Sink = [&](const uint8_t* Data, size_t Size) {
      if (WriteAll(File, Data, Size)) return true;
      WriteError = ::GetLastError();
      return false;
    };
    std::string Why;
    if (Produce(Sink, Why)) return true;
    if (WriteError != ERROR_SUCCESS)
      Error = win32::SystemErrorText(WriteError);
    else
      Error = Why.empty() ? "the output could not be made" : Why;
    return false;
  };

  const HANDLE Device = OpenDevice(Target);
  if (Device != INVALID_HANDLE_VALUE) {
    const bool Ok = Run(Device);
    ::CloseHandle(Device);
    return Ok;
  }

  const std::filesystem::path Dir = Target.has_parent_path() ? Target.parent_path() : L".";
  const std::wstring Stem = L"." + Target.filename().native() + L".tmp-" + std::to_wstring(::GetCurrentProcessId()) + L"-";
  std::filesystem::path Temporary;
  HANDLE File = INVALID_HANDLE_VALUE;
  for (unsigned Attempt = 0; Attempt < 100 && File == INVALID_HANDLE_VALUE; ++Attempt) {
    Temporary = Dir / (Stem + std::to_wstring(Attempt));
    File = ::CreateFileW(Temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (File == INVALID_HANDLE_VALUE) {
    NoteLastError(Error);
    return false;
  }
  bool Ok = Run(File);
  if (Ok && !::FlushFileBuffers(File)) {
    NoteLastError(Error);
    Ok = false;
  }
  if (!::CloseHandle(File) && Ok) {
    NoteLastError(Error);
    Ok = false;
  }
  if (Ok && !::MoveFileExW(Temporary.c_str(), Target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    NoteLastError(Error);
    Ok = false;
  }
  if (!Ok) ::DeleteFileW(Temporary.c_str());
  return Ok;
}

}  // namespace quillet
