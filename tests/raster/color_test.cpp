// Colour conversions, fixed-point conversions and rounding, and the rounding multiply-divide.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>

#include "raster/color.h"
#include "raster/detail/mul_div.h"
#include "raster/fixed.h"

namespace quillet {
namespace {

TEST(Color, PackAndGdiConversions) {
  EXPECT_EQ(PackArgb(255, 0, 0, 128), 0x80FF0000u);
  EXPECT_EQ(PackArgb(0x12, 0x34, 0x56, 0x78), 0x78123456u);
  EXPECT_EQ(ToGdiColor(0x80FF0000), 0x000000FFu);
  EXPECT_EQ(ToGdiColor(0xFF123456), 0x00563412u);
  EXPECT_EQ(FromGdiColor(0x0000FFFF), 0xFFFFFF00u);
  // The top byte of a GDI colour is not alpha; the result is always opaque.
  EXPECT_EQ(FromGdiColor(0x00563412), 0xFF123456u);
  for (uint32_t C : {0u, 0x00123456u, 0x00FFFFFFu}) EXPECT_EQ(ToGdiColor(FromGdiColor(static_cast<int32_t>(C))), C);
}

TEST(Color, SystemColoursResolveThroughTheLookupByTheirLowByte) {
  static int32_t Asked = -1;
  SetSystemColorLookup([](int32_t Index) -> uint32_t {
    Asked = Index;
    return 0x00332211;
  });
  EXPECT_EQ(FromGdiColor(static_cast<int32_t>(0x8000000F)), 0xFF112233u);
  EXPECT_EQ(Asked, 0x0F);
  SetSystemColorLookup(nullptr);
  EXPECT_EQ(FromGdiColor(-1), 0xFF000000u);
}

TEST(Fixed, FloatToFixedRoundsHalvesToEven) {
  EXPECT_EQ(FloatToFixed(0.5f), 32768);
  EXPECT_EQ(FloatToFixed(-1.5f), -98304);
  EXPECT_EQ(IntToFixed(-3), -196608);
  // x * 65536 exactly half-way between two integers.
  EXPECT_EQ(FloatToFixed(0.5f / 65536), 0);
  EXPECT_EQ(FloatToFixed(1.5f / 65536), 2);
  EXPECT_EQ(FloatToFixed(-2.5f / 65536), -2);
  EXPECT_EQ(FixedPointFromFloats(1.25f, -0.75f), (TFixedPoint{81920, -49152}));
  EXPECT_EQ(FixedPointFromPoint({2, -1}), (TFixedPoint{0x20000, -0x10000}));
}

TEST(Fixed, FloatToFixedOutOfRangeNeverTraps) {
  // Beyond 32 bits the low 32 bits are kept; beyond 64 bits (and NaN) the result is 0.
  EXPECT_EQ(FloatToFixed(32768.0f), static_cast<TFixed>(0x80000000u));
  EXPECT_EQ(FloatToFixed(65536.0f), 0);
  EXPECT_EQ(FloatToFixed(1e30f), 0);
  EXPECT_EQ(FloatToFixed(-1e30f), 0);
  EXPECT_EQ(FloatToFixed(std::numeric_limits<float>::infinity()), 0);
  EXPECT_EQ(FloatToFixed(std::nanf("")), 0);
  // The edges of the 64-bit range: -2^63 itself counts as outside.
  EXPECT_EQ(FloatToFixed(0x1p47f), 0);
  EXPECT_EQ(FloatToFixed(-0x1p47f), 0);
  EXPECT_EQ(FloatToFixed(0x1.000002p31f), 0x01000000);  // (2^31 + 2^8) * 2^16
  EXPECT_EQ(FloatToFixed(-32768.5f), static_cast<TFixed>(0x7FFF8000u));
  EXPECT_EQ(FloatToFixed(1e-40f), 0);
}

TEST(Fixed, RoundFixedRectModes) {
  const auto Near = [](TFixed V) { return RoundFixedRect({V, V, V, V}, RectRounding::Nearest).Left; };
  EXPECT_EQ(Near(0x00008000), 0);  // an exact half rounds down
  EXPECT_EQ(Near(0x00018000), 1);
  EXPECT_EQ(Near(0x00008001), 1);
  EXPECT_EQ(Near(-0x00008000), -1);
  EXPECT_EQ(Near(-0x00007FFF), 0);

  const TFixedRect R{0x00010001, -0x0000FFFF, 0x00020001, 0x00030000};
  EXPECT_EQ(RoundFixedRect(R, RectRounding::Outward), (TRect{1, -1, 3, 3}));
  EXPECT_EQ(RoundFixedRect(R, RectRounding::Inward), (TRect{2, 0, 2, 3}));

  // Narrower than a pixel: Inward collapses to zero size, never a negative one.
  EXPECT_EQ(RoundFixedRect({0x18000, 0x18000, 0x1C000, 0x1C000}, RectRounding::Inward), (TRect{2, 2, 2, 2}));

  // Edges at the ends of the range do not wrap around.
  const TFixed Max = std::numeric_limits<TFixed>::max(), Min = std::numeric_limits<TFixed>::min();
  EXPECT_EQ(RoundFixedRect({Min, Min, Max, Max}, RectRounding::Outward), (TRect{-32768, -32768, 32768, 32768}));
  EXPECT_EQ(RoundFixedRect({Max, Max, Max, Max}, RectRounding::Nearest), (TRect{32768, 32768, 32768, 32768}));
}

TEST(Fixed, MulDivRoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(10, 10, 3), 33);
  EXPECT_EQ(MulDiv(5, 1, 2), 3);
  EXPECT_EQ(MulDiv(-5, 1, 2), -3);
  EXPECT_EQ(MulDiv(5, -1, -2), 3);
  EXPECT_EQ(MulDiv(7, 1, -2), -4);
  EXPECT_EQ(MulDiv(1, 1, 3), 0);
  EXPECT_EQ(MulDiv(0x10000, 0x10000, 0x10000), 0x10000);
  // The 64-bit product is not cut to 32 bits.
  EXPECT_EQ(MulDiv(1 << 20, 1 << 20, 1 << 12), 1 << 28);
}

// Powers of two take a shift, other divisors a 64-by-32-bit division on 32-bit x86: the same
// results as the plain 64-bit division, overflows included.
TEST(Fixed, MulDivShortcutsEqualTheDivision) {
  std::mt19937 Rng(5);
  const auto Divided = [](int32_t A, int32_t B, int32_t C) {
    const uint64_t P = static_cast<uint64_t>(std::llabs(A)) * static_cast<uint64_t>(std::llabs(B));
    const uint64_t D = static_cast<uint64_t>(std::llabs(C));
    if (2 * (P >> 32) >= D) return int64_t{-1};
    const uint64_t Q = P / D + (D - P % D <= P % D ? 1 : 0);
    if (Q > 0x7FFFFFFF) return int64_t{-1};
    return ((A < 0) + (B < 0) + (C < 0)) % 2 == 1 ? -static_cast<int64_t>(Q) : static_cast<int64_t>(Q);
  };
  for (int I = 0; I < 200000; ++I) {
    const int Shift = static_cast<int>(Rng() % 32);
    const uint32_t Magnitude = I % 2 ? 1u << Shift : std::max(1u, static_cast<uint32_t>(Rng()) >> Shift);
    const int32_t C = static_cast<int32_t>((Rng() % 2 ? 1u : ~0u) * Magnitude);
    const int32_t A = static_cast<int32_t>(Rng() >> (Rng() % 32)) * (Rng() % 2 ? 1 : -1);
    const int32_t B = static_cast<int32_t>(Rng() >> (Rng() % 32));
    ASSERT_EQ(MulDiv(A, B, C), Divided(A, B, C)) << A << " * " << B << " / " << C;
    // The outline code's constant scale, folded into a shift where the divisor is known.
    ASSERT_EQ(MulDivRounded(A, B, 65536), Divided(A, B, 65536)) << A << " * " << B;
  }
}

TEST(Fixed, MulDivRefusesZeroDivisorAndOverflow) {
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(0, 0, 0), -1);
  EXPECT_EQ(MulDiv(1 << 30, 4, 1), -1);
  EXPECT_EQ(MulDiv((1 << 30) - 1, 2, 1), 0x7FFFFFFE);
  const int32_t Min = std::numeric_limits<int32_t>::min();
  EXPECT_EQ(MulDiv(Min, Min, 1), -1);
  EXPECT_EQ(MulDiv(Min, 1, Min), 1);
  // Quotients between 2^31 and 2^32 pass the upper-half test but must not wrap to negative.
  EXPECT_EQ(MulDiv(0x7FFFFFFF, 3, 2), -1);
  EXPECT_EQ(MulDiv(0x40000000, 2, 1), -1);
  EXPECT_EQ(MulDiv(0x7FFFFFFF, 1, 1), 0x7FFFFFFF);
}

}  // namespace
}  // namespace quillet
