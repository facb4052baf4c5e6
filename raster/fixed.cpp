// Conversions into 16.16 fixed point, and the rounding multiply-divide of the outline code.
#include "raster/fixed.h"

#include <bit>
#include <cmath>
#include <cstdlib>

#include "raster/detail/compiler_facts.h"

#if defined(__x86_64__) && defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillet {

TFixed FloatToFixed(float X) {
#if defined(__x86_64__) && defined(__SSE2__)
  // X * 65536 is exact in single precision (a power-of-two scale; an overflow gives an infinity,
  // which is out of range either way). The SSE conversion rounds to nearest, ties to even, and
  // gives the "indefinite" integer beyond 64 bits and for NaN, as the x87 store below does, but
  // without the control-word switch and store round trip that the extended path costs.
  return static_cast<TFixed>(static_cast<uint32_t>(_mm_cvtss_si64(_mm_set_ss(X * 65536.0f))));
#else
  // rint, not nearbyint: the same value (only the unread inexact flag differs), one instruction
  // instead of a library call that saves and restores the floating-point environment.
  const long double R = std::rint(static_cast<long double>(X) * 65536.0L);
#if QUILLET_X86
  return static_cast<TFixed>(static_cast<uint32_t>(static_cast<uint64_t>(X87StoreInt64(R))));
#else
  // A 64-bit integer store of an out-of-range or NaN value yields the "indefinite" integer, whose
  // low 32 bits are 0.
  if (!(R > -9223372036854775808.0L && R < 9223372036854775808.0L)) return 0;
  return static_cast<TFixed>(static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(R))));
#endif
#endif
}

TFixedPoint FixedPointFromFloats(float X, float Y) { return {FloatToFixed(X), FloatToFixed(Y)}; }

int32_t MulDiv(int32_t A, int32_t B, int32_t C) {
  if (C == 0) return -1;
  const uint64_t Product = static_cast<uint64_t>(std::llabs(A)) * static_cast<uint64_t>(std::llabs(B));
  const uint64_t Divisor = static_cast<uint64_t>(std::llabs(C));
  // The quotient may not fit in 31 bits.
  if (2 * (Product >> 32) >= Divisor) return -1;
  // The outline code divides by 65536 for every offset: a power of two takes a shift and a mask,
  // not a 64-bit division.
  const bool PowerOfTwo = (Divisor & (Divisor - 1)) == 0;
  uint64_t Quotient, Remainder;
  if (PowerOfTwo) {
    Quotient = Product >> std::countr_zero(Divisor);
    Remainder = Product & (Divisor - 1);
  } else {
    // The check above leaves Product >> 32 below the divisor, which is below 2^32.
    uint32_t Rest;
    Quotient = DivideNarrowQuotient(Product, static_cast<uint32_t>(Divisor), Rest);
    Remainder = Rest;
  }
  if (Divisor - Remainder <= Remainder) ++Quotient;
  // The check above lets quotients up to 2^32 through for small divisors; they would wrap.
  if (Quotient > 0x7FFFFFFF) return -1;
  const bool Negative = ((A < 0) + (B < 0) + (C < 0)) % 2 == 1;
  const int64_t Q = static_cast<int64_t>(Quotient);
  return static_cast<int32_t>(Negative ? -Q : Q);
}

}  // namespace quillet
