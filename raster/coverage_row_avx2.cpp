// AVX2 coverage conversions of the anti-aliased filler: the bodies of row_kernels.h over 256-bit
// vectors, eight cells per step.
#include "raster/detail/row_kernels.h"

namespace quillet {

namespace {
using Rows = TRowKernels<TLanes256>;
}  // namespace

uint32_t avx2::CoverageRow(int32_t* Acc, TColor32* Out, int32_t Count, uint32_t Sum, uint32_t Scale, TColor32 Rgb) {
  return Rows::CoverageRow(Acc, Out, Count, Sum, Scale, Rgb);
}

void packed_avx2::SpanBlend(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends,
                            uint32_t Scale, TColor32 Rgb, TColor32* Dst, uint32_t M) {
  Rows::SpanBlend<PackedMaster<TLanes256>>(packed::SpanBlend, Spans, From, Cells, Starts, Ends, Scale, Rgb, Dst, M);
}

void portable_avx2::SpanBlend(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends,
                              uint32_t Scale, TColor32 Rgb, TColor32* Dst, uint32_t M) {
  Rows::SpanBlend<PortableMaster<TLanes256>>(portable::SpanBlend, Spans, From, Cells, Starts, Ends, Scale, Rgb, Dst,
                                              M);
}

}  // namespace quillet
