// The kernels of each blend variant and instruction-set level, gathered into the kernel tables of
// blend_kernels.h. The scalar ones are the reference; the SSE2 and AVX2 ones live in files named
// after their instruction set, built with that set's flags, and are only reached through a table
// once the processor is known to run them.
#pragma once

#include <cstdint>

#include "raster/blend.h"

namespace quillet {

namespace portable {
TColor32 BlendColors(TColor32 F, TColor32 B);
void BlendColorInto(TColor32 F, TColor32& B);
void BlendColorIntoMaster(TColor32 F, TColor32& B, uint32_t M);
void BlendRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);
void CombineColorInto(TColor32 X, TColor32& Y, uint32_t W);
void FillPixels(TColor32* Dst, int32_t Count, TColor32 Value);
void BlendColorIntoRow(TColor32 F, TColor32* Dst, int32_t Count);
void CombineColorRow(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W);
void SolidRowMaster(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M);
void SpanBlend(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends, uint32_t Scale,
               TColor32 Rgb, TColor32* Dst, uint32_t M);
}  // namespace portable

namespace packed {
TColor32 BlendColors(TColor32 F, TColor32 B);
void BlendColorInto(TColor32 F, TColor32& B);
void BlendColorIntoMaster(TColor32 F, TColor32& B, uint32_t M);
void BlendRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);
void CombineColorInto(TColor32 X, TColor32& Y, uint32_t W);
void FillPixels(TColor32* Dst, int32_t Count, TColor32 Value);
void BlendColorIntoRow(TColor32 F, TColor32* Dst, int32_t Count);
void CombineColorRow(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W);
void SolidRowMaster(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M);
void SpanBlend(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends, uint32_t Scale,
               TColor32 Rgb, TColor32* Dst, uint32_t M);
}  // namespace packed

// Merge has only the portable scalar form.
namespace merge {
TColor32 MergeColors(TColor32 F, TColor32 B);
void MergeColorInto(TColor32 F, TColor32& B);
void MergeColorIntoMaster(TColor32 F, TColor32& B, uint32_t M);
void MergeRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);
void MergeColorIntoRow(TColor32 F, TColor32* Dst, int32_t Count);
void MergeRectRow(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W);
void MergeSolidRowMaster(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M);
void MergeSpanBlend(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends, uint32_t Scale,
                    TColor32 Rgb, TColor32* Dst, uint32_t M);
}  // namespace merge

namespace scalar {
uint32_t CoverageRow(int32_t* Acc, TColor32* Out, int32_t Count, uint32_t Sum, uint32_t Scale, TColor32 Rgb);
// The colours of the coverage counts of SpanBlend, for the forms that blend them afterwards.
void SpanColors(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends, uint32_t Scale,
                TColor32 Rgb, TColor32* Out);
// SpanColors in pieces, each blended with RowMaster.
void SpanBlendWith(TRowMasterProc RowMaster, const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts,
                   bool Ends, uint32_t Scale, TColor32 Rgb, TColor32* Dst, uint32_t M);
}  // namespace scalar

// Set by the build where it compiles the x86 kernel files.
#ifndef QUILLET_X86_KERNELS
#define QUILLET_X86_KERNELS 0
#endif
#if QUILLET_X86_KERNELS

// Row kernels of both variants for one instruction set (one body for both, row_kernels.h); the
// single-pixel procedures stay scalar.
#define QUILLET_DECLARE_ROW_KERNELS                                                                      \
  void BlendRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);                    \
  void BlendColorIntoRow(TColor32 F, TColor32* Dst, int32_t Count);                                      \
  void CombineColorRow(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W);                            \
  void SolidRowMaster(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M);                             \
  void SpanBlend(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends, uint32_t Scale, \
                 TColor32 Rgb, TColor32* Dst, uint32_t M);                                               \
  void CombineColorRect(TColor32 X, TColor32* Dst, int32_t Width, int32_t Height, intptr_t Stride, uint32_t W);

// Kernels that do not depend on the variant.
#define QUILLET_DECLARE_SHARED_KERNELS                                                                \
  void FillPixels(TColor32* Dst, int32_t Count, TColor32 Value);                                    \
  void FillRect(TColor32* Dst, int32_t Width, int32_t Height, intptr_t Stride, TColor32 Value);    \
  uint32_t CoverageRow(int32_t* Acc, TColor32* Out, int32_t Count, uint32_t Sum, uint32_t Scale, TColor32 Rgb);

namespace portable_sse2 { QUILLET_DECLARE_ROW_KERNELS }
namespace packed_sse2 { QUILLET_DECLARE_ROW_KERNELS }
namespace sse2 { QUILLET_DECLARE_SHARED_KERNELS }
namespace portable_avx2 {
QUILLET_DECLARE_ROW_KERNELS
int32_t PairedRows(const TPairedRows& Rows);
}  // namespace portable_avx2
namespace packed_avx2 {
QUILLET_DECLARE_ROW_KERNELS
int32_t PairedRows(const TPairedRows& Rows);
}  // namespace packed_avx2
namespace avx2 {
QUILLET_DECLARE_SHARED_KERNELS
void EdgeSteps(const TEdgeStepRun& Run, int32_t* Out);
}  // namespace avx2
#undef QUILLET_DECLARE_ROW_KERNELS
#undef QUILLET_DECLARE_SHARED_KERNELS
#endif

}  // namespace quillet
