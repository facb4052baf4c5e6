// A full-screen window over every monitor. Window managers confine a full-screen window to one
// monitor unless it asks, with the _NET_WM_FULLSCREEN_MONITORS request, to span several; this
// asks for the monitors at the four edges of the rectangle that holds them all. Where a window
// manager cannot be asked (it does not offer the request, or no full screen at all), the window
// covers that rectangle unmanaged, as a screen locker does: it takes the keyboard focus and holds
// the keyboard while it is shown, and stays beneath the program's other windows (the dialog it
// opens) and above everything else.
#pragma once

#include <QRect>

#include <cstddef>
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

// What the running window manager announces.
struct TManagerSupport {
  bool Present = false;     // some client manages the top-level windows
  bool FullScreen = false;  // _NET_WM_STATE_FULLSCREEN
  bool Span = false;        // _NET_WM_FULLSCREEN_MONITORS
};

// True when a full-screen window must cover the Monitors itself, unmanaged: a window manager runs
// and cannot be asked to make it cover them all. Without one, the window's own bounds hold.
bool NeedsOwnCover(const TManagerSupport& Manager, size_t Monitors);

// From now on, whenever Window is shown full screen it covers every monitor.
void SpanFullScreenOverMonitors(QWidget& Window);

}  // namespace quillet
