// The 32-bit ARGB colour value and its conversions.
#pragma once

#include <cstdint>
#include <vector>

#include "raster/fixed.h"

namespace quillet {

// Alpha in bits 24-31 (255 opaque), then red, green, blue. Not premultiplied.
using TColor32 = uint32_t;
using TArrayOfColor32 = std::vector<TColor32>;

constexpr TColor32 clBlack32 = 0xFF000000;
constexpr TColor32 clWhite32 = 0xFFFFFFFF;

constexpr uint32_t AlphaOf(TColor32 C) { return C >> 24; }
constexpr uint32_t RedOf(TColor32 C) { return (C >> 16) & 0xFF; }
constexpr uint32_t GreenOf(TColor32 C) { return (C >> 8) & 0xFF; }
constexpr uint32_t BlueOf(TColor32 C) { return C & 0xFF; }

// Argument order is red, green, blue, alpha.
constexpr TColor32 PackArgb(uint8_t R, uint8_t G, uint8_t B, uint8_t A) {
  return static_cast<TColor32>(A) << 24 | static_cast<TColor32>(R) << 16 |
         static_cast<TColor32>(G) << 8 | B;
}

// The text-output colour layout 0x00BBGGRR; alpha is dropped.
constexpr uint32_t ToGdiColor(TColor32 C) { return BlueOf(C) << 16 | GreenOf(C) << 8 | RedOf(C); }

// A negative value is a system colour (index in its low byte), resolved through the lookup that
// the platform installs; the result is always opaque.
using SystemColorLookup = uint32_t (*)(int32_t Index);
void SetSystemColorLookup(SystemColorLookup Lookup);
TColor32 FromGdiColor(int32_t C);

enum class RectRounding : uint8_t { Nearest = 0, Outward = 1, Inward = 2 };

constexpr TRect RectFromEdges(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) {
  return {Left, Top, Right, Bottom};
}
TRect RoundFixedRect(const TFixedRect& R, RectRounding Mode);

}  // namespace quillet
