// A coarse map of a surface: which tiles of TileSide x TileSide pixels an area touched. Marking
// costs a few tiles, whatever many areas come; the rectangles that cover the marked tiles come
// out as runs of tiles, a run joined with the ones below it while they match.
#pragma once

#include <cstdint>
#include <vector>

#include "raster/fixed.h"

namespace quillet {

class TTileMarks {
 public:
  static constexpr int32_t TileSide = 16;

  // Another size: nothing is marked.
  void SetBounds(int32_t Width, int32_t Height);
  // Area in surface pixels; clipped to the bounds.
  void Mark(const TRect& Area);
  void MarkAll() { Mark({0, 0, FWidth, FHeight}); }
  // Every tile marked in Other, of the same bounds, is marked here too.
  void MarkAllOf(const TTileMarks& Other);
  void Clear();
  bool Empty() const { return !FAny; }
  // Rectangles over the marked tiles, clipped to the bounds, that do not overlap.
  std::vector<TRect> Rects() const;

 private:
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  int32_t FColumns = 0;
  int32_t FRows = 0;
  std::vector<uint8_t> FTiles;
  bool FAny = false;
};

}  // namespace quillet
