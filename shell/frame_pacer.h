// When gathered changes go on screen: at most once per refresh of the display, and never later
// than one refresh after the first change that is not shown yet. Times are nanoseconds on any
// steady clock.
#pragma once

#include <cmath>
#include <cstdint>

namespace quillet {

class TFramePacer {
 public:
  static constexpr double UnknownRefreshHz = 60;
  static constexpr double HighestRefreshHz = 1000;

  // The display's rate; one that is not known or not usable (not above 0, above the highest)
  // counts as 60 Hz.
  void SetRefreshRate(double Hz) {
    if (!(Hz > 0 && Hz <= HighestRefreshHz)) Hz = UnknownRefreshHz;
    FPeriod = std::llround(1e9 / Hz);
  }
  int64_t Period() const { return FPeriod; }

  // The earliest time at which the next frame may go on screen.
  int64_t NextFrameAt() const { return FLastShown + FPeriod; }
  void FrameShown(int64_t Now) { FLastShown = Now; }

 private:
  int64_t FPeriod = 16666667;
  int64_t FLastShown = INT64_MIN / 2;  // long ago: the first frame may go at once
};

}  // namespace quillet
