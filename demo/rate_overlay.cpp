// The overlay's image keeps one size for every reading, wide enough for the largest rates a window
// reaches, so that a changing reading never leaves pieces of a wider one on screen.
#include "demo/rate_overlay.h"

#include <cmath>
#include <cstdio>

#include "demo/stroke_font.h"

namespace quillet {

namespace {

constexpr double TextHeight = 8;
constexpr int32_t Margin = 4;
constexpr TColor32 Background = 0xFF000000;
constexpr TColor32 Foreground = 0xFFFFFFFF;
// The widest reading the image is made for: a 1 ms timer ticks at most 1000 times a second.
constexpr char WidestText[] = "99999 ticks/s 999.9 fps";

}  // namespace

std::string RateText(double TicksPerSecond, double FramesPerSecond) {
  char Text[64];
  std::snprintf(Text, sizeof Text, "%.0f ticks/s %.1f fps", TicksPerSecond, FramesPerSecond);
  return Text;
}

TRateOverlay::TRateOverlay() {
  FImage.SetDimensions(static_cast<int32_t>(std::ceil(StrokeTextWidth(TextHeight, WidestText))) + 2 * Margin,
                       static_cast<int32_t>(TextHeight) + 2 * Margin);
  Draw("- ticks/s - fps");
}

bool TRateOverlay::Sample(uint32_t NowMs, uint64_t Ticks, uint64_t Frames) {
  if (!FStarted) {
    FStarted = true;
    FSinceMs = NowMs;
    FSinceTicks = Ticks;
    FSinceFrames = Frames;
    return false;
  }
  const uint32_t Elapsed = NowMs - FSinceMs;
  if (Elapsed < ReadingMs) return false;
  const double Seconds = Elapsed / 1000.0;
  Draw(RateText(static_cast<double>(Ticks - FSinceTicks) / Seconds,
                static_cast<double>(Frames - FSinceFrames) / Seconds));
  FSinceMs = NowMs;
  FSinceTicks = Ticks;
  FSinceFrames = Frames;
  return true;
}

void TRateOverlay::Draw(const std::string& Text) {
  FText = Text;
  FImage.Fill(Background);
  DrawStrokeText(FImage, Margin, Margin, TextHeight, Text, Foreground);
}

}  // namespace quillet
