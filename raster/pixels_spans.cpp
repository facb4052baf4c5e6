// Single clipped pixels and horizontal and vertical spans, opaque and blended.
#include <algorithm>

#include "raster/bitmap32.h"

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
  if (X >= C.Left && X < C.Right && Y >= C.Top && Y < C.Bottom) {
    *PixelAddress(X, Y) = Value;
    ReportDamage({X, Y, X + 1, Y + 1});
  }
}

void TBitmap32::BlendPixelClipped(int32_t X, int32_t Y, TColor32 Value) {
  const TRect& C = FClipBounds;
  if (X >= C.Left && X < C.Right && Y >= C.Top && Y < C.Bottom) {
    CombineOpsFor(FCombineMode).ColorInto(Value, *PixelAddress(X, Y));
    FinishBlending();
    ReportDamage({X, Y, X + 1, Y + 1});
  }
}

void TBitmap32::HorzSpan(int32_t X1, int32_t Y, int32_t X2, TColor32 Value) {
  if (X2 < X1) return;
  FillPixels(PixelAddress(X1, Y), X2 - X1 + 1, Value);
  ReportDamage({X1, Y, X2 + 1, Y + 1});
}

void TBitmap32::HorzSpanBlend(int32_t X1, int32_t Y, int32_t X2, TColor32 Value) {
  if (X2 < X1) return;
  CombineOpsFor(FCombineMode).ColorIntoRow(Value, PixelAddress(X1, Y), X2 - X1 + 1);
  FinishBlending();
  ReportDamage({X1, Y, X2 + 1, Y + 1});
}

void TBitmap32::VertSpan(int32_t X, int32_t Y1, int32_t Y2, TColor32 Value) {
  if (Y2 < Y1) return;
  TColor32* P = PixelAddress(X, Y1);
  for (int32_t Y = Y1; Y <= Y2; ++Y, P += FWidth) *P = Value;
  ReportDamage({X, Y1, X + 1, Y2 + 1});
}

void TBitmap32::VertSpanBlend(int32_t X, int32_t Y1, int32_t Y2, TColor32 Value) {
  if (Y2 < Y1) return;
  const TColorIntoProc ColorInto = CombineOpsFor(FCombineMode).ColorInto;
  TColor32* P = PixelAddress(X, Y1);
  for (int32_t Y = Y1; Y <= Y2; ++Y, P += FWidth) ColorInto(Value, *P);
  FinishBlending();
  ReportDamage({X, Y1, X + 1, Y2 + 1});
}

namespace {

// The clipped spans: in measuring mode report the span as given; otherwise clip it, draw it with
// the unclipped writer and report the clipped span. A span outside the clip rectangle reports
// nothing.
template <typename TDraw>
void HorzClipped(TBitmap32& B, int32_t X1, int32_t Y, int32_t X2, TDraw Draw) {
  const TRect& C = B.ClipBounds();
  if (B.MeasureOnly()) {
    B.NotifyAreaChanged({X1, Y, After(X2), After(Y)}, AREAINFO_RECT);
  } else if (Y >= C.Top && Y < C.Bottom && OrderAndClipSpan(X1, X2, C.Left, C.Right)) {
    Draw(X1, Y, X2);
    B.NotifyAreaChanged({X1, Y, X2 + 1, Y + 1}, AREAINFO_RECT);
  }
}

template <typename TDraw>
void VertClipped(TBitmap32& B, int32_t X, int32_t Y1, int32_t Y2, TDraw Draw) {
  const TRect& C = B.ClipBounds();
  if (B.MeasureOnly()) {
    B.NotifyAreaChanged({X, Y1, After(X), After(Y2)}, AREAINFO_RECT);
  } else if (X >= C.Left && X < C.Right && OrderAndClipSpan(Y1, Y2, C.Top, C.Bottom)) {
    Draw(X, Y1, Y2);
    B.NotifyAreaChanged({X, Y1, X + 1, Y2 + 1}, AREAINFO_RECT);
  }
}

}  // namespace

void TBitmap32::HorzSpanClipped(int32_t X1, int32_t Y, int32_t X2, TColor32 Value) {
  HorzClipped(*this, X1, Y, X2, [&](int32_t A, int32_t R, int32_t B) { HorzSpan(A, R, B, Value); });
}

void TBitmap32::HorzSpanBlendClipped(int32_t X1, int32_t Y, int32_t X2, TColor32 Value) {
  HorzClipped(*this, X1, Y, X2, [&](int32_t A, int32_t R, int32_t B) { HorzSpanBlend(A, R, B, Value); });
}

void TBitmap32::VertSpanClipped(int32_t X, int32_t Y1, int32_t Y2, TColor32 Value) {
  VertClipped(*this, X, Y1, Y2, [&](int32_t C, int32_t A, int32_t B) { VertSpan(C, A, B, Value); });
}

void TBitmap32::VertSpanBlendClipped(int32_t X, int32_t Y1, int32_t Y2, TColor32 Value) {
  VertClipped(*this, X, Y1, Y2, [&](int32_t C, int32_t A, int32_t B) { VertSpanBlend(C, A, B, Value); });
}

}  // namespace quillet
