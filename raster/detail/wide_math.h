// Integer helpers for the line set-up code, whose products of 33-bit differences can need more
// than 64 bits.
#pragma once

#include <cstdint>
#include <limits>

#include "raster/detail/compiler_facts.h"

namespace quillet {

// N / D rounded towards minus infinity, with the remainder in [0, D).
struct TFloorDivision {
  Int128 Quotient;
  int64_t Remainder;
};

// For D > 0 and any N. A numerator that fits in 64 bits is divided in 64 bits: the 128-bit
// division is a library call
// (and a long division where the target has no native 128-bit type).
inline TFloorDivision FloorDivide(Int128 N, int64_t D) {
  Int128 Q;
  int64_t R;
  if (N >= std::numeric_limits<int64_t>::min() && N <= std::numeric_limits<int64_t>::max()) {
    const int64_t N64 = static_cast<int64_t>(N);
    Q = N64 / D;
    R = N64 % D;
  } else {
    Q = N / D;
    R = static_cast<int64_t>(N % D);
  }
  if (R < 0) {
    --Q;
    R += D;
  }
  return {Q, R};
}

}  // namespace quillet
