// The counter hides the cursor with an application-wide blank override cursor, pushed when the
// count drops below 0 and popped when it comes back, so it covers every window of the program.
#include "platform/ui_qt_x11/cursor_counter.h"

#include <QCursor>
#include <QGuiApplication>

namespace quillet {

namespace {
int32_t Count = 0;
}

int32_t ShowCursor(bool Show) {
  const int32_t Old = Count;
  if (Show) {
    if (Count < INT32_MAX) ++Count;
  } else {
    if (Count > INT32_MIN) --Count;
  }
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    if (Old >= 0 && Count < 0) QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
    if (Old < 0 && Count >= 0) QGuiApplication::restoreOverrideCursor();
  }
  return Count;
}

int32_t CursorDisplayCount() { return Count; }

}  // namespace quillet
