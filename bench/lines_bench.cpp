// Line drawing speed: pixels (steps along the line) per second for the opaque and anti-aliased
// integer lines and the anti-aliased fixed-point line, on lines spread over a 1024 x 768 surface.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include "raster/bitmap32.h"

namespace {

using namespace quillet;

struct Line {
  int32_t X1, Y1, X2, Y2;
};

// Lines partly beyond the surface, so the clipping paths are part of the measurement.
std::vector<Line> MakeLines() {
  std::mt19937 Rng(42);
  std::uniform_int_distribution<int32_t> X(-100, 1123), Y(-100, 867);
  std::vector<Line> Lines(512);
  for (Line& L : Lines) L = {X(Rng), Y(Rng), X(Rng), Y(Rng)};
  return Lines;
}

int64_t Steps(const std::vector<Line>& Lines) {
  int64_t N = 0;
  for (const Line& L : Lines) N += std::max(std::abs(L.X2 - L.X1), std::abs(L.Y2 - L.Y1));
  return N;
}

void BM_DrawLineClipped(benchmark::State& State) {
  TBitmap32 B;
  B.SetDimensions(1024, 768);
  const auto Lines = MakeLines();
  for (auto _ : State)
    for (const Line& L : Lines) B.DrawLineClipped(L.X1, L.Y1, L.X2, L.Y2, 0xFF20A040, false);
  State.SetItemsProcessed(State.iterations() * Steps(Lines));
}
BENCHMARK(BM_DrawLineClipped);

void BM_DrawLineAAClipped(benchmark::State& State) {
  TBitmap32 B;
  B.SetDimensions(1024, 768);
  B.Erase();
  const auto Lines = MakeLines();
  for (auto _ : State)
    for (const Line& L : Lines) B.DrawLineAAClipped(L.X1, L.Y1, L.X2, L.Y2, 0xC0FF8020, false);
  State.SetItemsProcessed(State.iterations() * Steps(Lines));
}
BENCHMARK(BM_DrawLineAAClipped);

void BM_DrawLineFixedClipped(benchmark::State& State) {
  TBitmap32 B;
  B.SetDimensions(1024, 768);
  B.Erase();
  const auto Lines = MakeLines();
  int64_t Length = 0;
  for (const Line& L : Lines) Length += std::llround(std::hypot(L.X2 - L.X1, L.Y2 - L.Y1));
  for (auto _ : State)
    for (const Line& L : Lines)
      B.DrawLineFixedClipped(L.X1 * 65536 + 12345, L.Y1 * 65536 + 23456, L.X2 * 65536 + 34567,
                             L.Y2 * 65536 + 45678, 0xC0FF8020, false);
  State.SetItemsProcessed(State.iterations() * Length);
}
BENCHMARK(BM_DrawLineFixedClipped);

}  // namespace
