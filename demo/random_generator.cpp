// Random colours: every channel is one draw in Lo..Hi.
#include "demo/random_generator.h"

namespace quillet {
namespace {

uint8_t RandomChannel(TRandomGenerator& Rng, uint8_t Lo, uint8_t Hi) {
  // The count is a 16-bit value, so Lo > Hi gives a large count rather than a negative one.
  const uint16_t Count = static_cast<uint16_t>(Hi - Lo + 1);
  return static_cast<uint8_t>(Lo + Rng.Random(Count));
}

}  // namespace

TColor32 RandomColor(TRandomGenerator& Rng, uint8_t Lo, uint8_t Hi, uint8_t A) {
  const uint8_t B = RandomChannel(Rng, Lo, Hi);
  const uint8_t G = RandomChannel(Rng, Lo, Hi);
  const uint8_t R = RandomChannel(Rng, Lo, Hi);
  return PackArgb(R, G, B, A);
}

TColor32 RandomColorAlpha(TRandomGenerator& Rng, uint8_t Lo, uint8_t Hi) {
  const uint8_t A = RandomChannel(Rng, Lo, Hi);
  const uint8_t B = RandomChannel(Rng, Lo, Hi);
  const uint8_t G = RandomChannel(Rng, Lo, Hi);
  const uint8_t R = RandomChannel(Rng, Lo, Hi);
  return PackArgb(R, G, B, A);
}

}  // namespace quillet
