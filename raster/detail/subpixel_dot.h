// The 2 x 2 gamma-weighted dot at a 24.8 position, shared by the dot operations of the surface and
// the fixed-point line. The blend procedures are fetched once, when the painter is made.
#pragma once

#include <cstdint>

#include "raster/bitmap32.h"

namespace quillet {

class TSubpixelDotPainter {
 public:
  explicit TSubpixelDotPainter(TBitmap32& Target);

  // All four pixels; the caller keeps them inside the surface.
  void Stamp(int32_t X, int32_t Y, TColor32 Value) const { StampMasked(X, Y, Value, AllPixels); }
  // Only the pixels inside the clip rectangle.
  void StampClipped(int32_t X, int32_t Y, TColor32 Value) const;
  // The pixels a dot at (X, Y) may touch, before clipping.
  static TRect Pixels(int32_t X, int32_t Y) { return {X >> 8, Y >> 8, (X >> 8) + 2, (Y >> 8) + 2}; }

 private:
  enum : unsigned { TopLeft = 1, TopRight = 2, BottomRight = 4, BottomLeft = 8, AllPixels = 15 };
  void StampMasked(int32_t X, int32_t Y, TColor32 Value, unsigned Mask) const;

  TColor32* FPixels;
  intptr_t FStride;
  bool FMerge;
  TCombineColorIntoProc FCombine;
  TBlendColorsProc FMergeColors;
  // Clip edges as inclusive pixel indices, and the dot rejection bounds in 24.8 (kept in 64 bits so
  // that no surface size can wrap them).
  int32_t Cx1, Cx2, Cy1, Cy2;
  int64_t RejectLeft, RejectRight, RejectTop, RejectBottom;
};

}  // namespace quillet
