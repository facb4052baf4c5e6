// Where a surface says which of its pixels changed. Every operation that writes pixels tells the
// one sink the surface holds which pixels it may have written, as closely as it knows them: the
// rows of a line's walk, the rows of a filled shape between its outermost edges, a rectangle, a
// whole fill. This runs beside the change notifications (OnAreaChanged) and apart from them:
// batches do not hold it back, and measuring reports nothing, since no pixel changes then.
//
// Code that writes a surface's pixels itself reports them through TBitmap32::ReportDamage or
// TDamageRows; whoever shows the surface relies on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "raster/color.h"
#include "raster/fixed.h"

namespace quillet {

class TBitmap32;

// Columns Left to Right - 1 of one row; empty when Right <= Left.
struct TRowSpan {
  int32_t Left = 0;
  int32_t Right = 0;
};

class IDamageSink {
 public:
  virtual ~IDamageSink() = default;
  // Pixels of Area may have changed. Within the surface, never empty.
  virtual void Damaged(const TRect& Area) = 0;
  // Rows Top to Top + Count - 1, each with the pixels of its span that may have changed. Within
  // the surface; some spans may be empty.
  virtual void DamagedRows(int32_t Top, const TRowSpan* Spans, int32_t Count) = 0;
  // Every pixel is Color now.
  virtual void Filled(TColor32 Color) = 0;
  // Every pixel may have changed, and the surface is Width x Height (0 x 0 when empty): a new
  // store, or the sink was just set.
  virtual void Reset(int32_t Width, int32_t Height) = 0;
};

// The rows one operation may change, gathered so that they go to the sink as one report. Only
// pixels inside the limit given at the start count.
class TDamageRows {
 public:
  TDamageRows() = default;
  TDamageRows(const TDamageRows&) = delete;
  TDamageRows& operator=(const TDamageRows&) = delete;

  // Gathering for rows FirstRow to LastRow (inclusive) within Limit, nothing so far.
  void Start(const TRect& Limit, int64_t FirstRow, int64_t LastRow);
  void Span(int64_t Y, int64_t Left, int64_t Right) {
    if (Y < FFirst || Y > FLast) return;
    if (Left < FLimit.Left) Left = FLimit.Left;
    if (Right > FLimit.Right) Right = FLimit.Right;
    if (Left >= Right) return;
    TRowSpan& S = FRows[static_cast<size_t>(Y - FFirst)];
    if (Left < S.Left) S.Left = static_cast<int32_t>(Left);
    if (Right > S.Right) S.Right = static_cast<int32_t>(Right);
    FAny = true;
  }
  void Pixel(int64_t X, int64_t Y) { Span(Y, X, X + 1); }
  // Hands what was gathered to Surface's sink.
  void Report(TBitmap32& Surface) const;

 private:
  TRect FLimit;
  int64_t FFirst = 0;
  int64_t FLast = -1;
  bool FAny = false;
  std::vector<TRowSpan> FRows;
};

}  // namespace quillet
