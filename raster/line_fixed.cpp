// The anti-aliased 16.16 line: DrawLineFixed and DrawLineFixedClipped, which stamp a 2 x 2 dot
// once per pixel of length. The clipped line moves its end points with the region-code clipper
// (line_clip.h).
#include <algorithm>
#include <cmath>

#include "raster/detail/line_clip.h"
#include "raster/detail/line_damage.h"
#include "raster/detail/subpixel_dot.h"
#include "raster/detail/wide_math.h"

namespace quillet {

namespace {

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

// Walks the dots with Stamp and, when the surface has a damage sink, gathers the pixels each dot
// covers within Limit and reports them. The rows: the end points' rows and two pixels around, for the
// dot's second row and the walk's drift.
template <class StampDot>
bool WalkAndReport(TBitmap32& Surface, const TRect& Limit, int64_t X1, int64_t Y1, int64_t X2, int64_t Y2,
                   TColor32 Value, bool L, StampDot Stamp) {
  if (!Surface.DamageSink()) return WalkDots(X1, Y1, X2, Y2, Value, L, Stamp);
  TDamageRows& Rows = ScratchDamageRows();
  Rows.Start(Limit, (std::min(Y1, Y2) >> 16) - 2, (std::max(Y1, Y2) >> 16) + 3);
  const bool Drawn = WalkDots(X1, Y1, X2, Y2, Value, L, [&](int32_t X, int32_t Y, TColor32 C) {
    Stamp(X, Y, C);
    const TRect P = TSubpixelDotPainter::Pixels(X, Y);
    Rows.Span(P.Top, P.Left, P.Right);
    Rows.Span(P.Top + 1, P.Left, P.Right);
  });
  Rows.Report(Surface);
  return Drawn;
}

}  // namespace

void TBitmap32::DrawLineFixed(TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, TColor32 Value, bool L) {
  const TSubpixelDotPainter Dot(*this);
  WalkAndReport(*this, BoundsRect(), X1, Y1, X2, Y2, Value, L,
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
  const TScaledClip Clip = ScaleClip(FClipBounds, 16);
  const int64_t Left = Clip.Left, Top = Clip.Top, Right = Clip.Right, Bottom = Clip.Bottom;

  // One pixel more towards the top-left: a dot there still covers the first row and column.
  int64_t X1 = AX1, Y1 = AY1, X2 = AX2, Y2 = AY2;
  if (!ClipSegment64(X1, Y1, X2, Y2, Left - 65536, Top - 65536, Right, Bottom)) return;
  if (X2 != AX2 || Y2 != AY2) L = true;

  const auto Inside = [&](int64_t X, int64_t Y) {
    return X > Left && X < Right - 131072 && Y > Top && Y < Bottom - 131072;
  };
  // The rounded steps of a long walk drift up to a third of a pixel past its end points: a line
  // that runs within a pixel of the top or left edge could stamp dots over it, outside the clip
  // rectangle or before the first pixel. Such lines stamp clipped dots, which draw the same
  // pixels inside.
  const auto Clear = [&](int64_t X, int64_t Y) { return X > Left + 65536 && Y > Top + 65536; };
  // Points inside were not moved by the clipping: the walk's area is the line's.
  const bool BothInside = Inside(X1, Y1) && Inside(X2, Y2);
  if (BothInside && Clear(X1, Y1) && Clear(X2, Y2)) {
    DrawLineFixed(static_cast<TFixed>(X1), static_cast<TFixed>(Y1), static_cast<TFixed>(X2),
                  static_cast<TFixed>(Y2), Value, L);
    return;
  }
  const TSubpixelDotPainter Dot(*this);
  const bool Drawn = WalkAndReport(*this, FClipBounds, X1, Y1, X2, Y2, Value, L,
                                   [&Dot](int32_t X, int32_t Y, TColor32 C) { Dot.StampClipped(X, Y, C); });
  FinishBlending();
  if (Drawn || BothInside) NotifyAreaChanged(Area, AREAINFO_DRAWN_LINE);
}

}  // namespace quillet
