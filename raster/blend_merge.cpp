// Merge: foreground over a translucent background, through the product and ratio tables.
#include "raster/blend.h"
#include "raster/detail/blend_variants.h"

namespace quillet::merge {

TColor32 MergeColors(TColor32 F, TColor32 B) {
  const uint32_t FA = AlphaOf(F);
  const uint32_t BA = AlphaOf(B);
  if (FA == 0) return B;
  if (BA == 255) return BlendColors(F, B) | 0xFF000000u;
  if (FA == 255) return F;
  if (BA == 0) return F;

  const uint32_t RA = FA + BA - ProductTable[BA][FA];
  TColor32 Result = RA << 24;
  for (uint32_t Shift = 0; Shift <= 16; Shift += 8) {
    const uint32_t FK = (F >> Shift) & 0xFF;
    const uint32_t BX = ProductTable[BA][(B >> Shift) & 0xFF];
    const uint32_t T = FK >= BX ? BX + ProductTable[FA][FK - BX] : BX - ProductTable[FA][BX - FK];
    Result |= static_cast<TColor32>(RatioTable[RA][T]) << Shift;
  }
  return Result;
}

void MergeColorInto(TColor32 F, TColor32& B) { B = MergeColors(F, B); }

void MergeColorIntoMaster(TColor32 F, TColor32& B, uint32_t M) {
  const TColor32 Scaled = (F & 0x00FFFFFF) | static_cast<TColor32>(ProductTable[M & 0xFF][AlphaOf(F)]) << 24;
  B = MergeColors(Scaled, B);
}

void MergeRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  for (int32_t i = 0; i < Count; ++i) MergeColorIntoMaster(Src[i], Dst[i], M);
}

void MergeColorIntoRow(TColor32 F, TColor32* Dst, int32_t Count) {
  for (int32_t i = 0; i < Count; ++i) Dst[i] = MergeColors(F, Dst[i]);
}

// A merged rectangle weighs by its colour's alpha alone.
void MergeRectRow(TColor32 X, TColor32* Dst, int32_t Count, uint32_t) { MergeColorIntoRow(X, Dst, Count); }

void MergeSolidRowMaster(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M) {
  const TColor32 Scaled = (F & 0x00FFFFFF) | static_cast<TColor32>(ProductTable[M & 0xFF][AlphaOf(F)]) << 24;
  MergeColorIntoRow(Scaled, Dst, Count);
}

}  // namespace quillet::merge
