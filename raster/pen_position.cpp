// Lines from the pen position: each draws from the stored pen position to the given point, without
// the end point, and then moves the pen there.
#include "raster/bitmap32.h"

namespace quillet {

void TBitmap32::LineToClipped(int32_t X, int32_t Y) {
  DrawLineClipped(PenPos.X, PenPos.Y, X, Y, FLineColor, false);
  PenPos = {X, Y};
}

void TBitmap32::LineToBlendClipped(int32_t X, int32_t Y) {
  DrawLineBlendClipped(PenPos.X, PenPos.Y, X, Y, FLineColor, false);
  PenPos = {X, Y};
}

void TBitmap32::LineToFixedClipped(TFixed X, TFixed Y) {
  DrawLineFixedClipped(PenPosFixed.X, PenPosFixed.Y, X, Y, FLineColor, false);
  PenPosFixed = {X, Y};
}

}  // namespace quillet
