// A per-user, system-wide named lock that tells whether another live process holds the name.
// The kernel frees it when the holder dies, so a crashed copy never blocks the next start. It is
// an flock()ed file in a private lock directory, or, when no such directory can be had, a
// listening abstract-namespace Unix socket. On Windows it is a named mutex of the login session
// (win32/instance_lock.cpp), and the POSIX helpers at the end do not exist.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

class InstanceLock {
 public:
  enum class Result { Acquired, AlreadyHeld, Failed };

  InstanceLock() = default;
  ~InstanceLock() { Release(); }
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Takes the lock Name, releasing any lock this object held before. AlreadyHeld exactly when
  // another open lock of the same name exists (in this process or another one); Failed when
  // neither the lock file nor the socket can be had.
  Result Acquire(std::string_view Name);
  void Release();
#ifdef _WIN32
  bool Held() const { return Mutex != nullptr; }

 private:
  void* Mutex = nullptr;  // the named mutex's handle
};
#else
  bool Held() const { return Fd >= 0; }

 private:
  Result AcquireFile(std::string_view Name);
  Result AcquireSocket(std::string_view Name);

  int Fd = -1;  // the locked file or the listening socket
};
#endif

// The directory of the lock files: "$XDG_RUNTIME_DIR/quillet", or "/tmp/quillet-<uid>" when the
// variable is unset or not absolute. Empty when neither can be made safely.
std::string InstanceLockDirectory();

// The lock file's path below the directory for Name. Bytes other than letters, digits, '-', '_'
// and '.' are written as %XX, so every name has its own file; a name too long for one file name
// is split over subdirectories.
std::string InstanceLockRelativePath(std::string_view Name);

// The abstract socket name of the lock Name: this user's id and the encoded name, or a digest of
// the encoded name when that is too long for a socket address.
std::string InstanceLockSocketName(std::string_view Name);

}  // namespace quillet
