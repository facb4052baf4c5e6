// SSE2 coverage conversion: four cells per step, the running sum as a prefix sum in the lanes.
#include <emmintrin.h>

#include "blend_variants.h"

namespace quillet::sse2 {

uint32_t CoverageRow(int32_t* Acc, TColor32* Out, int32_t Count, uint32_t Sum, uint32_t Scale, TColor32 Rgb) {
  const __m128i Zero = _mm_setzero_si128();
  // Only the low 16 bits of Sum * Scale reach the alpha byte, so a 16-bit multiply serves; the
  // upper half of each Scale lane is 0.
  const __m128i Scale32 = _mm_set1_epi32(static_cast<int>(Scale));
  const __m128i AlphaBits = _mm_set1_epi32(0xFF00);
  const __m128i Rgb32 = _mm_set1_epi32(static_cast<int>(Rgb));
  __m128i Carry = _mm_set1_epi32(static_cast<int>(Sum));
  int32_t C = 0;
  for (; C + 4 <= Count; C += 4) {
    __m128i* const P = reinterpret_cast<__m128i*>(Acc + C);
    __m128i V = _mm_loadu_si128(P);
    _mm_storeu_si128(P, Zero);
    V = _mm_add_epi32(V, _mm_slli_si128(V, 4));
    V = _mm_add_epi32(V, _mm_slli_si128(V, 8));
    V = _mm_add_epi32(V, Carry);
    Carry = _mm_shuffle_epi32(V, 0xFF);
    const __m128i Alpha = _mm_and_si128(_mm_mullo_epi16(V, Scale32), AlphaBits);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + C), _mm_or_si128(_mm_slli_epi32(Alpha, 16), Rgb32));
  }
  return scalar::CoverageRow(Acc + C, Out + C, Count - C, static_cast<uint32_t>(_mm_cvtsi128_si32(Carry)), Scale, Rgb);
}

}  // namespace quillet::sse2
