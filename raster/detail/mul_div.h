// The outline code's rounding multiply-divide, inline so that a constant divisor (the 16.16 scale
// of every offset) folds into a shift. MulDiv in fixed.h is the same function.
#pragma once

#include <bit>
#include <cstdint>

#include "raster/detail/compiler_facts.h"

namespace quillet {

inline uint32_t Magnitude(int32_t V) { return V < 0 ? 0u - static_cast<uint32_t>(V) : static_cast<uint32_t>(V); }

// a * b / c with a 64-bit product, rounded half away from zero; -1 when c is 0 or the quotient may
// not fit in 31 bits. Magnitudes in 32 bits: one multiply and one narrow division on 32-bit x86.
inline int32_t MulDivRounded(int32_t A, int32_t B, int32_t C) {
  if (C == 0) return -1;
  const uint32_t Divisor = Magnitude(C);
  const uint64_t Product = static_cast<uint64_t>(Magnitude(A)) * Magnitude(B);
  // The upper half is below 2^30, so twice it fits.
  if (2 * static_cast<uint32_t>(Product >> 32) >= Divisor) return -1;
  uint32_t Quotient, Remainder;
  if ((Divisor & (Divisor - 1)) == 0) {
    const int Shift = std::countr_zero(Divisor);
    Quotient = static_cast<uint32_t>(Product >> Shift);  // below 2^31 after the check above
    Remainder = static_cast<uint32_t>(Product) & (Divisor - 1);
  } else {
    Quotient = DivideNarrowQuotient(Product, Divisor, Remainder);
  }
  // Cannot wrap: a quotient of 2^32 - 1 needs a divisor of 1, which leaves no remainder.
  if (Divisor - Remainder <= Remainder) ++Quotient;
  // The check above lets quotients up to 2^32 through for small divisors.
  if (Quotient > 0x7FFFFFFF) return -1;
  const bool Negative = (A < 0) ^ (B < 0) ^ (C < 0);
  return static_cast<int32_t>(Negative ? 0u - Quotient : Quotient);
}

}  // namespace quillet
