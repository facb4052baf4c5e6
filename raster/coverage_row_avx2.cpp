// AVX2 coverage conversions: eight cells per step, the running sum as a prefix sum in the lanes,
// or every span's share of eight cells at once. Built with AVX2 enabled: like blend_rows_avx2.cpp
// it calls no inline functions of shared headers.
#include <immintrin.h>

#include "blend_variants.h"

namespace quillet::avx2 {

namespace {

inline __m256i Colors(__m256i Count, __m256i Scale32, __m256i Rgb32) {
  const __m256i Alpha = _mm256_and_si256(_mm256_mullo_epi16(Count, Scale32), _mm256_set1_epi32(0xFF00));
  return _mm256_or_si256(_mm256_slli_epi32(Alpha, 16), Rgb32);
}

// The counts of the eight pixels from P on.
inline __m256i EightCounts(const TRowSpans& Spans, int32_t P, bool Starts, bool Ends) {
  const __m256i K = _mm256_set1_epi32(Spans.Mask);
  const __m256i Zero = _mm256_setzero_si256();
  const __m256i Pixels = _mm256_add_epi32(_mm256_set1_epi32(P), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  const __m256i Base = _mm256_add_epi32(_mm256_sll_epi32(Pixels, _mm_cvtsi32_si128(Spans.Shift)), K);
  __m256i Count = Starts ? Zero : _mm256_set1_epi32(Spans.Count * Spans.Mask);
  if (Starts)
    for (int32_t I = 0; I < Spans.Count; ++I) {
      const __m256i Share = _mm256_sub_epi32(Base, _mm256_set1_epi32(Spans.Starts[I]));
      Count = _mm256_add_epi32(Count, _mm256_min_epi32(_mm256_max_epi32(Share, Zero), K));
    }
  if (Ends)
    for (int32_t I = 0; I < Spans.Count; ++I) {
      const __m256i Share = _mm256_sub_epi32(Base, _mm256_set1_epi32(Spans.Ends[I]));
      Count = _mm256_sub_epi32(Count, _mm256_min_epi32(_mm256_max_epi32(Share, Zero), K));
    }
  return Count;
}

}  // namespace

void SpanCoverage(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends, uint32_t Scale,
                  TColor32 Rgb, TColor32* Out) {
  const __m256i Scale32 = _mm256_set1_epi32(static_cast<int>(Scale));
  const __m256i Rgb32 = _mm256_set1_epi32(static_cast<int>(Rgb));
  const auto At = [&](int32_t C) { return Colors(EightCounts(Spans, From + C, Starts, Ends), Scale32, Rgb32); };
  // A cell's colour depends on its own position only, so the last vector may overlap the one
  // before it.
  if (Cells >= 8) {
    int32_t C = 0;
    for (; C + 8 <= Cells; C += 8) _mm256_storeu_si256(reinterpret_cast<__m256i*>(Out + C), At(C));
    if (C < Cells) _mm256_storeu_si256(reinterpret_cast<__m256i*>(Out + Cells - 8), At(Cells - 8));
  } else if (Cells >= 4) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out), _mm256_castsi256_si128(At(0)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + Cells - 4), _mm256_castsi256_si128(At(Cells - 4)));
  } else if (Cells > 0) {
    const __m128i V = _mm256_castsi256_si128(At(0));
    Out[0] = static_cast<TColor32>(_mm_cvtsi128_si32(V));
    if (Cells > 1) Out[1] = static_cast<TColor32>(_mm_extract_epi32(V, 1));
    if (Cells > 2) Out[2] = static_cast<TColor32>(_mm_extract_epi32(V, 2));
  }
}

uint32_t CoverageRow(int32_t* Acc, TColor32* Out, int32_t Count, uint32_t Sum, uint32_t Scale, TColor32 Rgb) {
  const __m256i Zero = _mm256_setzero_si256();
  // Only the low 16 bits of Sum * Scale reach the alpha byte, so a 16-bit multiply serves; the
  // upper half of each Scale lane is 0.
  const __m256i Scale32 = _mm256_set1_epi32(static_cast<int>(Scale));
  const __m256i AlphaBits = _mm256_set1_epi32(0xFF00);
  const __m256i Rgb32 = _mm256_set1_epi32(static_cast<int>(Rgb));
  const __m256i Last = _mm256_set1_epi32(7);
  __m256i Carry = _mm256_set1_epi32(static_cast<int>(Sum));
  int32_t C = 0;
  for (; C + 8 <= Count; C += 8) {
    __m256i* const P = reinterpret_cast<__m256i*>(Acc + C);
    __m256i V = _mm256_loadu_si256(P);
    _mm256_storeu_si256(P, Zero);
    // Prefix sums within each 128-bit half, then the low half's total carried into the high one.
    V = _mm256_add_epi32(V, _mm256_slli_si256(V, 4));
    V = _mm256_add_epi32(V, _mm256_slli_si256(V, 8));
    V = _mm256_add_epi32(V, _mm256_permute2x128_si256(_mm256_shuffle_epi32(V, 0xFF), V, 0x08));
    V = _mm256_add_epi32(V, Carry);
    Carry = _mm256_permutevar8x32_epi32(V, Last);
    const __m256i Alpha = _mm256_and_si256(_mm256_mullo_epi16(V, Scale32), AlphaBits);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(Out + C), _mm256_or_si256(_mm256_slli_epi32(Alpha, 16), Rgb32));
  }
  return scalar::CoverageRow(Acc + C, Out + C, Count - C, static_cast<uint32_t>(_mm256_cvtsi256_si32(Carry)), Scale,
                             Rgb);
}

}  // namespace quillet::avx2
