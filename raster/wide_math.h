// Integer helpers for the line set-up code, whose products of 33-bit differences can need more
// than 64 bits.
#pragma once

#include <cstdint>

namespace quillet {

__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 UInt128;

// ceil(A / B) for A >= 0 and B > 0.
constexpr int64_t CeilDivPositive(int64_t A, int64_t B) { return A / B + (A % B > 0 ? 1 : 0); }

}  // namespace quillet
