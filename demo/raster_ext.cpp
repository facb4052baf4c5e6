// Drawing of ellipses and splines into the target surface.
#include "demo/raster_ext.h"

#include <algorithm>
#include <climits>
#include <memory>

#include "raster/bitmap32.h"
#include "raster/polygon_fill.h"

namespace quillet {

void DrawPolygon(TBitmap32& Bitmap, const TArrayOfFixedPoint& Points, TColor32 Color, bool Closed,
                 bool Antialiased, bool Filled) {
  if (Antialiased) {
    if (Filled)
      FillPolygonAA(Bitmap, Points, Color, TPolyFillRule::EvenOdd, 2);
    else
      DrawPolylineAA(Bitmap, Points, Color, Closed);
  } else {
    if (Filled)
      FillPolygon(Bitmap, Points, Color, TPolyFillRule::EvenOdd);
    else
      DrawPolyline(Bitmap, Points, Color, Closed);
  }
}

namespace {

// The pixel box of fixed points, in 64 bits so that no coordinate overflows.
struct TShapeBounds {
  int64_t Left = INT64_MAX, Top = INT64_MAX, Right = INT64_MIN, Bottom = INT64_MIN;

  void Add(const TArrayOfFixedPoint& Path) {
    for (const TFixedPoint& P : Path) {
      Left = std::min<int64_t>(Left, P.X >> 16);
      Top = std::min<int64_t>(Top, P.Y >> 16);
      Right = std::max<int64_t>(Right, (int64_t{P.X} + 0xFFFF) >> 16);
      Bottom = std::max<int64_t>(Bottom, (int64_t{P.Y} + 0xFFFF) >> 16);
    }
  }

  TRect Box() const {
    // Anti-aliased lines reach a pixel past their points, and rounding another.
    constexpr int64_t Margin = 2;
    if (Left > Right) return {};
    const auto Clamp = [](int64_t V) { return static_cast<int32_t>(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX)); };
    return {Clamp(Left - Margin), Clamp(Top - Margin), Clamp(Right + Margin), Clamp(Bottom + Margin)};
  }
};

}  // namespace

TRect ShapeBox(const TArrayOfArrayOfFixedPoint& Paths) {
  TShapeBounds Bounds;
  for (const TArrayOfFixedPoint& Path : Paths) Bounds.Add(Path);
  return Bounds.Box();
}

TRect ShapeBox(const TArrayOfFixedPoint& Path) {
  TShapeBounds Bounds;
  Bounds.Add(Path);
  return Bounds.Box();
}

void TRasterExt::DrawEllipse(TColor32 Color, int32_t Segments, uint32_t Thickness, float CX,
                             float CY, float RX, float RY, float Rotation, bool Antialiased,
                             bool Filled) {
  FShapeBox = {};
  if (FTargetBitmap == nullptr || Segments < 1) return;
  const auto Count = static_cast<uint32_t>(Segments);
  TArrayOfFixedPoint List;
  if (Thickness <= 1) {
    if (Rotation == 0.0f)
      EllipsePoints(Segments, List, CX, CY, RX, RY);
    else
      RotatedEllipsePoints(Count, false, List, CX, CY, RX, RY, Rotation);
    FShapeBox = ShapeBox(List);
    DrawPolygon(*FTargetBitmap, List, Color, true, Antialiased, Filled);
    return;
  }
  // A ring: the inner ellipse one way round, the outer one the other, filled even-odd.
  const long double T = Thickness;
  RotatedEllipsePoints(Count, false, List, CX, CY, static_cast<float>(RX - T),
                       static_cast<float>(RY - T), Rotation);
  RotatedEllipsePoints(Count, true, List, CX, CY, static_cast<float>(RX + T),
                       static_cast<float>(RY + T), Rotation);
  FShapeBox = ShapeBox(List);
  DrawPolygon(*FTargetBitmap, List, Color, true, Antialiased, true);
}

void TRasterExt::DrawSpline(const TArrayOfFixedPoint& Points, int32_t Steps, TColor32 Color,
                            bool Closed, bool Antialiased, bool Filled, uint8_t Thickness) {
  FShapeBox = {};
  if (FTargetBitmap == nullptr) return;
  TArrayOfFixedPoint List;
  SplinePoints(Points, Steps, Closed, List);
  if (Thickness <= 1 || Filled) {
    FShapeBox = ShapeBox(List);
    DrawPolygon(*FTargetBitmap, List, Color, Closed, Antialiased, Filled);
    return;
  }
  SharedPolygon.ClearPaths();
  SharedPolygon.AddPoints(List.data(), static_cast<int32_t>(List.size()));
  SharedPolygon.FillRule = TPolyFillRule::NonZero;
  SharedPolygon.Closed = Closed;
  const std::unique_ptr<TPolygon32> Outline = SharedPolygon.TwoWayOutline();
  const std::unique_ptr<TPolygon32> Band = Outline->Inflate(IntToFixed(Thickness), 1.0f);
  Band->Antialiased = Antialiased;
  FShapeBox = ShapeBox(Band->Points());
  Band->FillPaths(*FTargetBitmap, Color);
}

}  // namespace quillet
