// Showing a window inside a host X11 window given by its id (the preview's host).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include <xcb/xcb.h>

#include "raster/fixed.h"

class QWidget;

namespace quillet {

// The outer rectangle of window Host (its border included) in screen coordinates; none when
// Host is not an existing window. The first form uses Qt's X connection, so it finds nothing
// when the application does not run on X11.
std::optional<TRect> HostWindowRect(uint32_t Host);
std::optional<TRect> HostWindowRect(xcb_connection_t* Connection, uint32_t Host);

// Makes Window's native window a child of Host, at Host's origin; Window keeps its size, which
// the caller sets to Host's outer size. Returns the window's parent before (never 0 for a
// window that exists), or 0 when it failed: no X11, Host is not an existing window, or the
// server refused (Host inside Window itself, for example).
uint32_t ReparentIntoHost(QWidget& Window, uint32_t Host);

// Calls Handler once when the X server destroys Window's native window behind the program's
// back, as it does with every child of a host window that closes. An embedded preview uses it
// to end with its host instead of running on invisibly. Does nothing off X11.
void WhenNativeWindowDestroyed(QWidget& Window, std::function<void()> Handler);

}  // namespace quillet
