// Where the monitors are: the display of the full-screen saver is the rectangle that holds them
// all, covered by one window and one surface.
#pragma once

#include <QRect>

#include <cstdint>

namespace quillet {

struct ScreenSize {
  int32_t Width = 0;
  int32_t Height = 0;
};

// The union of every monitor's geometry in the toolkit's (logical) coordinates: the toolkit's
// screens and the X server's Xinerama heads; empty without screens or a QGuiApplication.
QRect MonitorsBoundingRect();

// That rectangle's size in device pixels: on a scaled display one surface pixel is still one
// device pixel.
ScreenSize MonitorsDeviceSize();

}  // namespace quillet
