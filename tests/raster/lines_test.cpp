// Integer and anti-aliased integer lines: the worked pixels, the reports, and the property that
// clipping keeps exactly the pixels of the unclipped walk, for ordinary and extreme end points.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <set>
#include <vector>

#include "drawing_support.h"
#include "raster/detail/line_clip.h"
#include "raster/detail/wide_math.h"

namespace quillet {
namespace {

using testing::AreaReport;
using testing::Recorder;

constexpr TColor32 Red = 0xFFFF0000;
constexpr TColor32 Translucent = 0x8020C040;

struct PointLess {
  bool operator()(const TPoint& A, const TPoint& B) const { return A.X != B.X ? A.X < B.X : A.Y < B.Y; }
};
using PointSet = std::set<TPoint, PointLess>;

PointSet Points(std::initializer_list<TPoint> L) { return PointSet(L); }

PointSet ChangedSet(const std::vector<TColor32>& Before, const TBitmap32& B) {
  const auto V = testing::Changed(Before, testing::Snapshot(B), B.Width());
  return PointSet(V.begin(), V.end());
}

// --- Reference models of the unclipped walks ----------------------------------------------------

// A pixel of a walk with its coverage weight (255 for the integer line).
struct WalkPixel {
  int64_t X, Y;
  uint32_t Weight;
};

// The line in its normalised frame: positive differences, x the major axis.
struct Frame {
  int64_t X1, Y1, Dx, Dy, Xd, Yd;
  bool Swapped;
  explicit Frame(int64_t AX1, int64_t AY1, int64_t AX2, int64_t AY2) : X1(AX1), Y1(AY1) {
    Dx = AX2 - AX1, Dy = AY2 - AY1;
    Xd = Dx < 0 ? -1 : 1, Yd = Dy < 0 ? -1 : 1;
    Dx *= Xd, Dy *= Yd;
    Swapped = Dx < Dy;
    if (Swapped) std::swap(Dx, Dy);
  }
  // Pixel at major offset A and minor offset B from the start.
  std::pair<int64_t, int64_t> At(int64_t A, int64_t B) const {
    return Swapped ? std::pair{X1 + Xd * B, Y1 + Yd * A} : std::pair{X1 + Xd * A, Y1 + Yd * B};
  }
  // The range of major offsets whose pixels can fall in [Lo, Hi] of the major axis, within Last.
  std::pair<int64_t, int64_t> MajorRange(const TRect& Clip, int64_t Last) const {
    const int64_t Start = Swapped ? Y1 : X1, D = Swapped ? Yd : Xd;
    const int64_t Lo = Swapped ? Clip.Top : Clip.Left, Hi = (Swapped ? Clip.Bottom : Clip.Right) - 1;
    int64_t A0 = D > 0 ? Lo - Start : Start - Hi, A1 = D > 0 ? Hi - Start : Start - Lo;
    return {std::max<int64_t>(A0, 0), std::min(A1, Last)};
  }
};

// The error-term walk in closed form (row = floor((2 s Dy + Dx) / 2 Dx)), visiting only the steps
// whose major coordinate lies in the clip rectangle, so that it serves for lines of any length.
std::vector<WalkPixel> IntegerWalkInClip(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, bool L, const TRect& Clip) {
  const Frame F(X1, Y1, X2, Y2);
  std::vector<WalkPixel> Result;
  const auto [A0, A1] = F.MajorRange(Clip, F.Dx - (L ? 0 : 1));
  for (int64_t A = A0; A <= A1; ++A) {
    const Int128 B = (Int128(2) * A * F.Dy + F.Dx) / (Int128(2) * F.Dx);
    const auto [X, Y] = F.At(A, static_cast<int64_t>(B));
    Result.push_back({X, Y, 255});
  }
  return Result;
}

// The whole walk, as drawn without clipping.
std::vector<WalkPixel> IntegerWalk(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, bool L) {
  constexpr int32_t Min = std::numeric_limits<int32_t>::min(), Max = std::numeric_limits<int32_t>::max();
  return IntegerWalkInClip(X1, Y1, X2, Y2, L, {Min, Min, Max, Max});
}

// The anti-aliased walk: step s has its pixel on row floor(s m / 65536) with weight G[255 - f]
// and the neighbour one row on with weight G[f], f = ((s m) mod 65536) >> 8.
std::vector<WalkPixel> AAWalk(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, bool L, const TRect& Clip) {
  const Frame F(X1, Y1, X2, Y2);
  const int64_t M = (F.Dy << 16) / F.Dx;
  std::vector<WalkPixel> Result;
  const auto [A0, A1] = F.MajorRange(Clip, F.Dx - (L ? 0 : 1));
  for (int64_t A = A0; A <= A1; ++A) {
    const Int128 P = Int128(A) * M;
    const int64_t B = static_cast<int64_t>(P >> 16);
    const uint32_t Fr = static_cast<uint32_t>((P & 0xFFFF) >> 8);
    const auto [X, Y] = F.At(A, B);
    const auto [NX, NY] = F.At(A, B + 1);
    Result.push_back({X, Y, CoverageGammaTable[255 - Fr]});
    Result.push_back({NX, NY, CoverageGammaTable[Fr]});
  }
  return Result;
}

// The surface expected after writing the walk's pixels that lie inside the clip rectangle.
std::vector<TColor32> Expected(const TBitmap32& B, const std::vector<TColor32>& Background,
                               const std::vector<WalkPixel>& Walk, TColor32 Value, bool Store, bool Master) {
  std::vector<TColor32> Result = Background;
  const TCombineModeEntry& Ops = CombineOpsFor(B.CombineMode());
  for (const WalkPixel& P : Walk) {
    if (!testing::InsideRect(B.ClipBounds(), P.X, P.Y)) continue;
    TColor32& Px = Result[static_cast<size_t>(P.Y) * B.Width() + static_cast<size_t>(P.X)];
    if (Store)
      Px = Value;
    else if (Master)
      Ops.ColorIntoMaster(Value, Px, P.Weight);
    else
      Ops.ColorInto(Value, Px);
  }
  return Result;
}

// --- Integer line: worked examples and reports ---------------------------------------------------

class IntegerLine : public ::testing::Test {
 protected:
  void SetUp() override {
    B.SetDimensions(12, 12);
    testing::PaintBackground(B);
    Before = testing::Snapshot(B);
    R.Attach(B);
  }
  TBitmap32 B;
  std::vector<TColor32> Before;
  Recorder R;
};

TEST_F(IntegerLine, WalksTheErrorTermAndLeavesOutTheEndPoint) {
  B.DrawLineClipped(0, 0, 5, 2, Red, false);
  EXPECT_EQ(ChangedSet(Before, B), Points({{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}));
  EXPECT_EQ(*B.PixelAddress(2, 1), Red);
  ASSERT_EQ(R.Areas.size(), 1u);
  EXPECT_EQ(R.Areas[0], (AreaReport{{0, 0, 5, 2}, AREAINFO_DRAWN_LINE}));

  B.DrawLineClipped(0, 0, 5, 2, Red, true);
  const auto Six = Points({{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}});
  EXPECT_EQ(ChangedSet(Before, B), Six);
  testing::PaintBackground(B);
  B.DrawLineClipped(5, 2, 0, 0, Red, true);
  EXPECT_EQ(ChangedSet(Before, B), Six);

  testing::PaintBackground(B);
  B.DrawLineClipped(0, 0, 2, 5, Red, true);
  EXPECT_EQ(ChangedSet(Before, B), Points({{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}}));
}

TEST_F(IntegerLine, ClippingKeepsThePixelsOfTheUnclippedWalk) {
  B.SetClipBounds({0, 0, 4, 100});
  B.DrawLineClipped(-3, -1, 6, 2, Red, false);
  EXPECT_EQ(ChangedSet(Before, B), Points({{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
}

TEST_F(IntegerLine, SinglePointDrawsOnlyWithTheEndPointAndJustNotifies) {
  B.DrawLineClipped(3, 3, 3, 3, Red, false);
  EXPECT_TRUE(ChangedSet(Before, B).empty());
  ASSERT_EQ(R.Areas.size(), 1u);
  EXPECT_EQ(R.Areas[0], (AreaReport{{0, 0, 12, 12}, AREAINFO_RECT}));
  EXPECT_EQ(R.Changes, 1);

  B.DrawLineClipped(3, 3, 3, 3, Red, true);
  EXPECT_EQ(ChangedSet(Before, B), Points({{3, 3}}));
}

TEST_F(IntegerLine, AxisAlignedLinesAreSpans) {
  // The opaque line reports the span and then the whole surface; the blended one only the span.
  B.DrawLineClipped(2, 9, 2, 4, Red, false);
  EXPECT_EQ(ChangedSet(Before, B), Points({{2, 5}, {2, 6}, {2, 7}, {2, 8}, {2, 9}}));
  ASSERT_EQ(R.Areas.size(), 2u);
  EXPECT_EQ(R.Areas[0], (AreaReport{{2, 5, 3, 10}, AREAINFO_RECT}));
  EXPECT_EQ(R.Areas[1], (AreaReport{{0, 0, 12, 12}, AREAINFO_RECT}));

  testing::PaintBackground(B);
  R.Clear();
  B.DrawLineBlendClipped(1, 3, 4, 3, Translucent, true);
  EXPECT_EQ(ChangedSet(Before, B), Points({{1, 3}, {2, 3}, {3, 3}, {4, 3}}));
  ASSERT_EQ(R.Areas.size(), 1u);
  EXPECT_EQ(R.Areas[0], (AreaReport{{1, 3, 4, 4}, AREAINFO_RECT}));
}

TEST_F(IntegerLine, MissingLinesDrawAndReportNothing) {
  B.SetClipBounds({2, 2, 8, 8});
  B.DrawLineClipped(0, 0, 1, 11, Red, true);    // left of the clip rectangle
  B.DrawLineBlendClipped(9, 0, 11, 5, Red, true);
  B.DrawLineClipped(-5, 1, 30, 2, Red, true);   // stays on row 1 across the clip's columns
  B.DrawLineClipped(0, 3, 3, 0, Red, true);     // passes outside the corner (2, 2)
  EXPECT_TRUE(ChangedSet(Before, B).empty());
  EXPECT_TRUE(R.Areas.empty());
  EXPECT_EQ(R.Changes, 0);
}

TEST_F(IntegerLine, MeasuringReportsTheGivenSegmentAndWritesNothing) {
  std::vector<AreaReport> Measured;
  B.BeginMeasuring([&](TBitmap32*, const TRect& A, uint32_t Info) { Measured.push_back({A, Info}); });
  B.DrawLineClipped(-40, 3, 90, 7, Red, true);
  B.DrawLineBlendClipped(1, 1, 1, 1, Red, true);
  B.DrawLineAAClipped(0, 0, 9, 2, Red, false);
  B.EndMeasuring();
  EXPECT_TRUE(ChangedSet(Before, B).empty());
  const std::vector<AreaReport> Want{{{-40, 3, 90, 7}, AREAINFO_DRAWN_LINE},
                                     {{1, 1, 1, 1}, AREAINFO_DRAWN_LINE},
                                     {{0, 0, 9, 2}, AREAINFO_DRAWN_LINE}};
  EXPECT_EQ(Measured, Want);
  EXPECT_EQ(R.Changes, 0);
}

TEST_F(IntegerLine, BlendedLineUsesTheCombineMode) {
  B.SetCombineMode(TCombineMode::cmMerge);
  const auto Background = testing::Snapshot(B);
  B.DrawLineBlendClipped(0, 1, 7, 4, Translucent, false);
  EXPECT_EQ(testing::Snapshot(B), Expected(B, Background, IntegerWalk(0, 1, 7, 4, false), Translucent, false, false));
}

// --- Anti-aliased line: worked examples and clip-edge outcomes -----------------------------------

class AALine : public IntegerLine {};

TEST_F(AALine, BlendsTwoPixelsPerStepWithGammaWeights) {
  B.DrawLineAAClipped(0, 0, 4, 1, Red, false);
  EXPECT_EQ(ChangedSet(Before, B), Points({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {1, 1}, {2, 1}, {3, 1}}));
  // (0, 1) takes weight G[0] = 0 and stays as it was.
  std::vector<TColor32> Want = Before;
  const auto Blend = [&](int X, int Y, uint32_t W) { BlendColorIntoMaster(Red, Want[Y * 12 + X], W); };
  const uint32_t Fractions[4] = {0, 64, 128, 192};
  for (int S = 0; S < 4; ++S) {
    Blend(S, 0, CoverageGammaTable[255 - Fractions[S]]);
    if (Fractions[S] != 0) Blend(S, 1, CoverageGammaTable[Fractions[S]]);
  }
  EXPECT_EQ(testing::Snapshot(B), Want);
  ASSERT_EQ(R.Areas.size(), 1u);
  EXPECT_EQ(R.Areas[0], (AreaReport{{0, 0, 4, 1}, AREAINFO_DRAWN_LINE}));
}

TEST_F(AALine, DiagonalsAndAxisAlignedLinesAreDrawnWithoutCoverage) {
  B.DrawLineAAClipped(5, 5, 1, 1, Translucent, false);
  EXPECT_EQ(testing::Snapshot(B), Expected(B, Before, IntegerWalk(5, 5, 1, 1, false), Translucent, false, false));
  ASSERT_EQ(R.Areas.size(), 1u);
  EXPECT_EQ(R.Areas[0].Info, AREAINFO_DRAWN_LINE);

  testing::PaintBackground(B);
  R.Clear();
  B.DrawLineAAClipped(3, 2, 3, 6, Translucent, true);
  EXPECT_EQ(ChangedSet(Before, B), Points({{3, 2}, {3, 3}, {3, 4}, {3, 5}, {3, 6}}));
  ASSERT_EQ(R.Areas.size(), 1u);  // the span's rectangle, no line report
  EXPECT_EQ(R.Areas[0], (AreaReport{{3, 2, 4, 6}, AREAINFO_RECT}));
}

TEST_F(AALine, EmptyClipRectangleDrawsAndReportsNothing) {
  B.SetClipBounds({4, 4, 4, 9});
  B.DrawLineAAClipped(0, 0, 11, 7, Red, true);
  B.DrawLineAAClipped(4, 0, 4, 11, Red, true);
  EXPECT_TRUE(ChangedSet(Before, B).empty());
  EXPECT_TRUE(R.Areas.empty());
}

TEST_F(AALine, NeighboursBelowTheClipOnlyNotifyWhenTheLineLeavesSideways) {
  // The line reaches row 1 right of the clip rectangle: only the neighbours, on row 1, of its
  // row-0 steps fall inside (step 0's has weight 0), and the surface is notified as a whole.
  B.SetClipBounds({0, 1, 5, 12});
  B.DrawLineAAClipped(0, 0, 11, 2, Red, false);
  EXPECT_EQ(ChangedSet(Before, B), Points({{1, 1}, {2, 1}, {3, 1}, {4, 1}}));
  std::vector<TColor32> Want = Before;
  const int64_t M = (2 << 16) / 11;
  for (int S = 1; S <= 4; ++S)
    BlendColorIntoMaster(Red, Want[1 * 12 + S], CoverageGammaTable[((S * M) & 0xFFFF) >> 8]);
  EXPECT_EQ(testing::Snapshot(B), Want);
  ASSERT_EQ(R.Areas.size(), 1u);
  EXPECT_EQ(R.Areas[0], (AreaReport{{0, 0, 12, 12}, AREAINFO_RECT}));
}

TEST_F(AALine, TailOnTheLastRowStopsBeforeTheLastColumn) {
  // Steps 16..20 lie on row 3, the last row of the clip, and the last column is 18: the tail
  // draws 16 and 17 only, with their primary weights.
  B.SetDimensions(24, 8);
  testing::PaintBackground(B);
  Before = testing::Snapshot(B);
  B.SetClipBounds({0, 0, 19, 4});
  B.DrawLineAAClipped(0, 0, 20, 4, Red, false);
  const auto Got = ChangedSet(Before, B);
  EXPECT_TRUE(Got.count({16, 3}));
  EXPECT_TRUE(Got.count({17, 3}));
  EXPECT_FALSE(Got.count({18, 3}));
  for (const TPoint& P : Got) EXPECT_TRUE(testing::InsideRect(B.ClipBounds(), P.X, P.Y));
}

TEST_F(AALine, EnteringOnTheLastRowDrawsOnlyATailOrNothing) {
  B.SetClipBounds({8, 0, 12, 5});
  // At column 8 the line is on row 4, the last one, and ends there: nothing at all.
  B.DrawLineAAClipped(0, 0, 8, 4, Red, true);
  EXPECT_TRUE(ChangedSet(Before, B).empty());
  // Ending below, the steps on row 4 get their primary pixel only.
  B.DrawLineAAClipped(0, 0, 10, 5, Red, false);
  EXPECT_EQ(ChangedSet(Before, B), Points({{8, 4}, {9, 4}}));
}

// --- The walk rows behind every clip edge -------------------------------------------------------

TEST(WalkRows, FirstStepOnARowIsWhereTheWalkGetsThereForAnySize) {
  // Walks of both kinds, from tiny to the widest a 32-bit line allows, asked for rows near and far.
  std::mt19937_64 Rng(99);
  const auto Upto = [&](int64_t N) { return static_cast<int64_t>(Rng() % static_cast<uint64_t>(N)); };
  for (int I = 0; I < 20000; ++I) {
    const int Bits = 1 + static_cast<int>(Rng() % 33);
    const int64_t Dx = 1 + Upto(int64_t{1} << Bits), Dy = 1 + Upto(Dx);
    const bool Smooth = I % 2 == 0;
    const int64_t A = Smooth ? (Dy << 16) / Dx : 2 * Dy, B = Smooth ? 0 : Dx, C = Smooth ? 65536 : 2 * Dx;
    const TWalkRows Rows(A, B, C);
    const int64_t Row = 1 + Upto(I % 3 == 0 ? Dy + 2 : (int64_t{1} << 33));
    const int64_t S = Rows.FirstStepOnRow(Row);
    const auto RowOf = [&](int64_t Step) { return static_cast<int64_t>((Int128(A) * Step + B) / C); };
    if (S >= NeverStep) {
      ASSERT_LT(RowOf(int64_t{1} << 34), Row) << A << " " << B << " " << C << " row " << Row;
      continue;
    }
    ASSERT_GE(RowOf(S), Row) << A << " " << B << " " << C << " row " << Row;
    if (S > 0) {
      ASSERT_LT(RowOf(S - 1), Row) << A << " " << B << " " << C << " row " << Row;
    }
    const TWalkPoint P = Rows.At(S);
    ASSERT_EQ(Int128(P.Whole) * C + P.Rest, Int128(A) * S + B);
    ASSERT_TRUE(P.Rest >= 0 && P.Rest < C);
  }
}

// --- The clipping property -----------------------------------------------------------------------

// Draws a line of each kind onto a surface larger than its clip rectangle and checks the result
// against the reference walks. For the anti-aliased line the clip-edge steps differ from the plain
// walk in a few documented places on the clip rectangle's border (at the corners, and where the
// line ends one row from an edge); CompareAA therefore checks the interior always and the border
// when the end point keeps clear of the edges.
class ClipProperty : public ::testing::Test {
 protected:
  void Prepare(const TRect& Clip) {
    B.SetDimensions(40, 32);
    B.ResetClipBounds();
    testing::PaintBackground(B);
    B.SetClipBounds(Clip);
    Background = testing::Snapshot(B);
  }

  void CheckInteger(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, bool L, bool Closed) {
    if (X1 == X2 || Y1 == Y2) return;
    const auto Walk = Closed ? IntegerWalkInClip(X1, Y1, X2, Y2, L, B.ClipBounds()) : IntegerWalk(X1, Y1, X2, Y2, L);
    B.SetCombineMode(TCombineMode::cmBlend);
    Restore();
    B.DrawLineClipped(int32_t(X1), int32_t(Y1), int32_t(X2), int32_t(Y2), Red, L);
    ASSERT_EQ(testing::Snapshot(B), Expected(B, Background, Walk, Red, true, false))
        << "opaque " << X1 << "," << Y1 << " " << X2 << "," << Y2 << " L=" << L;
    Restore();
    B.DrawLineBlendClipped(int32_t(X1), int32_t(Y1), int32_t(X2), int32_t(Y2), Translucent, L);
    ASSERT_EQ(testing::Snapshot(B), Expected(B, Background, Walk, Translucent, false, false))
        << "blend " << X1 << "," << Y1 << " " << X2 << "," << Y2 << " L=" << L;
  }

  void CheckAA(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, bool L, TColor32 Value) {
    const int64_t Dx = X2 - X1, Dy = Y2 - Y1;
    if (Dx == 0 || Dy == 0 || Dx == Dy || Dx == -Dy) return;
    const TRect C = B.ClipBounds();
    Restore();
    B.DrawLineAAClipped(int32_t(X1), int32_t(Y1), int32_t(X2), int32_t(Y2), Value, L);
    const auto Got = testing::Snapshot(B);
    const auto Want = Expected(B, Background, AAWalk(X1, Y1, X2, Y2, L, C), Value, false, true);
    // Where the walk really ends: with its 16-bit slope a long line drifts off its end point.
    const Frame F(X1, Y1, X2, Y2);
    const int64_t M = (F.Dy << 16) / F.Dx;
    const auto [Wx, Wy] = F.At(F.Dx, static_cast<int64_t>((Int128(F.Dx) * M) >> 16));
    const auto NearOrBetween = [](int64_t A, int64_t B2, int32_t Lo, int32_t Hi) {
      for (int64_t E : {int64_t(Lo) - 1, int64_t(Lo), int64_t(Hi) - 1, int64_t(Hi)})
        if (std::min(A, B2) - 1 <= E && E <= std::max(A, B2) + 1) return true;
      return false;
    };
    // Lines of 32768 steps and more are drawn as the plain walk inside the clip, border included.
    const bool Long = F.Dx >= 32768;
    const bool WholeClip =
        Long || (!NearOrBetween(X2, Wx, C.Left, C.Right) && !NearOrBetween(Y2, Wy, C.Top, C.Bottom));
    for (int Y = 0; Y < B.Height(); ++Y) {
      for (int X = 0; X < B.Width(); ++X) {
        const bool Border = X == C.Left || X == C.Right - 1 || Y == C.Top || Y == C.Bottom - 1;
        const bool Corner = (X == C.Left || X == C.Right - 1) && (Y == C.Top || Y == C.Bottom - 1);
        if (testing::InsideRect(C, X, Y) && !Long && (Corner || (Border && !WholeClip))) continue;
        const size_t I = static_cast<size_t>(Y) * B.Width() + X;
        ASSERT_EQ(Got[I], Want[I]) << "pixel " << X << "," << Y << " of " << X1 << "," << Y1 << " " << X2 << ","
                                   << Y2 << " L=" << L;
      }
    }
  }

  void Restore() { std::copy(Background.begin(), Background.end(), B.PixelPtr()); }

  TBitmap32 B;
  std::vector<TColor32> Background;
};

TEST_F(ClipProperty, RandomLinesKeepTheUnclippedWalkInsideTheClip) {
  std::mt19937 Rng(20240611);
  std::uniform_int_distribution<int> Coord(-25, 65);
  for (int Round = 0; Round < 150; ++Round) {
    // Clip rectangles from a single pixel up to most of the surface, never touching its edges.
    std::uniform_int_distribution<int> Lx(1, 30), Ly(1, 24);
    const int L = Lx(Rng), T = Ly(Rng);
    const int R = std::uniform_int_distribution<int>(L + 1, 39)(Rng);
    const int Bm = std::uniform_int_distribution<int>(T + 1, 31)(Rng);
    Prepare({L, T, R, Bm});
    B.SetCombineMode(Round % 3 == 0 ? TCombineMode::cmMerge : TCombineMode::cmBlend);
    for (int I = 0; I < 60; ++I) {
      const int X1 = Coord(Rng), Y1 = Coord(Rng), X2 = Coord(Rng), Y2 = Coord(Rng);
      const bool EndPoint = (I & 1) != 0;
      CheckAA(X1, Y1, X2, Y2, EndPoint, I % 4 < 2 ? Red : Translucent);
      CheckInteger(X1, Y1, X2, Y2, EndPoint, false);
      if (HasFatalFailure()) return;
    }
  }
}

TEST_F(ClipProperty, ExtremeEndPointsAreClippedExactlyAndQuickly) {
  const int32_t Big = std::numeric_limits<int32_t>::max(), Small = std::numeric_limits<int32_t>::min();
  const std::vector<int64_t> Values{Small, Small + 1, -1000000007, -40000, -3, 0, 17, 40000, 999999937, Big - 1, Big};
  Prepare({5, 4, 33, 27});
  for (int64_t X1 : Values)
    for (int64_t Y1 : Values)
      for (int64_t X2 : Values)
        for (int64_t Y2 : Values) {
          CheckInteger(X1, Y1, X2, Y2, ((X1 ^ Y2) & 1) != 0, true);
          CheckAA(X1, Y1, X2, Y2, ((X2 ^ Y1) & 1) != 0, Red);
          if (HasFatalFailure()) return;
        }
}

TEST_F(ClipProperty, LongLinesThroughTheClipMatchTheWalk) {
  // Lines a few hundred thousand pixels long, well beyond 16-bit differences, aimed through the clip.
  std::mt19937 Rng(7);
  std::uniform_int_distribution<int64_t> Far(-3000000, 3000000);
  std::uniform_int_distribution<int> Near(5, 30);
  Prepare({3, 3, 37, 29});
  for (int I = 0; I < 400; ++I) {
    const int64_t Px = Near(Rng), Py = Near(Rng), Qx = Far(Rng), Qy = Far(Rng);
    // From far away through (Px, Py) to the other side.
    CheckInteger(Px - Qx, Py - Qy, Px + Qx / 3, Py + Qy / 3, (I & 1) != 0, true);
    CheckAA(Px - Qx, Py - Qy, Px + Qx / 3, Py + Qy / 3, (I & 2) != 0, Translucent);
    if (HasFatalFailure()) return;
  }
}

TEST_F(ClipProperty, ZeroWeightNeighboursOutsideTheSurfaceAreNotTouched) {
  // Neighbours of the steps on the last row and column fall outside the surface with weight 0;
  // the sanitizer build catches any access.
  Prepare({0, 0, 40, 32});
  B.DrawLineAAClipped(0, 29, 39, 31, Red, true);
  B.DrawLineAAClipped(37, 0, 39, 31, Red, true);
  B.DrawLineAAClipped(39, 31, 0, 30, Red, true);
  EXPECT_NE(*B.PixelAddress(39, 31), Background[31 * 40 + 39]);
}

}  // namespace
}  // namespace quillet
