// Text drawn by the Qt engine must land in the surface's own pixels, in the font colour, with the
// cell's top-left at the given point, and never outside the clip rectangle.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>

#include <climits>
#include <vector>

#include "platform/ui_qt_x11/qt_text_engine.h"
#include "raster/bitmap32.h"

namespace quillet {
namespace {

// The bounding box of the pixels that differ from Background; empty when none do.
TRect InkBounds(const TBitmap32& B, TColor32 Background) {
  TRect R{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int32_t Y = 0; Y < B.Height(); ++Y)
    for (int32_t X = 0; X < B.Width(); ++X)
      if (*B.PixelAddress(X, Y) != Background) {
        R.Left = std::min(R.Left, X);
        R.Top = std::min(R.Top, Y);
        R.Right = std::max(R.Right, X + 1);
        R.Bottom = std::max(R.Bottom, Y + 1);
      }
  if (R.Left == INT_MAX) return {};
  return R;
}

class TextEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallQtTextOutput();
    Surface.SetDimensions(120, 60);
    Surface.Erase();
  }
  TBitmap32 Surface;
};

TEST_F(TextEngineTest, DrawsInFontColourWithCellTopLeftAtThePoint) {
  Surface.TextFont().SetColor(0x0000FFFF);  // red 255, green 255, blue 0
  const TTextExtent Extent = Surface.MeasureText("1234");
  ASSERT_GT(Extent.cx, 10);
  ASSERT_GT(Extent.cy, 6);

  Surface.DrawText(10, 10, "1234");
  const TRect Ink = InkBounds(Surface, clBlack32);
  ASSERT_LT(Ink.Left, Ink.Right) << "nothing was drawn";
  EXPECT_GE(Ink.Left, 10);
  EXPECT_GE(Ink.Top, 10);
  EXPECT_LE(Ink.Right, 10 + Extent.cx + 1);
  EXPECT_LE(Ink.Bottom, 10 + Extent.cy);
  // Digits stand on the baseline, which lies one ascent below the top of the cell; their ink
  // starts in the upper half of the cell and close to its left edge.
  const int Ascent = QFontMetrics(QtTextEngine::FontFor(Surface.TextFont())).ascent();
  EXPECT_NEAR(Ink.Bottom, 10 + Ascent, 1);
  EXPECT_LT(Ink.Top, 10 + Extent.cy / 2);
  EXPECT_LT(Ink.Left, 10 + 4);

  // Every touched pixel is a shade of yellow over black: red equals green, no blue, opaque.
  bool SawFullColour = false;
  for (int32_t Y = Ink.Top; Y < Ink.Bottom; ++Y)
    for (int32_t X = Ink.Left; X < Ink.Right; ++X) {
      const TColor32 P = *Surface.PixelAddress(X, Y);
      EXPECT_EQ(AlphaOf(P), 255u);
      EXPECT_EQ(BlueOf(P), 0u);
      EXPECT_NEAR(static_cast<int>(RedOf(P)), static_cast<int>(GreenOf(P)), 1);
      SawFullColour |= RedOf(P) == 255;
    }
  EXPECT_TRUE(SawFullColour);
}

TEST_F(TextEngineTest, ColourByteOrderIsBlueGreenRed) {
  Surface.TextFont().SetColor(0x000000FF);  // pure red
  Surface.DrawText(0, 0, "HHHH");
  bool SawRed = false;
  for (int32_t Y = 0; Y < Surface.Height(); ++Y)
    for (int32_t X = 0; X < Surface.Width(); ++X) {
      const TColor32 P = *Surface.PixelAddress(X, Y);
      EXPECT_EQ(GreenOf(P), 0u);
      EXPECT_EQ(BlueOf(P), 0u);
      SawRed |= RedOf(P) > 200;
    }
  EXPECT_TRUE(SawRed);
}

TEST_F(TextEngineTest, RespectsTheClipRectangleAndTheSurfaceEdges) {
  Surface.TextFont().SetColor(0x00FFFFFF);
  const TTextExtent Extent = Surface.MeasureText("8888");
  const TRect Clip{20, 14, 20 + Extent.cx / 2, 14 + Extent.cy / 2};
  Surface.SetClipBounds(Clip);
  Surface.DrawText(20, 10, "8888");
  const TRect Ink = InkBounds(Surface, clBlack32);
  ASSERT_LT(Ink.Left, Ink.Right) << "the visible part was not drawn";
  EXPECT_GE(Ink.Left, Clip.Left);
  EXPECT_GE(Ink.Top, Clip.Top);
  EXPECT_LE(Ink.Right, Clip.Right);
  EXPECT_LE(Ink.Bottom, Clip.Bottom);

  // An empty clip rectangle lets nothing through.
  Surface.ResetClipBounds();
  Surface.Erase();
  Surface.SetClipBounds({30, 30, 30, 40});
  Surface.DrawText(25, 25, "8888");
  EXPECT_EQ(InkBounds(Surface, clBlack32), TRect{});
}

TEST_F(TextEngineTest, TextPartlyOrWhollyOutsideTheSurfaceIsCutOrSkipped) {
  Surface.TextFont().SetColor(0x00FFFFFF);
  const std::vector<TPoint> Origins{{-5, -5},       {110, 55},      {-1000000, 0},
                                    {0, -1000000},  {INT_MAX, 0},   {0, INT_MAX},
                                    {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}};
  for (const TPoint& P : Origins) Surface.DrawText(P.X, P.Y, "8888 8888 8888");
  const TRect Ink = InkBounds(Surface, clBlack32);
  // Only the first two origins reach the surface: the top-left and bottom-right corners.
  EXPECT_EQ(Ink.Left, 0);
  EXPECT_EQ(Ink.Top, 0);
  EXPECT_EQ(Ink.Right, 120);
  EXPECT_EQ(Ink.Bottom, 60);
  EXPECT_EQ(*Surface.PixelAddress(60, 30), clBlack32);
}

TEST_F(TextEngineTest, DrawingReportsTheTextAreaPlusOnePixel) {
  std::vector<TRect> Areas;
  Surface.OnAreaChanged = [&](TBitmap32*, const TRect& Area, uint32_t Info) {
    EXPECT_EQ(Info, AREAINFO_RECT);
    Areas.push_back(Area);
  };
  const TTextExtent Extent = Surface.MeasureText("123");
  Surface.DrawText(10, 10, "123");
  // Far out, the area stops at the largest coordinate instead of wrapping round.
  Surface.DrawText(INT_MAX - 2, INT_MAX, "123");
  ASSERT_EQ(Areas.size(), 2u);
  EXPECT_EQ(Areas[0], (TRect{10, 10, 11 + Extent.cx, 11 + Extent.cy}));
  EXPECT_EQ(Areas[1], (TRect{INT_MAX - 2, INT_MAX, INT_MAX, INT_MAX}));
}

TEST_F(TextEngineTest, MeasureGrowsWithTheTextAndTheSize) {
  const TTextExtent Empty = Surface.MeasureText("");
  const TTextExtent One = Surface.MeasureText("0");
  const TTextExtent Four = Surface.MeasureText("0000");
  EXPECT_EQ(Empty.cx, 0);
  EXPECT_EQ(Empty.cy, One.cy);
  EXPECT_EQ(Four.cx, 4 * One.cx);
  Surface.TextFont().SetSize(16);
  const TTextExtent Big = Surface.MeasureText("0000");
  EXPECT_GT(Big.cx, Four.cx);
  EXPECT_GT(Big.cy, Four.cy);
  // Malformed UTF-8 measures and draws without harm.
  EXPECT_GT(Surface.MeasureText("\xff\xfe\x80").cx, 0);
  Surface.DrawText(0, 0, "\xff\xfe\x80");
}

TEST_F(TextEngineTest, DefaultFontIsTheSystemSansAtEightPointsOnTheScreen) {
  const QFont Font = QtTextEngine::FontFor(Surface.TextFont());
  // 8 points at the offscreen screen's 96 dpi.
  EXPECT_EQ(Font.pixelSize(), 11);
  EXPECT_EQ(Font.styleHint(), QFont::SansSerif);
}

TEST_F(TextEngineTest, SystemColoursComeFromThePalette) {
  // Button face, system colour 15.
  const QColor Face = QGuiApplication::palette().color(QPalette::Active, QPalette::Button);
  EXPECT_EQ(FromGdiColor(static_cast<int32_t>(0x8000000F)),
            PackArgb(static_cast<uint8_t>(Face.red()), static_cast<uint8_t>(Face.green()),
                     static_cast<uint8_t>(Face.blue()), 255));
}

}  // namespace
}  // namespace quillet
