// Shape routines on top of the raster engine: ellipses (plain, rotated, thick) and cubic splines
// turned into 16.16 point lists, and drawn as outlines, filled areas or thick bands into one
// target surface.
#pragma once

#include <cstdint>

#include "raster/color.h"
#include "raster/fixed.h"
#include "raster/polygon32.h"

namespace quillet {

class TBitmap32;

// --- Point generation (no drawing) ---------------------------------------------------------------

// Replace: the list becomes Count + 1 points, k = 0..Count, starting at the leftmost point when
// unrotated. Append: the same Count + 1 points are added in reverse order. Rotation in degrees.
void RotatedEllipsePoints(uint32_t Count, bool Append, TArrayOfFixedPoint& Points, float CX,
                          float CY, float RX, float RY, float Rotation);
// Count points of an unrotated ellipse from its rightmost point, stepping 6.28 / (Count - 1), so
// the list stops just short of a full turn. Count <= 0 gives an empty list.
void EllipsePoints(int32_t Count, TArrayOfFixedPoint& Points, float CX, float CY, float RX,
                   float RY);

// The cubic through B (T = 0) and C (T = 1) with slopes C - A and D - B there.
int32_t SplineValue(int32_t A, int32_t B, int32_t C, int32_t D, float T);
// Steps points per segment after Source[0]; a closed spline includes the segment back to the start.
// Fewer than two control points leave Dest as it was.
void SplinePoints(const TArrayOfFixedPoint& Source, int32_t Steps, bool Closed,
                  TArrayOfFixedPoint& Dest);

// --- Drawing -------------------------------------------------------------------------------------

// One of the four polygon procedures: anti-aliased or not, filled (even-odd) or outlined.
void DrawPolygon(TBitmap32& Bitmap, const TArrayOfFixedPoint& Points, TColor32 Color, bool Closed,
                 bool Antialiased, bool Filled);

// The module's target surface and the polygon that thick splines are built in. Nothing is drawn
// while no target is set.
class TRasterExt {
 public:
  TRasterExt() = default;
  TRasterExt(const TRasterExt&) = delete;
  TRasterExt& operator=(const TRasterExt&) = delete;

  void SetTargetBitmap(TBitmap32* Bitmap) { FTargetBitmap = Bitmap; }
  TBitmap32* TargetBitmap() const { return FTargetBitmap; }

  // Thickness <= 1: the outline or area of the ellipse itself. Thickness >= 2: an even-odd ring of
  // half-width Thickness around it, whatever Filled says.
  void DrawEllipse(TColor32 Color, int32_t Segments, uint32_t Thickness, float CX, float CY,
                   float RX, float RY, float Rotation, bool Antialiased, bool Filled);
  // Thin or filled curves through DrawPolygon; a thick curve as a non-zero band of half-width
  // Thickness.
  void DrawSpline(const TArrayOfFixedPoint& Points, int32_t Steps, TColor32 Color, bool Closed,
                  bool Antialiased, bool Filled, uint8_t Thickness);

 private:
  TBitmap32* FTargetBitmap = nullptr;
  TPolygon32 SharedPolygon;
};

}  // namespace quillet
