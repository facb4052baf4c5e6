// The rate overlay: a reading about once a second from the totals, over a wrapping clock, drawn
// into an image of one size.
#include "demo/rate_overlay.h"

#include <gtest/gtest.h>

#include <cmath>

#include "demo/stroke_font.h"

namespace quillet {
namespace {

// Pixels that are not black in the columns from FromX on.
int64_t LitPixels(const TBitmap32& Image, int32_t FromX = 0) {
  int64_t Lit = 0;
  for (int32_t Y = 0; Y < Image.Height(); ++Y)
    for (int32_t X = FromX; X < Image.Width(); ++X) Lit += (*Image.PixelAddress(X, Y) & 0xFFFFFF) != 0;
  return Lit;
}

TEST(RateOverlay, ReadsTheTotalsOncePerSecondAcrossTheClocksWrap) {
  TRateOverlay Overlay;
  const int32_t Width = Overlay.Image().Width();
  const int32_t Height = Overlay.Image().Height();
  EXPECT_EQ(Overlay.Text(), "- ticks/s - fps");
  EXPECT_GT(LitPixels(Overlay.Image()), 0);

  const uint32_t Start = 0xFFFFFF00u;  // the 32-bit millisecond clock wraps within the first reading
  EXPECT_FALSE(Overlay.Sample(Start, 500, 40));  // only starts the count
  EXPECT_FALSE(Overlay.Sample(Start + 999, 1400, 99));
  ASSERT_TRUE(Overlay.Sample(Start + 1000, 1500, 100));
  EXPECT_EQ(Overlay.Text(), "1000 ticks/s 60.0 fps");
  // Two seconds later: rates over the time that really passed.
  ASSERT_TRUE(Overlay.Sample(Start + 3000, 1500 + 1990, 100 + 119));
  EXPECT_EQ(Overlay.Text(), "995 ticks/s 59.5 fps");
  // A pause: nothing drawn, nothing shown.
  ASSERT_TRUE(Overlay.Sample(Start + 4000, 3490, 219));
  EXPECT_EQ(Overlay.Text(), "0 ticks/s 0.0 fps");
  // The image keeps its size, and a shorter reading leaves nothing of a longer one.
  EXPECT_EQ(Overlay.Image().Width(), Width);
  EXPECT_EQ(Overlay.Image().Height(), Height);
  const auto TextEnd = static_cast<int32_t>(std::ceil(StrokeTextWidth(8, Overlay.Text()))) + 8;
  ASSERT_LT(TextEnd, Width);
  EXPECT_EQ(LitPixels(Overlay.Image(), TextEnd), 0);
  EXPECT_EQ(RateText(99999, 999.9), "99999 ticks/s 999.9 fps");
}

}  // namespace
}  // namespace quillet
