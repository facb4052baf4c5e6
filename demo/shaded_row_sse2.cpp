// SSE2 kernel of the shaded row. A channel's byte is its bits 8..15, and those bits of a sum
// depend on the low 16 bits of its terms alone: so the channels step in 16-bit lanes, two pixels
// to a register, and their bytes are the lanes' high halves.
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

// The low 16 bits of each 32-bit lane of Lo, then of Hi, as eight 16-bit lanes.
inline __m128i LowWords(__m128i Lo, __m128i Hi) {
  const auto Low = [](__m128i V) { return _mm_srai_epi32(_mm_slli_epi32(V, 16), 16); };
  return _mm_packs_epi32(Low(Lo), Low(Hi));
}

// Four pixels from the channels of two pixels in each of P01 and P23.
inline __m128i Pixels(__m128i P01, __m128i P23) {
  return _mm_packus_epi16(_mm_srli_epi16(P01, 8), _mm_srli_epi16(P23, 8));
}

}  // namespace

QUILLET_CALLER_KEEPS_VECTORS void ShadedRow(TColor32* Dst, int32_t Count, TColorAccumulator C,
                                             TColorAccumulator Step) {
  const __m128i S = Lanes(Step), C0 = Lanes(C);
  __m128i P01 = LowWords(C0, _mm_add_epi32(C0, S));
  const __m128i S2 = LowWords(_mm_add_epi32(S, S), _mm_add_epi32(S, S));
  __m128i P23 = _mm_add_epi16(P01, S2);
  const __m128i S4 = _mm_add_epi16(S2, S2);
  int32_t X = 0;
  for (; X + 4 <= Count; X += 4) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + X), Pixels(P01, P23));
    P01 = _mm_add_epi16(P01, S4);
    P23 = _mm_add_epi16(P23, S4);
  }
  if (X == Count) return;
  __m128i Rest = Pixels(P01, P23);
  for (; X < Count; ++X) {
    Dst[X] = static_cast<TColor32>(_mm_cvtsi128_si32(Rest));
    Rest = _mm_srli_si128(Rest, 4);
  }
}

}  // namespace quillet::sse2
