// Small polygons are drawn without touching the heap once the first fill has sized the buffers.
// Counts the allocations of this test program while a fill runs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <random>

#include "raster/bitmap32.h"
#include "raster/polygon_fill.h"

namespace {
thread_local long Allocations = 0;
}  // namespace

void* operator new(std::size_t Size) {
  ++Allocations;
  if (void* P = std::malloc(Size == 0 ? 1 : Size)) return P;
  throw std::bad_alloc();
}
void operator delete(void* P) noexcept { std::free(P); }
void operator delete(void* P, std::size_t) noexcept { std::free(P); }

namespace quillet {
namespace {

TEST(FillAllocation, SmallPolygonsAllocateNothingOnceWarm) {
  TBitmap32 S;
  S.SetDimensions(640, 480);
  std::mt19937 Rng(5);
  const auto Triangle = [&](int32_t Size) {
    const TFixed X = static_cast<TFixed>(Rng() % (600 << 16)), Y = static_cast<TFixed>(Rng() % (440 << 16));
    const auto Off = [&] { return static_cast<TFixed>(Rng() % static_cast<uint32_t>(Size << 16)); };
    return TArrayOfFixedPoint{{X + Off(), Y + Off()}, {X + Off(), Y + Off()}, {X + Off(), Y + Off()}};
  };
  const auto DrawAll = [&](const std::vector<TArrayOfArrayOfFixedPoint>& Shapes) {
    for (const TArrayOfArrayOfFixedPoint& Pair : Shapes) {
      const TArrayOfFixedPoint& P = Pair[0];
      for (TAntialiasLevel Level = 0; Level <= 4; ++Level) {
        FillPolygonAA(S, P, 0xFF4080C0, TPolyFillRule::EvenOdd, Level);
        FillPolygonAA(S, P, 0x7F4080C0, TPolyFillRule::NonZero, Level);
      }
      FillPolygon(S, P, 0xFF4080C0, TPolyFillRule::NonZero);
      FillPolyPolygonAA(S, Pair, 0x7F4080C0, TPolyFillRule::EvenOdd, 2);
      FillPolyPolygon(S, Pair, 0x7F4080C0, TPolyFillRule::EvenOdd);
    }
  };
  std::vector<TArrayOfArrayOfFixedPoint> Shapes;
  for (int I = 0; I < 200; ++I) Shapes.push_back({Triangle(1 + I % 40), Triangle(1 + I % 40)});
  DrawAll(Shapes);  // sizes the buffers
  Allocations = 0;
  DrawAll(Shapes);
  EXPECT_EQ(Allocations, 0);
}

}  // namespace
}  // namespace quillet
