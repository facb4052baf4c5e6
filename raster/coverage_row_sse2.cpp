// SSE2 coverage conversions: the running sum of coverage differences as a prefix sum in the
// lanes, four cells per step; and the colours of a cluster's cells from its spans, every span's
// share of four cells at once, blended by the SSE2 rows.
#include <emmintrin.h>

#include "raster/detail/blend_variants.h"

namespace quillet::sse2 {

namespace {

inline __m128i Colors4(__m128i Count, __m128i Scale32, __m128i Rgb32) {
  const __m128i Alpha = _mm_and_si128(_mm_mullo_epi16(Count, Scale32), _mm_set1_epi32(0xFF00));
  return _mm_or_si128(_mm_slli_epi32(Alpha, 16), Rgb32);
}

// clamp(V, 0, K) without the four-lane minimum and maximum, which SSE2 lacks.
inline __m128i Clamped(__m128i V, __m128i K) {
  V = _mm_andnot_si128(_mm_srai_epi32(V, 31), V);
  const __m128i Over = _mm_sub_epi32(V, K);
  return _mm_add_epi32(K, _mm_and_si128(Over, _mm_srai_epi32(Over, 31)));
}

// The counts of the four pixels from P on.
inline __m128i FourCounts(const TRowSpans& Spans, int32_t P, bool Starts, bool Ends) {
  const __m128i K = _mm_set1_epi32(Spans.Mask);
  const __m128i Pixels = _mm_add_epi32(_mm_set1_epi32(P), _mm_setr_epi32(0, 1, 2, 3));
  const __m128i Base = _mm_add_epi32(_mm_sll_epi32(Pixels, _mm_cvtsi32_si128(Spans.Shift)), K);
  __m128i Count = Starts ? _mm_setzero_si128() : _mm_set1_epi32(Spans.Count * Spans.Mask);
  if (Starts)
    for (int32_t I = 0; I < Spans.Count; ++I)
      Count = _mm_add_epi32(Count, Clamped(_mm_sub_epi32(Base, _mm_set1_epi32(Spans.Starts[I])), K));
  if (Ends)
    for (int32_t I = 0; I < Spans.Count; ++I)
      Count = _mm_sub_epi32(Count, Clamped(_mm_sub_epi32(Base, _mm_set1_epi32(Spans.Ends[I])), K));
  return Count;
}

// The colours of a cluster in pieces, each blended with the variant's SSE2 row.
template <typename TRowMaster>
void SpanBlendWith(TRowMaster RowMaster, const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends,
                   uint32_t Scale, TColor32 Rgb, TColor32* Dst, uint32_t M) {
  const __m128i Scale32 = _mm_set1_epi32(static_cast<int>(Scale));
  const __m128i Rgb32 = _mm_set1_epi32(static_cast<int>(Rgb));
  constexpr int32_t Piece = 32;
  alignas(16) TColor32 Colors[Piece];
  for (int32_t C = 0; C < Cells; C += Piece) {
    const int32_t N = Cells - C < Piece ? Cells - C : Piece;
    // Whole vectors of colours; the cells past the cluster are computed and not blended.
    for (int32_t I = 0; I < N; I += 4)
      _mm_store_si128(reinterpret_cast<__m128i*>(Colors + I),
                      Colors4(FourCounts(Spans, From + C + I, Starts, Ends), Scale32, Rgb32));
    RowMaster(Colors, Dst + C, N, M);
  }
}

}  // namespace

uint32_t CoverageRow(int32_t* Acc, TColor32* Out, int32_t Count, uint32_t Sum, uint32_t Scale, TColor32 Rgb) {
  const __m128i Zero = _mm_setzero_si128();
  // Only the low 16 bits of Sum * Scale reach the alpha byte, so a 16-bit multiply serves; the
  // upper half of each Scale lane is 0.
  const __m128i Scale32 = _mm_set1_epi32(static_cast<int>(Scale));
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
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + C), Colors4(V, Scale32, Rgb32));
  }
  return scalar::CoverageRow(Acc + C, Out + C, Count - C, static_cast<uint32_t>(_mm_cvtsi128_si32(Carry)), Scale, Rgb);
}

}  // namespace quillet::sse2

namespace quillet {

void portable_sse2::SpanBlend(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends,
                              uint32_t Scale, TColor32 Rgb, TColor32* Dst, uint32_t M) {
  sse2::SpanBlendWith(portable_sse2::BlendRowMaster, Spans, From, Cells, Starts, Ends, Scale, Rgb, Dst, M);
}

void packed_sse2::SpanBlend(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends,
                            uint32_t Scale, TColor32 Rgb, TColor32* Dst, uint32_t M) {
  sse2::SpanBlendWith(packed_sse2::BlendRowMaster, Spans, From, Cells, Starts, Ends, Scale, Rgb, Dst, M);
}

}  // namespace quillet
