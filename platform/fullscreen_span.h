// A full-screen window over every monitor. Window managers confine a full-screen window to one
// monitor unless it asks, with the _NET_WM_FULLSCREEN_MONITORS request, to span several; this
// asks for the monitors at the four edges of the rectangle that holds them all. Managers that
// do not know the request keep it on one monitor.
#pragma once

#include <QRect>

#include <cstdint>
#include <optional>
#include <vector>

class QWidget;

namespace quillet {

// Indices into the list of monitors (the X server's Xinerama order) of the topmost, bottommost,
// leftmost and rightmost monitor; nothing for fewer than two monitors.
struct TMonitorEdges {
  uint32_t Top = 0;
  uint32_t Bottom = 0;
  uint32_t Left = 0;
  uint32_t Right = 0;
  bool operator==(const TMonitorEdges&) const = default;
};
std::optional<TMonitorEdges> EdgeMonitors(const std::vector<QRect>& Monitors);

// From now on, whenever Window is shown full screen it asks to span every monitor.
void SpanFullScreenOverMonitors(QWidget& Window);

}  // namespace quillet
