// Signal handlers around a temporary file. The path sits in a static buffer that the handler
// reads; unlink(), sigaction() and raise() are async-signal-safe.
#include "platform/os_posix/temporary_file_guard.h"

#include <atomic>
#include <csignal>
#include <cstring>

#include <limits.h>
#include <unistd.h>

namespace quillet {

namespace {

constexpr int EndingSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1,
                                 SIGUSR2, SIGXCPU, SIGVTALRM, SIGPROF};
constexpr int SignalCount = sizeof(EndingSignals) / sizeof(EndingSignals[0]);

std::atomic<bool> InUse{false};
char GuardedPath[PATH_MAX];
volatile std::sig_atomic_t FileExists = 0;
struct sigaction Previous[SignalCount];
bool Replaced[SignalCount];
struct sigaction PreviousFileSize;
bool FileSizeReplaced = false;

extern "C" void RemoveAndEnd(int Signal) {
  if (FileExists) ::unlink(GuardedPath);
  struct sigaction Default {};
  Default.sa_handler = SIG_DFL;
  sigemptyset(&Default.sa_mask);
  ::sigaction(Signal, &Default, nullptr);
  // Blocked while this handler runs: it ends the process as soon as the handler returns.
  ::raise(Signal);
}

bool IsDefault(int Signal, struct sigaction& Current) {
  return ::sigaction(Signal, nullptr, &Current) == 0 && !(Current.sa_flags & SA_SIGINFO) &&
         Current.sa_handler == SIG_DFL;
}

}  // namespace

TTemporaryFileGuard::TTemporaryFileGuard() {
  if (InUse.exchange(true)) return;
  FActive = true;
  FileExists = 0;
  struct sigaction Handler {};
  Handler.sa_handler = RemoveAndEnd;
  sigemptyset(&Handler.sa_mask);
  for (const int Signal : EndingSignals) sigaddset(&Handler.sa_mask, Signal);
  for (int I = 0; I < SignalCount; ++I)
    Replaced[I] = IsDefault(EndingSignals[I], Previous[I]) && ::sigaction(EndingSignals[I], &Handler, nullptr) == 0;
  struct sigaction Ignore {};
  Ignore.sa_handler = SIG_IGN;
  sigemptyset(&Ignore.sa_mask);
  FileSizeReplaced = IsDefault(SIGXFSZ, PreviousFileSize) && ::sigaction(SIGXFSZ, &Ignore, nullptr) == 0;
}

TTemporaryFileGuard::~TTemporaryFileGuard() {
  if (!FActive) return;
  // The handlers go before the name does: a signal now ends the process without touching it.
  for (int I = 0; I < SignalCount; ++I)
    if (Replaced[I]) ::sigaction(EndingSignals[I], &Previous[I], nullptr);
  if (FileSizeReplaced) ::sigaction(SIGXFSZ, &PreviousFileSize, nullptr);
  FileExists = 0;
  InUse.store(false);
}

void TTemporaryFileGuard::Created(const std::string& Path) {
  if (!FActive || Path.size() >= sizeof(GuardedPath)) return;
  // The handler reads the buffer only once the flag is set.
  FileExists = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  std::memcpy(GuardedPath, Path.c_str(), Path.size() + 1);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  FileExists = 1;
}

void TTemporaryFileGuard::Settled() {
  if (FActive) FileExists = 0;
}

}  // namespace quillet
