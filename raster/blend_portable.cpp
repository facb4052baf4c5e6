// The portable blend variant: formula 1, with the master weight ((M + 1) * F.A) >> 8.
#include "raster/detail/blend_formulas.h"
#include "raster/detail/blend_variants.h"

namespace quillet::portable {

TColor32 BlendColors(TColor32 F, TColor32 B) {
  const uint32_t A = AlphaOf(F);
  if (A == 255) return F;
  if (A == 0) return B;
  return formulas::Portable(F, B, A);
}

void BlendColorInto(TColor32 F, TColor32& B) { formulas::Into<formulas::Portable>(F, B); }

void BlendColorIntoMaster(TColor32 F, TColor32& B, uint32_t M) { formulas::IntoMaster<formulas::Portable>(F, B, M); }

void BlendRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  for (int32_t i = 0; i < Count; ++i) BlendColorIntoMaster(Src[i], Dst[i], M);
}

void CombineColorInto(TColor32 X, TColor32& Y, uint32_t W) {
  if (W == 0) return;
  Y = W == 255 ? X : formulas::Portable(X, Y, W);
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
  for (int32_t i = 0; i < Count; ++i) Dst[i] = formulas::Portable(F, Dst[i], A);
}

void CombineColorRow(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W) {
  if (W == 0) return;
  if (W == 255) {
    FillPixels(Dst, Count, X);
    return;
  }
  for (int32_t i = 0; i < Count; ++i) Dst[i] = formulas::Portable(X, Dst[i], W);
}

void SolidRowMaster(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M) {
  if (AlphaOf(F) == 0) return;
  const uint32_t W = ((M + 1) * AlphaOf(F)) >> 8;
  if (W == 0) return;
  for (int32_t i = 0; i < Count; ++i) Dst[i] = formulas::Portable(F, Dst[i], W);
}

}  // namespace quillet::portable
