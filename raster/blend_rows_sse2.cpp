// SSE2 row kernels of both blend variants and the shared fill: the bodies of row_kernels.h over
// 128-bit vectors, four pixels per step.
#include "raster/detail/row_kernels.h"

namespace quillet {

namespace {
using Rows = TRowKernels<TLanes128>;
}  // namespace

namespace sse2 {
void FillPixels(TColor32* Dst, int32_t Count, TColor32 Value) { Rows::Fill(Dst, Count, Value); }
void FillRect(TColor32* Dst, int32_t Width, int32_t Height, intptr_t Stride, TColor32 Value) {
  Rows::FillRect(Dst, Width, Height, Stride, Value);
}
}  // namespace sse2

namespace packed_sse2 {

void BlendRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  Rows::RowMaster<PackedMaster<TLanes128>>(Src, Dst, Count, M, packed::BlendRowMaster);
}
void CombineColorRow(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W) {
  Rows::CombineRow<PackedConstant<TLanes128>>(X, Dst, Count, W, packed::CombineColorRow);
}
void CombineColorRect(TColor32 X, TColor32* Dst, int32_t Width, int32_t Height, intptr_t Stride, uint32_t W) {
  Rows::CombineRect<PackedConstant<TLanes128>>(X, Dst, Width, Height, Stride, W, packed::CombineColorRow);
}
void BlendColorIntoRow(TColor32 F, TColor32* Dst, int32_t Count) { CombineColorRow(F, Dst, Count, F >> 24); }
void SolidRowMaster(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M) { Rows::PackedSolidRow(F, Dst, Count, M); }

}  // namespace packed_sse2

namespace portable_sse2 {

void BlendRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  Rows::RowMaster<PortableMaster<TLanes128>>(Src, Dst, Count, M, portable::BlendRowMaster);
}
void CombineColorRow(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W) {
  Rows::CombineRow<PortableConstant<TLanes128>>(X, Dst, Count, W, portable::CombineColorRow);
}
void CombineColorRect(TColor32 X, TColor32* Dst, int32_t Width, int32_t Height, intptr_t Stride, uint32_t W) {
  Rows::CombineRect<PortableConstant<TLanes128>>(X, Dst, Width, Height, Stride, W, portable::CombineColorRow);
}
void BlendColorIntoRow(TColor32 F, TColor32* Dst, int32_t Count) { CombineColorRow(F, Dst, Count, F >> 24); }
void SolidRowMaster(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M) { Rows::PortableSolidRow(F, Dst, Count, M); }

}  // namespace portable_sse2

}  // namespace quillet
