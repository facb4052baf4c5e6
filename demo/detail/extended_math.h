// Extended-precision helpers of the shape code: the processor's sine and cosine, rounding to a
// 32-bit integer, and 32-bit integer arithmetic that wraps instead of overflowing.
#pragma once

#include <cmath>
#include <cstdint>

#include "raster/detail/compiler_facts.h"

namespace quillet {

constexpr long double Pi80 = 3.14159265358979323846264338327950288L;
constexpr long double TwoPi80 = 2.0L * Pi80;
constexpr long double PiOver180 = Pi80 / 180.0L;

// The processor's own sine and cosine: the pixels depend on their extended results.
inline long double ExtSin(long double X) { return X87Sine(X); }
inline long double ExtCos(long double X) { return X87Cosine(X); }

// Nearest integer, ties to even, kept to its low 32 bits like a 64-bit store; values beyond the
// 64-bit range and NaN give 0. rint rounds as nearbyint does and is inlined (see FloatToFixed).
inline int32_t RoundToInt32(long double V) {
  const long double R = std::rint(V);
  if (!(R > -9223372036854775808.0L && R < 9223372036854775808.0L)) return 0;
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(R))));
}

constexpr int32_t WrapAdd(int32_t A, int32_t B) {
  return static_cast<int32_t>(static_cast<uint32_t>(A) + static_cast<uint32_t>(B));
}
constexpr int32_t WrapSub(int32_t A, int32_t B) {
  return static_cast<int32_t>(static_cast<uint32_t>(A) - static_cast<uint32_t>(B));
}
constexpr int32_t WrapMul(int32_t A, int32_t B) {
  return static_cast<int32_t>(static_cast<uint32_t>(A) * static_cast<uint32_t>(B));
}
constexpr int32_t WrapShl(int32_t A, unsigned N) {
  return static_cast<int32_t>(static_cast<uint32_t>(A) << N);
}
// Truncating division; the one quotient that does not fit (minimum / -1) wraps to the minimum.
constexpr int32_t WrapDiv(int32_t A, int32_t B) {
  return B == -1 ? WrapSub(0, A) : A / B;
}

}  // namespace quillet
