// The two-halves 128-bit integers against the compiler's own, where the target has one: every
// operation the line code uses, on random operands of every width and on the edges of the range.
// On a target without the native type the arithmetic is checked through identities instead.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "raster/detail/compiler_facts.h"
#include "raster/detail/wide_math.h"

namespace quillet {
namespace {

// Operands of 0 to 128 significant bits, both signs, plus the awkward edges.
std::vector<PortableInt128> Operands() {
  std::mt19937_64 Random(20261207);
  std::vector<PortableInt128> Values;
  for (const int64_t Edge : {int64_t{0}, int64_t{1}, int64_t{-1}, INT64_MAX, INT64_MIN, int64_t{2}, int64_t{-2}})
    Values.emplace_back(Edge);
  PortableInt128 Max;
  Max.Lo = ~uint64_t{0};
  Max.Hi = ~uint64_t{0} >> 1;
  Values.push_back(Max);
  Values.push_back(-Max);
  Values.push_back(-Max - 1);
  for (int Bits = 1; Bits <= 127; Bits += 3) {
    for (int I = 0; I < 6; ++I) {
      PortableInt128 V;
      V.Lo = Random();
      V.Hi = Random();
      V = V >> (127 - Bits);
      Values.push_back(I % 2 ? -V : V);
    }
  }
  return Values;
}

#if defined(__SIZEOF_INT128__)
__extension__ typedef __int128 NativeInt128;
__extension__ typedef unsigned __int128 NativeUInt128;

NativeInt128 Native(PortableInt128 V) {
  return static_cast<NativeInt128>((static_cast<NativeUInt128>(V.Hi) << 64) | V.Lo);
}

::testing::AssertionResult Same(PortableInt128 P, NativeInt128 N) {
  if (Native(P) == N) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "portable " << std::hex << P.Hi << ':' << P.Lo << " native "
                                       << static_cast<uint64_t>(static_cast<NativeUInt128>(N) >> 64) << ':'
                                       << static_cast<uint64_t>(N);
}

TEST(PortableInt128, ArithmeticMatchesTheNativeType) {
  const std::vector<PortableInt128> Values = Operands();
  for (const PortableInt128 A : Values) {
    const NativeInt128 NA = Native(A);
    // Negated in unsigned arithmetic: the least value wraps to itself, which the native signed
    // negation leaves undefined.
    ASSERT_TRUE(Same(-A, static_cast<NativeInt128>(-static_cast<NativeUInt128>(NA))));
    ASSERT_EQ(static_cast<int64_t>(A), static_cast<int64_t>(NA));
    ASSERT_EQ(static_cast<long double>(A), static_cast<long double>(NA));
    ASSERT_EQ(static_cast<long double>(PortableUInt128(A)), static_cast<long double>(static_cast<NativeUInt128>(NA)));
    for (int Shift : {0, 1, 31, 32, 63, 64, 65, 100, 127}) {
      ASSERT_TRUE(Same(A >> Shift, NA >> Shift)) << Shift;
      ASSERT_TRUE(Same(A << Shift, static_cast<NativeInt128>(static_cast<NativeUInt128>(NA) << Shift))) << Shift;
      const PortableUInt128 U(A);
      ASSERT_TRUE(Same(PortableInt128(U >> Shift), static_cast<NativeInt128>(static_cast<NativeUInt128>(NA) >> Shift)));
    }
    for (const PortableInt128 B : Values) {
      const NativeInt128 NB = Native(B);
      const auto Wrapped = [](NativeUInt128 V) { return static_cast<NativeInt128>(V); };
      ASSERT_TRUE(Same(A + B, Wrapped(static_cast<NativeUInt128>(NA) + static_cast<NativeUInt128>(NB))));
      ASSERT_TRUE(Same(A - B, Wrapped(static_cast<NativeUInt128>(NA) - static_cast<NativeUInt128>(NB))));
      ASSERT_TRUE(Same(A * B, Wrapped(static_cast<NativeUInt128>(NA) * static_cast<NativeUInt128>(NB))));
      ASSERT_EQ(A < B, NA < NB);
      ASSERT_EQ(A == B, NA == NB);
      ASSERT_EQ(PortableUInt128(A) < PortableUInt128(B), static_cast<NativeUInt128>(NA) < static_cast<NativeUInt128>(NB));
      const bool Overflows = NA == static_cast<NativeInt128>(static_cast<NativeUInt128>(1) << 127) && NB == -1;
      if (NB != 0 && !Overflows) {
        ASSERT_TRUE(Same(A / B, NA / NB));
        ASSERT_TRUE(Same(A % B, NA % NB));
        const NativeUInt128 UA = static_cast<NativeUInt128>(NA), UB = static_cast<NativeUInt128>(NB);
        ASSERT_TRUE(Same(PortableInt128(PortableUInt128(A) / PortableUInt128(B)), static_cast<NativeInt128>(UA / UB)));
      }
    }
  }
}
#else
TEST(PortableInt128, ArithmeticHoldsItsIdentities) {
  const std::vector<PortableInt128> Values = Operands();
  for (const PortableInt128 A : Values)
    for (const PortableInt128 B : Values) {
      ASSERT_EQ(A + B - B, A);
      if (B != 0 && !(B == -1 && A == (PortableInt128(1) << 127))) {
        ASSERT_EQ(A / B * B + A % B, A);
      }
    }
}
#endif

// The floor division of the line clipper, through whichever form the target uses.
TEST(PortableInt128, FloorDivisionRoundsDownWithARemainderBelowTheDivisor) {
  std::mt19937_64 Random(7);
  for (int I = 0; I < 20000; ++I) {
    const int64_t A = static_cast<int64_t>(Random()) >> (Random() % 40);
    const int64_t B = static_cast<int64_t>(Random()) >> (Random() % 40);
    const int64_t D = static_cast<int64_t>(Random() >> (1 + Random() % 62)) + 1;
    const Int128 N = static_cast<Int128>(A) * B;
    const TFloorDivision F = FloorDivide(N, D);
    ASSERT_GE(F.Remainder, 0);
    ASSERT_LT(F.Remainder, D);
    ASSERT_TRUE(F.Quotient * D + F.Remainder == N);
  }
}

}  // namespace
}  // namespace quillet
