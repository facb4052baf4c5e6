// The surface's size, clipping and notification rules.
#include <gtest/gtest.h>

#include <vector>

#include "raster/bitmap32.h"

namespace quillet {
namespace {

struct Events {
  int Changes = 0;
  int Resizes = 0;
  std::vector<std::pair<TRect, uint32_t>> Areas;

  void Attach(TBitmap32& B) {
    B.OnChange = [this](TNotifiablePersistent*) { ++Changes; };
    B.OnResize = [this](TNotifiablePersistent*) { ++Resizes; };
    B.OnAreaChanged = [this](TBitmap32*, const TRect& R, uint32_t Info) { Areas.push_back({R, Info}); };
  }
};

TEST(Surface, NegativeSizeCountsAsZeroAndStillNotifies) {
  TBitmap32 B;
  Events E;
  E.Attach(B);
  EXPECT_TRUE(B.SetDimensions(-5, 10));
  EXPECT_EQ(B.Width(), 0);
  EXPECT_EQ(B.Height(), 10);
  EXPECT_TRUE(B.IsEmpty());
  EXPECT_EQ(E.Changes, 1);
  EXPECT_EQ(E.Resizes, 1);
  EXPECT_FALSE(B.SetDimensions(0, 10));
  EXPECT_EQ(E.Changes, 1);
}

TEST(Surface, FillWritesEveryPixelAndReportsTheBounds) {
  TBitmap32 B;
  B.SetDimensions(3, 2);
  Events E;
  E.Attach(B);
  B.Fill(0x12345678);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(*B.PixelAddress(x, y), 0x12345678u);
  ASSERT_EQ(E.Areas.size(), 1u);
  EXPECT_EQ(E.Areas[0].first, (TRect{0, 0, 3, 2}));
  EXPECT_EQ(E.Areas[0].second, AREAINFO_RECT);
  EXPECT_EQ(E.Changes, 1);
}

TEST(Surface, ClipBoundsAreIntersectedWithTheSurface) {
  TBitmap32 B;
  B.SetDimensions(10, 10);
  B.SetClipBounds({-10, -10, 5, 5});
  EXPECT_EQ(B.ClipBounds(), (TRect{0, 0, 5, 5}));
  EXPECT_EQ(B.ClipBoundsFixed(), (TRect{0, 0, 0x50000, 0x50000}));
  EXPECT_EQ(B.ClipBoundsSubpixel(), (TRect{0, 0, 0x500, 0x500}));
  EXPECT_TRUE(B.IsClipped());
  B.SetClipBounds({20, 20, 30, 30});
  EXPECT_EQ(B.ClipBounds(), (TRect{0, 0, 0, 0}));
}

}  // namespace
}  // namespace quillet
