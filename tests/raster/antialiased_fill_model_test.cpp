// The anti-aliased fills against a model built another way: the crossing table of every
// sub-scanline, each span's count added pixel by pixel as the rule describes it (b - a for a
// pixel holding both ends, K - (a and K) and (b and K) at the ends, K in between), and the row
// blend of the combine mode applied to every covered pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "raster/blend.h"
#include "raster/detail/crossing_table.h"
#include "raster/polygon_fill.h"
#include "many_edged_shapes.h"

namespace quillet {
namespace {

struct TLevel {
  int32_t S, K;
  uint32_t Scale;
};
TLevel LevelOf(TAntialiasLevel L) {
  const uint32_t Scales[5] = {65, 273, 1167, 5460, 32662};
  const int32_t Clamped = std::min<int32_t>(L, 4);
  return {5 - Clamped, (1 << (5 - Clamped)) - 1, Scales[Clamped]};
}

// The expected surface after FillPolyPolygonAA of Paths onto Before.
std::vector<TColor32> Model(const TBitmap32& Surface, const std::vector<TColor32>& Before,
                            const TArrayOfArrayOfFixedPoint& Paths, TColor32 Color, TPolyFillRule Rule,
                            TAntialiasLevel Level) {
  std::vector<TColor32> After = Before;
  const TLevel G = LevelOf(Level);
  const TRect& Clip = Surface.ClipBounds();
  TArrayOfArrayOfPoint Grid;
  int64_t MinY = 0x7F000000, MaxY = -0x7F000000;
  for (const TArrayOfFixedPoint& P : Paths) {
    if (P.size() < 3) continue;
    TArrayOfPoint Q;
    for (const TFixedPoint& F : P) {
      Q.push_back({static_cast<int32_t>((int64_t{F.X} + 2047) >> (16 - G.S)),
                   static_cast<int32_t>((int64_t{F.Y} + 2047) >> (16 - G.S))});
      MinY = std::min<int64_t>(MinY, Q.back().Y);
      MaxY = std::max<int64_t>(MaxY, Q.back().Y);
    }
    Grid.push_back(Q);
  }
  const int64_t Top = int64_t{Clip.Top} << G.S, Bottom = (int64_t{Clip.Bottom} << G.S) - 1;
  MinY = std::clamp(MinY, Top, Bottom);
  MaxY = std::clamp(MaxY, Top, Bottom);
  if (MinY >= MaxY || Clip.Left >= Clip.Right) return After;

  TCrossingTable Table;
  Table.Reset(Clip.Left << G.S, static_cast<int32_t>(MinY), (Clip.Right << G.S) - 1, static_cast<int32_t>(MaxY));
  for (const TArrayOfPoint& Q : Grid) Table.CountPath(Q, false);
  Table.Allocate();
  for (const TArrayOfPoint& Q : Grid) Table.BuildCrossingTable(Q, false);
  Table.SortCrossings();

  // Coverage per pixel, from the spans of every sub-scanline.
  std::map<std::pair<int32_t, int32_t>, int64_t> Count;
  const auto AddSpan = [&](int32_t Py, uint32_t A, uint32_t B) {
    const int32_t Pa = static_cast<int32_t>(A >> G.S), Pb = static_cast<int32_t>(B >> G.S);
    if (Pa == Pb) {
      Count[{Pa, Py}] += B - A;
      return;
    }
    Count[{Pa, Py}] += G.K - (A & G.K);
    for (int32_t P = Pa + 1; P < Pb; ++P) Count[{P, Py}] += G.K;
    Count[{Pb, Py}] += B & G.K;
  };
  for (int32_t R = 0; R < Table.RowCount(); ++R) {
    const int32_t Py = (Table.Y0() + R) >> G.S;
    const uint32_t* Row = Table.Row(R);
    const int32_t N = Table.RowLength(R);
    if (Rule == TPolyFillRule::EvenOdd) {
      for (int32_t J = 0; J + 1 < N; J += 2) AddSpan(Py, Row[J] & CrossingKeyMask, Row[J + 1] & CrossingKeyMask);
    } else {
      int32_t Winding = 0;
      uint32_t Start = 0;
      for (int32_t J = 0; J < N; ++J) {
        if (Winding == 0) Start = Row[J] & CrossingKeyMask;
        Winding += (Row[J] & CrossingUpward) ? 1 : -1;
        if (Winding == 0) AddSpan(Py, Start, Row[J] & CrossingKeyMask);
      }
      EXPECT_EQ(Winding, 0) << "a sub-scanline whose crossings do not close";
    }
  }
  const TRowMasterProc RowMaster = CombineOpsFor(Surface.CombineMode()).RowMaster;
  for (const auto& [Pixel, C] : Count) {
    const TColor32 Cell = ((static_cast<uint32_t>(C) * G.Scale & 0xFF00) << 16) | (Color & 0x00FFFFFF);
    RowMaster(&Cell, &After[static_cast<size_t>(Pixel.second) * Surface.Width() + Pixel.first], 1, AlphaOf(Color));
  }
  return After;
}

std::vector<TColor32> Pixels(const TBitmap32& S) {
  return {S.PixelPtr(), S.PixelPtr() + static_cast<size_t>(S.Width()) * S.Height()};
}

TEST(AntialiasedFillModel, RandomPathsMatchTheSpanByPixelCount) {
  std::mt19937 Rng(99);
  const auto U = [&](uint32_t N) { return static_cast<int32_t>(Rng() % N); };
  const BlendVariant Before = ActiveBlendVariant();
  for (int Trial = 0; Trial < 4000; ++Trial) {
    InitBlendOps(Trial % 2 ? BlendVariant::Packed : BlendVariant::Portable);
    const int32_t W = 1 + U(70), H = 1 + U(50);
    TBitmap32 S;
    S.SetDimensions(W, H);
    for (int32_t Y = 0; Y < H; ++Y)
      for (int32_t X = 0; X < W; ++X) *S.PixelAddress(X, Y) = Rng() | (U(2) ? 0xFF000000u : 0u);
    if (U(3) == 0) S.SetClipBounds({U(W), U(H), U(W + 1), U(H + 1)});
    S.SetCombineMode(U(4) == 0 ? TCombineMode::cmMerge : TCombineMode::cmBlend);

    // Shapes from a fraction of a pixel to beyond the surface, sometimes thin, sometimes far off.
    const int32_t Spread = std::array{1, 4, 12, 40, 200}[U(5)];
    const int32_t Cx = U(W + 20) - 10 + (U(10) == 0 ? 5000 : 0), Cy = U(H + 20) - 10;
    TArrayOfArrayOfFixedPoint Paths(1 + U(3));
    for (TArrayOfFixedPoint& P : Paths) {
      P.resize(static_cast<size_t>(U(4) == 0 ? U(3) : 3 + U(7)));
      for (TFixedPoint& Q : P)
        Q = {(Cx << 16) + static_cast<TFixed>(Rng() % (2 * Spread * 65536 + 1)) - Spread * 65536,
             (Cy << 16) + static_cast<TFixed>(Rng() % (2 * Spread * 65536 + 1)) - Spread * 65536};
    }
    const TColor32 Color = (U(3) == 0 ? 255u : static_cast<uint32_t>(U(256))) << 24 | (Rng() & 0x00FFFFFF);
    const TPolyFillRule Rule = U(2) ? TPolyFillRule::EvenOdd : TPolyFillRule::NonZero;
    const TAntialiasLevel Level = static_cast<TAntialiasLevel>(U(5));

    const std::vector<TColor32> Start = Pixels(S);
    const std::vector<TColor32> Want = Model(S, Start, Paths, Color, Rule, Level);
    FillPolyPolygonAA(S, Paths, Color, Rule, Level);
    const std::vector<TColor32> Got = Pixels(S);
    for (size_t I = 0; I < Got.size(); ++I)
      ASSERT_EQ(Got[I], Want[I]) << "trial " << Trial << " pixel " << I % W << "," << I / W << " level "
                                 << int(Level) << (Rule == TPolyFillRule::EvenOdd ? " even-odd" : " non-zero");
  }
  InitBlendOps(Before);
}

// Rings, bands and loops, whose rows the fill draws span layer by span layer where it can.
TEST(AntialiasedFillModel, ManyEdgedShapesMatchTheSpanByPixelCount) {
  std::mt19937 Rng(7);
  const auto U = [&](uint32_t N) { return static_cast<int32_t>(Rng() % N); };
  const BlendVariant Before = ActiveBlendVariant();
  for (int Trial = 0; Trial < 400; ++Trial) {
    InitBlendOps(Trial % 2 ? BlendVariant::Packed : BlendVariant::Portable);
    const int32_t W = 20 + U(300), H = 10 + U(200);
    TBitmap32 S;
    S.SetDimensions(W, H);
    for (int32_t Y = 0; Y < H; ++Y)
      for (int32_t X = 0; X < W; ++X) *S.PixelAddress(X, Y) = Rng() | (U(2) ? 0xFF000000u : 0u);
    if (U(4) == 0) S.SetClipBounds({U(W), U(H), U(W + 1), U(H + 1)});
    S.SetCombineMode(U(6) == 0 ? TCombineMode::cmMerge : TCombineMode::cmBlend);
    const TArrayOfArrayOfFixedPoint Paths = testing::ManyEdgedShape(Rng, W, H);
    const TColor32 Color = (U(3) == 0 ? 255u : static_cast<uint32_t>(U(256))) << 24 | (Rng() & 0x00FFFFFF);
    const TPolyFillRule Rule = U(2) ? TPolyFillRule::EvenOdd : TPolyFillRule::NonZero;
    const TAntialiasLevel Level = static_cast<TAntialiasLevel>(U(3) == 0 ? U(5) : 2);

    const std::vector<TColor32> Start = Pixels(S);
    const std::vector<TColor32> Want = Model(S, Start, Paths, Color, Rule, Level);
    FillPolyPolygonAA(S, Paths, Color, Rule, Level);
    const std::vector<TColor32> Got = Pixels(S);
    for (size_t I = 0; I < Got.size(); ++I)
      ASSERT_EQ(Got[I], Want[I]) << "trial " << Trial << " pixel " << I % W << "," << I / W << " level "
                                 << int(Level) << (Rule == TPolyFillRule::EvenOdd ? " even-odd" : " non-zero");
  }
  InitBlendOps(Before);
}

}  // namespace
}  // namespace quillet
