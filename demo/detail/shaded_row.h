// The opaque Gouraud span's row: pixel K of Count gets the colour of C + K * Step, every sum
// wrapping in 32 bits, stored as it is. A plain loop, and an SSE2 one that makes four pixels at a
// time (32-bit x86 code has neither the registers nor SSE2 to make the plain loop fast).
#pragma once

#include <cstdint>

#include "demo/raster_gouraud.h"
#include "raster/blend.h"

namespace quillet {

using TShadedRowProc = void (*)(TColor32* Dst, int32_t Count, TColorAccumulator C, TColorAccumulator Step);

inline void ShadedRowPortable(TColor32* Dst, int32_t Count, TColorAccumulator C, TColorAccumulator Step) {
  for (int32_t X = 0; X < Count; ++X) {
    Dst[X] = AccumulatorToColor(C);
    AddAccumulator(C, Step);
  }
}
namespace sse2 {
void ShadedRow(TColor32* Dst, int32_t Count, TColorAccumulator C, TColorAccumulator Step);
}

// The kernel for this build and the engine's active SIMD level; null where the plain loop does
// better: 64-bit x86 code always has SSE2 and the compiler vectorises the loop inline, where a
// call would pass the colours through memory. 32-bit code takes the kernel where the processor
// has SSE2.
inline TShadedRowProc ShadedRowKernel() {
#if defined(__i386__)
  return ActiveSimdLevel() != SimdLevel::Scalar ? sse2::ShadedRow : nullptr;
#else
  return nullptr;
#endif
}

}  // namespace quillet
