// Randomised fills of many-edged shapes, the demo's kinds among them, pinned by one hash per blend
// variant: ellipse disks and rings of up to a few hundred pixels, thick bands offset from closed and
// open polylines, stars and large convex polygons, under both rules, every level and both combine
// modes, clipped now and then. The hashes were taken from the engine before its fills of many rows
// went to the paired-rows kernel in one piece, and before rows of several spans per sub-scanline
// were drawn span by span, so those paths must reproduce the pixels and area reports bit for bit.
// No library function computes a coordinate, so every platform draws the same shapes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iterator>
#include <memory>
#include <random>

#include "raster/bitmap32.h"
#include "raster/blend.h"
#include "raster/polygon32.h"
#include "raster/polygon_fill.h"

namespace quillet {
namespace {

constexpr double Pi = 3.14159265358979323846;

// Sine and cosine from a fixed polynomial over [-Pi, Pi): the same doubles everywhere.
double Sine(double A) {
  A -= 2 * Pi * std::floor((A + Pi) / (2 * Pi));
  const double A2 = A * A;
  double Term = A, Sum = A;
  for (int K = 1; K < 12; ++K) {
    Term = -Term * A2 / ((2 * K) * (2 * K + 1));
    Sum += Term;
  }
  return Sum;
}
double Cosine(double A) { return Sine(A + Pi / 2); }

class ShapeHashRun {
 public:
  explicit ShapeHashRun(uint32_t Seed) : Rng(Seed) {}

  uint64_t Run(int Surfaces) {
    for (int I = 0; I < Surfaces; ++I) OneSurface();
    return Hash;
  }

 private:
  uint32_t U(uint32_t N) { return Rng() % N; }
  bool OneIn(uint32_t N) { return U(N) == 0; }
  double Real(double Lo, double Hi) { return Lo + (Hi - Lo) * (Rng() / 4294967296.0); }

  void Mix(uint64_t V) {
    for (int I = 0; I < 8; ++I) {
      Hash ^= (V >> (8 * I)) & 0xFF;
      Hash *= 1099511628211ull;
    }
  }

  TColor32 RandomColor() {
    static constexpr uint32_t Alphas[] = {255, 255, 255, 127, 1, 0, 254, 128};
    const uint32_t A = OneIn(4) ? U(256) : Alphas[U(std::size(Alphas))];
    return A << 24 | (Rng() & 0x00FFFFFF);
  }

  static TFixedPoint Fixed(double X, double Y) {
    return {static_cast<TFixed>(X * 65536), static_cast<TFixed>(Y * 65536)};
  }

  // Count + 1 points of an ellipse turned by Turn, the last on the first, one way round or the other.
  void Ellipse(TArrayOfFixedPoint& Out, double Cx, double Cy, double Rx, double Ry, double Turn, int Count,
               bool Backwards) {
    const double C = Cosine(Turn), S = Sine(Turn);
    for (int K = 0; K <= Count; ++K) {
      const int J = Backwards ? Count - K : K;
      const double A = -Pi + 2 * Pi * J / Count;
      const double X = Rx * Cosine(A), Y = Ry * Sine(A);
      Out.push_back(Fixed(Cx + X * C - Y * S, Cy + X * S + Y * C));
    }
  }

  // A closed wobbly curve: a star when Spikes is large, a smooth loop when small.
  TArrayOfFixedPoint Curve(double Cx, double Cy, double R) {
    const int Count = 6 + static_cast<int>(U(60));
    const double Spikes = OneIn(3) ? Real(0.3, 0.9) : Real(0, 0.25);
    const int Waves = 1 + static_cast<int>(U(7));
    TArrayOfFixedPoint Out;
    for (int K = 0; K < Count; ++K) {
      const double A = -Pi + 2 * Pi * K / Count;
      const double Radius = R * (1 - Spikes * (K % 2)) * (1 + 0.2 * Sine(A * Waves));
      Out.push_back(Fixed(Cx + Radius * Cosine(A), Cy + Radius * Sine(A)));
    }
    return Out;
  }

  void Draw(TBitmap32& S) {
    const int32_t W = S.Width(), H = S.Height();
    const TColor32 Color = RandomColor();
    const TPolyFillRule Rule = OneIn(2) ? TPolyFillRule::EvenOdd : TPolyFillRule::NonZero;
    const TAntialiasLevel Level = static_cast<TAntialiasLevel>(OneIn(3) ? U(5) : 2);
    static constexpr double Sizes[] = {3, 12, 40, 60, 100, 150, 300, 700};
    const double Size = Sizes[U(std::size(Sizes))] * Real(0.6, 1.4);
    const double Cx = Real(-Size / 2, W + Size / 2), Cy = Real(-Size / 2, H + Size / 2);
    const double Turn = Real(-Pi, Pi);
    const int Segments = 8 + static_cast<int>(U(OneIn(4) ? 120 : 40));
    switch (U(6)) {
      case 0: {  // a disk
        TArrayOfFixedPoint P;
        Ellipse(P, Cx, Cy, Size / 2, Size / Real(2, 6), Turn, Segments, OneIn(2));
        FillPolygonAA(S, P, Color, Rule, Level);
        break;
      }
      case 1: {  // a ring in one path or two, the inner ellipse either way round
        const double T = Real(0.5, 14);
        const double Rx = Size / 2, Ry = Size / Real(2, 6);
        TArrayOfArrayOfFixedPoint Paths(OneIn(2) ? 1 : 2);
        Ellipse(Paths[0], Cx, Cy, Rx - T, Ry - T, Turn, Segments, OneIn(2));
        Ellipse(Paths.back(), Cx, Cy, Rx + T, Ry + T, Turn, Segments, OneIn(3));
        FillPolyPolygonAA(S, Paths, Color, Rule, Level);
        break;
      }
      case 2:
      case 3: {  // a thick band around a closed or open curve, as the demo draws thick outlines
        TPolygon32 Line;
        const TArrayOfFixedPoint Points = Curve(Cx, Cy, Size / 2);
        Line.AddPoints(Points.data(), static_cast<int32_t>(Points.size()));
        Line.FillRule = TPolyFillRule::NonZero;
        Line.Closed = !OneIn(4);
        Line.Antialiased = true;
        Line.AntialiasLevel = Level;
        const std::unique_ptr<TPolygon32> Band =
            Line.TwoWayOutline()->Inflate(static_cast<TFixed>(Real(0.5, 12) * 65536), 1.0f);
        Band->Antialiased = true;
        Band->FillPaths(S, Color);
        break;
      }
      case 4: {  // stars and loops, self-crossing
        FillPolygonAA(S, Curve(Cx, Cy, Size / 2), Color, Rule, Level);
        break;
      }
      default: {  // a tall convex polygon, or a rectangle on whole or half pixels
        TArrayOfFixedPoint P;
        if (OneIn(3)) {
          const double Step = OneIn(2) ? 1 : 0.5;
          const auto Snap = [&](double V) { return static_cast<int>(V / Step) * Step; };
          const double L = Snap(Cx - Size / 2), T = Snap(Cy - Size), R = Snap(Cx + Size / 2), B = Snap(Cy + Size);
          P = {Fixed(L, T), Fixed(R, T), Fixed(R, B), Fixed(L, B)};
        } else {
          Ellipse(P, Cx, Cy, Size / Real(2, 8), Size, Turn, 3 + static_cast<int>(U(9)), false);
          P.pop_back();
        }
        FillPolygonAA(S, P, Color, Rule, Level);
      }
    }
  }

  void OneSurface() {
    const int32_t W = 100 + static_cast<int32_t>(U(600)), H = 60 + static_cast<int32_t>(U(500));
    TBitmap32 S;
    S.SetDimensions(W, H);
    const bool OpaqueBack = !OneIn(3);
    for (int32_t Y = 0; Y < H; ++Y)
      for (int32_t X = 0; X < W; ++X) *S.PixelAddress(X, Y) = OpaqueBack ? Rng() | 0xFF000000u : Rng();
    if (OneIn(3)) {
      const int32_t L = static_cast<int32_t>(U(static_cast<uint32_t>(W) / 2));
      const int32_t T = static_cast<int32_t>(U(static_cast<uint32_t>(H) / 2));
      S.SetClipBounds({L, T, L + static_cast<int32_t>(U(static_cast<uint32_t>(W))),
                       T + static_cast<int32_t>(U(static_cast<uint32_t>(H)))});
    }
    S.SetCombineMode(OneIn(5) ? TCombineMode::cmMerge : TCombineMode::cmBlend);
    S.OnAreaChanged = [this](TBitmap32*, const TRect& R, uint32_t Info) {
      Mix(static_cast<uint32_t>(R.Left) | uint64_t{static_cast<uint32_t>(R.Top)} << 32);
      Mix(static_cast<uint32_t>(R.Right) | uint64_t{static_cast<uint32_t>(R.Bottom)} << 32);
      Mix(Info);
    };
    const int Shapes = 1 + static_cast<int>(U(12));
    for (int I = 0; I < Shapes; ++I) Draw(S);
    S.OnAreaChanged = nullptr;
    for (int32_t Y = 0; Y < H; ++Y)
      for (int32_t X = 0; X < W; ++X) Mix(*S.PixelAddress(X, Y));
  }

  std::mt19937 Rng;
  uint64_t Hash = 14695981039346656037ull;
};

TEST(ShapeHash, ManyEdgedShapesKeepTheirPixelsInBothVariants) {
  const BlendVariant Before = ActiveBlendVariant();
  InitBlendOps(BlendVariant::Portable);
  const uint64_t Portable = ShapeHashRun(1811).Run(150);
  InitBlendOps(BlendVariant::Packed);
  const uint64_t Packed = ShapeHashRun(1811).Run(150);
  InitBlendOps(Before);
  EXPECT_EQ(Portable, 0x2316f34234dc17dfull) << std::hex << Portable;
  EXPECT_EQ(Packed, 0x2fb94fb533912e63ull) << std::hex << Packed;
}

}  // namespace
}  // namespace quillet
