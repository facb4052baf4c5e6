// Conversions into 16.16 fixed point, and the rounding multiply-divide of the outline code.
#include "raster/fixed.h"

#include <cmath>

#include "raster/detail/compiler_facts.h"
#include "raster/detail/mul_div.h"

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

int32_t MulDiv(int32_t A, int32_t B, int32_t C) { return MulDivRounded(A, B, C); }

}  // namespace quillet
