// AVX2 form of the anti-aliased filler's edge walk where it has a closed form: eight consecutive
// steps in the lanes, each lane moving on by eight steps at a time, so that no step waits for the
// one before it. Built with AVX2 enabled: like blend_rows_avx2.cpp it calls no inline functions of
// shared headers.
#include <immintrin.h>

#include <cstdint>

#include "raster/detail/blend_variants.h"

namespace quillet {

void avx2::EdgeSteps(const TEdgeStepRun& R, int32_t* Out) {
  // The first eight steps one by one.
  alignas(32) int32_t Xs[8], Es[8];
  int32_t X = R.X, E = R.E;
  const int32_t Move = R.Sx * R.Q1;
  for (int I = 0; I < 8; ++I) {
    Xs[I] = X;
    Es[I] = E;
    E += R.R1;
    X += Move;
    if (E > R.Limit) {
      E -= R.Dy;
      X += R.Sx;
    }
  }
  // Eight steps add 8 Q1 and (8 R1) div Dy to t, and (8 R1) mod Dy to the term.
  // 8 R1 < 8 Dy: the quotient is found by halving, without a division.
  int32_t Carry = 0;
  int64_t Rest = int64_t{8} * R.R1;
  for (int32_t Part = 4; Part >= 1; Part /= 2)
    if (Rest >= int64_t{Part} * R.Dy) {
      Rest -= int64_t{Part} * R.Dy;
      Carry += Part;
    }
  const int32_t Q8 = 8 * R.Q1 + Carry;
  const __m256i R8 = _mm256_set1_epi32(static_cast<int32_t>(Rest));
  const __m256i Dy = _mm256_set1_epi32(R.Dy), Limit = _mm256_set1_epi32(R.Limit);
  const __m256i Move8 = _mm256_set1_epi32(R.Sx * Q8), Sx = _mm256_set1_epi32(R.Sx);
  const __m256i MinX = _mm256_set1_epi32(R.MinX), MaxX = _mm256_set1_epi32(R.MaxX);
  const __m256i Backwards = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
  __m256i VX = _mm256_load_si256(reinterpret_cast<const __m256i*>(Xs));
  __m256i VE = _mm256_load_si256(reinterpret_cast<const __m256i*>(Es));
  int32_t Done = 0;
  for (;; Done += 8) {
    __m256i Keys = _mm256_min_epi32(_mm256_max_epi32(VX, MinX), MaxX);
    if (R.Reverse) Keys = _mm256_permutevar8x32_epi32(Keys, Backwards);
    if (Done + 8 > R.Count) {
      // The last few lanes alone, so that nothing beyond the run is written (and no library copy
      // is called for them); backwards, the lanes that hold them are first rotated down to the
      // run's start.
      const int32_t Left = R.Count - Done;
      const __m256i Lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
      const __m256i Mask = _mm256_cmpgt_epi32(_mm256_set1_epi32(Left), Lanes);
      if (R.Reverse)
        _mm256_maskstore_epi32(Out, Mask,
                               _mm256_permutevar8x32_epi32(Keys, _mm256_add_epi32(Lanes, _mm256_set1_epi32(8 - Left))));
      else
        _mm256_maskstore_epi32(Out + Done, Mask, Keys);
      return;
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(R.Reverse ? Out + R.Count - Done - 8 : Out + Done), Keys);
    VE = _mm256_add_epi32(VE, R8);
    const __m256i Over = _mm256_cmpgt_epi32(VE, Limit);
    VE = _mm256_sub_epi32(VE, _mm256_and_si256(Over, Dy));
    VX = _mm256_add_epi32(_mm256_add_epi32(VX, Move8), _mm256_and_si256(Over, Sx));
  }
}

}  // namespace quillet
