// The demo's one pseudo-random generator and the random colours drawn from it. It is never seeded
// from the clock, so a run repeats exactly for the same settings and window size.
#pragma once

#include <cstdint>

#include "raster/color.h"

namespace quillet {

struct TRandomGenerator {
  uint32_t RandSeed = 0;

  // Advances the seed, then scales it into 0..N-1 (0 for N = 0). N is taken as unsigned.
  uint32_t Random(uint32_t N) {
    RandSeed = RandSeed * 134775813u + 1u;
    return static_cast<uint32_t>((static_cast<uint64_t>(RandSeed) * N) >> 32);
  }
};

// Three draws: blue, green, red, each Lo + Random(Hi - Lo + 1).
TColor32 RandomColor(TRandomGenerator& Rng, uint8_t Lo, uint8_t Hi, uint8_t A);
// Four draws: alpha, blue, green, red.
TColor32 RandomColorAlpha(TRandomGenerator& Rng, uint8_t Lo, uint8_t Hi);

}  // namespace quillet
