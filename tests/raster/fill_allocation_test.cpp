// The fills' kept buffers: small polygons are drawn without touching the heap once the first fill
// has sized them (counting this test program's allocations), and fills on several threads at once
// each draw what a lone fill draws.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <random>
#include <thread>
#include <vector>

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

TEST(FillAllocation, FillsOnSeveralThreadsAtOnceDrawWhatALoneFillDraws) {
  // Large and small shapes alike, so that the buffers grow and are trimmed while others draw.
  const auto Draw = [](TBitmap32& S, uint32_t Seed) {
    S.SetDimensions(300, 200);
    S.Fill(0xFF000000);
    std::mt19937 Rng(Seed);
    for (int I = 0; I < 300; ++I) {
      const auto Coordinate = [&] { return static_cast<TFixed>(Rng() % (2000u << 16)) - (850 << 16); };
      TArrayOfFixedPoint P(3 + Rng() % 6);
      for (TFixedPoint& Point : P) Point = {Coordinate() / (I % 7 == 0 ? 1 : 8), Coordinate() / (I % 7 == 0 ? 1 : 8)};
      FillPolygonAA(S, P, 0x9F000000u | Rng(), I % 2 ? TPolyFillRule::NonZero : TPolyFillRule::EvenOdd, I % 5);
      FillPolygon(S, P, 0x7F000000u | Rng(), TPolyFillRule::EvenOdd);
    }
  };
  constexpr int Threads = 4;
  std::vector<TBitmap32> Alone(Threads), Together(Threads);
  for (int T = 0; T < Threads; ++T) Draw(Alone[T], 40 + T);
  std::vector<std::thread> Workers;
  for (int T = 0; T < Threads; ++T) Workers.emplace_back([&, T] { Draw(Together[T], 40 + T); });
  for (std::thread& W : Workers) W.join();
  for (int T = 0; T < Threads; ++T)
    EXPECT_TRUE(std::equal(Alone[T].PixelPtr(), Alone[T].PixelPtr() + 300 * 200, Together[T].PixelPtr())) << "thread " << T;
}

}  // namespace
}  // namespace quillet
