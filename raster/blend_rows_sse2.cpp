// SSE2 row kernels of both blend variants: four pixels per step, every channel in its own 16-bit
// lane. Each lane computes its formula exactly, so the rows equal the scalar kernels bit for bit;
// the last Count % 4 pixels, and weights outside 0..255, go through the scalar code.
#include <emmintrin.h>

#include <cstdint>

#include "raster/detail/blend_variants.h"

namespace quillet {

namespace {

inline __m128i Load4(const TColor32* P) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(P)); }
inline void Store4(TColor32* P, __m128i V) { _mm_storeu_si128(reinterpret_cast<__m128i*>(P), V); }

// Two pixels' channels widened to 16-bit lanes.
inline __m128i Low16(__m128i V) { return _mm_unpacklo_epi8(V, _mm_setzero_si128()); }
inline __m128i High16(__m128i V) { return _mm_unpackhi_epi8(V, _mm_setzero_si128()); }

// Each pixel's alpha lane copied into all four of its lanes.
inline __m128i AlphaLanes(__m128i P16) {
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(P16, 0xFF), 0xFF);
}

// True when all four pixels have alpha 0.
inline bool AllTransparent(__m128i S) {
  const __m128i Alpha = _mm_and_si128(S, _mm_set1_epi32(static_cast<int>(0xFF000000u)));
  return _mm_movemask_epi8(_mm_cmpeq_epi32(Alpha, _mm_setzero_si128())) == 0xFFFF;
}

// Packed formula, ((F - B) * w + B * 256 + 128) >> 8. The exact value lies in 0..65408, so the
// 16-bit wrap-around of the multiply and adds never shows.
inline __m128i PackedLanes(__m128i F16, __m128i B16, __m128i W16) {
  const __m128i Product = _mm_mullo_epi16(_mm_sub_epi16(F16, B16), W16);
  const __m128i Sum = _mm_add_epi16(_mm_add_epi16(Product, _mm_slli_epi16(B16, 8)), _mm_set1_epi16(128));
  return _mm_srli_epi16(Sum, 8);
}

// Portable formula, ((F * w + 128) >> 8) + ((B * (255 - w) + 128) >> 8); each product plus 128
// stays below 65536 and the sum below 256.
inline __m128i PortableLanes(__m128i F16, __m128i B16, __m128i W16) {
  const __m128i Bias = _mm_set1_epi16(128);
  const __m128i IW16 = _mm_sub_epi16(_mm_set1_epi16(255), W16);
  const __m128i FTerm = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(F16, W16), Bias), 8);
  const __m128i BTerm = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(B16, IW16), Bias), 8);
  return _mm_add_epi16(FTerm, BTerm);
}

// With a constant foreground and weight the foreground term is computed once per row.
// Packed: (B * (256 - w) + (F * w + 128)) >> 8.
struct PackedConstant {
  __m128i FTerm, IW;
  PackedConstant(TColor32 F, uint32_t W)
      : FTerm(_mm_add_epi16(_mm_mullo_epi16(Low16(_mm_set1_epi32(static_cast<int>(F))),
                                            _mm_set1_epi16(static_cast<short>(W))),
                            _mm_set1_epi16(128))),
        IW(_mm_set1_epi16(static_cast<short>(256 - W))) {}
  __m128i operator()(__m128i B16) const {
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(B16, IW), FTerm), 8);
  }
};

// Portable: ((F * w + 128) >> 8) + ((B * (255 - w) + 128) >> 8).
struct PortableConstant {
  __m128i FTerm, IW;
  PortableConstant(TColor32 F, uint32_t W)
      : FTerm(_mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(Low16(_mm_set1_epi32(static_cast<int>(F))),
                                                           _mm_set1_epi16(static_cast<short>(W))),
                                           _mm_set1_epi16(128)),
                             8)),
        IW(_mm_set1_epi16(static_cast<short>(255 - W))) {}
  __m128i operator()(__m128i B16) const {
    const __m128i BTerm = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(B16, IW), _mm_set1_epi16(128)), 8);
    return _mm_add_epi16(FTerm, BTerm);
  }
};

// Blends a constant colour into Count pixels, four at a time; returns how many were done. Eight
// per iteration: a four-pixel body is about 15 instructions in 60 bytes, and its speed swung by
// 40% with where the linker happened to place it against the 64-byte fetch windows.
template <typename Lanes>
int32_t ConstantRow(const Lanes& Blend, TColor32* Dst, int32_t Count) {
  int32_t i = 0;
  for (; i + 8 <= Count; i += 8) {
    const __m128i D0 = Load4(Dst + i);
    const __m128i D1 = Load4(Dst + i + 4);
    Store4(Dst + i, _mm_packus_epi16(Blend(Low16(D0)), Blend(High16(D0))));
    Store4(Dst + i + 4, _mm_packus_epi16(Blend(Low16(D1)), Blend(High16(D1))));
  }
  for (; i + 4 <= Count; i += 4) {
    const __m128i D = Load4(Dst + i);
    Store4(Dst + i, _mm_packus_epi16(Blend(Low16(D)), Blend(High16(D))));
  }
  return i;
}

// The constant-colour rows of a variant: weights 0 and 255 and the last Count % 4 pixels go to
// the variant's scalar kernels, everything else through its lanes.
template <typename Lanes>
void CombineRowWith(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W, TCombineColorRowProc Scalar) {
  if (W == 0) return;
  if (W >= 255) {
    Scalar(X, Dst, Count, W);
    return;
  }
  const int32_t Done = ConstantRow(Lanes(X, W), Dst, Count);
  Scalar(X, Dst + Done, Count - Done, W);
}

template <typename Lanes>
void BlendRowWith(TColor32 F, TColor32* Dst, int32_t Count, TCombineColorRowProc Scalar) {
  const uint32_t A = AlphaOf(F);
  if (A == 0) return;
  if (A == 255) {
    sse2::FillPixels(Dst, Count, F);
    return;
  }
  CombineRowWith<Lanes>(F, Dst, Count, A, Scalar);
}

// The master blend of one colour over a row: its weight W is fixed, and unlike the combine rows
// W = 255 still blends.
template <typename Lanes>
void SolidRowWith(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M, uint32_t W, TSolidRowMasterProc Scalar) {
  if (M > 255) {
    Scalar(F, Dst, Count, M);
    return;
  }
  if (AlphaOf(F) == 0 || W == 0) return;
  const int32_t Done = ConstantRow(Lanes(F, W), Dst, Count);
  Scalar(F, Dst + Done, Count - Done, M);
}

}  // namespace

namespace packed_sse2 {

void BlendRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  int32_t i = 0;
  if (M <= 255) {
    // w = ((Src.A + 1) * M) >> 8 fits a 16-bit lane; w = 0 (also for Src.A = 0) leaves the
    // pixel as it is, exactly as the skip does.
    const __m128i M16 = _mm_set1_epi16(static_cast<short>(M));
    const __m128i One = _mm_set1_epi16(1);
    for (; i + 4 <= Count; i += 4) {
      const __m128i S = Load4(Src + i);
      if (AllTransparent(S)) continue;
      const __m128i D = Load4(Dst + i);
      const __m128i SLo = Low16(S), SHi = High16(S);
      const __m128i WLo = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(AlphaLanes(SLo), One), M16), 8);
      const __m128i WHi = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(AlphaLanes(SHi), One), M16), 8);
      Store4(Dst + i, _mm_packus_epi16(PackedLanes(SLo, Low16(D), WLo), PackedLanes(SHi, High16(D), WHi)));
    }
  }
  packed::BlendRowMaster(Src + i, Dst + i, Count - i, M);
}

void CombineColorRow(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W) {
  CombineRowWith<PackedConstant>(X, Dst, Count, W, packed::CombineColorRow);
}

void BlendColorIntoRow(TColor32 F, TColor32* Dst, int32_t Count) {
  BlendRowWith<PackedConstant>(F, Dst, Count, packed::CombineColorRow);
}

void SolidRowMaster(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M) {
  SolidRowWith<PackedConstant>(F, Dst, Count, M, ((AlphaOf(F) + 1) * M) >> 8, packed::SolidRowMaster);
}

}  // namespace packed_sse2

namespace sse2 {

void FillPixels(TColor32* Dst, int32_t Count, TColor32 Value) {
  int32_t i = 0;
  while (i < Count && (reinterpret_cast<uintptr_t>(Dst + i) & 15) != 0) Dst[i++] = Value;
  const __m128i V = _mm_set1_epi32(static_cast<int>(Value));
  for (; i + 16 <= Count; i += 16) {
    __m128i* P = reinterpret_cast<__m128i*>(Dst + i);
    _mm_store_si128(P, V);
    _mm_store_si128(P + 1, V);
    _mm_store_si128(P + 2, V);
    _mm_store_si128(P + 3, V);
  }
  for (; i + 4 <= Count; i += 4) _mm_store_si128(reinterpret_cast<__m128i*>(Dst + i), V);
  for (; i < Count; ++i) Dst[i] = Value;
}

}  // namespace sse2

namespace portable_sse2 {

void BlendRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  int32_t i = 0;
  if (M <= 255) {
    // w = ((M + 1) * Src.A) >> 8; unlike the packed formula, weight 0 is not the identity here,
    // so those pixels are masked back to their old value.
    const __m128i M1 = _mm_set1_epi16(static_cast<short>(M + 1));
    const __m128i Zero = _mm_setzero_si128();
    for (; i + 4 <= Count; i += 4) {
      const __m128i S = Load4(Src + i);
      if (AllTransparent(S)) continue;
      const __m128i D = Load4(Dst + i);
      const __m128i SLo = Low16(S), SHi = High16(S), DLo = Low16(D), DHi = High16(D);
      const __m128i WLo = _mm_srli_epi16(_mm_mullo_epi16(AlphaLanes(SLo), M1), 8);
      const __m128i WHi = _mm_srli_epi16(_mm_mullo_epi16(AlphaLanes(SHi), M1), 8);
      const __m128i KeepLo = _mm_cmpeq_epi16(WLo, Zero), KeepHi = _mm_cmpeq_epi16(WHi, Zero);
      const __m128i Lo = _mm_or_si128(_mm_and_si128(KeepLo, DLo), _mm_andnot_si128(KeepLo, PortableLanes(SLo, DLo, WLo)));
      const __m128i Hi = _mm_or_si128(_mm_and_si128(KeepHi, DHi), _mm_andnot_si128(KeepHi, PortableLanes(SHi, DHi, WHi)));
      Store4(Dst + i, _mm_packus_epi16(Lo, Hi));
    }
  }
  portable::BlendRowMaster(Src + i, Dst + i, Count - i, M);
}

void CombineColorRow(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W) {
  CombineRowWith<PortableConstant>(X, Dst, Count, W, portable::CombineColorRow);
}

void BlendColorIntoRow(TColor32 F, TColor32* Dst, int32_t Count) {
  BlendRowWith<PortableConstant>(F, Dst, Count, portable::CombineColorRow);
}

void SolidRowMaster(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M) {
  const uint32_t W = ((M + 1) * AlphaOf(F)) >> 8;
  // At weight 255 the portable formula no longer looks at the background: one colour for all.
  if (W == 255 && M <= 255) {
    TColor32 Blended = 0;
    portable::SolidRowMaster(F, &Blended, 1, M);
    sse2::FillPixels(Dst, Count, Blended);
    return;
  }
  SolidRowWith<PortableConstant>(F, Dst, Count, M, W, portable::SolidRowMaster);
}

}  // namespace portable_sse2

}  // namespace quillet
