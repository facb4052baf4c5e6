// The scalar coverage conversions of the anti-aliased filler: running sums of coverage
// differences, or the spans of a row, turned into colours and blended. The reference of the SSE2
// and AVX2 forms.
#include <algorithm>

#include "raster/detail/blend_variants.h"

namespace quillet::scalar {

uint32_t CoverageRow(int32_t* Acc, TColor32* Out, int32_t Count, uint32_t Sum, uint32_t Scale, TColor32 Rgb) {
  for (int32_t C = 0; C < Count; ++C) {
    Sum += static_cast<uint32_t>(Acc[C]);
    Acc[C] = 0;
    Out[C] = ((Sum * Scale & 0xFF00) << 16) | Rgb;
  }
  return Sum;
}

void SpanColors(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends, uint32_t Scale,
                TColor32 Rgb, TColor32* Out) {
  const int32_t K = Spans.Mask;
  for (int32_t C = 0; C < Cells; ++C) {
    const int32_t Base = ((From + C) << Spans.Shift) + K;
    int32_t Count = Starts ? 0 : Spans.Count * K;
    if (Starts)
      for (int32_t I = 0; I < Spans.Count; ++I) Count += std::clamp(Base - Spans.Starts[I], 0, K);
    if (Ends)
      for (int32_t I = 0; I < Spans.Count; ++I) Count -= std::clamp(Base - Spans.Ends[I], 0, K);
    Out[C] = ((static_cast<uint32_t>(Count) * Scale & 0xFF00) << 16) | Rgb;
  }
}

void SpanBlendWith(TRowMasterProc RowMaster, const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts,
                   bool Ends, uint32_t Scale, TColor32 Rgb, TColor32* Dst, uint32_t M) {
  constexpr int32_t Piece = 32;
  TColor32 Colors[Piece];
  for (int32_t C = 0; C < Cells; C += Piece) {
    const int32_t N = std::min(Piece, Cells - C);
    SpanColors(Spans, From + C, N, Starts, Ends, Scale, Rgb, Colors);
    RowMaster(Colors, Dst + C, N, M);
  }
}

}  // namespace quillet::scalar

namespace quillet {

void portable::SpanBlend(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends, uint32_t Scale,
                         TColor32 Rgb, TColor32* Dst, uint32_t M) {
  scalar::SpanBlendWith(portable::BlendRowMaster, Spans, From, Cells, Starts, Ends, Scale, Rgb, Dst, M);
}

void packed::SpanBlend(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends, uint32_t Scale,
                       TColor32 Rgb, TColor32* Dst, uint32_t M) {
  scalar::SpanBlendWith(packed::BlendRowMaster, Spans, From, Cells, Starts, Ends, Scale, Rgb, Dst, M);
}

void merge::MergeSpanBlend(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends,
                           uint32_t Scale, TColor32 Rgb, TColor32* Dst, uint32_t M) {
  scalar::SpanBlendWith(merge::MergeRowMaster, Spans, From, Cells, Starts, Ends, Scale, Rgb, Dst, M);
}

}  // namespace quillet
