// A per-user, system-wide named lock that tells whether another live process holds the name.
// The kernel frees it when the holder dies, so a crashed copy never blocks the next start.
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
  // another open lock of the same name exists (in this process or another one); Failed when the
  // lock file cannot be made.
  Result Acquire(std::string_view Name);
  void Release();
  bool Held() const { return Fd >= 0; }

 private:
  int Fd = -1;
};

// The directory of the lock files: "$XDG_RUNTIME_DIR/quillet", or "/tmp/quillet-<uid>" when the
// variable is unset or not absolute. Empty when neither can be made safely.
std::string InstanceLockDirectory();

// The lock file's path below the directory for Name. Bytes other than letters, digits, '-', '_'
// and '.' are written as %XX, so every name has its own file; a name too long for one file name
// is split over subdirectories.
std::string InstanceLockRelativePath(std::string_view Name);

}  // namespace quillet
