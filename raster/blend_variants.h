// The procedures of each blend variant, installed into the slots by InitBlendOps.
#pragma once

#include <cstdint>

#include "color.h"

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
}  // namespace packed

// SSE2 row forms of both variants, equal bit for bit to the generic ones above. Built on every
// x86 target with SSE2 (all of x86-64); elsewhere only the generic forms exist.
#if defined(__SSE2__)
#define QUILLET_HAVE_SSE2_ROWS 1
namespace portable_sse2 {
void BlendRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);
void BlendColorIntoRow(TColor32 F, TColor32* Dst, int32_t Count);
void CombineColorRow(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W);
}  // namespace portable_sse2

namespace packed_sse2 {
void BlendRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);
void BlendColorIntoRow(TColor32 F, TColor32* Dst, int32_t Count);
void CombineColorRow(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W);
void FillPixels(TColor32* Dst, int32_t Count, TColor32 Value);
}  // namespace packed_sse2
#else
#define QUILLET_HAVE_SSE2_ROWS 0
#endif

// Merge has only the portable form.
namespace merge {
TColor32 MergeColors(TColor32 F, TColor32 B);
void MergeColorInto(TColor32 F, TColor32& B);
void MergeColorIntoMaster(TColor32 F, TColor32& B, uint32_t M);
void MergeRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);
void MergeColorIntoRow(TColor32 F, TColor32* Dst, int32_t Count);
}  // namespace merge

}  // namespace quillet
