// The event loop watches the signal pipe and calls the handler once per byte read.
#include "platform/quit_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <unistd.h>

#include "platform/quit_signal_pipe.h"

namespace quillet {

void HandleQuitSignals(std::function<void()> OnSignal) {
  if (!CatchQuitSignals()) return;
  const int Pipe = QuitSignalPipe();
  auto* Notifier = new QSocketNotifier(Pipe, QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(Notifier, &QSocketNotifier::activated, Notifier, [Pipe, Handler = std::move(OnSignal)] {
    char Bytes[16];
    while (::read(Pipe, Bytes, sizeof Bytes) > 0) Handler();
  });
}

}  // namespace quillet
