// Free procedures that put point arrays onto a surface: thin polylines through the line operations,
// and filled polygons through a scanline filler, plain or anti-aliased, even-odd or non-zero.
#pragma once

#include <cstdint>

#include "raster/bitmap32.h"
#include "raster/fixed.h"

namespace quillet {

enum class TPolyFillRule : uint8_t { EvenOdd = 0, NonZero = 1 };
// 0 is a 32 x 32 sub-sample grid, 1 is 16 x 16, 2 is 8 x 8, 3 is 4 x 4, 4 is 2 x 2.
using TAntialiasLevel = uint8_t;

void DrawPolyline(TBitmap32& Bitmap, const TArrayOfFixedPoint& Points, TColor32 Color, bool Closed);
void DrawPolylineAA(TBitmap32& Bitmap, const TArrayOfFixedPoint& Points, TColor32 Color,
                    bool Closed);
void DrawPolyPolyline(TBitmap32& Bitmap, const TArrayOfArrayOfFixedPoint& Paths, TColor32 Color,
                      bool Closed);
void DrawPolyPolylineAA(TBitmap32& Bitmap, const TArrayOfArrayOfFixedPoint& Paths, TColor32 Color,
                        bool Closed);

void FillPolygon(TBitmap32& Bitmap, const TArrayOfFixedPoint& Points, TColor32 Color,
                 TPolyFillRule Rule);
void FillPolygonAA(TBitmap32& Bitmap, const TArrayOfFixedPoint& Points, TColor32 Color,
                   TPolyFillRule Rule, TAntialiasLevel Level);
void FillPolyPolygon(TBitmap32& Bitmap, const TArrayOfArrayOfFixedPoint& Paths, TColor32 Color,
                     TPolyFillRule Rule);
void FillPolyPolygonAA(TBitmap32& Bitmap, const TArrayOfArrayOfFixedPoint& Paths, TColor32 Color,
                       TPolyFillRule Rule, TAntialiasLevel Level);

TFixedRect FixedPointsBounds(const TArrayOfFixedPoint& Points);
TFixedRect FixedPathsBounds(const TArrayOfArrayOfFixedPoint& Paths);

}  // namespace quillet
