// The packed blend variant: formula 2, with the row weight ((Src.A + 1) * M) >> 8. Single pixels
// are computed two channels per multiply. These scalar forms are the reference that the SSE2 and
// AVX2 rows are held to.
#include "raster/detail/blend_formulas.h"
#include "raster/detail/blend_variants.h"

namespace quillet::packed {

TColor32 BlendColors(TColor32 F, TColor32 B) {
  const uint32_t A = AlphaOf(F);
  if (A == 255) return F;
  if (A == 0) return B;
  return formulas::Packed(F, B, A);
}

void BlendColorInto(TColor32 F, TColor32& B) { formulas::Into<formulas::Packed>(F, B); }

void BlendColorIntoMaster(TColor32 F, TColor32& B, uint32_t M) { formulas::IntoMaster<formulas::Packed>(F, B, M); }

void BlendRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  for (int32_t i = 0; i < Count; ++i) {
    const uint32_t A = AlphaOf(Src[i]);
    if (A == 0) continue;
    const uint32_t W = ((A + 1) * M) >> 8;
    if (W == 0) continue;
    Dst[i] = formulas::Packed(Src[i], Dst[i], W);
  }
}

void CombineColorInto(TColor32 X, TColor32& Y, uint32_t W) {
  if (W == 0) return;
  Y = W == 255 ? X : formulas::Packed(X, Y, W);
}

void FillPixels(TColor32* Dst, int32_t Count, TColor32 Value) {
  for (int32_t i = 0; i < Count; ++i) Dst[i] = Value;
}

void BlendColorIntoRow(TColor32 F, TColor32* Dst, int32_t Count) {
  const uint32_t A = AlphaOf(F);
  if (A == 0) return;
  if (A == 255) {
    FillPixels(Dst, Count, F);
    return;
  }
  for (int32_t i = 0; i < Count; ++i) Dst[i] = formulas::Packed(F, Dst[i], A);
}

void CombineColorRow(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W) {
  if (W == 0) return;
  if (W == 255) {
    FillPixels(Dst, Count, X);
    return;
  }
  for (int32_t i = 0; i < Count; ++i) Dst[i] = formulas::Packed(X, Dst[i], W);
}

void SolidRowMaster(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M) {
  if (AlphaOf(F) == 0) return;
  const uint32_t W = ((AlphaOf(F) + 1) * M) >> 8;
  if (W == 0) return;
  for (int32_t i = 0; i < Count; ++i) Dst[i] = formulas::Packed(F, Dst[i], W);
}

}  // namespace quillet::packed
