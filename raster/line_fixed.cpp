// The anti-aliased 16.16 line: ClipSegmentFixed, DrawLineFixed and DrawLineFixedClipped, which
// stamp a 2 x 2 dot once per pixel of length.
#include <cmath>
#include <cstdlib>
#include <limits>

#include "clip_segment.h"
#include "subpixel_dot.h"
#include "wide_math.h"

namespace quillet {

namespace {

bool FitsInt32(int64_t V) {
  return V >= std::numeric_limits<int32_t>::min() && V <= std::numeric_limits<int32_t>::max();
}

// A x B / C for the clipper. Terms that fit in 32 bits go through MulDiv unchanged; wider
// differences (end points far apart) are divided exactly with the same rounding.
int64_t ClipMulDiv(int64_t A, int64_t B, int64_t C) {
  if (FitsInt32(A) && FitsInt32(B) && FitsInt32(C))
    return MulDiv(static_cast<int32_t>(A), static_cast<int32_t>(B), static_cast<int32_t>(C));
  if (C == 0) return -1;
  const UInt128 Product = static_cast<UInt128>(std::llabs(A)) * static_cast<UInt128>(std::llabs(B));
  const UInt128 Divisor = static_cast<UInt128>(std::llabs(C));
  UInt128 Quotient = Product / Divisor;
  const UInt128 Remainder = Product % Divisor;
  if (Divisor - Remainder <= Remainder) ++Quotient;
  // In the clipper |A| <= |C|, so the quotient is at most |B| < 2^34.
  const int64_t Q = static_cast<int64_t>(Quotient);
  return ((A < 0) + (B < 0) + (C < 0)) % 2 == 1 ? -Q : Q;
}

// round(sqrt(Dx^2 + Dy^2)), exactly, ties to even (a square root of an integer is never an exact
// half).
int64_t RoundedLength(int64_t Dx, int64_t Dy) {
  const UInt128 N = static_cast<UInt128>(static_cast<Int128>(Dx) * Dx) +
                    static_cast<UInt128>(static_cast<Int128>(Dy) * Dy);
  // The estimate goes through 64 bits where N fits: the 128-bit conversions are library calls.
  const long double Root = (N >> 64) == 0 ? std::sqrt(static_cast<long double>(static_cast<uint64_t>(N)))
                                          : std::sqrt(static_cast<long double>(N));
  UInt128 K = static_cast<UInt128>(static_cast<uint64_t>(Root));
  while (K * K > N) --K;
  while ((K + 1) * (K + 1) <= N) ++K;
  // sqrt(N) >= K + 1/2 exactly when N > K^2 + K.
  if (N > K * K + K) ++K;
  return static_cast<int64_t>(K);
}

// The dot walk. Stamp(X, Y, Colour) draws one dot at 24.8. False when the line is shorter than
// 1/256 pixel and nothing was drawn.
template <class StampDot>
bool WalkDots(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, TColor32 Value, bool L, StampDot Stamp) {
  // The bias makes the later shifts by 8 round 16.16 to 24.8.
  X1 += 127, Y1 += 127, X2 += 127, Y2 += 127;
  const int64_t Dx = X2 - X1, Dy = Y2 - Y1;
  int64_t Len = RoundedLength(Dx, Dy);
  if (L) Len += 65536;
  if (Len < 256) return false;

  const int64_t N = Len >> 16;
  int64_t Sx = Dx, Sy = Dy;
  if (N > 0) {
    // The step factor is held in single precision; the steps round to nearest, ties to even
    // (rint: nearbyint's value without its library call).
    const float S = static_cast<float>(65536.0L / static_cast<long double>(Len));
    Sx = static_cast<int64_t>(std::rint(static_cast<long double>(Dx) * S));
    Sy = static_cast<int64_t>(std::rint(static_cast<long double>(Dy) * S));
  }
  int64_t X = X1, Y = Y1;
  for (int64_t I = 0; I < N; ++I, X += Sx, Y += Sy)
    Stamp(static_cast<int32_t>(X >> 8), static_cast<int32_t>(Y >> 8), Value);

  // The remaining fraction of a pixel, halfway between the last full dot and the end point.
  const int64_t R = Len - (N << 16);
  const TColor32 Partial = (Value & 0x00FFFFFF) | static_cast<TColor32>(((AlphaOf(Value) * R) >> 16) << 24);
  Stamp(static_cast<int32_t>((X + X2 - Sx) >> 9), static_cast<int32_t>((Y + Y2 - Sy) >> 9), Partial);
  return true;
}

TRect LineArea(TFixed X1, TFixed Y1, TFixed X2, TFixed Y2) {
  return RoundFixedRect({X1, Y1, X2, Y2}, RectRounding::Nearest);
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

void TBitmap32::DrawLineFixed(TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, TColor32 Value, bool L) {
  const TSubpixelDotPainter Dot(*this);
  WalkDots(X1, Y1, X2, Y2, Value, L,
           [&Dot](int32_t X, int32_t Y, TColor32 C) { Dot.Stamp(X, Y, C); });
  FinishBlending();
  NotifyAreaChanged(LineArea(X1, Y1, X2, Y2), AREAINFO_DRAWN_LINE);
}

void TBitmap32::DrawLineFixedClipped(TFixed AX1, TFixed AY1, TFixed AX2, TFixed AY2, TColor32 Value,
                                     bool L) {
  const TRect Area = LineArea(AX1, AY1, AX2, AY2);
  if (FMeasureOnly) {
    NotifyAreaChanged(Area, AREAINFO_DRAWN_LINE);
    return;
  }
  // The clip rectangle in 16.16, in 64 bits so that no surface size wraps it.
  const int64_t Left = static_cast<int64_t>(FClipBounds.Left) << 16;
  const int64_t Top = static_cast<int64_t>(FClipBounds.Top) << 16;
  const int64_t Right = static_cast<int64_t>(FClipBounds.Right) << 16;
  const int64_t Bottom = static_cast<int64_t>(FClipBounds.Bottom) << 16;

  // One pixel more towards the top-left: a dot there still covers the first row and column.
  int64_t X1 = AX1, Y1 = AY1, X2 = AX2, Y2 = AY2;
  if (!ClipSegment64(X1, Y1, X2, Y2, Left - 65536, Top - 65536, Right, Bottom)) return;
  if (X2 != AX2 || Y2 != AY2) L = true;

  const auto Inside = [&](int64_t X, int64_t Y) {
    return X > Left && X < Right - 131072 && Y > Top && Y < Bottom - 131072;
  };
  if (Inside(X1, Y1) && Inside(X2, Y2)) {
    // The rounded steps of a long walk drift up to a third of a pixel past its end points: a line
    // that runs within a pixel of the top or left edge could stamp dots over it, outside the clip
    // rectangle or before the first pixel. Such lines stamp clipped dots, which draw the same
    // pixels inside.
    const auto Clear = [&](int64_t X, int64_t Y) { return X > Left + 65536 && Y > Top + 65536; };
    if (Clear(X1, Y1) && Clear(X2, Y2)) {
      DrawLineFixed(static_cast<TFixed>(X1), static_cast<TFixed>(Y1), static_cast<TFixed>(X2),
                    static_cast<TFixed>(Y2), Value, L);
      return;
    }
    const TSubpixelDotPainter Dot(*this);
    WalkDots(X1, Y1, X2, Y2, Value, L,
             [&Dot](int32_t X, int32_t Y, TColor32 C) { Dot.StampClipped(X, Y, C); });
    FinishBlending();
    NotifyAreaChanged(LineArea(static_cast<TFixed>(X1), static_cast<TFixed>(Y1),
                               static_cast<TFixed>(X2), static_cast<TFixed>(Y2)),
                      AREAINFO_DRAWN_LINE);
    return;
  }
  const TSubpixelDotPainter Dot(*this);
  const bool Drawn = WalkDots(X1, Y1, X2, Y2, Value, L,
                              [&Dot](int32_t X, int32_t Y, TColor32 C) { Dot.StampClipped(X, Y, C); });
  FinishBlending();
  if (Drawn) NotifyAreaChanged(Area, AREAINFO_DRAWN_LINE);
}

}  // namespace quillet
