// Screen facts through QScreen.
#include "screen_facts.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace quillet {

ScreenSize PrimaryScreenSize() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return {};
  const QScreen* Screen = QGuiApplication::primaryScreen();
  if (!Screen) return {};
  const QSize Logical = Screen->geometry().size();
  const qreal Ratio = Screen->devicePixelRatio();
  return {static_cast<int32_t>(std::lround(Logical.width() * Ratio)),
          static_cast<int32_t>(std::lround(Logical.height() * Ratio))};
}

}  // namespace quillet
