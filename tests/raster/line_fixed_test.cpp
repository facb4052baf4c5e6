// The 2 x 2 dot, the segment clipper and the anti-aliased fixed-point line, and the pen-position
// lines.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "drawing_support.h"
#include "raster/detail/line_clip.h"

namespace quillet {
namespace {

using testing::AreaReport;
using testing::Recorder;

constexpr TColor32 Blue = 0xC01060F0;
constexpr int32_t Px = 65536;  // one pixel in 16.16

class Dot : public ::testing::Test {
 protected:
  void SetUp() override {
    B.SetDimensions(10, 10);
    testing::PaintBackground(B);
    Before = testing::Snapshot(B);
  }
  TColor32 Was(int X, int Y) const { return Before[Y * 10 + X]; }
  TBitmap32 B;
  std::vector<TColor32> Before;
};

TEST_F(Dot, WeightsFollowColumnsAndRowsInBothCombineModes) {
  const uint8_t* G = CoverageGammaTable;
  // At a whole pixel only the top-left pixel takes weight.
  B.BlendSubpixel(3 << 8, 4 << 8, Blue);
  TColor32 Want = Was(3, 4);
  CombineColorInto(Blue, Want, (uint32_t{G[255]} * 0xC0 * G[255]) >> 16);
  EXPECT_EQ(*B.PixelAddress(3, 4), Want);
  EXPECT_EQ(testing::Changed(Before, testing::Snapshot(B), 10).size(), 1u);

  // Fractions 64 across and 192 down, under each mode.
  for (TCombineMode Mode : {TCombineMode::cmBlend, TCombineMode::cmMerge}) {
    testing::PaintBackground(B);
    B.SetCombineMode(Mode);
    B.BlendSubpixel((5 << 8) + 64, (2 << 8) + 192, Blue);
    const uint32_t Wc[2] = {G[255 - 64], G[64]}, Wr[2] = {G[255 - 192], G[192]};
    for (int Dy = 0; Dy < 2; ++Dy)
      for (int Dx = 0; Dx < 2; ++Dx) {
        TColor32 P = Was(5 + Dx, 2 + Dy);
        if (Mode == TCombineMode::cmBlend)
          CombineColorInto(Blue, P, (Wc[Dx] * 0xC0 * Wr[Dy]) >> 16);
        else
          CombineColorInto(MergeColors(Blue, P), P, (Wc[Dx] * Wr[Dy]) >> 8);
        EXPECT_EQ(*B.PixelAddress(5 + Dx, 2 + Dy), P) << Dx << "," << Dy;
      }
  }
}

TEST_F(Dot, ClippedDotDrawsOnlyItsPixelsInsideTheClip) {
  B.SetClipBounds({2, 2, 6, 6});
  const TRect Clip = B.ClipBounds();
  // Straddling each corner of the clip rectangle: exactly one pixel is inside.
  const std::pair<int, int> Corners[4] = {{1, 1}, {5, 1}, {5, 5}, {1, 5}};
  for (auto [X, Y] : Corners) {
    testing::PaintBackground(B);
    B.BlendSubpixelClipped((X << 8) + 128, (Y << 8) + 128, Blue);
    const auto Changed = testing::Changed(Before, testing::Snapshot(B), 10);
    ASSERT_EQ(Changed.size(), 1u) << X << "," << Y;
    EXPECT_TRUE(testing::InsideRect(Clip, Changed[0].X, Changed[0].Y));
  }
  // Wholly outside, by the rejection test, at any coordinates.
  testing::PaintBackground(B);
  const int32_t Big = std::numeric_limits<int32_t>::max(), Small = std::numeric_limits<int32_t>::min();
  for (int32_t X : {Small, -1, 0, 255, 256, 1535, 1536, Big})
    for (int32_t Y : {Small, -1, 0, 255, 256, 1535, 1536, Big}) {
      B.BlendSubpixelClipped(X, Y, Blue);
      B.BlendSubpixelFixed(X, Y, Blue);
    }
  EXPECT_TRUE(testing::OnlyInside(Before, testing::Snapshot(B), 10, Clip));
}

TEST_F(Dot, FixedPositionRoundsTo24Dot8) {
  TBitmap32 Other;
  Other.SetDimensions(10, 10);
  testing::PaintBackground(Other);
  // Up to 0x80 units above a 24.8 step round down to it, 0x81 up to the next.
  B.BlendSubpixelFixed(3 * Px + Px / 2 + 0x81, 2 * Px + 0x80, Blue);
  Other.BlendSubpixelClipped((3 << 8) + 128 + 1, 2 << 8, Blue);
  EXPECT_EQ(testing::Snapshot(B), testing::Snapshot(Other));
}

TEST(ClipSegment, MovesOutsideEndPointsOntoTheRectangle) {
  TFixed X1 = 2, Y1 = 3, X2 = 8, Y2 = 9;
  EXPECT_TRUE(ClipSegmentFixed(X1, Y1, X2, Y2, 0, 0, 10, 10));
  EXPECT_EQ((TFixedRect{X1, Y1, X2, Y2}), (TFixedRect{2, 3, 8, 9}));

  X1 = -5, Y1 = 0, X2 = -1, Y2 = 20;
  EXPECT_FALSE(ClipSegmentFixed(X1, Y1, X2, Y2, 0, 0, 10, 10));

  X1 = -10 * Px, Y1 = 5 * Px, X2 = 20 * Px, Y2 = 5 * Px;
  EXPECT_TRUE(ClipSegmentFixed(X1, Y1, X2, Y2, 0, 0, 10 * Px, 10 * Px));
  EXPECT_EQ((TFixedRect{X1, Y1, X2, Y2}), (TFixedRect{0, 5 * Px, 10 * Px, 5 * Px}));

  // Intersections round half away from zero: 1 x 3 / 2 gives 2 from either side.
  X1 = -1, Y1 = 0, X2 = 1, Y2 = 3;
  EXPECT_TRUE(ClipSegmentFixed(X1, Y1, X2, Y2, 0, 0, 100, 100));
  EXPECT_EQ((TFixedRect{X1, Y1, X2, Y2}), (TFixedRect{0, 2, 1, 3}));
  X1 = 1, Y1 = 0, X2 = -1, Y2 = 3;
  EXPECT_TRUE(ClipSegmentFixed(X1, Y1, X2, Y2, -100, 0, 0, 100));
  EXPECT_EQ((TFixedRect{X1, Y1, X2, Y2}), (TFixedRect{0, 2, -1, 3}));

  // Crossing a corner region without touching the rectangle.
  X1 = -4, Y1 = 2, X2 = 2, Y2 = -4;
  EXPECT_FALSE(ClipSegmentFixed(X1, Y1, X2, Y2, 0, 0, 10, 10));
}

TEST(ClipSegment, EndPointsAcrossTheWholeRangeClipExactly) {
  // Differences of 2^32 - 1 do not fit in 32 bits; the intersections are still exact.
  const int32_t Big = std::numeric_limits<int32_t>::max(), Small = std::numeric_limits<int32_t>::min();
  TFixed X1 = Small, Y1 = Small, X2 = Big, Y2 = Big;
  EXPECT_TRUE(ClipSegmentFixed(X1, Y1, X2, Y2, 0, 0, 10 * Px, 10 * Px));
  EXPECT_EQ((TFixedRect{X1, Y1, X2, Y2}), (TFixedRect{0, 0, 10 * Px, 10 * Px}));

  X1 = Big, Y1 = 0, X2 = Small, Y2 = 4 * Px;
  EXPECT_TRUE(ClipSegmentFixed(X1, Y1, X2, Y2, -Px, -Px, 10 * Px, 10 * Px));
  EXPECT_EQ(X1, 10 * Px);
  EXPECT_EQ(X2, -Px);
  // y = 4 px * (Big - x) / (2^32 - 1), rounded half away from zero.
  const auto YAt = [](int64_t X) {
    const long double V = 4.0L * Px * (static_cast<long double>(std::numeric_limits<int32_t>::max()) - X) / 4294967295.0L;
    return static_cast<int32_t>(V + 0.5L);
  };
  EXPECT_EQ(Y1, YAt(10 * Px));
  EXPECT_EQ(Y2, YAt(-Px));
}

class FixedLine : public ::testing::Test {
 protected:
  void SetUp() override {
    for (TBitmap32* S : {&B, &Ref}) {
      S->SetDimensions(24, 16);
      testing::PaintBackground(*S);
    }
    Before = testing::Snapshot(B);
    R.Attach(B);
  }
  TBitmap32 B, Ref;
  std::vector<TColor32> Before;
  Recorder R;
};

TEST_F(FixedLine, StampsOneDotPerPixelOfLengthAndAPartialLastDot) {
  // Exactly 3 pixels long, from (2.25, 5.5): the step is one pixel.
  const TFixed X1 = 2 * Px + Px / 4, Y1 = 5 * Px + Px / 2;
  B.DrawLineFixed(X1, Y1, X1 + 3 * Px, Y1, Blue, false);
  const int32_t Sx = (X1 + 127) >> 8, Sy = (Y1 + 127) >> 8;
  for (int I = 0; I < 3; ++I) Ref.BlendSubpixel(Sx + I * 256, Sy, Blue);
  Ref.BlendSubpixel(Sx + 512 + 128, Sy, Blue & 0x00FFFFFF);  // alpha 0: no change
  EXPECT_EQ(testing::Snapshot(B), testing::Snapshot(Ref));
  ASSERT_EQ(R.Areas.size(), 1u);
  // Nearest rounding takes an exact half down: 5.5 reports as 5.
  EXPECT_EQ(R.Areas[0], (AreaReport{{2, 5, 5, 5}, AREAINFO_DRAWN_LINE}));

  // With the end point the length is 4 pixels over the same distance: four dots 3/4 pixel apart.
  testing::PaintBackground(B);
  testing::PaintBackground(Ref);
  B.DrawLineFixed(X1, Y1, X1 + 3 * Px, Y1, Blue, true);
  for (int I = 0; I < 4; ++I) Ref.BlendSubpixel(Sx + ((I * 49152) >> 8), Sy, Blue);
  EXPECT_EQ(testing::Snapshot(B), testing::Snapshot(Ref));
  EXPECT_NE(testing::Snapshot(B), Before);
}

TEST_F(FixedLine, PartialDotCarriesTheRemainingLength) {
  // 1.5 pixels: one full dot, then one of half the alpha halfway to the end.
  const TFixed X1 = 4 * Px, Y1 = 4 * Px;
  B.DrawLineFixed(X1, Y1, X1 + Px + Px / 2, Y1, Blue, false);
  const int32_t S = (X1 + 127) >> 8;
  Ref.BlendSubpixel(S, S, Blue);
  Ref.BlendSubpixel((2 * (X1 + 127) + Px + Px / 2) >> 9, S, (Blue & 0x00FFFFFF) | (0x60u << 24));
  EXPECT_EQ(testing::Snapshot(B), testing::Snapshot(Ref));
}

TEST_F(FixedLine, ClippedLineTakesTheWholeLinePathWellInside) {
  B.DrawLineFixedClipped(3 * Px, 2 * Px + 1234, 17 * Px + 99, 9 * Px, Blue, false);
  Ref.DrawLineFixed(3 * Px, 2 * Px + 1234, 17 * Px + 99, 9 * Px, Blue, false);
  EXPECT_EQ(testing::Snapshot(B), testing::Snapshot(Ref));
  ASSERT_EQ(R.Areas.size(), 1u);
  EXPECT_EQ(R.Areas[0], (AreaReport{{3, 2, 17, 9}, AREAINFO_DRAWN_LINE}));
}

TEST_F(FixedLine, ClippedLineReportsTheGivenSegmentOrNothing) {
  B.SetClipBounds({4, 3, 20, 12});
  // Crosses the clip: drawn only inside it, reported as given.
  B.DrawLineFixedClipped(-30 * Px, 1 * Px, 40 * Px, 14 * Px, Blue, false);
  EXPECT_TRUE(testing::OnlyInside(Before, testing::Snapshot(B), 24, B.ClipBounds()));
  EXPECT_NE(testing::Snapshot(B), Before);
  ASSERT_EQ(R.Areas.size(), 1u);
  EXPECT_EQ(R.Areas[0], (AreaReport{{-30, 1, 40, 14}, AREAINFO_DRAWN_LINE}));

  // Missing the clip, or shorter than 1/256 pixel near its edge: no report.
  R.Clear();
  B.DrawLineFixedClipped(0, 0, 2 * Px, 13 * Px, Blue, true);
  B.DrawLineFixedClipped(4 * Px, 3 * Px, 4 * Px + 100, 3 * Px + 100, Blue, false);
  EXPECT_TRUE(R.Areas.empty());

  // Measuring reports without drawing.
  const auto Drawn = testing::Snapshot(B);
  std::vector<AreaReport> Measured;
  B.BeginMeasuring([&](TBitmap32*, const TRect& A, uint32_t Info) { Measured.push_back({A, Info}); });
  B.DrawLineFixedClipped(Px / 2, Px / 2 - 1, 5 * Px, 6 * Px, Blue, true);
  B.EndMeasuring();
  EXPECT_EQ(testing::Snapshot(B), Drawn);
  ASSERT_EQ(Measured.size(), 1u);
  EXPECT_EQ(Measured[0], (AreaReport{{0, 0, 5, 6}, AREAINFO_DRAWN_LINE}));
}

TEST_F(FixedLine, AnyEndPointsStayInsideTheClipAndFinishQuickly) {
  B.SetClipBounds({3, 2, 21, 14});
  const int32_t Big = std::numeric_limits<int32_t>::max(), Small = std::numeric_limits<int32_t>::min();
  const std::vector<int32_t> Values{Small, Small + 1, -1000000007, -Px, 0, 5 * Px + 77, 21 * Px, 999999937, Big - 1, Big};
  for (TCombineMode Mode : {TCombineMode::cmBlend, TCombineMode::cmMerge}) {
    B.SetCombineMode(Mode);
    for (int32_t X1 : Values)
      for (int32_t Y1 : Values)
        for (int32_t X2 : Values)
          for (int32_t Y2 : Values) B.DrawLineFixedClipped(X1, Y1, X2, Y2, Blue, ((X1 ^ Y2) & 1) != 0);
  }
  EXPECT_TRUE(testing::OnlyInside(Before, testing::Snapshot(B), 24, B.ClipBounds()));
  EXPECT_NE(testing::Snapshot(B), Before);
}

TEST(FixedLineDrift, LongLinesAlongTheTopOrLeftEdgeStayInsideTheClip) {
  // 18000 pixels long, a hundredth of a pixel inside the clip: the rounded steps of the walk drift
  // by more than that towards the edge, so the unclipped walk would stamp the row or column
  // outside (and for a clip at the surface's edge, memory before the first pixel).
  for (const bool Transposed : {false, true}) {
    for (const int32_t Edge : {1, 0}) {
      TBitmap32 B;
      B.SetDimensions(Transposed ? 4 : 18432, Transposed ? 18432 : 4);
      testing::PaintBackground(B);
      B.SetClipBounds(Transposed ? TRect{Edge, 0, 4, 18432} : TRect{0, Edge, 18432, 4});
      const auto Before = testing::Snapshot(B);
      const TFixed Along1 = 1200721921, Along2 = 89;
      const TFixed Across1 = Edge * Px + 65535, Across2 = Edge * Px + 206;
      if (Transposed)
        B.DrawLineFixedClipped(Across1, Along1, Across2, Along2, Blue, false);
      else
        B.DrawLineFixedClipped(Along1, Across1, Along2, Across2, Blue, false);
      const auto After = testing::Snapshot(B);
      EXPECT_TRUE(testing::OnlyInside(Before, After, B.Width(), B.ClipBounds()))
          << "transposed " << Transposed << ", edge " << Edge;
      EXPECT_NE(After, Before);
    }
  }
}

TEST(PenPosition, LinesRunFromThePenWithoutTheirEndPointAndMoveIt) {
  TBitmap32 B, Ref;
  for (TBitmap32* S : {&B, &Ref}) {
    S->SetDimensions(16, 16);
    testing::PaintBackground(*S);
    S->SetLineColor(0x80FF8000);
  }
  B.SetPenPos(1, 2);
  B.LineToClipped(9, 5);
  B.LineToBlendClipped(3, 12);
  EXPECT_EQ(B.PenPos, (TPoint{3, 12}));
  B.SetPenPosFixed(2 * Px, Px);
  B.LineToFixedClipped(11 * Px + 5, 13 * Px);
  EXPECT_EQ(B.PenPosFixed, (TFixedPoint{11 * Px + 5, 13 * Px}));
  // Other drawing leaves the pens alone.
  B.DrawLineClipped(0, 0, 7, 3, 0xFF00FF00, true);
  B.DrawLineFixedClipped(0, 0, 7 * Px, 3 * Px, 0xFF00FF00, true);
  EXPECT_EQ(B.PenPos, (TPoint{3, 12}));
  EXPECT_EQ(B.PenPosFixed, (TFixedPoint{11 * Px + 5, 13 * Px}));

  Ref.DrawLineClipped(1, 2, 9, 5, 0x80FF8000, false);
  Ref.DrawLineBlendClipped(9, 5, 3, 12, 0x80FF8000, false);
  Ref.DrawLineFixedClipped(2 * Px, Px, 11 * Px + 5, 13 * Px, 0x80FF8000, false);
  Ref.DrawLineClipped(0, 0, 7, 3, 0xFF00FF00, true);
  Ref.DrawLineFixedClipped(0, 0, 7 * Px, 3 * Px, 0xFF00FF00, true);
  EXPECT_EQ(testing::Snapshot(B), testing::Snapshot(Ref));
}

}  // namespace
}  // namespace quillet
