// Colour conversions.
#include "raster/color.h"

namespace quillet {

namespace {
SystemColorLookup CurrentSystemColorLookup = nullptr;
}

void SetSystemColorLookup(SystemColorLookup Lookup) { CurrentSystemColorLookup = Lookup; }

TColor32 FromGdiColor(int32_t C) {
  uint32_t Gdi = static_cast<uint32_t>(C);
  if (C < 0) Gdi = CurrentSystemColorLookup ? CurrentSystemColorLookup(C & 0xFF) : 0;
  const uint32_t R = Gdi & 0xFF;
  const uint32_t G = (Gdi >> 8) & 0xFF;
  const uint32_t B = (Gdi >> 16) & 0xFF;
  return 0xFF000000u | R << 16 | G << 8 | B;
}

}  // namespace quillet
