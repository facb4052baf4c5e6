// Integer and 16.16 fixed-point geometry types shared by the raster engine and the shape code.
#pragma once

#include <cstdint>
#include <vector>

namespace quillet {

// Signed 16.16 fixed point: one pixel is 0x10000.
using TFixed = int32_t;
constexpr TFixed FixedOne = 0x10000;

struct TFixedPoint {
  TFixed X = 0;
  TFixed Y = 0;
  friend constexpr bool operator==(const TFixedPoint&, const TFixedPoint&) = default;
};

struct TFixedRect {
  TFixed Left = 0;
  TFixed Top = 0;
  TFixed Right = 0;
  TFixed Bottom = 0;
  friend constexpr bool operator==(const TFixedRect&, const TFixedRect&) = default;
};

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

// Half-open integer rectangle unless a caller says otherwise.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

using TArrayOfFixedPoint = std::vector<TFixedPoint>;
using TArrayOfArrayOfFixedPoint = std::vector<TArrayOfFixedPoint>;
using TArrayOfPoint = std::vector<TPoint>;
using TArrayOfArrayOfPoint = std::vector<TArrayOfPoint>;

// Shifts go through unsigned arithmetic so that any 32-bit input wraps instead of being undefined.
constexpr TFixed IntToFixed(int32_t N) { return static_cast<TFixed>(static_cast<uint32_t>(N) << 16); }

constexpr TFixedPoint FixedPointFromPoint(TPoint P) { return {IntToFixed(P.X), IntToFixed(P.Y)}; }

// Rounding to integers is done in 64 bits: values near the ends of the 32-bit range must not wrap.
constexpr int32_t FixedToIntFloor(TFixed V) { return V >> 16; }
constexpr int32_t FixedToIntCeil(TFixed V) {
  return static_cast<int32_t>((static_cast<int64_t>(V) + 0xFFFF) >> 16);
}
// An exact half rounds down: 1.5 gives 1.
constexpr int32_t FixedToIntRound(TFixed V) {
  return static_cast<int32_t>((static_cast<int64_t>(V) + 0x7FFF) >> 16);
}

// round(X * 65536), ties to even. Values beyond the 64-bit range (and NaN) give 0; others keep
// their low 32 bits, as a 32-bit store of the rounded value does.
TFixed FloatToFixed(float X);
TFixedPoint FixedPointFromFloats(float X, float Y);

// a * b / c with a 64-bit product, rounded half away from zero; -1 when c is 0 or the quotient may
// not fit in 31 bits.
int32_t MulDiv(int32_t A, int32_t B, int32_t C);

}  // namespace quillet
