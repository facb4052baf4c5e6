// The opaque Gouraud span's row: pixel K of Count gets the colour of C + K * Step, every sum
// wrapping in 32 bits, stored as it is. A plain loop, and an SSE2 one that makes four pixels at a
// time with the channels in 16-bit lanes.
#pragma once

#include <cstdint>

#include "demo/raster_gouraud.h"
#include "raster/blend.h"
#include "raster/detail/compiler_facts.h"

namespace quillet {

// The System V convention on 64-bit Windows too: the colours in registers, not copies in memory.
using TShadedRowProc = void(QUILLET_CALLER_KEEPS_VECTORS*)(TColor32* Dst, int32_t Count, TColorAccumulator C,
                                                           TColorAccumulator Step);

inline void ShadedRowPortable(TColor32* Dst, int32_t Count, TColorAccumulator C, TColorAccumulator Step) {
  for (int32_t X = 0; X < Count; ++X) {
    Dst[X] = AccumulatorToColor(C);
    AddAccumulator(C, Step);
  }
}
namespace sse2 {
QUILLET_CALLER_KEEPS_VECTORS void ShadedRow(TColor32* Dst, int32_t Count, TColorAccumulator C,
                                             TColorAccumulator Step);
}

// The kernel for this build and the engine's active SIMD level; null for the plain loop. On x86
// the SSE2 loop beats the compiler's vectorised plain loop inline, call and all; 32-bit code
// takes it where the processor has SSE2.
inline TShadedRowProc ShadedRowKernel() {
#if QUILLET_X86
  return ActiveSimdLevel() != SimdLevel::Scalar ? sse2::ShadedRow : nullptr;
#else
  return nullptr;
#endif
}

}  // namespace quillet
