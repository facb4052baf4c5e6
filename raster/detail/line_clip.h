// Where lines meet the clip rectangle. Every line renderer clips through here, exactly for any
// 32-bit end points: the integer walks ask TWalkRows on which row a step lies and which step
// first reaches a row; the fixed-point line moves its end points onto the rectangle with the
// region-code clipper; the dot and the fixed-point line test against the scaled clip rectangle.
#pragma once

#include <cstdint>

#include "raster/fixed.h"

namespace quillet {

// A step that no walk of a 32-bit line reaches.
constexpr int64_t NeverStep = int64_t{1} << 62;

// A whole part and a remainder: the row of a step and its fraction (in [0, C)), or the step at
// which a row is reached and what is left over.
struct TWalkPoint {
  int64_t Whole;
  int64_t Rest;
};

// The rows of a walk along its major axis: step S >= 0 lies floor((A S + B) / C) rows from the
// start, with the fraction (A S + B) mod C, for A >= 0, 0 <= B < C. Rows count from the start row. The error-term walk is
// A = 2Dy, B = Dx, C = 2Dx; the anti-aliased walk has its 16-bit slope as A, B = 0, C = 65536.
class TWalkRows {
 public:
  constexpr TWalkRows(int64_t A, int64_t B, int64_t C) : FA(A), FB(B), FC(C) {}

  // The row and fraction of any Step >= 0 whose row fits in 64 bits.
  TWalkPoint At(int64_t Step) const;
  // Where the walk reaches row Row (> 0): Step = floor((C Row - B) / A), the first step on the row
  // when Remainder is 0 and the last one before it otherwise. Step is at most NeverStep.
  TWalkPoint Reach(int64_t Row) const;
  // The first step whose row is Row or further (0 for Row <= 0); NeverStep, or a step at least as
  // far, when the walk does not get there within a 32-bit line.
  int64_t FirstStepOnRow(int64_t Row) const;

 private:
  int64_t FA, FB, FC;
};

// The clip rectangle scaled to 24.8 (Shift 8) or 16.16 (Shift 16), half-open, in 64 bits so that
// no surface size wraps it.
struct TScaledClip {
  int64_t Left, Top, Right, Bottom;
};
TScaledClip ScaleClip(const TRect& Clip, int Shift);

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
