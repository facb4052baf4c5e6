// The read-only tables of the blend and coverage code, computed by the compiler so that nothing
// has to build them at start-up.
#include "raster/blend.h"

namespace quillet {

namespace {

constexpr TBlendTables MakeBlendTables() {
  TBlendTables T{};
  for (uint32_t j = 0; j < 256; ++j) {
    for (uint32_t i = 0; i < 256; ++i) {
      // i * j / 255 never ends in an exact half, so rounding up from .5 equals ties to even.
      T.Product[j][i] = static_cast<uint8_t>((i * j + 127) / 255);
      if (j == 0) {
        T.Ratio[j][i] = 0;
      } else {
        const uint32_t Numerator = i * 255;
        uint32_t Quotient = Numerator / j;
        const uint32_t Twice = 2 * (Numerator % j);
        if (Twice > j || (Twice == j && (Quotient & 1))) ++Quotient;
        T.Ratio[j][i] = static_cast<uint8_t>(Quotient);
      }
    }
  }
  // round(255 * (i / 255)^e) with e the single-precision value nearest 0.7, evaluated in extended
  // precision; the blend tests recompute every entry.
  constexpr uint8_t Gamma[256] = {
      0,   5,   9,   11,  14,  16,  18,  21,  23,  25,  26,  28,  30,  32,  33,  35,
      37,  38,  40,  41,  43,  44,  46,  47,  49,  50,  52,  53,  54,  56,  57,  58,
      60,  61,  62,  64,  65,  66,  67,  69,  70,  71,  72,  73,  75,  76,  77,  78,
      79,  80,  82,  83,  84,  85,  86,  87,  88,  89,  90,  92,  93,  94,  95,  96,
      97,  98,  99,  100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112,
      113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126, 127, 128,
      129, 130, 131, 131, 132, 133, 134, 135, 136, 137, 138, 139, 140, 141, 142, 142,
      143, 144, 145, 146, 147, 148, 149, 150, 150, 151, 152, 153, 154, 155, 156, 157,
      157, 158, 159, 160, 161, 162, 163, 163, 164, 165, 166, 167, 168, 168, 169, 170,
      171, 172, 173, 173, 174, 175, 176, 177, 178, 178, 179, 180, 181, 182, 182, 183,
      184, 185, 186, 186, 187, 188, 189, 190, 190, 191, 192, 193, 194, 194, 195, 196,
      197, 197, 198, 199, 200, 201, 201, 202, 203, 204, 204, 205, 206, 207, 208, 208,
      209, 210, 211, 211, 212, 213, 214, 214, 215, 216, 217, 217, 218, 219, 220, 220,
      221, 222, 223, 223, 224, 225, 226, 226, 227, 228, 228, 229, 230, 231, 231, 232,
      233, 234, 234, 235, 236, 237, 237, 238, 239, 239, 240, 241, 242, 242, 243, 244,
      244, 245, 246, 247, 247, 248, 249, 249, 250, 251, 251, 252, 253, 254, 254, 255,
  };
  for (int i = 0; i < 256; ++i) T.CoverageGamma[i] = Gamma[i];
  return T;
}

}  // namespace

constexpr TBlendTables BlendTables = MakeBlendTables();

}  // namespace quillet
