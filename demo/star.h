// The "Lines" primitive: a ring of anti-aliased spokes from a circle out to an ellipse twice as wide
// as it is high.
#pragma once

#include <cstdint>
#include <vector>

#include "raster/color.h"

namespace quillet {

class TBitmap32;

struct TStarSpoke {
  int32_t X1, Y1, X2, Y2;
  friend constexpr bool operator==(const TStarSpoke&, const TStarSpoke&) = default;
};

struct TStarGeometry {
  uint16_t SpokeCount = 0;
  uint16_t InnerRadius = 0;
  uint16_t OuterRadius = 0;
};

TStarGeometry StarGeometry(int32_t Size);

// Spoke i (1-based) of a star centred at (X, Y); angles run from straight down, so the last spoke
// points down again.
TStarSpoke StarSpoke(const TStarGeometry& G, int32_t I, int32_t X, int32_t Y);

// Draws every spoke with the clipped anti-aliased line, end pixels left out.
void DrawStar(TBitmap32& Surface, int32_t Size, int32_t X, int32_t Y, TColor32 Color);

}  // namespace quillet
