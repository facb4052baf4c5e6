// The two per-pixel blend formulas, two channels per 32-bit multiply. Shared by the portable and
// packed procedures, by their SIMD row forms for the leftover pixels, and by the lines, which
// blend them inline (inline_blend.h).
#pragma once

#include <cstdint>

#include "raster/color.h"

namespace quillet::formulas {

// Portable: result.k = ((F.k * a + 128) >> 8) + ((B.k * (255 - a) + 128) >> 8). Each product
// plus 128 stays below 65536, so the two halves of a pair never carry into each other, and the
// sum of the two terms never passes 255.
inline TColor32 Portable(TColor32 F, TColor32 B, uint32_t A) {
  const uint32_t IA = 255 - A;
  const uint32_t FRB = (((F & 0x00FF00FF) * A + 0x00800080) >> 8) & 0x00FF00FF;
  const uint32_t FAG = (((F & 0xFF00FF00) >> 8) * A + 0x00800080) & 0xFF00FF00;
  const uint32_t BRB = (((B & 0x00FF00FF) * IA + 0x00800080) >> 8) & 0x00FF00FF;
  const uint32_t BAG = (((B & 0xFF00FF00) >> 8) * IA + 0x00800080) & 0xFF00FF00;
  return (FRB | FAG) + (BRB | BAG);
}

// Packed: result.k = (B.k * (256 - a) + F.k * a + 128) >> 8; the sum is at most 65408.
inline TColor32 Packed(TColor32 F, TColor32 B, uint32_t A) {
  const uint32_t IA = 256 - A;
  const uint32_t RB = (((F & 0x00FF00FF) * A + (B & 0x00FF00FF) * IA + 0x00800080) >> 8) & 0x00FF00FF;
  const uint32_t AG =
      (((F & 0xFF00FF00) >> 8) * A + ((B & 0xFF00FF00) >> 8) * IA + 0x00800080) & 0xFF00FF00;
  return RB | AG;
}

// A colour into a pixel by one of the formulas at the colour's own alpha: alpha 0 leaves the
// pixel as it is, 255 replaces it.
template <TColor32 (*Formula)(TColor32, TColor32, uint32_t)>
inline void Into(TColor32 F, TColor32& B) {
  const uint32_t A = AlphaOf(F);
  if (A == 0) return;
  B = A == 255 ? F : Formula(F, B, A);
}

// A colour into a pixel at master weight M by one of the formulas: the weight is ((M + 1) *
// F.A) >> 8, and a weight of 0 leaves the pixel as it is.
template <TColor32 (*Formula)(TColor32, TColor32, uint32_t)>
inline void IntoMaster(TColor32 F, TColor32& B, uint32_t M) {
  if (AlphaOf(F) == 0) return;
  const uint32_t W = ((M + 1) * AlphaOf(F)) >> 8;
  if (W == 0) return;
  B = Formula(F, B, W);
}

}  // namespace quillet::formulas
