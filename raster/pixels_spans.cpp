// Single clipped pixels and horizontal and vertical spans, opaque and blended.
#include <algorithm>

#include "bitmap32.h"

namespace quillet {

namespace {

// End + 1 of an inclusive range, wrapping instead of overflowing for reports of extreme input.
int32_t After(int32_t V) { return static_cast<int32_t>(static_cast<uint32_t>(V) + 1); }

// Orders A and B, clips them to [Lo, Hi - 1]; true when something is left.
bool OrderAndClipSpan(int32_t& A, int32_t& B, int32_t Lo, int32_t Hi) {
  if (B < A) std::swap(A, B);
  A = std::max(A, Lo);
  B = std::min(B, Hi - 1);
  return B >= A;
}

}  // namespace

void TBitmap32::PutPixelClipped(int32_t X, int32_t Y, TColor32 Value) {
  const TRect& C = FClipBounds;
  if (X >= C.Left && X < C.Right && Y >= C.Top && Y < C.Bottom) *PixelAddress(X, Y) = Value;
}

void TBitmap32::BlendPixelClipped(int32_t X, int32_t Y, TColor32 Value) {
  const TRect& C = FClipBounds;
  if (X >= C.Left && X < C.Right && Y >= C.Top && Y < C.Bottom) {
    CombineOpsFor(FCombineMode).ColorInto(Value, *PixelAddress(X, Y));
    FinishBlending();
  }
}

void TBitmap32::HorzSpan(int32_t X1, int32_t Y, int32_t X2, TColor32 Value) {
  if (X2 < X1) return;
  FillPixels(PixelAddress(X1, Y), X2 - X1 + 1, Value);
}

void TBitmap32::HorzSpanBlend(int32_t X1, int32_t Y, int32_t X2, TColor32 Value) {
  if (X2 < X1) return;
  CombineOpsFor(FCombineMode).ColorIntoRow(Value, PixelAddress(X1, Y), X2 - X1 + 1);
  FinishBlending();
}

void TBitmap32::VertSpan(int32_t X, int32_t Y1, int32_t Y2, TColor32 Value) {
  if (Y2 < Y1) return;
  TColor32* P = PixelAddress(X, Y1);
  for (int32_t Y = Y1; Y <= Y2; ++Y, P += FWidth) *P = Value;
}

void TBitmap32::VertSpanBlend(int32_t X, int32_t Y1, int32_t Y2, TColor32 Value) {
  if (Y2 < Y1) return;
  const TColorIntoProc ColorInto = CombineOpsFor(FCombineMode).ColorInto;
  TColor32* P = PixelAddress(X, Y1);
  for (int32_t Y = Y1; Y <= Y2; ++Y, P += FWidth) ColorInto(Value, *P);
  FinishBlending();
}

void TBitmap32::HorzSpanClipped(int32_t X1, int32_t Y, int32_t X2, TColor32 Value) {
  if (FMeasureOnly) {
    NotifyAreaChanged({X1, Y, After(X2), After(Y)}, AREAINFO_RECT);
    return;
  }
  if (Y < FClipBounds.Top || Y >= FClipBounds.Bottom) return;
  if (!OrderAndClipSpan(X1, X2, FClipBounds.Left, FClipBounds.Right)) return;
  HorzSpan(X1, Y, X2, Value);
  NotifyAreaChanged({X1, Y, X2 + 1, Y + 1}, AREAINFO_RECT);
}

void TBitmap32::HorzSpanBlendClipped(int32_t X1, int32_t Y, int32_t X2, TColor32 Value) {
  if (FMeasureOnly) {
    NotifyAreaChanged({X1, Y, After(X2), After(Y)}, AREAINFO_RECT);
    return;
  }
  if (Y < FClipBounds.Top || Y >= FClipBounds.Bottom) return;
  if (!OrderAndClipSpan(X1, X2, FClipBounds.Left, FClipBounds.Right)) return;
  HorzSpanBlend(X1, Y, X2, Value);
  NotifyAreaChanged({X1, Y, X2 + 1, Y + 1}, AREAINFO_RECT);
}

void TBitmap32::VertSpanClipped(int32_t X, int32_t Y1, int32_t Y2, TColor32 Value) {
  if (FMeasureOnly) {
    NotifyAreaChanged({X, Y1, After(X), After(Y2)}, AREAINFO_RECT);
    return;
  }
  if (X < FClipBounds.Left || X >= FClipBounds.Right) return;
  if (!OrderAndClipSpan(Y1, Y2, FClipBounds.Top, FClipBounds.Bottom)) return;
  VertSpan(X, Y1, Y2, Value);
  NotifyAreaChanged({X, Y1, X + 1, Y2 + 1}, AREAINFO_RECT);
}

void TBitmap32::VertSpanBlendClipped(int32_t X, int32_t Y1, int32_t Y2, TColor32 Value) {
  if (FMeasureOnly) {
    NotifyAreaChanged({X, Y1, After(X), After(Y2)}, AREAINFO_RECT);
    return;
  }
  if (X < FClipBounds.Left || X >= FClipBounds.Right) return;
  if (!OrderAndClipSpan(Y1, Y2, FClipBounds.Top, FClipBounds.Bottom)) return;
  VertSpanBlend(X, Y1, Y2, Value);
  NotifyAreaChanged({X, Y1, X + 1, Y2 + 1}, AREAINFO_RECT);
}

}  // namespace quillet
