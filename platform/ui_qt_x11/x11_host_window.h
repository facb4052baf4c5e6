// The window that a host hands to a hosted saver: finding the root (or the virtual root that a
// desktop announces with __SWM_VROOT), reading a window's inside size, and following its changes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace quillet {

struct THostSize {
  int32_t Width = 0;   // inside, border excluded
  int32_t Height = 0;
  int32_t Border = 0;
};

// The root window of the default screen of Qt's connection; 0 off X11.
uint32_t ScreenRootWindow();

// The window that a root-drawing saver draws into: the child of Root that carries the
// __SWM_VROOT property names it; Root itself when no child does.
uint32_t VirtualRootWindow(uint32_t Root);

// The size of window Window, or none when it is no window (or off X11).
std::optional<THostSize> HostWindowSize(uint32_t Window);

// Calls OnResize from the event loop whenever Host changes size, for as long as Owner lives. The
// events of Host are selected in addition to those Qt already selects on it. Does nothing off
// X11.
void WhenHostResized(QWidget& Owner, uint32_t Host, std::function<void(const THostSize&)> OnResize);

}  // namespace quillet
