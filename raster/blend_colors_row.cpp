// A row of colours blended into a row of pixels by the active blend: the blend variants' own
// formulas inline, chosen once per row.
#include "raster/blend.h"
#include "raster/detail/inline_blend.h"

namespace quillet {

void BlendColorsIntoRow(const TColor32* Src, TColor32* Dst, int32_t Count) {
  WithColorInto(BlendColorInto, [&](auto Blend) {
    for (int32_t I = 0; I < Count; ++I) Blend(Src[I], Dst[I]);
  });
}

}  // namespace quillet
