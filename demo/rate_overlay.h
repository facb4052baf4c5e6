// The rate overlay: ticks and frames per second, measured over about a second, drawn with the
// stroke font into a small surface of its own. The window shows that surface over a corner of the
// page, so the page's own pixels never hold it.
#pragma once

#include <cstdint>
#include <string>

#include "raster/bitmap32.h"

namespace quillet {

// "987 ticks/s 59.9 fps": whole ticks, frames to a tenth.
std::string RateText(double TicksPerSecond, double FramesPerSecond);

class TRateOverlay {
 public:
  static constexpr uint32_t ReadingMs = 1000;

  // The image starts with no reading: "- ticks/s - fps".
  TRateOverlay();

  // Takes the totals counted so far at NowMs, a millisecond clock that may wrap at 32 bits. True
  // when a new reading has been drawn into Image, once at least ReadingMs have passed since the
  // one before; the first call only starts the count.
  bool Sample(uint32_t NowMs, uint64_t Ticks, uint64_t Frames);

  const TBitmap32& Image() const { return FImage; }
  const std::string& Text() const { return FText; }

 private:
  void Draw(const std::string& Text);

  TBitmap32 FImage;
  std::string FText;
  bool FStarted = false;
  uint32_t FSinceMs = 0;
  uint64_t FSinceTicks = 0;
  uint64_t FSinceFrames = 0;
};

}  // namespace quillet
