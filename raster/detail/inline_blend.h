// The blend variants' single-pixel kernels as inline code, for loops that blend a pixel or two a
// step: there a call through the kernel table costs more than the blend itself, most of all where
// arguments pass on the stack. Any other kernel (the merge) stays a call.
#pragma once

#include <cstdint>

#include "raster/blend.h"
#include "raster/detail/blend_formulas.h"
#include "raster/detail/blend_variants.h"

namespace quillet {

enum class TInlineBlend : uint8_t { None, Packed, Portable };

inline TInlineBlend InlineBlendOf(TColorIntoProc Proc) {
  return Proc == packed::BlendColorInto     ? TInlineBlend::Packed
         : Proc == portable::BlendColorInto ? TInlineBlend::Portable
                                            : TInlineBlend::None;
}

inline TInlineBlend InlineBlendOf(TColorIntoMasterProc Proc) {
  return Proc == packed::BlendColorIntoMaster     ? TInlineBlend::Packed
         : Proc == portable::BlendColorIntoMaster ? TInlineBlend::Portable
                                                  : TInlineBlend::None;
}

// Runs Draw with a callable (TColor32 F, TColor32& B) that blends as Proc does: a loop in Draw is
// compiled once for each variant's formula and once for the call.
template <class TDraw>
void WithColorInto(TColorIntoProc Proc, TDraw&& Draw) {
  switch (InlineBlendOf(Proc)) {
    case TInlineBlend::Packed:
      Draw([](TColor32 F, TColor32& B) { formulas::Into<formulas::Packed>(F, B); });
      break;
    case TInlineBlend::Portable:
      Draw([](TColor32 F, TColor32& B) { formulas::Into<formulas::Portable>(F, B); });
      break;
    case TInlineBlend::None:
      Draw([Proc](TColor32 F, TColor32& B) { Proc(F, B); });
      break;
  }
}

}  // namespace quillet
