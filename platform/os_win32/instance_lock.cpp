// The instance lock on Windows: a named mutex in the login session's namespace, created owned.
// The system frees it when the holder's last handle closes, also when the holder crashes.
#include "platform/instance_lock.h"

#include <windows.h>

#include "platform/os_win32/wide_text.h"

namespace quillet {

namespace {

// "\" separates a namespace from a name in object names and a zero character ends one: both,
// and "%", are written as %XX, so that every name stays one name of its own.
std::wstring MutexName(std::string_view Name) {
  std::string Encoded;
  Encoded.reserve(Name.size());
  for (const char C : Name) {
    if (C == '\\')
      Encoded += "%5C";
    else if (C == '\0')
      Encoded += "%00";
    else if (C == '%')
      Encoded += "%25";
    else
      Encoded += C;
  }
  return win32::WideFromUtf8(Encoded);
}

}  // namespace

InstanceLock::Result InstanceLock::Acquire(std::string_view Name) {
  Release();
  const std::wstring Wide = MutexName(Name);
  const HANDLE Handle = ::CreateMutexW(nullptr, TRUE, Wide.c_str());
  const DWORD Error = ::GetLastError();
  if (Handle == nullptr) return Result::Failed;
  if (Error == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(Handle);
    return Result::AlreadyHeld;
  }
  Mutex = Handle;
  return Result::Acquired;
}

void InstanceLock::Release() {
  if (Mutex == nullptr) return;
  ::CloseHandle(static_cast<HANDLE>(Mutex));
  Mutex = nullptr;
}

}  // namespace quillet
