// One set of lane operations over 128-bit (SSE2) and 256-bit (AVX2) vectors of pixels, so that a
// kernel body written once against it (row_kernels.h) serves both instruction sets. Each
// operation is the one intrinsic, or the shortest sequence, of its width; a 256-bit vector works as
// two 128-bit halves wherever the instruction set does (unpacking, packing, shuffling), and the
// kernels rely on no more than that.
//
// Included only by kernel files built with the matching flags (TLanes256 exists only where AVX2 is
// enabled), and kept in an anonymous namespace, so that no other part of the program can end up
// with a copy built for a wider instruction set.
#pragma once

#include <emmintrin.h>
#if defined(__AVX2__)
#include <immintrin.h>
#endif

#include <cstdint>

#include "raster/color.h"

namespace quillet {
namespace {

struct TLanes128 {
  using V = __m128i;
  static constexpr int32_t Pixels = 4;

  static V Zero() { return _mm_setzero_si128(); }
  static V Set32(uint32_t X) { return _mm_set1_epi32(static_cast<int>(X)); }
  static V Set16(uint32_t X) { return _mm_set1_epi16(static_cast<short>(X)); }
  // 0, 1, 2, ... in the 32-bit lanes.
  static V Index32() { return _mm_setr_epi32(0, 1, 2, 3); }

  static V Load(const void* P) { return _mm_loadu_si128(static_cast<const __m128i*>(P)); }
  static void Store(void* P, V X) { _mm_storeu_si128(static_cast<__m128i*>(P), X); }
  static void StoreAligned(void* P, V X) { _mm_store_si128(static_cast<__m128i*>(P), X); }
  // One to three pixels in the lowest lanes, the others 0; and back.
  static V LoadFew(const TColor32* P, int32_t N) {
    const V A = _mm_cvtsi32_si128(static_cast<int>(P[0]));
    if (N == 1) return A;
    const V AB = _mm_unpacklo_epi32(A, _mm_cvtsi32_si128(static_cast<int>(P[1])));
    if (N == 2) return AB;
    return _mm_unpacklo_epi64(AB, _mm_cvtsi32_si128(static_cast<int>(P[2])));
  }
  static void StoreFew(TColor32* P, V X, int32_t N) {
    P[0] = static_cast<TColor32>(_mm_cvtsi128_si32(X));
    if (N > 1) P[1] = static_cast<TColor32>(_mm_cvtsi128_si32(_mm_shuffle_epi32(X, 0x55)));
    if (N > 2) P[2] = static_cast<TColor32>(_mm_cvtsi128_si32(_mm_shuffle_epi32(X, 0xAA)));
  }
  static uint32_t First32(V X) { return static_cast<uint32_t>(_mm_cvtsi128_si32(X)); }

  static V And(V A, V B) { return _mm_and_si128(A, B); }
  static V Or(V A, V B) { return _mm_or_si128(A, B); }
  // Where Mask is all ones, B; elsewhere A.
  static V Select(V Mask, V A, V B) { return _mm_or_si128(_mm_and_si128(Mask, B), _mm_andnot_si128(Mask, A)); }

  static V Add8(V A, V B) { return _mm_add_epi8(A, B); }
  static V Sub8(V A, V B) { return _mm_sub_epi8(A, B); }
  static V MaxU8(V A, V B) { return _mm_max_epu8(A, B); }
  static V Equal8(V A, V B) { return _mm_cmpeq_epi8(A, B); }

  static V Add16(V A, V B) { return _mm_add_epi16(A, B); }
  static V Sub16(V A, V B) { return _mm_sub_epi16(A, B); }
  static V MulLow16(V A, V B) { return _mm_mullo_epi16(A, B); }
  template <int N>
  static V ShiftLeft16(V A) { return _mm_slli_epi16(A, N); }
  template <int N>
  static V ShiftRight16(V A) { return _mm_srli_epi16(A, N); }
  static V Equal16(V A, V B) { return _mm_cmpeq_epi16(A, B); }

  static V Add32(V A, V B) { return _mm_add_epi32(A, B); }
  static V Sub32(V A, V B) { return _mm_sub_epi32(A, B); }
  template <int N>
  static V ShiftLeft32(V A) { return _mm_slli_epi32(A, N); }
  static V ShiftLeft32(V A, int32_t N) { return _mm_sll_epi32(A, _mm_cvtsi32_si128(N)); }
  // clamp(A, 0, K) for K >= 0, without the 32-bit minimum and maximum that SSE2 lacks.
  static V Clamp32(V A, V K) {
    A = _mm_andnot_si128(_mm_srai_epi32(A, 31), A);
    const V Over = _mm_sub_epi32(A, K);
    return _mm_add_epi32(K, _mm_and_si128(Over, _mm_srai_epi32(Over, 31)));
  }
  // Running sums over the lanes (lane i holds lanes 0..i), and the last lane in every lane.
  static V PrefixSum32(V A) {
    A = _mm_add_epi32(A, _mm_slli_si128(A, 4));
    return _mm_add_epi32(A, _mm_slli_si128(A, 8));
  }
  static V Last32(V A) { return _mm_shuffle_epi32(A, 0xFF); }

  // Channels of the low and high pixels of each 128-bit half widened to 16-bit lanes; Pack narrows
  // them back, saturating, in the same order.
  static V Low16(V A) { return _mm_unpacklo_epi8(A, _mm_setzero_si128()); }
  static V High16(V A) { return _mm_unpackhi_epi8(A, _mm_setzero_si128()); }
  static V Pack(V Lo, V Hi) { return _mm_packus_epi16(Lo, Hi); }
  // Each pixel's alpha lane copied into all four of its lanes.
  static V AlphaLanes(V P16) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(P16, 0xFF), 0xFF); }
};

#if defined(__AVX2__)
struct TLanes256 {
  using V = __m256i;
  static constexpr int32_t Pixels = 8;

  static V Zero() { return _mm256_setzero_si256(); }
  static V Set32(uint32_t X) { return _mm256_set1_epi32(static_cast<int>(X)); }
  static V Set16(uint32_t X) { return _mm256_set1_epi16(static_cast<short>(X)); }
  static V Index32() { return _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7); }

  static V Load(const void* P) { return _mm256_loadu_si256(static_cast<const __m256i*>(P)); }
  static void Store(void* P, V X) { _mm256_storeu_si256(static_cast<__m256i*>(P), X); }
  static void StoreAligned(void* P, V X) { _mm256_store_si256(static_cast<__m256i*>(P), X); }
  // Four pixels in the low half, the high half 0; and back.
  static V LoadHalf(const TColor32* P) {
    return _mm256_zextsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(P)));
  }
  static void StoreHalf(TColor32* P, V X) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(P), _mm256_castsi256_si128(X));
  }
  static V LoadFew(const TColor32* P, int32_t N) {
    __m128i X = _mm_cvtsi32_si128(static_cast<int>(P[0]));
    if (N > 1) X = _mm_insert_epi32(X, static_cast<int>(P[1]), 1);
    if (N > 2) X = _mm_insert_epi32(X, static_cast<int>(P[2]), 2);
    return _mm256_zextsi128_si256(X);
  }
  static void StoreFew(TColor32* P, V X, int32_t N) {
    const __m128i Low = _mm256_castsi256_si128(X);
    P[0] = static_cast<TColor32>(_mm_cvtsi128_si32(Low));
    if (N > 1) P[1] = static_cast<TColor32>(_mm_extract_epi32(Low, 1));
    if (N > 2) P[2] = static_cast<TColor32>(_mm_extract_epi32(Low, 2));
  }
  static uint32_t First32(V X) { return static_cast<uint32_t>(_mm256_cvtsi256_si32(X)); }

  static V And(V A, V B) { return _mm256_and_si256(A, B); }
  static V Or(V A, V B) { return _mm256_or_si256(A, B); }
  static V Select(V Mask, V A, V B) { return _mm256_blendv_epi8(A, B, Mask); }

  static V Add8(V A, V B) { return _mm256_add_epi8(A, B); }
  static V Sub8(V A, V B) { return _mm256_sub_epi8(A, B); }
  static V MaxU8(V A, V B) { return _mm256_max_epu8(A, B); }
  static V Equal8(V A, V B) { return _mm256_cmpeq_epi8(A, B); }

  static V Add16(V A, V B) { return _mm256_add_epi16(A, B); }
  static V Sub16(V A, V B) { return _mm256_sub_epi16(A, B); }
  static V MulLow16(V A, V B) { return _mm256_mullo_epi16(A, B); }
  template <int N>
  static V ShiftLeft16(V A) { return _mm256_slli_epi16(A, N); }
  template <int N>
  static V ShiftRight16(V A) { return _mm256_srli_epi16(A, N); }
  static V Equal16(V A, V B) { return _mm256_cmpeq_epi16(A, B); }

  static V Add32(V A, V B) { return _mm256_add_epi32(A, B); }
  static V Sub32(V A, V B) { return _mm256_sub_epi32(A, B); }
  template <int N>
  static V ShiftLeft32(V A) { return _mm256_slli_epi32(A, N); }
  static V ShiftLeft32(V A, int32_t N) { return _mm256_sll_epi32(A, _mm_cvtsi32_si128(N)); }
  static V Clamp32(V A, V K) { return _mm256_min_epi32(_mm256_max_epi32(A, _mm256_setzero_si256()), K); }
  // Running sums within each 128-bit half, then the low half's total carried into the high one.
  static V PrefixSum32(V A) {
    A = _mm256_add_epi32(A, _mm256_slli_si256(A, 4));
    A = _mm256_add_epi32(A, _mm256_slli_si256(A, 8));
    return _mm256_add_epi32(A, _mm256_permute2x128_si256(_mm256_shuffle_epi32(A, 0xFF), A, 0x08));
  }
  static V Last32(V A) { return _mm256_permutevar8x32_epi32(A, _mm256_set1_epi32(7)); }

  static V Low16(V A) { return _mm256_unpacklo_epi8(A, _mm256_setzero_si256()); }
  static V High16(V A) { return _mm256_unpackhi_epi8(A, _mm256_setzero_si256()); }
  static V Pack(V Lo, V Hi) { return _mm256_packus_epi16(Lo, Hi); }
  static V AlphaLanes(V P16) { return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(P16, 0xFF), 0xFF); }
};
#endif

}  // namespace
}  // namespace quillet
