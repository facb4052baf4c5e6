// The parts of a surface changed since the last frame on screen: a short list of rectangles in
// surface pixels, merged as they come, so that a frame copies little more than what changed and
// the whole surface only when a change covers it (a wipe, a resize).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "raster/fixed.h"

namespace quillet {

// The surface pixels an area report may have changed, Info as the surface sends it: rectangles
// as they are, lines widened by their width and their anti-aliased fringe. Clipped to
// Width x Height; all 0 when nothing is left.
TRect ReportedSurfaceArea(const TRect& Area, uint32_t Info, int32_t Width, int32_t Height);

// Appends the parts of From that lie outside Hole to Out: From itself when the two do not meet,
// nothing when Hole covers it, else up to four rectangles that do not overlap. True when they met.
bool SubtractRect(const TRect& From, const TRect& Hole, std::vector<TRect>& Out);

class TChangedAreas {
 public:
  // Each rectangle costs a request; past this many, merging costs less than the requests.
  static constexpr size_t MaxRects = 1024;
  // A new area is merged with one of this many latest rectangles, or stands alone.
  static constexpr size_t RecentRects = 32;
  // The latest rectangles a merged one may cover and replace.
  static constexpr size_t AbsorbRects = 8;
  // A merge that adds few unchanged pixels costs less than a request: up to MergeFloor, and a
  // fifth of the pixels merged beyond it, never more than MergeSlack. Bounded so, thin shapes'
  // bands stay apart rather than becoming their bounding boxes.
  static constexpr int64_t MergeFloor = 64;
  static constexpr int64_t MergeShare = 5;
  static constexpr int64_t MergeSlack = 4096;
  // Once the rectangles hold more than this share of the surface's pixels (overlaps counted
  // twice), one copy of the whole surface costs less than many of its parts. Set high: the copy
  // of unchanged pixels costs the server more than the requests it saves.
  static constexpr int64_t WholeAbovePercent = 90;

  // A surface of another size has changed everywhere.
  void SetBounds(int32_t Width, int32_t Height);
  TRect Bounds() const { return {0, 0, FWidth, FHeight}; }

  // Area in surface pixels; clipped to the bounds.
  void Add(const TRect& Area);
  void AddReport(const TRect& Area, uint32_t Info) {
    Add(ReportedSurfaceArea(Area, Info, FWidth, FHeight));
  }
  void AddWhole() { Add(Bounds()); }

  bool Empty() const { return FRects.empty(); }
  bool Whole() const { return FRects.size() == 1 && FRects[0] == Bounds(); }
  const std::vector<TRect>& Rects() const { return FRects; }
  void Clear() {
    FRects.clear();
    FPixels = 0;
  }

 private:
  void MergeInto(size_t Index, const TRect& Area);
  // Drops the rectangles that the one at Index covers.
  void AbsorbInto(size_t Index);
  size_t RecentBegin() const;

  int32_t FWidth = 0;
  int32_t FHeight = 0;
  std::vector<TRect> FRects;
  size_t FLast = 0;  // the rectangle that took the last area: the next often falls beside it
  int64_t FPixels = 0;  // in all rectangles, overlaps counted twice
};

}  // namespace quillet
