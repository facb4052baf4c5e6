// SSE2 kernel of the shaded row: the four channels of a pixel in the four lanes of a register,
// four pixels a step. Each channel's bits 8..15 are its byte of the pixel; the packs that gather
// them see values of 0..255 only, so they never saturate.
//
// Built with SSE2 enabled: calls no inline functions of shared headers.
#include <emmintrin.h>

#include <cstdint>

#include "demo/detail/shaded_row.h"

namespace quillet::sse2 {

namespace {

// The caller has just stored the channels one by one, and a vector load of all four would wait
// until those stores are written through; each goes into the register on its own instead.
inline __m128i Lanes(const TColorAccumulator& A) {
  int32_t B = A.B, G = A.G, R = A.R, Alpha = A.A;
  __asm__("" : "+r"(B), "+r"(G), "+r"(R), "+r"(Alpha));
  return _mm_unpacklo_epi64(_mm_unpacklo_epi32(_mm_cvtsi32_si128(B), _mm_cvtsi32_si128(G)),
                            _mm_unpacklo_epi32(_mm_cvtsi32_si128(R), _mm_cvtsi32_si128(Alpha)));
}

inline __m128i Channels(__m128i V) { return _mm_and_si128(_mm_srli_epi32(V, 8), _mm_set1_epi32(0xFF)); }

}  // namespace

void ShadedRow(TColor32* Dst, int32_t Count, TColorAccumulator C, TColorAccumulator Step) {
  const __m128i S = Lanes(Step);
  __m128i C0 = Lanes(C);
  int32_t X = 0;
  if (Count >= 4) {
    __m128i C1 = _mm_add_epi32(C0, S), C2 = _mm_add_epi32(C1, S), C3 = _mm_add_epi32(C2, S);
    const __m128i S4 = _mm_slli_epi32(S, 2);
    for (; X + 4 <= Count; X += 4) {
      const __m128i Pixels = _mm_packus_epi16(_mm_packs_epi32(Channels(C0), Channels(C1)),
                                              _mm_packs_epi32(Channels(C2), Channels(C3)));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + X), Pixels);
      C0 = _mm_add_epi32(C0, S4);
      C1 = _mm_add_epi32(C1, S4);
      C2 = _mm_add_epi32(C2, S4);
      C3 = _mm_add_epi32(C3, S4);
    }
  }
  for (; X < Count; ++X) {
    const __m128i Words = _mm_packs_epi32(Channels(C0), Channels(C0));
    Dst[X] = static_cast<TColor32>(_mm_cvtsi128_si32(_mm_packus_epi16(Words, Words)));
    C0 = _mm_add_epi32(C0, S);
  }
}

}  // namespace quillet::sse2
