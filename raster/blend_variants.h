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

// Merge has only the portable form.
namespace merge {
TColor32 MergeColors(TColor32 F, TColor32 B);
void MergeColorInto(TColor32 F, TColor32& B);
void MergeColorIntoMaster(TColor32 F, TColor32& B, uint32_t M);
void MergeRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);
void MergeColorIntoRow(TColor32 F, TColor32* Dst, int32_t Count);
}  // namespace merge

}  // namespace quillet
