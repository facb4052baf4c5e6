// Facts about the display measured at start-up.
#pragma once

#include <cstdint>

namespace quillet {

struct ScreenSize {
  int32_t Width = 0;
  int32_t Height = 0;
};

// The primary screen's size in device pixels (on a scaled display, one surface pixel is still
// one device pixel); 0 x 0 without a screen or a QGuiApplication.
ScreenSize PrimaryScreenSize();

}  // namespace quillet
