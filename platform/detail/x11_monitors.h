// The X server's own list of monitors, which can hold more than the toolkit's screens: a server
// whose monitors are known only through Xinerama shows the toolkit a single screen. Internal to
// platform/.
#pragma once

#include <QRect>

#include <vector>

#include "platform/detail/x11_native.h"

namespace quillet::x11 {

// The Xinerama heads in the server's order (the order that window-manager requests refer to), in
// device pixels; empty when Xinerama is inactive or missing.
std::vector<QRect> XineramaMonitors(xcb_connection_t* Connection);

}  // namespace quillet::x11
