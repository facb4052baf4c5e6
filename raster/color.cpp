// Colour conversions and the rounding of fixed-point rectangles.
#include "raster/color.h"

#include <algorithm>

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

TRect RoundFixedRect(const TFixedRect& R, RectRounding Mode) {
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
      Result.Right = std::max(Result.Right, Result.Left);
      Result.Bottom = std::max(Result.Bottom, Result.Top);
      return Result;
    }
  }
  return {};
}

}  // namespace quillet
