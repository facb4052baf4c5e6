// The scanline filler: plain and anti-aliased fills of one or several paths under both rules,
// their clipping, notifications and degenerate input.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "raster/blend.h"
#include "raster/polygon32.h"
#include "raster/polygon_fill.h"

namespace quillet {
namespace {

constexpr TColor32 Background = 0xFF000000;
constexpr TColor32 White = 0xFFFFFFFF;

TFixedPoint Px(int32_t X, int32_t Y) { return {IntToFixed(X), IntToFixed(Y)}; }

TArrayOfFixedPoint Pixels(std::initializer_list<std::pair<int32_t, int32_t>> List) {
  TArrayOfFixedPoint Out;
  for (auto [X, Y] : List) Out.push_back(Px(X, Y));
  return Out;
}

TArrayOfFixedPoint Reversed(const TArrayOfFixedPoint& P) { return {P.rbegin(), P.rend()}; }

struct Surface {
  TBitmap32 B;
  int Changes = 0;
  std::vector<std::pair<TRect, uint32_t>> Areas;

  Surface(int32_t W, int32_t H, TColor32 Fill = Background) {
    B.SetDimensions(W, H);
    B.Fill(Fill);
    B.OnChange = [this](TNotifiablePersistent*) { ++Changes; };
    B.OnAreaChanged = [this](TBitmap32*, const TRect& R, uint32_t Info) { Areas.push_back({R, Info}); };
  }
  TColor32 At(int32_t X, int32_t Y) const { return *B.PixelAddress(X, Y); }
  // The pixels of row Y that differ from the background.
  std::vector<int32_t> Written(int32_t Y) const {
    std::vector<int32_t> Out;
    for (int32_t X = 0; X < B.Width(); ++X)
      if (At(X, Y) != Background) Out.push_back(X);
    return Out;
  }
  int CountWritten() const {
    int N = 0;
    for (int32_t Y = 0; Y < B.Height(); ++Y) N += static_cast<int>(Written(Y).size());
    return N;
  }
};

std::vector<int32_t> Range(int32_t From, int32_t To) {
  std::vector<int32_t> Out;
  for (int32_t X = From; X <= To; ++X) Out.push_back(X);
  return Out;
}

// What the anti-aliased writer leaves on the background for a coverage alpha.
TColor32 Covered(uint32_t Alpha, TColor32 Color = White) {
  const TColor32 Src = Alpha << 24 | (Color & 0x00FFFFFF);
  TColor32 Dst = Background;
  CombineOpsFor(TCombineMode::cmBlend).RowMaster(&Src, &Dst, 1, AlphaOf(Color));
  return Dst;
}

const TArrayOfFixedPoint Rect10 = Pixels({{10, 10}, {20, 10}, {20, 20}, {10, 20}});

TEST(PlainFill, RectangleUnderEvenOddFillsRows11To19InBothOrders) {
  for (const TArrayOfFixedPoint& P : {Rect10, Reversed(Rect10)}) {
    Surface S(32, 32);
    FillPolygon(S.B, P, White, TPolyFillRule::EvenOdd);
    for (int32_t Y = 0; Y < 32; ++Y)
      EXPECT_EQ(S.Written(Y), Y >= 11 && Y <= 19 ? Range(10, 20) : std::vector<int32_t>{}) << Y;
  }
}

TEST(PlainFill, RectangleUnderNonZeroAddsTheCornerPixelsOfItsOrientation) {
  const struct {
    TArrayOfFixedPoint Points;
    TPoint Top, Bottom;
  } Cases[] = {{Rect10, {20, 10}, {10, 20}}, {Reversed(Rect10), {10, 10}, {20, 20}}};
  for (const auto& C : Cases) {
    Surface S(32, 32);
    FillPolygon(S.B, C.Points, White, TPolyFillRule::NonZero);
    EXPECT_EQ(S.Written(10), std::vector<int32_t>{C.Top.X});
    EXPECT_EQ(S.Written(20), std::vector<int32_t>{C.Bottom.X});
    for (int32_t Y = 11; Y <= 19; ++Y) EXPECT_EQ(S.Written(Y), Range(10, 20)) << Y;
    EXPECT_EQ(S.CountWritten(), 9 * 11 + 2);
  }
}

TEST(PlainFill, TriangleUnderEvenOdd) {
  Surface S(32, 32);
  FillPolygon(S.B, Pixels({{10, 10}, {20, 10}, {10, 20}}), White, TPolyFillRule::EvenOdd);
  EXPECT_TRUE(S.Written(10).empty());
  EXPECT_TRUE(S.Written(20).empty());
  for (int32_t Y = 11; Y <= 19; ++Y) EXPECT_EQ(S.Written(Y), Range(10, 30 - Y)) << Y;
}

TEST(PlainFill, PathRunTwiceDependsOnTheRuleAndBlendsCrossingsTwice) {
  TArrayOfFixedPoint Twice = Rect10;
  Twice.insert(Twice.end(), Rect10.begin(), Rect10.end());
  const TColor32 Half = 0x80FFFFFF;

  Surface Even(32, 32);
  FillPolygon(Even.B, Twice, Half, TPolyFillRule::EvenOdd);
  EXPECT_EQ(Even.CountWritten(), 0);

  Surface Once(32, 32);
  FillPolygon(Once.B, Rect10, Half, TPolyFillRule::NonZero);
  Surface NonZero(32, 32);
  FillPolygon(NonZero.B, Twice, Half, TPolyFillRule::NonZero);
  const TColor32 Single = Once.At(15, 15);
  EXPECT_NE(Single, Background);
  EXPECT_EQ(NonZero.At(15, 15), Single);
  // Spans meet at the crossings: those pixels are blended twice.
  EXPECT_NE(NonZero.At(10, 15), Single);
  EXPECT_NE(NonZero.At(20, 15), Single);
  EXPECT_EQ(NonZero.At(10, 15), NonZero.At(20, 15));
}

TEST(PlainFill, OutlineLeftOfTheClipWritesOnlyTheNonZeroColumn) {
  const TArrayOfFixedPoint Left = Pixels({{-30, 5}, {-10, 5}, {-10, 15}, {-30, 15}});
  Surface Even(32, 32);
  FillPolygon(Even.B, Left, White, TPolyFillRule::EvenOdd);
  EXPECT_EQ(Even.CountWritten(), 0);

  Surface Clipped(32, 32);
  Clipped.B.SetClipBounds({4, 0, 32, 32});
  FillPolygon(Clipped.B, Left, White, TPolyFillRule::NonZero);
  for (int32_t Y = 0; Y < 32; ++Y)
    EXPECT_EQ(Clipped.Written(Y), Y >= 5 && Y <= 15 ? std::vector<int32_t>{4} : std::vector<int32_t>{}) << Y;

  Surface Smooth(32, 32);
  FillPolygonAA(Smooth.B, Left, White, TPolyFillRule::NonZero, 2);
  EXPECT_EQ(Smooth.CountWritten(), 0);
}

TEST(AntialiasedFill, RectangleCoverageAtLevelTwo) {
  Surface S(32, 32);
  FillPolygonAA(S.B, Rect10, White, TPolyFillRule::EvenOdd, 2);
  for (int32_t X = 10; X <= 19; ++X) {
    EXPECT_EQ(S.At(X, 10), Covered(223)) << X;
    for (int32_t Y = 11; Y <= 19; ++Y) EXPECT_EQ(S.At(X, Y), Covered(255)) << X << "," << Y;
  }
  EXPECT_TRUE(S.Written(20).empty());
  for (int32_t Y = 0; Y < 32; ++Y) EXPECT_EQ(S.At(20, Y), Background);
}

TEST(AntialiasedFill, PixelAlignedRectangleGetsTheLevelsCoverage) {
  // Inside: the alpha of a fully covered pixel; top row: one sub-scanline short of it.
  const uint32_t Inside[5] = {251, 255, 255, 255, 255};
  const uint32_t TopRow[5] = {244, 239, 223, 191, 127};
  for (TAntialiasLevel Level = 0; Level <= 4; ++Level)
    for (TPolyFillRule Rule : {TPolyFillRule::EvenOdd, TPolyFillRule::NonZero})
      for (const TArrayOfFixedPoint& P : {Rect10, Reversed(Rect10)}) {
        Surface S(32, 32);
        FillPolygonAA(S.B, P, White, Rule, Level);
        for (int32_t X = 10; X <= 19; ++X) {
          ASSERT_EQ(S.At(X, 10), Covered(TopRow[Level])) << int(Level);
          for (int32_t Y = 11; Y <= 19; ++Y) ASSERT_EQ(S.At(X, Y), Covered(Inside[Level])) << int(Level);
        }
        ASSERT_EQ(S.CountWritten(), 100) << int(Level);
      }
}

TEST(AntialiasedFill, EdgePixelsCountSubsamplesAcrossAndDown) {
  // Level 2: left edge at 10 + 3/8, right edge at 12 + 5/8, rows 0.5 pixel: sub-scanlines 4..7 of
  // row 1. Left pixel: 4 rows of K - 3 = 4; right pixel: 4 rows of 5; between: 4 rows of 7.
  const TArrayOfFixedPoint P{{IntToFixed(10) + 3 * 8192, IntToFixed(1) + 4 * 8192},
                             {IntToFixed(12) + 5 * 8192, IntToFixed(1) + 4 * 8192},
                             {IntToFixed(12) + 5 * 8192, IntToFixed(2)},
                             {IntToFixed(10) + 3 * 8192, IntToFixed(2)}};
  Surface S(16, 4);
  FillPolygonAA(S.B, P, White, TPolyFillRule::EvenOdd, 2);
  // The first sub-scanline (4) holds the coincident top crossings, so three rows count.
  const auto Alpha = [](uint32_t Count) { return (Count * 1167 & 0xFF00) >> 8; };
  EXPECT_EQ(S.At(10, 1), Covered(Alpha(3 * 4)));
  EXPECT_EQ(S.At(11, 1), Covered(Alpha(3 * 7)));
  EXPECT_EQ(S.At(12, 1), Covered(Alpha(3 * 5)));
  EXPECT_EQ(S.CountWritten(), 3);
}

TEST(AntialiasedFill, ColourAlphaWeighsTheCoverage) {
  const TColor32 Half = 0x80FF8040;
  Surface S(32, 32);
  FillPolygonAA(S.B, Rect10, Half, TPolyFillRule::EvenOdd, 2);
  EXPECT_EQ(S.At(15, 15), Covered(255, Half));
  EXPECT_EQ(S.At(15, 10), Covered(223, Half));
}

TEST(Fill, OppositeRingsLeaveTheHoleEmptyUnderNonZero) {
  const TArrayOfFixedPoint Outer = Pixels({{4, 4}, {28, 4}, {28, 28}, {4, 28}});
  const TArrayOfFixedPoint Inner = Pixels({{10, 10}, {22, 10}, {22, 22}, {10, 22}});
  for (bool Smooth : {false, true}) {
    Surface Hole(32, 32);
    Surface Full(32, 32);
    if (Smooth) {
      FillPolyPolygonAA(Hole.B, {Outer, Reversed(Inner)}, White, TPolyFillRule::NonZero, 2);
      FillPolyPolygonAA(Full.B, {Outer, Inner}, White, TPolyFillRule::NonZero, 2);
    } else {
      FillPolyPolygon(Hole.B, {Outer, Reversed(Inner)}, White, TPolyFillRule::NonZero);
      FillPolyPolygon(Full.B, {Outer, Inner}, White, TPolyFillRule::NonZero);
    }
    for (int32_t Y = 12; Y <= 20; ++Y)
      for (int32_t X = 12; X <= 20; ++X) {
        ASSERT_EQ(Hole.At(X, Y), Background) << Smooth << " " << X << "," << Y;
        ASSERT_NE(Full.At(X, Y), Background) << Smooth << " " << X << "," << Y;
      }
    EXPECT_NE(Hole.At(6, 16), Background);
    EXPECT_NE(Hole.At(25, 16), Background);
  }
}

TEST(Fill, ThickClosedBandCoversThePathButNotItsHole) {
  // A circle of 40 points, radius 40 around (64, 64), made a band of half-width 3.
  TPolygon32 Ring;
  Ring.FillRule = TPolyFillRule::NonZero;
  for (int I = 0; I < 40; ++I) {
    const double A = I * 2 * M_PI / 40;
    Ring.AddPoint({static_cast<TFixed>(std::lround((64 + 40 * std::cos(A)) * 65536)),
                   static_cast<TFixed>(std::lround((64 + 40 * std::sin(A)) * 65536))});
  }
  auto Band = Ring.TwoWayOutline()->Inflate(IntToFixed(3), 1.0f);
  for (bool Smooth : {false, true}) {
    Band->Antialiased = Smooth;
    Surface S(128, 128);
    Band->FillPaths(S.B, White);
    const TColor32 Full = Smooth ? Covered(255) : White;
    EXPECT_EQ(S.Changes, 1);
    for (int I = 0; I < 360; ++I) {
      const double A = I * M_PI / 180;
      const auto At = [&](double R) {
        return S.At(static_cast<int32_t>(std::floor(64 + R * std::cos(A))),
                    static_cast<int32_t>(std::floor(64 + R * std::sin(A))));
      };
      // The chords sit up to 0.12 inside the circle, so the band spans radii 36.88 to 42.88; a
      // pixel holding a point is within 1.42 of it.
      ASSERT_EQ(At(38.5), Full) << Smooth << " " << I;
      ASSERT_EQ(At(39.8), Full) << Smooth << " " << I;
      ASSERT_EQ(At(41.3), Full) << Smooth << " " << I;
      ASSERT_EQ(At(34), Background) << Smooth << " " << I;
      ASSERT_EQ(At(46), Background) << Smooth << " " << I;
    }
    EXPECT_EQ(S.At(64, 64), Background);
  }
}

TEST(Fill, NoFillWritesOutsideTheClipBounds) {
  std::mt19937 Rng(3);
  const TColor32 Guard = 0xFF123456;
  // A margin on every side, a clip without width, one without height, the whole surface.
  const TRect Clips[] = {{7, 5, 57, 43}, {20, 5, 20, 43}, {7, 30, 57, 30}, {0, 0, 64, 48}};
  const int32_t Extremes[] = {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(),
                              -IntToFixed(30000), IntToFixed(30000), 0x7FFFF800, -0x7FFFF800};
  const auto Coord = [&](int32_t Size) -> TFixed {
    switch (Rng() % 8) {
      case 0: return Extremes[Rng() % std::size(Extremes)];
      case 1: return static_cast<TFixed>(Rng());
      default: return static_cast<TFixed>(static_cast<int64_t>(Rng() % (Size * 3 * 65536)) - Size * 65536);
    }
  };
  for (int Trial = 0; Trial < 400; ++Trial) {
    const TRect& Clip = Clips[Trial % std::size(Clips)];
    Surface S(64, 48, Guard);
    S.B.SetClipBounds(Clip);
    TArrayOfArrayOfFixedPoint Paths(1 + Rng() % 3);
    for (TArrayOfFixedPoint& P : Paths) {
      P.resize(Rng() % 9);
      for (TFixedPoint& Q : P) Q = {Coord(64), Coord(48)};
    }
    const TPolyFillRule Rule = Rng() % 2 ? TPolyFillRule::NonZero : TPolyFillRule::EvenOdd;
    const TColor32 Color = Rng() % 2 ? 0xFFFFFFFF : 0x80FF00FF;
    FillPolygon(S.B, Paths[0], Color, Rule);
    FillPolyPolygon(S.B, Paths, Color, Rule);
    for (TAntialiasLevel Level = 0; Level <= 4; ++Level) {
      FillPolygonAA(S.B, Paths[0], Color, Rule, Level);
      FillPolyPolygonAA(S.B, Paths, Color, Rule, Level);
    }
    for (int32_t Y = 0; Y < 48; ++Y)
      for (int32_t X = 0; X < 64; ++X)
        if (X < Clip.Left || X >= Clip.Right || Y < Clip.Top || Y >= Clip.Bottom) {
          ASSERT_EQ(S.At(X, Y), Guard) << "trial " << Trial << " at " << X << "," << Y;
        }
  }
}

TEST(AntialiasedFill, LevelsBeyondTheCoarsestGridUseIt) {
  const TArrayOfFixedPoint Tri{{0x1C000, 0x3000}, {0x150000, 0x64000}, {0x40000, 0xE8000}};
  Surface Coarsest(32, 32);
  FillPolygonAA(Coarsest.B, Tri, White, TPolyFillRule::EvenOdd, 4);
  for (TAntialiasLevel Level : {5, 200, 255}) {
    Surface S(32, 32);
    FillPolygonAA(S.B, Tri, White, TPolyFillRule::EvenOdd, Level);
    for (int32_t Y = 0; Y < 32; ++Y)
      for (int32_t X = 0; X < 32; ++X) ASSERT_EQ(S.At(X, Y), Coarsest.At(X, Y)) << int(Level);
  }
}

TEST(Fill, OutlineAcrossTheWholeRangeCoversTheClip) {
  const int32_t Lo = std::numeric_limits<int32_t>::min();
  const int32_t Hi = std::numeric_limits<int32_t>::max();
  const TArrayOfFixedPoint Huge{{Lo, Lo}, {Hi, Lo}, {Hi, Hi}, {Lo, Hi}};
  for (TAntialiasLevel Level = 0; Level <= 4; ++Level) {
    Surface S(20, 10);
    S.B.SetClipBounds({2, 1, 18, 9});
    FillPolygonAA(S.B, Huge, White, TPolyFillRule::EvenOdd, Level);
    const TColor32 Full = Covered(Level == 0 ? 251 : 255);
    for (int32_t Y = 1; Y < 9; ++Y) ASSERT_EQ(S.Written(Y), Range(2, 17)) << int(Level);
    ASSERT_EQ(S.At(2, 1), Full);
    ASSERT_EQ(S.At(17, 8), Full);
  }
  Surface S(20, 10);
  FillPolygon(S.B, Huge, White, TPolyFillRule::NonZero);
  for (int32_t Y = 0; Y < 10; ++Y) EXPECT_EQ(S.Written(Y), Range(0, 19));
}

TEST(Fill, ClipEdgesBeyondThePositionRangeKeepFillsInside) {
  // Past 2^23 pixels a plain crossing's 1/256 position no longer fits in 31 bits.
  const int32_t Width = (1 << 23) + 60;
  const TArrayOfFixedPoint Cover{{-IntToFixed(30000), -IntToFixed(5)}, {IntToFixed(30000), -IntToFixed(5)},
                                 {IntToFixed(30000), IntToFixed(5)}, {-IntToFixed(30000), IntToFixed(5)}};
  // The first left edge fits, the right one does not; the second clip fits neither.
  for (const TRect& Clip : {TRect{(1 << 23) - 40, 0, Width, 1}, TRect{(1 << 23) + 10, 0, Width, 1}}) {
    Surface S(Width, 1, Background);
    S.B.SetClipBounds(Clip);
    for (TPolyFillRule Rule : {TPolyFillRule::EvenOdd, TPolyFillRule::NonZero}) {
      FillPolygon(S.B, Cover, White, Rule);
      FillPolygonAA(S.B, Cover, White, Rule, 0);
    }
    for (int32_t X = 0; X < Width; ++X)
      if (X < Clip.Left) {
        ASSERT_EQ(S.At(X, 0), Background) << X;
      }
    if (Clip.Left < (1 << 23)) {
      EXPECT_NE(S.At(Clip.Left, 0), Background);
    }
  }
}

TEST(Fill, ReportsTheOutwardBoundsOnceAfterDrawing) {
  const TArrayOfFixedPoint P{{IntToFixed(3) + 0x8000, IntToFixed(2) + 1}, {IntToFixed(12), IntToFixed(2)},
                             {IntToFixed(8) + 1, IntToFixed(9) + 0x4000}};
  const TRect Bounds{3, 2, 12, 10};
  Surface A(16, 16);
  FillPolygon(A.B, P, White, TPolyFillRule::EvenOdd);
  Surface B(16, 16);
  FillPolygonAA(B.B, P, White, TPolyFillRule::NonZero, 2);
  Surface C(16, 16);
  FillPolyPolygon(C.B, {P, {}}, White, TPolyFillRule::EvenOdd);
  Surface D(16, 16);
  FillPolyPolygonAA(D.B, {{}, P}, White, TPolyFillRule::EvenOdd, 0);
  for (Surface* S : {&A, &B, &C, &D}) {
    ASSERT_EQ(S->Areas.size(), 1u);
    EXPECT_EQ(S->Areas[0].first, Bounds);
    EXPECT_EQ(S->Areas[0].second, AREAINFO_RECT);
    EXPECT_EQ(S->Changes, 1);
    EXPECT_EQ(S->B.GetUpdateCount(), 0);
    EXPECT_GT(S->CountWritten(), 0);
  }
}

TEST(Fill, DegenerateInputDrawsNothing) {
  const TArrayOfFixedPoint Flat = Pixels({{2, 5}, {20, 5}, {9, 5}, {3, 5}});
  // Rounds onto one pixel row and onto one sub-scanline of level 2.
  const TArrayOfFixedPoint NearlyFlat{{IntToFixed(2), IntToFixed(5) + 5000}, {IntToFixed(20), IntToFixed(5) - 2000},
                                      {IntToFixed(9), IntToFixed(5)}};
  for (const TArrayOfFixedPoint& P : {TArrayOfFixedPoint{}, Pixels({{1, 1}}), Pixels({{1, 1}, {9, 9}}), Flat, NearlyFlat}) {
    Surface S(32, 32);
    FillPolygon(S.B, P, White, TPolyFillRule::NonZero);
    FillPolygonAA(S.B, P, White, TPolyFillRule::NonZero, 2);
    FillPolyPolygonAA(S.B, {P}, White, TPolyFillRule::NonZero, 2);
    EXPECT_EQ(S.CountWritten(), 0);
    EXPECT_EQ(S.Areas.size(), 0u) << P.size();
    EXPECT_EQ(S.Changes, 0);
  }
  // Several paths: points of short paths still count for the plain Y range, so the fill runs and
  // reports; the anti-aliased one leaves them out and stays silent.
  Surface S(32, 32);
  FillPolyPolygon(S.B, {Pixels({{1, 1}, {9, 9}})}, White, TPolyFillRule::EvenOdd);
  EXPECT_EQ(S.CountWritten(), 0);
  EXPECT_EQ(S.Areas.size(), 1u);
  FillPolyPolygonAA(S.B, {Pixels({{1, 1}, {9, 9}})}, White, TPolyFillRule::EvenOdd, 2);
  EXPECT_EQ(S.Areas.size(), 1u);
}

TEST(Fill, TransparentColourStopsOnePathFillsButNotSeveral) {
  Surface S(32, 32);
  FillPolygon(S.B, Rect10, 0x00FFFFFF, TPolyFillRule::EvenOdd);
  FillPolygonAA(S.B, Rect10, 0x00FFFFFF, TPolyFillRule::EvenOdd, 2);
  EXPECT_EQ(S.Areas.size(), 0u);
  FillPolyPolygon(S.B, {Rect10}, 0x00FFFFFF, TPolyFillRule::EvenOdd);
  FillPolyPolygonAA(S.B, {Rect10}, 0x00FFFFFF, TPolyFillRule::EvenOdd, 2);
  EXPECT_EQ(S.Areas.size(), 2u);
  EXPECT_EQ(S.CountWritten(), 0);
}

TEST(Fill, MeasuringReportsTheAreaWithoutDrawing) {
  Surface S(32, 32);
  std::vector<TRect> Measured;
  S.B.BeginMeasuring([&](TBitmap32*, const TRect& R, uint32_t) { Measured.push_back(R); });
  FillPolygon(S.B, Rect10, White, TPolyFillRule::EvenOdd);
  FillPolygonAA(S.B, Pixels({{1, 1}}), 0x00000000, TPolyFillRule::EvenOdd, 2);
  FillPolyPolygon(S.B, {Rect10}, White, TPolyFillRule::NonZero);
  FillPolyPolygonAA(S.B, {}, White, TPolyFillRule::NonZero, 0);
  S.B.EndMeasuring();
  EXPECT_EQ(S.CountWritten(), 0);
  EXPECT_EQ(S.Changes, 0);
  ASSERT_EQ(Measured.size(), 4u);
  EXPECT_EQ(Measured[0], (TRect{10, 10, 20, 20}));
  EXPECT_EQ(Measured[1], (TRect{1, 1, 1, 1}));
  EXPECT_EQ(Measured[2], (TRect{10, 10, 20, 20}));
  EXPECT_EQ(Measured[3], RoundFixedRect(FixedPathsBounds({}), RectRounding::Outward));
}

TEST(Fill, BoundsStartInvertedAndTakeTheExtremes) {
  EXPECT_EQ(FixedPointsBounds({}), (TFixedRect{0x7F000000, 0x7F000000, -0x7F000000, -0x7F000000}));
  EXPECT_EQ(FixedPathsBounds({{}, {{5, -7}}, {{-3, 9}, {1, 1}}}), (TFixedRect{-3, -7, 5, 9}));
}

TEST(Fill, PolygonFillPathsLeavesTheBatchAsFoundAndNotifiesOnce) {
  TPolygon32 P;
  P.AddPoints(Rect10.data(), 4);
  for (bool Smooth : {false, true}) {
    P.Antialiased = Smooth;
    Surface S(32, 32);
    S.B.BeginBatch();
    P.FillPaths(S.B, White);
    EXPECT_EQ(S.B.GetUpdateCount(), 1);
    S.B.EndBatch();
    EXPECT_EQ(S.Changes, 0);  // the caller's batch holds the notification back
    P.FillPaths(S.B, White);
    EXPECT_EQ(S.Changes, 1);
    EXPECT_EQ(S.Areas.back().first, S.B.BoundsRect());
    EXPECT_GT(S.CountWritten(), 0);
  }
}

}  // namespace
}  // namespace quillet
