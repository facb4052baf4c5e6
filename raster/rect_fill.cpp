// Opaque and blended rectangle fills over half-open rectangles.
#include <algorithm>

#include "raster/bitmap32.h"
#include "raster/detail/compiler_facts.h"

namespace quillet {

namespace {

// The clip test shared by both clipped fills: true when the rectangle is non-empty and meets the
// clip rectangle, which it is then clamped to.
bool ClampToClip(int32_t& X1, int32_t& Y1, int32_t& X2, int32_t& Y2, const TRect& Clip) {
  if (!(X1 < X2 && Y1 < Y2 && X1 < Clip.Right && Y1 < Clip.Bottom && Clip.Left < X2 && Clip.Top < Y2))
    return false;
  X1 = std::max(X1, Clip.Left);
  Y1 = std::max(Y1, Clip.Top);
  Y2 = std::min(Y2, Clip.Bottom);
  X2 = std::min(X2, Clip.Right);
  return true;
}

// Rows of a large surface lie far apart in memory, each starting with a cache miss: the start of
// a row a few ahead is asked for while this one is written, and the first few rows all at once
// before the first is. The processor streams the rest of a long row by itself.
constexpr int32_t FetchAhead = 4;
constexpr int32_t FetchPixels = 128;

void FetchRow(const TBitmap32& B, int32_t X1, int32_t X2, int32_t Y) {
  const int32_t Width = std::min(X2 - X1, FetchPixels);
  if (Width <= 0) return;
  const TColor32* Row = B.PixelAddress(X1, Y);
  for (int32_t X = 0; X < Width; X += 16) PrefetchForWrite(Row + X);
  PrefetchForWrite(Row + (Width - 1));
}

// Runs Row(Y) for every row of the rectangle, fetching ahead.
template <typename TRow>
void EachRow(const TBitmap32& B, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TRow Row) {
  for (int32_t Y = Y1 + 1; Y < std::min(Y1 + FetchAhead, Y2); ++Y) FetchRow(B, X1, X2, Y);
  for (int32_t Y = Y1; Y < Y2; ++Y) {
    if (Y + FetchAhead < Y2) FetchRow(B, X1, X2, Y + FetchAhead);
    Row(Y);
  }
}

}  // namespace

void TBitmap32::PaintRect(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value) {
  if (FillRect != nullptr && X1 < X2 && Y1 < Y2) {
    FillRect(PixelAddress(X1, Y1), X2 - X1, Y2 - Y1, FWidth, Value);
  } else {
    const TFillPixelsProc FillRow = FillPixels;
    EachRow(*this, X1, Y1, X2, Y2, [&](int32_t Y) { FillRow(PixelAddress(X1, Y), X2 - X1, Value); });
  }
  ReportDamage({X1, Y1, X2, Y2});
  NotifyAreaChanged({X1, Y1, X2, Y2}, AREAINFO_RECT);
}

void TBitmap32::PaintRectClipped(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value) {
  if (!FMeasureOnly && ClampToClip(X1, Y1, X2, Y2, FClipBounds)) PaintRect(X1, Y1, X2, Y2, Value);
  NotifyAreaChanged({X1, Y1, X2, Y2}, AREAINFO_RECT);
}

void TBitmap32::BlendRect(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value) {
  const uint32_t A = AlphaOf(Value);
  if (A == 255) {
    PaintRect(X1, Y1, X2, Y2, Value);
    return;
  }
  if (A == 0) return;
  const TCombineModeEntry& Ops = CombineOpsFor(FCombineMode);
  if (Ops.RectRows != nullptr && X1 < X2 && Y1 < Y2) {
    Ops.RectRows(Value, PixelAddress(X1, Y1), X2 - X1, Y2 - Y1, FWidth, A);
  } else {
    const TCombineColorRowProc Row = Ops.RectRow;
    EachRow(*this, X1, Y1, X2, Y2, [&](int32_t Y) { Row(Value, PixelAddress(X1, Y), X2 - X1, A); });
  }
  FinishBlending();
  ReportDamage({X1, Y1, X2, Y2});
  NotifyAreaChanged({X1, Y1, X2, Y2}, AREAINFO_RECT);
}

void TBitmap32::BlendRectClipped(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value) {
  if (!FMeasureOnly && ClampToClip(X1, Y1, X2, Y2, FClipBounds)) BlendRect(X1, Y1, X2, Y2, Value);
  NotifyAreaChanged({X1, Y1, X2, Y2}, AREAINFO_RECT);
}

}  // namespace quillet
