// Many randomised drawings of the polygon fills, rectangles and spans, pinned by one hash per blend
// variant. The hashes were taken from the engine before its fast paths (full-coverage runs, the
// sparse coverage writer, the per-instruction-set kernels) existed, so every later path has to
// reproduce those pixels and area reports bit for bit, whichever kernel level runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "raster/bitmap32.h"
#include "raster/blend.h"
#include "raster/polygon_fill.h"

namespace quillet {
namespace {

class HashedRun {
 public:
  explicit HashedRun(uint32_t Seed) : Rng(Seed) {}

  uint64_t Run(int Cases) {
    for (int C = 0; C < Cases; ++C) OneCase();
    return Hash;
  }

 private:
  uint32_t U(uint32_t N) { return Rng() % N; }
  bool OneIn(uint32_t N) { return U(N) == 0; }

  void Mix(uint64_t V) {
    for (int I = 0; I < 8; ++I) {
      Hash ^= (V >> (8 * I)) & 0xFF;
      Hash *= 1099511628211ull;
    }
  }

  TColor32 RandomColor() {
    static constexpr uint32_t Alphas[] = {255, 255, 127, 1, 0, 254, 128};
    const uint32_t A = OneIn(3) ? U(256) : Alphas[U(std::size(Alphas))];
    return A << 24 | (Rng() & 0x00FFFFFF);
  }

  // A point near (Cx, Cy) within Spread pixels, at 16.16 with a random fraction.
  TFixedPoint Near(int64_t Cx, int64_t Cy, int64_t Spread) {
    const auto Coord = [&](int64_t C) {
      const int64_t V = (C << 16) + static_cast<int64_t>(Rng() % (2 * Spread * 65536 + 1)) - Spread * 65536;
      return static_cast<TFixed>(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX));
    };
    return {Coord(Cx), Coord(Cy)};
  }

  TArrayOfFixedPoint RandomPath(int32_t W, int32_t H) {
    static constexpr int64_t Spreads[] = {0, 1, 3, 6, 12, 40, 150, 600, 5000, 32000};
    const int64_t Spread = Spreads[U(std::size(Spreads))];
    int64_t Cx = static_cast<int64_t>(U(static_cast<uint32_t>(W) + 40)) - 20;
    int64_t Cy = static_cast<int64_t>(U(static_cast<uint32_t>(H) + 40)) - 20;
    if (OneIn(8)) {  // far outside on one side
      Cx += OneIn(2) ? -20000 : 20000;
      if (OneIn(2)) Cy += OneIn(2) ? -20000 : 20000;
    }
    TArrayOfFixedPoint Path(3 + U(OneIn(3) ? 12 : 3));
    for (TFixedPoint& P : Path) P = Near(Cx, Cy, Spread);
    // Now and then an axis-aligned rectangle on whole or half pixels, the case of full runs.
    if (OneIn(5)) {
      const TFixedPoint A = Near(Cx, Cy, Spread), B = Near(Cx, Cy, Spread);
      const TFixed Snap = OneIn(2) ? ~0xFFFF : ~0x7FFF;
      const TFixed L = A.X & Snap, T = A.Y & Snap, R = B.X & Snap, Bo = B.Y & Snap;
      Path = {{L, T}, {R, T}, {R, Bo}, {L, Bo}};
    }
    return Path;
  }

  void Draw(TBitmap32& S) {
    const int32_t W = S.Width(), H = S.Height();
    const TColor32 Color = RandomColor();
    const TPolyFillRule Rule = OneIn(2) ? TPolyFillRule::EvenOdd : TPolyFillRule::NonZero;
    const TAntialiasLevel Level = static_cast<TAntialiasLevel>(OneIn(10) ? 5 + U(3) : U(5));
    const auto Coord = [&](int32_t Extent) { return static_cast<int32_t>(U(static_cast<uint32_t>(Extent) + 60)) - 30; };
    switch (U(10)) {
      case 0:
      case 1:
      case 2:
        FillPolygonAA(S, RandomPath(W, H), Color, Rule, Level);
        break;
      case 3:
        FillPolygon(S, RandomPath(W, H), Color, Rule);
        break;
      case 4: {
        TArrayOfArrayOfFixedPoint Paths(1 + U(3));
        for (TArrayOfFixedPoint& P : Paths) P = RandomPath(W, H);
        if (OneIn(2))
          FillPolyPolygonAA(S, Paths, Color, Rule, Level);
        else
          FillPolyPolygon(S, Paths, Color, Rule);
        break;
      }
      case 5:
        S.BlendRectClipped(Coord(W), Coord(H), Coord(W), Coord(H), Color);
        break;
      case 6:
        S.PaintRectClipped(Coord(W), Coord(H), Coord(W), Coord(H), Color);
        break;
      case 7:
        S.HorzSpanBlendClipped(Coord(W), Coord(H), Coord(W), Color);
        break;
      case 8:
        S.HorzSpanClipped(Coord(W), Coord(H), Coord(W), Color);
        break;
      default:
        if (OneIn(4)) S.Fill(Color);
        else FillPolygonAA(S, RandomPath(W, H), Color, Rule, 2);
        break;
    }
  }

  void OneCase() {
    int32_t W, H;
    switch (U(6)) {
      case 0: W = 2000 + static_cast<int32_t>(U(2000)), H = 1 + static_cast<int32_t>(U(6)); break;
      case 1: W = 1 + static_cast<int32_t>(U(6)), H = 2000 + static_cast<int32_t>(U(2000)); break;
      case 2: W = 100 + static_cast<int32_t>(U(200)), H = 80 + static_cast<int32_t>(U(150)); break;
      default: W = 1 + static_cast<int32_t>(U(64)), H = 1 + static_cast<int32_t>(U(64)); break;
    }
    TBitmap32 S;
    S.SetDimensions(W, H);
    const bool OpaqueBack = OneIn(2);
    for (int32_t Y = 0; Y < H; ++Y)
      for (int32_t X = 0; X < W; ++X) *S.PixelAddress(X, Y) = OpaqueBack ? Rng() | 0xFF000000u : Rng();
    if (!OneIn(3)) {
      const int32_t L = static_cast<int32_t>(U(static_cast<uint32_t>(W) + 4)) - 2;
      const int32_t T = static_cast<int32_t>(U(static_cast<uint32_t>(H) + 4)) - 2;
      S.SetClipBounds({L, T, L + static_cast<int32_t>(U(static_cast<uint32_t>(W) + 2)),
                       T + static_cast<int32_t>(U(static_cast<uint32_t>(H) + 2))});
    }
    S.SetCombineMode(OneIn(4) ? TCombineMode::cmMerge : TCombineMode::cmBlend);
    S.OnAreaChanged = [this](TBitmap32*, const TRect& R, uint32_t Info) {
      Mix(static_cast<uint32_t>(R.Left) | uint64_t{static_cast<uint32_t>(R.Top)} << 32);
      Mix(static_cast<uint32_t>(R.Right) | uint64_t{static_cast<uint32_t>(R.Bottom)} << 32);
      Mix(Info);
    };
    const int Draws = 1 + static_cast<int>(U(4));
    for (int D = 0; D < Draws; ++D) Draw(S);
    S.OnAreaChanged = nullptr;
    for (int32_t Y = 0; Y < H; ++Y)
      for (int32_t X = 0; X < W; ++X) Mix(*S.PixelAddress(X, Y));
  }

  std::mt19937 Rng;
  uint64_t Hash = 14695981039346656037ull;
};

// Anti-aliased fills of thin shapes on one surface: slivers whose two long edges run nearly side by
// side (their walks may swap places), fans from one vertex, and convex polygons, at every level,
// under both rules and both combine modes.
uint64_t ThinShapesHash(uint32_t Seed, int Shapes) {
  std::mt19937 Rng(Seed);
  const auto U = [&](uint32_t N) { return Rng() % N; };
  TBitmap32 S;
  S.SetDimensions(203, 117);
  for (int32_t Y = 0; Y < 117; ++Y)
    for (int32_t X = 0; X < 203; ++X) *S.PixelAddress(X, Y) = Rng() | (U(2) ? 0xFF000000u : 0u);
  const auto Coord = [&](int32_t Extent) { return static_cast<TFixed>(U(static_cast<uint32_t>(Extent + 40) << 16)) - (20 << 16); };
  for (int I = 0; I < Shapes; ++I) {
    TArrayOfFixedPoint P;
    const TFixedPoint A{Coord(203), Coord(117)};
    switch (U(3)) {
      case 0: {  // a sliver: two far corners close together
        const TFixedPoint B{Coord(203), Coord(117)};
        const TFixed Dx = static_cast<TFixed>(U(3 << 16)) - (3 << 15), Dy = static_cast<TFixed>(U(3 << 16)) - (3 << 15);
        P = {A, B, {B.X + Dx, B.Y + Dy}};
        break;
      }
      case 1:  // a fan of thin triangles from A
        for (int K = 0; K < 6; ++K) P.push_back(K % 2 == 0 ? A : TFixedPoint{Coord(203), Coord(117)});
        break;
      default: {  // a convex polygon around A
        const int Corners = 3 + static_cast<int>(U(6));
        const double R = 1 + U(60);
        for (int K = 0; K < Corners; ++K) {
          const double T = 6.283185307179586 * K / Corners;
          P.push_back({A.X + static_cast<TFixed>(R * 65536 * std::cos(T)), A.Y + static_cast<TFixed>(R * 40000 * std::sin(T))});
        }
      }
    }
    S.SetCombineMode(U(4) == 0 ? TCombineMode::cmMerge : TCombineMode::cmBlend);
    const TColor32 Color = (U(3) == 0 ? 255u : U(256)) << 24 | (Rng() & 0x00FFFFFF);
    FillPolygonAA(S, P, Color, U(2) ? TPolyFillRule::EvenOdd : TPolyFillRule::NonZero, static_cast<TAntialiasLevel>(U(5)));
  }
  uint64_t Hash = 14695981039346656037ull;
  for (int32_t Y = 0; Y < 117; ++Y)
    for (int32_t X = 0; X < 203; ++X) Hash = (Hash ^ *S.PixelAddress(X, Y)) * 1099511628211ull;
  return Hash;
}

TEST(RenderHash, ThinAntialiasedShapesKeepTheirPixelsInBothVariants) {
  const BlendVariant Before = ActiveBlendVariant();
  InitBlendOps(BlendVariant::Portable);
  const uint64_t Portable = ThinShapesHash(77, 6000);
  InitBlendOps(BlendVariant::Packed);
  const uint64_t Packed = ThinShapesHash(77, 6000);
  InitBlendOps(Before);
  EXPECT_EQ(Portable, 0x97f3dfffff286fdfull) << std::hex << Portable;
  EXPECT_EQ(Packed, 0x16d27b32b4088ac9ull) << std::hex << Packed;
}

TEST(RenderHash, RandomisedDrawingsKeepTheirPixelsInBothVariants) {
  const BlendVariant Before = ActiveBlendVariant();
  InitBlendOps(BlendVariant::Portable);
  const uint64_t Portable = HashedRun(2024).Run(4000);
  InitBlendOps(BlendVariant::Packed);
  const uint64_t Packed = HashedRun(2024).Run(4000);
  InitBlendOps(Before);
  EXPECT_EQ(Portable, 0xacded9401c8368a6ull) << std::hex << Portable;
  EXPECT_EQ(Packed, 0xe8aa1bb7aff1b811ull) << std::hex << Packed;
}

}  // namespace
}  // namespace quillet
