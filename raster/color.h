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
// Inline: a rectangle returned from a call goes through memory under the 64-bit Windows
// convention, and each filled shape reports one.
constexpr TRect RoundFixedRect(const TFixedRect& R, RectRounding Mode) {
  // 64-bit sums: an edge near the top of the range must not wrap to the other end.
  const auto Down = [](TFixed V) { return static_cast<int32_t>(V >> 16); };
  const auto Up = [](TFixed V) { return static_cast<int32_t>((static_cast<int64_t>(V) + 0xFFFF) >> 16); };
  const auto Near = [](TFixed V) { return static_cast<int32_t>((static_cast<int64_t>(V) + 0x7FFF) >> 16); };
  switch (Mode) {
    case RectRounding::Nearest:
      return {Near(R.Left), Near(R.Top), Near(R.Right), Near(R.Bottom)};
    case RectRounding::Outward:
      return {Down(R.Left), Down(R.Top), Up(R.Right), Up(R.Bottom)};
    case RectRounding::Inward: {
      TRect Result{Up(R.Left), Up(R.Top), Down(R.Right), Down(R.Bottom)};
      if (Result.Right < Result.Left) Result.Right = Result.Left;
      if (Result.Bottom < Result.Top) Result.Bottom = Result.Top;
      return Result;
    }
  }
  return {};
}

}  // namespace quillet
