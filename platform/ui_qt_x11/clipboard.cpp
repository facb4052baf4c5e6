// The clipboard through QClipboard.
#include "platform/ui_qt_x11/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace quillet {

bool SetClipboardText(std::string_view Text) {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
  QClipboard* Clipboard = QGuiApplication::clipboard();
  if (!Clipboard) return false;
  Clipboard->setText(QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size())));
  return true;
}

}  // namespace quillet
