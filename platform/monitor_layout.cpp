// Monitors through QScreen, which follows the X server's RandR monitors (xrandr --setmonitor
// included), and through Xinerama, which knows monitors that RandR does not report (a server
// started with +xinerama shows the toolkit one screen).
#include "platform/monitor_layout.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

#include "platform/detail/x11_monitors.h"

namespace quillet {

QRect MonitorsBoundingRect() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return {};
  QRect Bounds;
  for (const QScreen* Screen : QGuiApplication::screens()) Bounds = Bounds.united(Screen->geometry());
  // The server counts device pixels; the toolkit's screens are in logical ones.
  const QScreen* Primary = QGuiApplication::primaryScreen();
  const qreal Ratio = Primary && Primary->devicePixelRatio() > 0 ? Primary->devicePixelRatio() : 1;
  for (const QRect& Head : x11::XineramaMonitors(x11::QtConnection())) {
    const QPoint TopLeft(static_cast<int>(std::lround(Head.x() / Ratio)),
                         static_cast<int>(std::lround(Head.y() / Ratio)));
    const QPoint BottomRight(static_cast<int>(std::lround((Head.x() + Head.width()) / Ratio)),
                             static_cast<int>(std::lround((Head.y() + Head.height()) / Ratio)));
    Bounds = Bounds.united(QRect(TopLeft, BottomRight - QPoint(1, 1)));
  }
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
