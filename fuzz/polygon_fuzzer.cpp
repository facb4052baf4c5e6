// Polygon filling and outlines with hostile paths: points anywhere in the 32-bit range, paths of
// any length, both fill rules, every anti-aliasing level, the thin polylines, and the thick-line
// recipe of offset and forward-and-back copies. No pixel outside the clip rectangle may change.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <limits>
#include <memory>

#include "fuzz_surface.h"
#include "raster/polygon32.h"
#include "raster/polygon_fill.h"

using namespace quillet;
using namespace quillet::fuzz;

namespace {

TArrayOfArrayOfFixedPoint AnyPaths(FuzzedDataProvider& In, const TBitmap32& B) {
  TArrayOfArrayOfFixedPoint Paths(In.ConsumeIntegralInRange(0, 4));
  for (TArrayOfFixedPoint& Path : Paths) {
    // Mostly a handful of points; now and then many, to stress the crossing table.
    const int Count = In.ConsumeIntegralInRange(0, 7) == 0 ? In.ConsumeIntegralInRange(0, 400)
                                                           : In.ConsumeIntegralInRange(0, 8);
    for (int I = 0; I < Count && In.remaining_bytes() > 0; ++I)
      Path.push_back({FineCoordinate(In, B.Width()), FineCoordinate(In, B.Height())});
  }
  return Paths;
}

TPolyFillRule AnyRule(FuzzedDataProvider& In) {
  return In.ConsumeBool() ? TPolyFillRule::NonZero : TPolyFillRule::EvenOdd;
}

TAntialiasLevel AnyLevel(FuzzedDataProvider& In) {
  return static_cast<TAntialiasLevel>(In.ConsumeIntegralInRange(0, 4));
}

float AnySharpness(FuzzedDataProvider& In) {
  switch (In.ConsumeIntegralInRange(0, 7)) {
    case 0: return std::numeric_limits<float>::quiet_NaN();
    case 1: return In.PickValueInArray({-1.0f, 0.0f, 0.99f, 1.0f, 1e30f, -1e30f});
    default: return In.ConsumeFloatingPointInRange(-2.0f, 2.0f);
  }
}

void Draw(FuzzedDataProvider& In, TBitmap32& B) {
  const TArrayOfArrayOfFixedPoint Paths = AnyPaths(In, B);
  const TArrayOfFixedPoint First = Paths.empty() ? TArrayOfFixedPoint{} : Paths.front();
  const TColor32 C = AnyColor(In);
  switch (In.ConsumeIntegralInRange(0, 9)) {
    case 0: FillPolygon(B, First, C, AnyRule(In)); break;
    case 1: FillPolygonAA(B, First, C, AnyRule(In), AnyLevel(In)); break;
    case 2: FillPolyPolygon(B, Paths, C, AnyRule(In)); break;
    case 3: FillPolyPolygonAA(B, Paths, C, AnyRule(In), AnyLevel(In)); break;
    case 4: DrawPolyline(B, First, C, In.ConsumeBool()); break;
    case 5: DrawPolylineAA(B, First, C, In.ConsumeBool()); break;
    case 6: DrawPolyPolyline(B, Paths, C, In.ConsumeBool()); break;
    case 7: DrawPolyPolylineAA(B, Paths, C, In.ConsumeBool()); break;
    default: {
      // The polygon object: its own settings, then drawn as it is, offset, or as a thick line.
      TPolygon32 P;
      P.Antialiased = In.ConsumeBool();
      P.Closed = In.ConsumeBool();
      P.FillRule = AnyRule(In);
      P.AntialiasLevel = AnyLevel(In);
      for (size_t I = 0; I < Paths.size(); ++I) {
        if (I > 0) P.StartPath();
        P.AddPoints(Paths[I].data(), static_cast<int32_t>(Paths[I].size()));
      }
      const TFixed Delta = In.ConsumeBool() ? IntToFixed(In.ConsumeIntegralInRange(-10, 10))
                                            : FineCoordinate(In, 64);
      switch (In.ConsumeIntegralInRange(0, 3)) {
        case 0: P.DrawPathLines(B, C); break;
        case 1: P.FillPaths(B, C); break;
        case 2: P.Inflate(Delta, AnySharpness(In))->FillPaths(B, C); break;
        default: {
          std::unique_ptr<TPolygon32> Band = P.TwoWayOutline()->Inflate(Delta, AnySharpness(In));
          Band->Antialiased = In.ConsumeBool();
          Band->FillPaths(B, C);
          break;
        }
      }
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzedDataProvider In(Data, Size);
  TBitmap32 B;
  PrepareSurface(In, B);
  const std::vector<TColor32> Before = Snapshot(B);
  for (int Calls = 0; Calls < 8 && In.remaining_bytes() > 0; ++Calls) Draw(In, B);
  ExpectChangesOnlyInside(B, Before, B.ClipBounds(), "a polygon");
  return 0;
}
