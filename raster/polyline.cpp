// Thin polylines through the pen-position line operations, plain and anti-aliased.
#include "raster/detail/batch_scope.h"
#include "raster/polygon_fill.h"

namespace quillet {

void DrawPolyline(TBitmap32& Bitmap, const TArrayOfFixedPoint& Points, TColor32 Color, bool Closed) {
  const size_t Count = Points.size();
  if (Count == 1 && Closed)
    Bitmap.BlendPixelClipped(FixedToIntRound(Points[0].X), FixedToIntRound(Points[0].Y), Color);
  if (Count < 2) return;
  const bool Translucent = AlphaOf(Color) != 255;
  {
    TBatchScope Batch(Bitmap);
    Bitmap.SetLineColor(Color);
    Bitmap.SetPenPos(FixedToIntRound(Points[0].X), FixedToIntRound(Points[0].Y));
    const auto LineTo = [&Bitmap, Translucent](const TFixedPoint& P) {
      if (Translucent)
        Bitmap.LineToBlendClipped(FixedToIntRound(P.X), FixedToIntRound(P.Y));
      else
        Bitmap.LineToClipped(FixedToIntRound(P.X), FixedToIntRound(P.Y));
    };
    for (size_t I = 1; I < Count; ++I) LineTo(Points[I]);
    if (Closed) LineTo(Points[0]);
  }
  Bitmap.NotifyChanged();
}

void DrawPolylineAA(TBitmap32& Bitmap, const TArrayOfFixedPoint& Points, TColor32 Color, bool Closed) {
  const size_t Count = Points.size();
  if (Count == 1 && Closed) Bitmap.BlendSubpixelFixed(Points[0].X, Points[0].Y, Color);
  if (Count < 2) return;
  {
    TBatchScope Batch(Bitmap);
    Bitmap.SetLineColor(Color);
    Bitmap.SetPenPosFixed(Points[0].X, Points[0].Y);
    for (size_t I = 1; I < Count; ++I) Bitmap.LineToFixedClipped(Points[I].X, Points[I].Y);
    if (Closed) Bitmap.LineToFixedClipped(Points[0].X, Points[0].Y);
  }
  Bitmap.NotifyChanged();
}

void DrawPolyPolyline(TBitmap32& Bitmap, const TArrayOfArrayOfFixedPoint& Paths, TColor32 Color, bool Closed) {
  for (const TArrayOfFixedPoint& Points : Paths) DrawPolyline(Bitmap, Points, Color, Closed);
}

void DrawPolyPolylineAA(TBitmap32& Bitmap, const TArrayOfArrayOfFixedPoint& Paths, TColor32 Color,
                        bool Closed) {
  for (const TArrayOfFixedPoint& Points : Paths) DrawPolylineAA(Bitmap, Points, Color, Closed);
}

}  // namespace quillet
