// Region-code clipping of a 16.16 segment against a rectangle, used by the fixed-point line.
#pragma once

#include <cstdint>

#include "fixed.h"

namespace quillet {

// Moves the end points of the segment onto the rectangle [MinX, MaxX] x [MinY, MaxY] (inclusive)
// where they lie outside it; false when the segment misses the rectangle. The intersections are
// rounded half away from zero, through MulDiv.
bool ClipSegmentFixed(TFixed& X1, TFixed& Y1, TFixed& X2, TFixed& Y2, TFixed MinX, TFixed MinY,
                      TFixed MaxX, TFixed MaxY);

// The same on 64-bit coordinates, for callers whose bounds may not fit in a TFixed. Where every
// term fits in 32 bits the results equal ClipSegmentFixed's; beyond that they are exact.
bool ClipSegment64(int64_t& X1, int64_t& Y1, int64_t& X2, int64_t& Y2, int64_t MinX, int64_t MinY,
                   int64_t MaxX, int64_t MaxY);

}  // namespace quillet
