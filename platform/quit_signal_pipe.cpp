// A signal handler may only do async-signal-safe work: it writes one byte into a pipe.
#include "platform/quit_signal_pipe.h"

#include <cerrno>
#include <csignal>
#include <initializer_list>

#include <fcntl.h>
#include <unistd.h>

namespace quillet {

namespace {

int SignalPipe[2] = {-1, -1};

void WriteSignalByte(int) {
  const int SavedErrno = errno;
  const char Byte = 1;
  [[maybe_unused]] const ssize_t Written = ::write(SignalPipe[1], &Byte, 1);
  errno = SavedErrno;
}

}  // namespace

bool CatchQuitSignals() {
  if (SignalPipe[0] >= 0) return true;
  if (::pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    SignalPipe[0] = SignalPipe[1] = -1;
    return false;
  }
  struct sigaction Action {};
  Action.sa_handler = &WriteSignalByte;
  sigemptyset(&Action.sa_mask);
  Action.sa_flags = SA_RESTART;
  for (const int Signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(Signal, &Action, nullptr);
  return true;
}

int QuitSignalPipe() { return SignalPipe[0]; }

}  // namespace quillet
