// The application object, with a last line of defence: an exception that escapes an event
// handler (memory that cannot be had, say) goes to the program's error path instead of ending
// the process through std::terminate.
#pragma once

#include <QApplication>

#include <functional>
#include <string_view>

namespace quillet {

class TGuardedApplication : public QApplication {
 public:
  TGuardedApplication(int& Argc, char** Argv) : QApplication(Argc, Argv) {}

  // Called with the exception's message; the event that raised it counts as handled. Without it
  // the process ends as before.
  std::function<void(std::string_view What)> OnUncaughtError;

  bool notify(QObject* Receiver, QEvent* Event) override;
};

}  // namespace quillet
