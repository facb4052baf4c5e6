// Throughput of the polygon fills and polylines: triangles of several sizes, a thick closed band,
// and thin anti-aliased polylines.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "peer_workloads.h"
#include "raster/polygon32.h"
#include "raster/polygon_fill.h"

namespace {

using namespace quillet;

// The peer benchmark's surface, so the two measure the same memory traffic.
constexpr int32_t SurfaceW = peer::SurfaceWidth;
constexpr int32_t SurfaceH = peer::SurfaceHeight;

TFixed ToFixed(double V) { return static_cast<TFixed>(std::lround(V * 65536)); }

// Triangles with corners at random in a Size x Size box around a random point of the surface.
std::vector<TArrayOfFixedPoint> RandomTriangles(double Size, int Count) {
  std::mt19937 Rng(42);
  std::uniform_real_distribution<double> Cx(0, SurfaceW);
  std::uniform_real_distribution<double> Cy(0, SurfaceH);
  std::uniform_real_distribution<double> Offset(-Size / 2, Size / 2);
  std::vector<TArrayOfFixedPoint> Out(static_cast<size_t>(Count));
  for (TArrayOfFixedPoint& T : Out) {
    const double X = Cx(Rng);
    const double Y = Cy(Rng);
    for (int I = 0; I < 3; ++I) T.push_back({ToFixed(X + Offset(Rng)), ToFixed(Y + Offset(Rng))});
  }
  return Out;
}

// A closed smooth curve of 40 points: a circle with a slow wobble.
TArrayOfFixedPoint SmoothCurve() {
  TArrayOfFixedPoint Out;
  for (int I = 0; I < 40; ++I) {
    const double A = I * 2 * M_PI / 40;
    const double R = 150 + 30 * std::sin(3 * A);
    Out.push_back({ToFixed(320 + R * std::cos(A)), ToFixed(240 + R * std::sin(A))});
  }
  return Out;
}

void SetUpSurface(TBitmap32& B) {
  B.SetDimensions(SurfaceW, SurfaceH);
  B.Fill(clBlack32);
}

void BM_FillPolygonAA_Triangles(benchmark::State& State) {
  TBitmap32 B;
  SetUpSurface(B);
  const auto Triangles = RandomTriangles(static_cast<double>(State.range(0)), 4096);
  const TColor32 Color = static_cast<TColor32>(State.range(1)) << 24 | 0x40C080;
  size_t I = 0;
  for (auto _ : State) {
    FillPolygonAA(B, Triangles[I++ % Triangles.size()], Color, TPolyFillRule::EvenOdd, 2);
    benchmark::ClobberMemory();
  }
  State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_FillPolygonAA_Triangles)->ArgsProduct({{10, 80, 300}, {255, 127}});

void BM_FillPolygon_Triangles(benchmark::State& State) {
  TBitmap32 B;
  SetUpSurface(B);
  const auto Triangles = RandomTriangles(static_cast<double>(State.range(0)), 256);
  size_t I = 0;
  for (auto _ : State) {
    FillPolygon(B, Triangles[I++ % Triangles.size()], 0xFF40C080, TPolyFillRule::EvenOdd);
    benchmark::ClobberMemory();
  }
  State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_FillPolygon_Triangles)->Arg(80);

// The band alone, as the shape code fills it once it is built.
void BM_ThickBand_Fill(benchmark::State& State) {
  TBitmap32 B;
  SetUpSurface(B);
  TPolygon32 Curve;
  Curve.FillRule = TPolyFillRule::NonZero;
  const TArrayOfFixedPoint Points = SmoothCurve();
  Curve.AddPoints(Points.data(), static_cast<int32_t>(Points.size()));
  auto Band = Curve.TwoWayOutline()->Inflate(IntToFixed(3), 1.0f);
  Band->Antialiased = true;
  for (auto _ : State) {
    Band->FillPaths(B, 0xFFE0A020);
    benchmark::ClobberMemory();
  }
  State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_ThickBand_Fill);

// Outline, offset and fill: the whole thick-curve path.
void BM_ThickBand_BuildAndFill(benchmark::State& State) {
  TBitmap32 B;
  SetUpSurface(B);
  const TArrayOfFixedPoint Points = SmoothCurve();
  TPolygon32 Curve;
  Curve.FillRule = TPolyFillRule::NonZero;
  for (auto _ : State) {
    Curve.ClearPaths();
    Curve.AddPoints(Points.data(), static_cast<int32_t>(Points.size()));
    auto Outline = Curve.TwoWayOutline();
    auto Band = Outline->Inflate(IntToFixed(3), 1.0f);
    Band->Antialiased = true;
    Band->FillPaths(B, 0xFFE0A020);
    benchmark::ClobberMemory();
  }
  State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_ThickBand_BuildAndFill);

// A closed anti-aliased polyline of 40 segments of about 25 pixels.
void BM_DrawPolylineAA(benchmark::State& State) {
  TBitmap32 B;
  SetUpSurface(B);
  const TArrayOfFixedPoint Points = SmoothCurve();
  for (auto _ : State) {
    DrawPolylineAA(B, Points, 0xFF20A0E0, true);
    benchmark::ClobberMemory();
  }
  State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(Points.size()));
}
BENCHMARK(BM_DrawPolylineAA);

}  // namespace
