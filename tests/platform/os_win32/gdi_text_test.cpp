// GDI text on the surface: it lands inside the text's cell and the clip rectangle only, opaque,
// and text anywhere off the surface draws nothing and never strays. (No windows.h here: its
// DrawText macro would rename the surface's method.)
#include <gtest/gtest.h>

#include <climits>

#include "platform/os_win32/gdi_text_output.h"
#include "raster/bitmap32.h"
#include "raster/color.h"

namespace quillet {
namespace {

class GdiText : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallGdiTextOutput();
    Surface.SetDimensions(160, 60);
    Surface.Fill(0x12345678);
    Surface.TextFont().SetColor(0x0000FFFF);  // yellow
  }

  // The bounding box of the pixels that are no longer the fill; empty when none changed. Every
  // changed pixel must be opaque.
  TRect Changed() {
    TRect Box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int32_t Y = 0; Y < Surface.Height(); ++Y)
      for (int32_t X = 0; X < Surface.Width(); ++X) {
        const TColor32 C = Surface.PixelPtr()[Y * Surface.Width() + X];
        if (C == 0x12345678) continue;
        EXPECT_EQ(AlphaOf(C), 255u) << X << "," << Y;
        Box = {std::min(Box.Left, X), std::min(Box.Top, Y), std::max(Box.Right, X + 1), std::max(Box.Bottom, Y + 1)};
      }
    return Box.Left == INT_MAX ? TRect{} : Box;
  }

  TBitmap32 Surface;
};

TEST_F(GdiText, TextLandsInItsCellInTheFontColour) {
  const TTextExtent Extent = Surface.MeasureText("1234 ms");
  EXPECT_GT(Extent.cx, 10);
  EXPECT_GT(Extent.cy, 5);
  Surface.DrawText(10, 10, "1234 ms");
  const TRect Box = Changed();
  EXPECT_GE(Box.Left, 10);
  EXPECT_GE(Box.Top, 10);
  EXPECT_LE(Box.Right, 10 + Extent.cx + 2);
  EXPECT_LE(Box.Bottom, 10 + Extent.cy);
  EXPECT_GT(Box.Right - Box.Left, Extent.cx / 2);
  // Some pixel has the font's colour itself.
  bool Yellow = false;
  for (int32_t I = 0; I < Surface.Width() * Surface.Height(); ++I) Yellow |= Surface.PixelPtr()[I] == 0xFFFFFF00;
  EXPECT_TRUE(Yellow);
}

TEST_F(GdiText, TheClipRectangleBoundsTheText) {
  Surface.SetClipBounds({14, 12, 30, 16});
  Surface.DrawText(10, 10, "8888");
  const TRect Box = Changed();
  EXPECT_GE(Box.Left, 14);
  EXPECT_GE(Box.Top, 12);
  EXPECT_LE(Box.Right, 30);
  EXPECT_LE(Box.Bottom, 16);
  EXPECT_GT(Box.Right, Box.Left);
}

TEST_F(GdiText, TextAtOrBeyondTheEdgesStaysOnTheSurface) {
  // Far off every side: nothing changes.
  for (const auto& [X, Y] : {std::pair{INT_MIN, INT_MIN}, std::pair{INT_MAX, INT_MAX}, std::pair{-100000000, 10},
                             std::pair{10, INT_MAX - 3}, std::pair{160, 10}, std::pair{10, 60}})
    Surface.DrawText(X, Y, "12345678");
  EXPECT_EQ(Changed(), TRect{});
  // Across the bottom-right corner: only the part on the surface.
  Surface.DrawText(150, 55, "88888888");
  const TRect Corner = Changed();
  EXPECT_GE(Corner.Left, 150);
  EXPECT_GE(Corner.Top, 55);
  EXPECT_GT(Corner.Right, Corner.Left);
  Surface.Fill(0x12345678);
  // Across the top-left corner.
  Surface.DrawText(-20, -5, "88888888");
  const TRect Start = Changed();
  EXPECT_EQ(Start.Left, 0);
  EXPECT_EQ(Start.Top, 0);
  // An empty surface draws nothing.
  Surface.SetDimensions(0, 0);
  Surface.DrawText(0, 0, "1");
}

}  // namespace
}  // namespace quillet
