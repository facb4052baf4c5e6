// A signal handler may only do async-signal-safe work: it writes one byte into a pipe, and the
// event loop reads the pipe and calls the handler.
#include "platform/quit_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
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

void HandleQuitSignals(std::function<void()> OnSignal) {
  if (SignalPipe[0] >= 0 || ::pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* Notifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(Notifier, &QSocketNotifier::activated, Notifier, [Handler = std::move(OnSignal)] {
    char Bytes[16];
    while (::read(SignalPipe[0], Bytes, sizeof Bytes) > 0) Handler();
  });
  struct sigaction Action {};
  Action.sa_handler = &WriteSignalByte;
  sigemptyset(&Action.sa_mask);
  Action.sa_flags = SA_RESTART;
  for (const int Signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(Signal, &Action, nullptr);
}

}  // namespace quillet
