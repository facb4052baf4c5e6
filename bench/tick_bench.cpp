// Frame ticks per second at 1920 x 1080: the default settings, and every switch on at Thickness 1
// and 5. A page is wiped every Objects + 1 ticks, as in the window; no text engine is installed.
#include <benchmark/benchmark.h>

#include "demo/frame_tick.h"
#include "raster/bitmap32.h"

namespace {

using namespace quillet;

DemoSettings Everything(int32_t Thickness) {
  DemoSettings S;
  for (bool* B : {&S.iLines, &S.iBars, &S.iTriangles, &S.iFillTria, &S.iSplineCurve, &S.iSplineArea,
                  &S.iEllipse, &S.bLines, &S.bBars, &S.bTriangles, &S.bFillTria, &S.bSplineCurve,
                  &S.bSplineArea, &S.bEllipseDisk, &S.gBars, &S.gTriangles, &S.bgBars, &S.bgTriangles})
    *B = true;
  S.SetThickness(Thickness);
  return S;
}

void RunTicks(benchmark::State& Bench, const DemoSettings& Settings) {
  TBitmap32 Surface;
  Surface.SetDimensions(1920, 1080);
  Surface.Erase();
  TFrameState State;
  State.SetDrawSurface(&Surface);
  const TTickClock Clock{[] { return 1u; }, [] {}};
  for (auto _ : Bench) timer1Timer(State, Settings, 1920, 1080, Clock);
  Bench.SetItemsProcessed(Bench.iterations());
  Bench.SetLabel("items = ticks");
}

void BM_TickDefaults(benchmark::State& Bench) { RunTicks(Bench, DemoSettings{}); }
void BM_TickEverythingThickness1(benchmark::State& Bench) { RunTicks(Bench, Everything(1)); }
void BM_TickEverythingThickness5(benchmark::State& Bench) { RunTicks(Bench, Everything(5)); }

BENCHMARK(BM_TickDefaults);
BENCHMARK(BM_TickEverythingThickness1);
BENCHMARK(BM_TickEverythingThickness5);

}  // namespace
