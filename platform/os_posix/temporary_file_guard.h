// A temporary file that a signal must not leave behind. While a guard is alive, a signal that
// would end the process (SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU,
// SIGVTALRM, SIGPROF, each only while its action is the default one) removes the file first and
// then ends the process as it would have; and SIGXFSZ, the file size limit's signal, is ignored
// so that a write past the limit fails with EFBIG instead of ending the process. Signals that
// the program handles or ignores keep their handling. SIGKILL cannot be caught: a file left by it
// is the caller's to sweep.
//
// One guard is active at a time in a process; a second one, made while the first is alive,
// guards nothing (Active() is false).
#pragma once

#include <string>

namespace quillet {

class TTemporaryFileGuard {
 public:
  // Before the file is created; call Created() once it exists.
  TTemporaryFileGuard();
  ~TTemporaryFileGuard();
  TTemporaryFileGuard(const TTemporaryFileGuard&) = delete;
  TTemporaryFileGuard& operator=(const TTemporaryFileGuard&) = delete;

  // The file at Path now exists and is ours to remove (a path longer than PATH_MAX is not guarded).
  void Created(const std::string& Path);
  // The file has been renamed into place or removed: nothing is left to remove.
  void Settled();
  bool Active() const { return FActive; }

 private:
  bool FActive = false;
};

}  // namespace quillet
