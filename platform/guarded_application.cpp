// Every event passes through notify, so one handler here stands behind every event handler.
#include "platform/guarded_application.h"

#include <exception>

namespace quillet {

bool TGuardedApplication::notify(QObject* Receiver, QEvent* Event) {
  if (!OnUncaughtError) return QApplication::notify(Receiver, Event);
  try {
    return QApplication::notify(Receiver, Event);
  } catch (const std::exception& Error) {
    OnUncaughtError(Error.what());
  } catch (...) {
    OnUncaughtError("unknown error");
  }
  return true;
}

}  // namespace quillet
