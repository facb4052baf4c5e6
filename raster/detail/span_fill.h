// The two span writers of the scanline filler, and the sub-sample grids of the anti-aliased one.
#pragma once

#include <cstdint>
#include <vector>

#include "raster/bitmap32.h"
#include "raster/detail/crossing_table.h"
#include "raster/detail/edge_list.h"
#include "raster/polygon_fill.h"

namespace quillet {

// One anti-aliasing level: Shift sub-samples per axis (as a power of two), Mask = 2^Shift - 1 the
// count of a fully covered sub-scanline, and Scale, which maps a pixel's count to alpha in bits 8-15.
struct TAntialiasGrid {
  int32_t Shift;
  int32_t Mask;
  uint32_t Scale;
};

// Levels beyond the coarsest grid use the coarsest grid.
constexpr TAntialiasGrid AntialiasGrid(TAntialiasLevel Level) {
  constexpr uint32_t Scales[5] = {65, 273, 1167, 5460, 32662};
  const int32_t L = Level < 4 ? Level : 4;
  const int32_t Shift = 5 - L;
  return {Shift, (1 << Shift) - 1, Scales[L]};
}

// Whole pixels: table rows are pixel rows starting at Y0, positions in 1/256 pixel.
void FillSpansSolid(TBitmap32& Bitmap, const TCrossingTable& Table, TColor32 Color, TPolyFillRule Rule);
// The anti-aliased writer's buffers, kept from one fill to the next.
struct TSpanScratchAA {
  std::vector<uint32_t> Crossings;
  std::vector<int32_t> Cells;  // all 0 between fills
  std::vector<TColor32> Colors;
  std::vector<TEdgeChain> Chains;
};

// Sub-samples: the edges' sub-scanlines MinY to MaxY, positions in sub-samples.
void FillSpansAA(TBitmap32& Bitmap, TEdgeList& Edges, int32_t MinY, int32_t MaxY, TColor32 Color, TPolyFillRule Rule,
                 TAntialiasLevel Level, TSpanScratchAA& Scratch);

}  // namespace quillet
