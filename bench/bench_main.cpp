// Entry of the benchmarks: the raster engine starts as in the program, honouring QUILLET_SIMD.
#include <benchmark/benchmark.h>

#include "raster/engine_init.h"

int main(int argc, char** argv) {
  quillet::InitRasterEngine();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
