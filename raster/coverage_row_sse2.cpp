// SSE2 coverage conversions of the anti-aliased filler: the bodies of row_kernels.h over 128-bit
// vectors, four cells per step.
#include "raster/detail/row_kernels.h"

namespace quillet {

namespace {
using Rows = TRowKernels<TLanes128>;
}  // namespace

uint32_t sse2::CoverageRow(int32_t* Acc, TColor32* Out, int32_t Count, uint32_t Sum, uint32_t Scale, TColor32 Rgb) {
  return Rows::CoverageRow(Acc, Out, Count, Sum, Scale, Rgb);
}

void packed_sse2::SpanBlend(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends,
                            uint32_t Scale, TColor32 Rgb, TColor32* Dst, uint32_t M) {
  Rows::SpanBlend<PackedMaster<TLanes128>>(packed::SpanBlend, Spans, From, Cells, Starts, Ends, Scale, Rgb, Dst, M);
}

void portable_sse2::SpanBlend(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends,
                              uint32_t Scale, TColor32 Rgb, TColor32* Dst, uint32_t M) {
  Rows::SpanBlend<PortableMaster<TLanes128>>(portable::SpanBlend, Spans, From, Cells, Starts, Ends, Scale, Rgb, Dst,
                                              M);
}

}  // namespace quillet
