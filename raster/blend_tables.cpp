// The read-only tables of the blend and coverage code, built before the first drawing.
#include "blend_tables.h"

#include <cmath>

#include "blend.h"

namespace quillet {

uint8_t ProductTable[256][256];
uint8_t RatioTable[256][256];
uint8_t CoverageGammaTable[256];

void BuildBlendTables() {
  for (uint32_t j = 0; j < 256; ++j) {
    for (uint32_t i = 0; i < 256; ++i) {
      // i * j / 255 never ends in an exact half, so rounding up from .5 equals ties to even.
      ProductTable[j][i] = static_cast<uint8_t>((i * j + 127) / 255);
      if (j == 0) {
        RatioTable[j][i] = 0;
      } else {
        const uint32_t Numerator = i * 255;
        uint32_t Quotient = Numerator / j;
        const uint32_t Twice = 2 * (Numerator % j);
        if (Twice > j || (Twice == j && (Quotient & 1))) ++Quotient;
        RatioTable[j][i] = static_cast<uint8_t>(Quotient);
      }
    }
  }
}

void BuildCoverageGammaTable() {
  // The exponent is the single-precision value nearest 0.7; the arithmetic is extended.
  const long double Gamma = static_cast<long double>(0.7f);
  for (int i = 0; i < 256; ++i) {
    const long double V = std::pow(static_cast<long double>(i) / 255.0L, Gamma) * 255.0L;
    CoverageGammaTable[i] = static_cast<uint8_t>(std::nearbyint(V));
  }
}

}  // namespace quillet
