// AVX2 coverage conversions: the running sum of coverage differences as a prefix sum in the
// lanes, eight cells per step; and the blend of a cluster's cells straight from its spans, every
// span's share of eight cells at once. Built with AVX2 enabled: like blend_rows_avx2.cpp it calls
// no inline functions of shared headers.
#include <immintrin.h>

#include "raster/detail/blend_variants.h"
#include "raster/detail/lanes_avx2.h"

namespace quillet {

namespace avx2 {

uint32_t CoverageRow(int32_t* Acc, TColor32* Out, int32_t Count, uint32_t Sum, uint32_t Scale, TColor32 Rgb) {
  const __m256i Zero = _mm256_setzero_si256();
  // Only the low 16 bits of Sum * Scale reach the alpha byte, so a 16-bit multiply serves; the
  // upper half of each Scale lane is 0.
  const __m256i Scale32 = _mm256_set1_epi32(static_cast<int>(Scale));
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
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(Out + C), CountColors(V, Scale32, Rgb32));
  }
  return scalar::CoverageRow(Acc + C, Out + C, Count - C, static_cast<uint32_t>(_mm256_cvtsi256_si32(Carry)), Scale,
                             Rgb);
}

}  // namespace avx2

namespace {

// A master alpha out of range goes to the variant's scalar kernel.
template <typename TMaster>
void SpanBlendWith(TSpanBlendProc Scalar, const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends,
                   uint32_t Scale, TColor32 Rgb, TColor32* Dst, uint32_t M) {
  if (M > 255)
    Scalar(Spans, From, Cells, Starts, Ends, Scale, Rgb, Dst, M);
  else
    ForEachPixel(SpanSource(Spans, From, Starts, Ends, Scale, Rgb), Dst, Cells, TMaster(M));
}

}  // namespace

void packed_avx2::SpanBlend(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends,
                            uint32_t Scale, TColor32 Rgb, TColor32* Dst, uint32_t M) {
  SpanBlendWith<PackedMaster>(packed::SpanBlend, Spans, From, Cells, Starts, Ends, Scale, Rgb, Dst, M);
}

void portable_avx2::SpanBlend(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends,
                              uint32_t Scale, TColor32 Rgb, TColor32* Dst, uint32_t M) {
  SpanBlendWith<PortableMaster>(portable::SpanBlend, Spans, From, Cells, Starts, Ends, Scale, Rgb, Dst, M);
}

}  // namespace quillet
