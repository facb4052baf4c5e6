// Throughput of the blend procedures over a row of pixels.
#include <benchmark/benchmark.h>

#include <vector>

#include "raster/blend.h"

namespace {

using namespace quillet;

void BM_FillPixels(benchmark::State& State) {
  std::vector<TColor32> Row(1024);
  for (auto _ : State) {
    FillPixels(Row.data(), static_cast<int32_t>(Row.size()), 0xFF102030);
    benchmark::DoNotOptimize(Row.data());
  }
  State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(Row.size()));
}
BENCHMARK(BM_FillPixels);

}  // namespace
