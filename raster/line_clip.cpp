// The line clippers' arithmetic. Products of 33-bit differences go through 128 bits and one
// floor division (wide_math.h), which stays in 64 bits whenever the numerator does.
#include "raster/detail/line_clip.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "raster/detail/wide_math.h"

namespace quillet {

TWalkPoint TWalkRows::At(int64_t Step) const {
  const TFloorDivision D = FloorDivide(static_cast<Int128>(FA) * Step + FB, FC);
  return {static_cast<int64_t>(D.Quotient), D.Remainder};
}

TWalkPoint TWalkRows::Reach(int64_t Row) const {
  if (FA == 0) return {NeverStep, 0};
  const TFloorDivision D = FloorDivide(static_cast<Int128>(FC) * Row - FB, FA);
  return {static_cast<int64_t>(std::min<Int128>(D.Quotient, NeverStep)), D.Remainder};
}

int64_t TWalkRows::FirstStepOnRow(int64_t Row) const {
  if (Row <= 0) return 0;
  // The least S with A S + B >= C Row.
  const TWalkPoint R = Reach(Row);
  return R.Whole + (R.Rest > 0 && R.Whole < NeverStep ? 1 : 0);
}

TScaledClip ScaleClip(const TRect& Clip, int Shift) {
  const int64_t Scale = int64_t{1} << Shift;
  return {Clip.Left * Scale, Clip.Top * Scale, Clip.Right * Scale, Clip.Bottom * Scale};
}

namespace {

bool FitsInt32(int64_t V) {
  return V >= std::numeric_limits<int32_t>::min() && V <= std::numeric_limits<int32_t>::max();
}

// A x B / C for the region-code clipper. Terms that fit in 32 bits go through MulDiv unchanged;
// wider differences (end points far apart) are divided exactly with the same rounding.
int64_t ClipMulDiv(int64_t A, int64_t B, int64_t C) {
  if (FitsInt32(A) && FitsInt32(B) && FitsInt32(C))
    return MulDiv(static_cast<int32_t>(A), static_cast<int32_t>(B), static_cast<int32_t>(C));
  if (C == 0) return -1;
  const int64_t Divisor = std::llabs(C);
  const TFloorDivision D = FloorDivide(static_cast<Int128>(std::llabs(A)) * std::llabs(B), Divisor);
  // In the clipper |A| <= |C|, so the quotient is at most |B| < 2^34.
  int64_t Q = static_cast<int64_t>(D.Quotient);
  if (Divisor - D.Remainder <= D.Remainder) ++Q;
  return ((A < 0) + (B < 0) + (C < 0)) % 2 == 1 ? -Q : Q;
}

}  // namespace

bool ClipSegment64(int64_t& X1, int64_t& Y1, int64_t& X2, int64_t& Y2, int64_t MinX, int64_t MinY,
                   int64_t MaxX, int64_t MaxY) {
  const auto CodeX = [&](int64_t X) { return (X < MinX ? 1 : 0) | (X > MaxX ? 2 : 0); };
  const auto CodeY = [&](int64_t Y) { return (Y < MinY ? 4 : 0) | (Y > MaxY ? 8 : 0); };
  int C1 = CodeX(X1) | CodeY(Y1);
  int C2 = CodeX(X2) | CodeY(Y2);
  if (C1 & C2) return false;
  if (C1 == 0 && C2 == 0) return true;

  if (C1 & 12) {
    const int64_t Yc = (C1 & 8) ? MaxY : MinY;
    X1 += ClipMulDiv(Yc - Y1, X2 - X1, Y2 - Y1);
    Y1 = Yc;
    C1 = CodeX(X1);
  }
  if (C2 & 12) {
    const int64_t Yc = (C2 & 8) ? MaxY : MinY;
    X2 += ClipMulDiv(Yc - Y2, X2 - X1, Y2 - Y1);
    Y2 = Yc;
    C2 = CodeX(X2);
  }
  if ((C1 & C2) || (C1 == 0 && C2 == 0)) return C1 == 0 && C2 == 0;

  if (C1 != 0) {
    const int64_t Xc = C1 == 1 ? MinX : MaxX;
    Y1 += ClipMulDiv(Xc - X1, Y2 - Y1, X2 - X1);
    X1 = Xc;
  }
  if (C2 == 0) return true;
  const int64_t Xc = C2 == 1 ? MinX : MaxX;
  Y2 += ClipMulDiv(Xc - X2, Y2 - Y1, X2 - X1);
  X2 = Xc;
  return true;
}

bool ClipSegmentFixed(TFixed& X1, TFixed& Y1, TFixed& X2, TFixed& Y2, TFixed MinX, TFixed MinY,
                      TFixed MaxX, TFixed MaxY) {
  int64_t A = X1, B = Y1, C = X2, D = Y2;
  const bool Visible = ClipSegment64(A, B, C, D, MinX, MinY, MaxX, MaxY);
  // Moved points lie between the old ones, so they fit.
  X1 = static_cast<TFixed>(A), Y1 = static_cast<TFixed>(B);
  X2 = static_cast<TFixed>(C), Y2 = static_cast<TFixed>(D);
  return Visible;
}

}  // namespace quillet
