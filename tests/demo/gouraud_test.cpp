// Gouraud spans, bars and triangles: interpolation, clipping and the alpha scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <vector>

#include "demo/detail/shaded_row.h"
#include "demo/raster_gouraud.h"
#include "raster/bitmap32.h"
#include "raster/blend.h"
#include "tests/raster/drawing_support.h"

namespace quillet {
namespace {

constexpr TColor32 Background = 0xFF000000;

struct GouraudFixture : ::testing::Test {
  void SetUp() override {
    Surface.SetDimensions(40, 30);
    Surface.Erase();
    G.SetTargetBitmap(&Surface);
  }
  TColor32 At(int X, int Y) const { return *Surface.PixelAddress(X, Y); }
  int CountDrawn(int Y) const {
    int N = 0;
    for (int X = 0; X < Surface.Width(); ++X) N += At(X, Y) != Background;
    return N;
  }
  TBitmap32 Surface;
  TRasterGouraud G;
};

TEST(GouraudConversions, AccumulatorRoundTripAndHighBits) {
  const TColorAccumulator A = ColorToAccumulator(0x80C04020);
  EXPECT_EQ(A, (TColorAccumulator{0x2000, 0x4000, 0xC000, 0x8000}));
  EXPECT_EQ(AccumulatorToColor(A), 0x80C04020u);
  // Fractions truncate; bits above the channel are dropped, negative values keep bits 8..15.
  EXPECT_EQ(AccumulatorToColor({0x12FF, 0x1FF00, -256, 0}), 0x00FFFF12u);
}

// Four pixels a step: every length and start, channels and steps that wrap, nothing written
// outside the row.
TEST(GouraudConversions, SimdShadedRowMatchesThePlainOne) {
  if (!SimdLevelSupported(SimdLevel::Sse2)) GTEST_SKIP() << "no SSE2 kernels";
  std::mt19937 Random(3);
  std::vector<TColor32> Plain(48), Fast(48);
  for (int I = 0; I < 20000; ++I) {
    const auto Channel = [&] { return static_cast<int32_t>(I % 2 ? Random() : Random() % 0x20000 - 0x10000); };
    const TColorAccumulator C{Channel(), Channel(), Channel(), Channel()};
    const TColorAccumulator Step{Channel() >> (I % 24), Channel() >> (I % 24), Channel() >> (I % 24), Channel() >> (I % 24)};
    const int32_t Start = static_cast<int32_t>(Random() % 4), Count = static_cast<int32_t>(Random() % 41);
    std::fill(Plain.begin(), Plain.end(), 0x5A5A5A5Au);
    std::fill(Fast.begin(), Fast.end(), 0x5A5A5A5Au);
    ShadedRowPortable(Plain.data() + Start, Count, C, Step);
    sse2::ShadedRow(Fast.data() + Start, Count, C, Step);
    ASSERT_EQ(Fast, Plain) << "count " << Count << " start " << Start;
  }
}

TEST(GouraudConversions, StartInterpolationClipsAndSteps) {
  TColorAccumulator C1 = ColorToAccumulator(0xFF000000);
  TColorAccumulator C2 = ColorToAccumulator(0xFFFFFFFF);
  int32_t P1 = -10;
  ASSERT_TRUE(StartInterpolation(P1, 10, C1, C2));
  EXPECT_EQ(P1, 0);
  EXPECT_EQ(C1.R, 32640);  // 127.5 at column 0
  EXPECT_EQ(C2.R, 3264);
  EXPECT_EQ(C2.A, 0);

  // The difference is formed even when there is nothing to draw.
  TColorAccumulator D1{100, 100, 100, 100};
  TColorAccumulator D2{300, 0, 100, 356};
  int32_t Q1 = 5;
  EXPECT_FALSE(StartInterpolation(Q1, 5, D1, D2));
  EXPECT_EQ(D2, (TColorAccumulator{200, -100, 0, 256}));
  int32_t Q2 = -20;
  EXPECT_FALSE(StartInterpolation(Q2, -1, D1, D2));  // ends left of 0
  // Increments truncate toward zero, also when negative.
  TColorAccumulator E1{0, 0, 0, 0};
  TColorAccumulator E2{-7, 7, 0, 0};
  int32_t Q3 = 0;
  ASSERT_TRUE(StartInterpolation(Q3, 2, E1, E2));
  EXPECT_EQ(E2.B, -3);
  EXPECT_EQ(E2.G, 3);
}

TEST(GouraudConversions, SortVerticesKeepsColoursWithTheirVertices) {
  std::array<TPoint, 3> V{{{5, 9}, {8, 2}, {1, 2}}};
  std::array<TColor32, 3> C{1, 2, 3};
  SortVertices(V, C);
  EXPECT_EQ(V, (std::array<TPoint, 3>{{{1, 2}, {8, 2}, {5, 9}}}));
  EXPECT_EQ(C, (std::array<TColor32, 3>{3, 2, 1}));
  EXPECT_EQ(EdgeSlope(0, 10, 0), 0);
  EXPECT_EQ(EdgeSlope(10, 0, 3), -853);  // -2560 / 3 truncates toward zero
}

TEST_F(GouraudFixture, SpanFromLeftOfTheSurface) {
  G.GouraudSpan(-10, 10, 4, ColorToAccumulator(0xFF000000), ColorToAccumulator(0xFFFFFFFF));
  EXPECT_EQ(At(0, 4), 0xFF7F7F7Fu);  // 32640 drawn as 127
  EXPECT_EQ(At(1, 4), 0xFF8C8C8Cu);  // 35904 = 140.25
  EXPECT_EQ(At(10, 4), 0xFFFFFFFFu);
  EXPECT_EQ(At(11, 4), Background);
  EXPECT_EQ(CountDrawn(3) + CountDrawn(5), 0);
}

TEST_F(GouraudFixture, SpansThatDrawNothingOrAreClipped) {
  const TColorAccumulator W = ColorToAccumulator(0xFFFFFFFF);
  G.GouraudSpan(5, 5, 0, W, W);      // one pixel
  G.GouraudSpan(9, 3, 1, W, W);      // reversed
  G.GouraudSpan(-9, -1, 2, W, W);    // left of the surface
  G.GouraudSpan(0, 9, -1, W, W);     // above
  G.GouraudSpan(0, 9, 30, W, W);     // below
  G.GouraudSpan(45, 60, 3, W, W);    // right of the surface
  for (int Y = 0; Y < 30; ++Y) EXPECT_EQ(CountDrawn(Y), 0) << Y;
  G.GouraudSpan(30, INT32_MAX, 6, W, W);
  EXPECT_EQ(CountDrawn(6), 10);
  G.GouraudSpan(INT32_MIN, INT32_MAX, 7, W, W);  // the length wraps: nothing, and no fault
  G.GouraudSpan(-0x3FFFFFFF, 0x3FFFFFFF, 8, W, W);
  EXPECT_EQ(CountDrawn(8), 40);
}

TEST_F(GouraudFixture, OpaqueBarCoversBothEndsInclusive) {
  const TColor32 Red = 0xFFFF0000;
  G.GouraudBar(3, 4, 9, 8, Red, Red, Red, Red);
  int N = 0;
  for (int Y = 0; Y < 30; ++Y)
    for (int X = 0; X < 40; ++X) {
      const bool Inside = X >= 3 && X <= 9 && Y >= 4 && Y <= 8;
      EXPECT_EQ(At(X, Y), Inside ? Red : Background) << X << "," << Y;
      N += Inside;
    }
  EXPECT_EQ(N, 7 * 5);
  // The damage reported is exactly the bar's pixels.
  testing::DamageMarks Marks;
  Surface.SetDamageSink(&Marks);
  Marks.Clear();
  G.GouraudBar(3, 4, 9, 8, Red, Red, Red, Red);
  EXPECT_EQ(Marks.Count(), 7 * 5);
  EXPECT_TRUE(Marks.At(3, 4) && Marks.At(9, 8));
  Surface.Erase();
  Marks.Clear();
  G.GouraudBar(3, 4, 3, 8, Red, Red, Red, Red);  // zero width
  G.GouraudBar(3, 4, 9, 4, Red, Red, Red, Red);  // zero height
  for (int Y = 0; Y < 30; ++Y) EXPECT_EQ(CountDrawn(Y), 0);
  EXPECT_EQ(Marks.Count(), 0);
  // Clipped to the surface; a triangle's rows, not its box.
  G.GouraudBar(-5, 25, 2, 40, Red, Red, Red, Red);
  G.GouraudTriangle({{{38, 1}, {30, 6}, {60, 6}}}, {Red, Red, Red});
  G.GouraudTriangle({{{-100, -50}, {500, 10}, {20, 900}}}, {Red, Red, Red});
  int Drawn = 0;
  for (int Y = 0; Y < 30; ++Y) Drawn += CountDrawn(Y);
  EXPECT_EQ(Marks.Count(), Drawn);
  EXPECT_EQ(Marks.Faults, 0);
  Surface.SetDamageSink(nullptr);
}

TEST_F(GouraudFixture, BarAboveTheSurfaceStartsWithRowZeroColour) {
  G.GouraudBar(0, -10, 3, 10, 0xFF000000, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF);
  EXPECT_EQ(At(0, 0), 0xFF7F7F7Fu);
  EXPECT_EQ(At(3, 0), 0xFF7F7F7Fu);
  EXPECT_EQ(At(2, 10), 0xFFFFFFFFu);
  EXPECT_EQ(CountDrawn(11), 0);
  // A bar far below the surface and one reaching over every row both stay safe.
  G.GouraudBar(0, 100, 5, INT32_MAX, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF);
  G.GouraudBar(-5, INT32_MIN, 50, INT32_MAX - 1, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF);
}

TEST_F(GouraudFixture, AlphaScalesEverySpanEnd) {
  G.SetGouraudAlpha(128);
  const TColor32 Red = 0xFFFF0000;
  G.GouraudBar(0, 0, 5, 5, Red, Red, Red, Red);
  // 128 * 65280 / 255 = 32768: alpha 128 on every pixel.
  EXPECT_EQ(At(2, 2), BlendColors(0x80FF0000, Background));
  EXPECT_EQ(At(5, 5), BlendColors(0x80FF0000, Background));
  EXPECT_NE(At(2, 2), Red);
}

TEST_F(GouraudFixture, FlatBottomTriangleRows) {
  const TColor32 W = 0xFFFFFFFF;
  G.GouraudTriangle({{{10, 0}, {0, 10}, {20, 10}}}, {W, W, W});
  EXPECT_EQ(CountDrawn(0), 0);  // the apex row: both edges at one X
  for (int Y = 1; Y <= 10; ++Y) EXPECT_EQ(CountDrawn(Y), 2 * Y + 1) << Y;
  EXPECT_EQ(At(9, 1), W);
  EXPECT_EQ(At(11, 1), W);
  EXPECT_EQ(CountDrawn(11), 0);
}

TEST_F(GouraudFixture, GeneralTriangleSplitsAtTheMiddleVertex) {
  // Short edge on the left: steps -256 and 128 per row. The upper part includes V1's row; the
  // lower edge starts again at V1 (step 512) on the next row without being advanced first.
  const TColor32 W = 0xFFFFFFFF;
  G.GouraudTriangle({{{10, 0}, {0, 10}, {20, 20}}}, {W, W, W});
  EXPECT_EQ(CountDrawn(10), 16);  // columns 0..15
  EXPECT_EQ(CountDrawn(11), 16);  // columns 0..15 again
  EXPECT_EQ(At(0, 11), W);
  EXPECT_EQ(At(1, 12), Background);
  EXPECT_EQ(At(2, 12), W);
  EXPECT_EQ(CountDrawn(20), 3);   // columns 18..20
  EXPECT_EQ(CountDrawn(21), 0);
  // The mirror image takes the exchanged steps and gives the mirrored rows.
  Surface.Erase();
  G.GouraudTriangle({{{10, 0}, {20, 10}, {0, 20}}}, {W, W, W});
  EXPECT_EQ(CountDrawn(0), 0);
  EXPECT_EQ(CountDrawn(10), 16);
  EXPECT_EQ(At(5, 10), W);
  EXPECT_EQ(At(20, 10), W);
  EXPECT_EQ(CountDrawn(20), 3);
}

TEST_F(GouraudFixture, ColoursInterpolateDownTheEdges) {
  // Black apex, white base: row 5 of 10 carries the middle grey at its left end.
  G.GouraudTriangle({{{10, 0}, {0, 10}, {20, 10}}}, {0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF});
  // Channel step 255 * 256 / 10 = 6528 per row; at row 5 the edge colour is 32640 -> 127.
  EXPECT_EQ(At(5, 5), 0xFF7F7F7Fu);
}

TEST_F(GouraudFixture, DegenerateAndOffSurfaceTriangles) {
  const TColor32 W = 0xFFFFFFFF;
  G.GouraudTriangle({{{5, 3}, {9, 3}, {1, 3}}}, {W, W, W});
  EXPECT_EQ(CountDrawn(3), 0);  // sorted to 5, 1, 9: the first two make a reversed span
  G.GouraudTriangle({{{5, 4}, {1, 4}, {9, 4}}}, {W, W, W});
  EXPECT_EQ(CountDrawn(4), 5);  // sorted to 1, 5, 9: one span from 1 to 5
  Surface.Erase();
  // Reaching below the surface: drawn down to the last row.
  G.GouraudTriangle({{{20, 0}, {0, 1000}, {39, 1000}}}, {W, W, W});
  EXPECT_GT(CountDrawn(29), 0);
  // Coordinates anywhere in the 32-bit range finish quickly and write only inside.
  G.GouraudTriangle({{{INT32_MIN, INT32_MIN}, {INT32_MAX, 0}, {0, INT32_MAX}}}, {W, W, W});
  G.GouraudTriangle({{{-100000, -2000000000}, {50, 15}, {100000, 2000000000}}}, {W, W, W});
  G.GouraudTriangle({{{0, INT32_MIN}, {0, INT32_MIN}, {INT32_MAX, INT32_MAX}}}, {W, W, W});
}

TEST(GouraudTarget, NothingWithoutATargetAndOnEmptySurfaces) {
  TRasterGouraud G;
  G.GouraudBar(0, 0, 10, 10, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF);
  G.GouraudTriangle({{{0, 0}, {10, 0}, {0, 10}}}, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF});
  for (auto [W, H] : {std::pair{0, 0}, std::pair{0, 7}, std::pair{1, 1}}) {
    TBitmap32 S;
    S.SetDimensions(W, H);
    S.Erase();
    G.SetTargetBitmap(&S);
    G.GouraudBar(-3, -3, 10, 10, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF);
    G.GouraudTriangle({{{0, -5}, {10, 0}, {-4, 10}}}, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF});
    if (W == 1) {
      EXPECT_EQ(*S.PixelAddress(0, 0), 0xFFFFFFFFu);
    }
  }
}

}  // namespace
}  // namespace quillet
