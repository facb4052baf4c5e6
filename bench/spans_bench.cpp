// Throughput of opaque and blended spans and rectangles on a surface, in both blend variants
// (argument 0 is portable, 1 packed).
#include <benchmark/benchmark.h>

#include "raster/bitmap32.h"

namespace {

using namespace quillet;

constexpr int32_t SurfaceSide = 1024;
constexpr int32_t RectSide = 256;

struct Surface {
  TBitmap32 B;
  explicit Surface(benchmark::State& State) {
    InitBlendOps(State.range(0) == 0 ? BlendVariant::Portable : BlendVariant::Packed);
    State.SetLabel(State.range(0) == 0 ? "portable" : "packed");
    B.SetDimensions(SurfaceSide, SurfaceSide);
    B.Fill(0xFF204060);
  }
  ~Surface() { InitBlendOps(HasMmx() ? BlendVariant::Packed : BlendVariant::Portable); }
};

void BM_HorzSpan(benchmark::State& State) {
  Surface S(State);
  int32_t Y = 0;
  for (auto _ : State) {
    S.B.HorzSpan(0, Y, SurfaceSide - 1, 0xFF808080);
    Y = (Y + 1) & (SurfaceSide - 1);
  }
  State.SetItemsProcessed(State.iterations() * SurfaceSide);
}
BENCHMARK(BM_HorzSpan)->Arg(0)->Arg(1);

void BM_HorzSpanBlend(benchmark::State& State) {
  Surface S(State);
  int32_t Y = 0;
  for (auto _ : State) {
    S.B.HorzSpanBlend(0, Y, SurfaceSide - 1, 0x80808080);
    Y = (Y + 1) & (SurfaceSide - 1);
  }
  State.SetItemsProcessed(State.iterations() * SurfaceSide);
}
BENCHMARK(BM_HorzSpanBlend)->Arg(0)->Arg(1);

void BM_PaintRect(benchmark::State& State) {
  Surface S(State);
  for (auto _ : State) S.B.PaintRect(100, 100, 100 + RectSide, 100 + RectSide, 0xFF808080);
  State.SetItemsProcessed(State.iterations() * RectSide * RectSide);
}
BENCHMARK(BM_PaintRect)->Arg(0)->Arg(1);

void BM_BlendRect(benchmark::State& State) {
  Surface S(State);
  for (auto _ : State) S.B.BlendRect(100, 100, 100 + RectSide, 100 + RectSide, 0x80808080);
  State.SetItemsProcessed(State.iterations() * RectSide * RectSide);
}
BENCHMARK(BM_BlendRect)->Arg(0)->Arg(1);

}  // namespace
