// Gouraud-shaded bars and triangles: red, green, blue and alpha interpolated linearly in 8.8 fixed
// point along the edges and across each row, every pixel blended by its own alpha. Pixels are
// written directly; the caller notifies the surface.
#pragma once

#include <array>
#include <climits>
#include <cstdint>

#include "raster/color.h"
#include "raster/damage_sink.h"
#include "raster/fixed.h"

namespace quillet {

class TBitmap32;

// Four channels in 8.8 fixed point: a colour being interpolated, or a per-step increment.
struct TColorAccumulator {
  int32_t B = 0, G = 0, R = 0, A = 0;
  friend constexpr bool operator==(const TColorAccumulator&, const TColorAccumulator&) = default;
};

// One triangle edge while rows are scanned; X and XStep are 24.8.
struct TGouraudEdge {
  int32_t X = 0;
  int32_t XStep = 0;
  TColorAccumulator Color;
  TColorAccumulator ColorStep;
};

TColorAccumulator ColorToAccumulator(TColor32 C);
// Each channel contributes bits 8..15 of its value, whatever lies above them.
TColor32 AccumulatorToColor(const TColorAccumulator& Acc);
void AddAccumulator(TColorAccumulator& Acc, const TColorAccumulator& Step);

// Prepares a run from P1 (colour C1) to P2 (colour C2): C2 becomes the per-step increment and a
// start before 0 is moved to 0 with its colour. False when there is nothing to draw.
bool StartInterpolation(int32_t& P1, int32_t P2, TColorAccumulator& C1, TColorAccumulator& C2);

// Orders the vertices by Y, then by X on a shared row, each colour moving with its vertex.
void SortVertices(std::array<TPoint, 3>& V, std::array<TColor32, 3>& C);
// ((B - A) << 8) / D, truncating; 0 when D is 0.
int32_t EdgeSlope(int32_t A, int32_t B, int32_t D);
void InitEdge(TPoint P, TPoint Q, TColor32 Ca, TColor32 Cb, TGouraudEdge& Edge);

// The shading routines with their target surface and the alpha that scales every span's ends.
class TRasterGouraud {
 public:
  void SetTargetBitmap(TBitmap32* Bitmap) { FTargetBitmap = Bitmap; }
  TBitmap32* TargetBitmap() const { return FTargetBitmap; }
  void SetGouraudAlpha(uint8_t Value) { FGouraudAlpha = Value; }
  uint8_t GouraudAlpha() const { return FGouraudAlpha; }

  // Columns X1..X2 of row Y; a one-pixel span and a span ending left of column 0 draw nothing.
  void GouraudSpan(int32_t X1, int32_t X2, int32_t Y, TColorAccumulator C1,
                   TColorAccumulator C2) const;
  // Columns X1..X2 and rows Y1..Y2, inclusive; corners top-left, top-right, bottom-left,
  // bottom-right.
  void GouraudBar(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 C1, TColor32 C2,
                  TColor32 C3, TColor32 C4) const;
  void GouraudTriangle(std::array<TPoint, 3> V, std::array<TColor32, 3> C) const;
  // Rows Y1..Y2 (at most the last row) between edge A on the left and B on the right.
  void ScanEdges(int32_t Y1, int32_t Y2, TGouraudEdge& A, TGouraudEdge& B) const;

  // The spans make no area report; each tells the surface's damage sink its pixels, a bar or a
  // triangle all its rows at once.

 private:
  // The triangle's rows once its vertices are in order.
  void ScanTriangle(const std::array<TPoint, 3>& V, const std::array<TColor32, 3>& C) const;
  // Runs Scan, which draws spans on rows Top to Bottom, and reports their pixels as one.
  template <class TScan>
  void GatherRows(int64_t Top, int64_t Bottom, TScan Scan) const;

  TBitmap32* FTargetBitmap = nullptr;
  uint8_t FGouraudAlpha = 255;
  mutable TDamageRows FShapeRows;  // bookkeeping only: the spans stay const
  mutable bool FGatherRows = false;
};

}  // namespace quillet
