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

void TRasterExt::DrawEllipse(TColor32 Color, int32_t Segments, uint32_t Thickness, float CX,
                             float CY, float RX, float RY, float Rotation, bool Antialiased,
                             bool Filled) {
  if (FTargetBitmap == nullptr || Segments < 1) return;
  const auto Count = static_cast<uint32_t>(Segments);
  TArrayOfFixedPoint List;
  if (Thickness <= 1) {
    if (Rotation == 0.0f)
      EllipsePoints(Segments, List, CX, CY, RX, RY);
    else
      RotatedEllipsePoints(Count, false, List, CX, CY, RX, RY, Rotation);
    DrawPolygon(*FTargetBitmap, List, Color, true, Antialiased, Filled);
    return;
  }
  // A ring: the inner ellipse one way round, the outer one the other, filled even-odd.
  const long double T = Thickness;
  RotatedEllipsePoints(Count, false, List, CX, CY, static_cast<float>(RX - T),
                       static_cast<float>(RY - T), Rotation);
  RotatedEllipsePoints(Count, true, List, CX, CY, static_cast<float>(RX + T),
                       static_cast<float>(RY + T), Rotation);
  DrawPolygon(*FTargetBitmap, List, Color, true, Antialiased, true);
}

void TRasterExt::DrawSpline(const TArrayOfFixedPoint& Points, int32_t Steps, TColor32 Color,
                            bool Closed, bool Antialiased, bool Filled, uint8_t Thickness) {
  if (FTargetBitmap == nullptr) return;
  TArrayOfFixedPoint List;
  SplinePoints(Points, Steps, Closed, List);
  if (Thickness <= 1 || Filled) {
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
  Band->FillPaths(*FTargetBitmap, Color);
}

}  // namespace quillet
