// Monitors through QScreen, which follows the X server's RandR monitors (xrandr --setmonitor
// included) and Xinerama screens.
#include "platform/monitor_layout.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace quillet {

QRect MonitorsBoundingRect() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return {};
  QRect Bounds;
  for (const QScreen* Screen : QGuiApplication::screens()) Bounds = Bounds.united(Screen->geometry());
  return Bounds;
}

ScreenSize MonitorsDeviceSize() {
  const QRect Bounds = MonitorsBoundingRect();
  const QScreen* Primary = Bounds.isEmpty() ? nullptr : QGuiApplication::primaryScreen();
  if (!Primary) return {};
  const qreal Ratio = Primary->devicePixelRatio();
  return {static_cast<int32_t>(std::lround(Bounds.width() * Ratio)),
          static_cast<int32_t>(std::lround(Bounds.height() * Ratio))};
}

}  // namespace quillet
