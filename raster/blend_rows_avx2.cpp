// AVX2 row kernels of both blend variants and the shared fill: eight pixels per step, every
// channel in its own 16-bit lane. Each lane computes its formula exactly, so the rows equal the
// scalar kernels bit for bit.
//
// Row ends use no masked loads or stores: a masked load of pixels that a recent store touched
// waits for that store, and rows here are short and often meet. The last eight (or four) pixels
// are loaded before anything is stored and blended again from those values, and one to three
// pixels go through single-pixel loads.
//
// This file alone is built with AVX2 enabled. It must not call inline functions of shared headers
// or of the standard library: the linker could keep this file's AVX2 copy of such a function for
// every caller, and the program would then fault on a processor without AVX2. Its helpers are
// intrinsics and functions of its own anonymous namespace; weights out of range go to the scalar
// kernels, which are ordinary calls.
#include <immintrin.h>

#include <cstdint>

#include "blend_variants.h"

namespace quillet {

namespace {

inline __m256i Load8(const TColor32* P) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(P)); }
inline void Store8(TColor32* P, __m256i V) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(P), V); }

inline __m256i Load4(const TColor32* P) {
  return _mm256_zextsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(P)));
}
inline void Store4(TColor32* P, __m256i V) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(P), _mm256_castsi256_si128(V));
}
// One to three pixels in the lowest lanes.
inline __m256i LoadFew(const TColor32* P, int32_t N) {
  __m128i V = _mm_cvtsi32_si128(static_cast<int>(P[0]));
  if (N > 1) V = _mm_insert_epi32(V, static_cast<int>(P[1]), 1);
  if (N > 2) V = _mm_insert_epi32(V, static_cast<int>(P[2]), 2);
  return _mm256_zextsi128_si256(V);
}
inline void StoreFew(TColor32* P, __m256i V, int32_t N) {
  const __m128i Low = _mm256_castsi256_si128(V);
  P[0] = static_cast<TColor32>(_mm_cvtsi128_si32(Low));
  if (N > 1) P[1] = static_cast<TColor32>(_mm_extract_epi32(Low, 1));
  if (N > 2) P[2] = static_cast<TColor32>(_mm_extract_epi32(Low, 2));
}

// Runs Body(S, D) -> new D over Count pixels of Dst (and Src, when ReadsSrc). Each pixel's result
// depends on its own values only, so pixels blended twice where the last vector overlaps the one
// before get the same result both times: the last vector's values are loaded before any store.
template <bool ReadsSrc, typename TBody>
inline void ForEachPixel(const TColor32* Src, TColor32* Dst, int32_t Count, TBody Body) {
  const __m256i None = _mm256_setzero_si256();
  if (Count >= 8) {
    const int32_t LastAt = Count - 8;
    const __m256i LastS = ReadsSrc ? Load8(Src + LastAt) : None;
    const __m256i LastD = Load8(Dst + LastAt);
    for (int32_t i = 0; i < LastAt; i += 8) Store8(Dst + i, Body(ReadsSrc ? Load8(Src + i) : None, Load8(Dst + i)));
    Store8(Dst + LastAt, Body(LastS, LastD));
  } else if (Count >= 4) {
    const int32_t LastAt = Count - 4;
    const __m256i LastS = ReadsSrc ? Load4(Src + LastAt) : None;
    const __m256i LastD = Load4(Dst + LastAt);
    Store4(Dst, Body(ReadsSrc ? Load4(Src) : None, Load4(Dst)));
    Store4(Dst + LastAt, Body(LastS, LastD));
  } else if (Count > 0) {
    StoreFew(Dst, Body(ReadsSrc ? LoadFew(Src, Count) : None, LoadFew(Dst, Count)), Count);
  }
}

// Four pixels' channels of each 128-bit half widened to 16-bit lanes; packing them back keeps
// the order, as both work within the halves.
inline __m256i Low16(__m256i V) { return _mm256_unpacklo_epi8(V, _mm256_setzero_si256()); }
inline __m256i High16(__m256i V) { return _mm256_unpackhi_epi8(V, _mm256_setzero_si256()); }
inline __m256i Pack(__m256i Lo, __m256i Hi) { return _mm256_packus_epi16(Lo, Hi); }

// Each pixel's alpha lane copied into all four of its lanes.
inline __m256i AlphaLanes(__m256i P16) {
  return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(P16, 0xFF), 0xFF);
}

// Packed formula, ((F - B) * w + B * 256 + 128) >> 8; the exact value lies in 0..65408, so the
// 16-bit wrap-around never shows.
inline __m256i PackedLanes(__m256i F16, __m256i B16, __m256i W16) {
  const __m256i Product = _mm256_mullo_epi16(_mm256_sub_epi16(F16, B16), W16);
  const __m256i Sum = _mm256_add_epi16(_mm256_add_epi16(Product, _mm256_slli_epi16(B16, 8)), _mm256_set1_epi16(128));
  return _mm256_srli_epi16(Sum, 8);
}

// Portable formula, ((F * w + 128) >> 8) + ((B * (255 - w) + 128) >> 8).
inline __m256i PortableLanes(__m256i F16, __m256i B16, __m256i W16) {
  const __m256i Bias = _mm256_set1_epi16(128);
  const __m256i IW16 = _mm256_sub_epi16(_mm256_set1_epi16(255), W16);
  const __m256i FTerm = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(F16, W16), Bias), 8);
  const __m256i BTerm = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(B16, IW16), Bias), 8);
  return _mm256_add_epi16(FTerm, BTerm);
}

// A constant foreground and weight: the foreground term is computed once per row.
struct PackedConstant {
  __m256i FTerm, IW;
  PackedConstant(TColor32 F, uint32_t W)
      : FTerm(_mm256_add_epi16(_mm256_mullo_epi16(Low16(_mm256_set1_epi32(static_cast<int>(F))),
                                                  _mm256_set1_epi16(static_cast<short>(W))),
                               _mm256_set1_epi16(128))),
        IW(_mm256_set1_epi16(static_cast<short>(256 - W))) {}
  __m256i Lanes(__m256i B16) const { return _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(B16, IW), FTerm), 8); }
  __m256i operator()(__m256i D) const { return Pack(Lanes(Low16(D)), Lanes(High16(D))); }
};

struct PortableConstant {
  __m256i FTerm, IW;
  PortableConstant(TColor32 F, uint32_t W)
      : FTerm(_mm256_srli_epi16(
            _mm256_add_epi16(_mm256_mullo_epi16(Low16(_mm256_set1_epi32(static_cast<int>(F))),
                                                _mm256_set1_epi16(static_cast<short>(W))),
                             _mm256_set1_epi16(128)),
            8)),
        IW(_mm256_set1_epi16(static_cast<short>(255 - W))) {}
  __m256i Lanes(__m256i B16) const {
    const __m256i BTerm = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(B16, IW), _mm256_set1_epi16(128)), 8);
    return _mm256_add_epi16(FTerm, BTerm);
  }
  __m256i operator()(__m256i D) const { return Pack(Lanes(Low16(D)), Lanes(High16(D))); }
};

void Fill(TColor32* Dst, int32_t Count, TColor32 Value) {
  const __m256i V = _mm256_set1_epi32(static_cast<int>(Value));
  if (Count < 8) {
    if (Count >= 4) {
      Store4(Dst, V);
      Store4(Dst + Count - 4, V);
    } else {
      for (int32_t i = 0; i < Count; ++i) Dst[i] = Value;
    }
    return;
  }
  // One unaligned store for the head, aligned stores from the next 32-byte boundary, and one
  // unaligned store ending at the last pixel; the overlaps write the same value again.
  Store8(Dst, V);
  TColor32* P = reinterpret_cast<TColor32*>((reinterpret_cast<uintptr_t>(Dst) + 32) & ~uintptr_t{31});
  TColor32* const End = Dst + Count;
  for (; P + 32 <= End; P += 32) {
    __m256i* Q = reinterpret_cast<__m256i*>(P);
    _mm256_store_si256(Q, V);
    _mm256_store_si256(Q + 1, V);
    _mm256_store_si256(Q + 2, V);
    _mm256_store_si256(Q + 3, V);
  }
  for (; P + 8 <= End; P += 8) _mm256_store_si256(reinterpret_cast<__m256i*>(P), V);
  Store8(End - 8, V);
}

template <typename Lanes>
void CombineRowWith(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W, TCombineColorRowProc Scalar) {
  if (W == 0) return;
  if (W == 255) {
    Fill(Dst, Count, X);
    return;
  }
  if (W > 255) {
    Scalar(X, Dst, Count, W);
    return;
  }
  const Lanes Blend(X, W);
  ForEachPixel<false>(nullptr, Dst, Count, [&](__m256i, __m256i D) { return Blend(D); });
}

// The master blend of one colour over a row: its weight W is fixed, and unlike the combine rows
// W = 255 still blends.
template <typename Lanes>
void SolidRowWith(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M, uint32_t W, TSolidRowMasterProc Scalar) {
  if (M > 255) {
    Scalar(F, Dst, Count, M);
    return;
  }
  if ((F >> 24) == 0 || W == 0) return;
  const Lanes Blend(F, W);
  ForEachPixel<false>(nullptr, Dst, Count, [&](__m256i, __m256i D) { return Blend(D); });
}

// The master row blend: Weights(S16) gives each pixel's weight in its lanes; Blend(F16, B16, W16)
// the new lanes.
template <typename TWeights, typename TBlend>
void RowMasterWith(const TColor32* Src, TColor32* Dst, int32_t Count, TWeights Weights, TBlend Blend) {
  ForEachPixel<true>(Src, Dst, Count, [&](__m256i S, __m256i D) {
    const __m256i SLo = Low16(S), SHi = High16(S);
    return Pack(Blend(SLo, Low16(D), Weights(SLo)), Blend(SHi, High16(D), Weights(SHi)));
  });
}

}  // namespace

namespace avx2 {

void FillPixels(TColor32* Dst, int32_t Count, TColor32 Value) { Fill(Dst, Count, Value); }

}  // namespace avx2

namespace packed_avx2 {

void BlendRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  if (M > 255) {
    packed::BlendRowMaster(Src, Dst, Count, M);
    return;
  }
  // w = ((Src.A + 1) * M) >> 8 fits a 16-bit lane; w = 0 (also for Src.A = 0) leaves the pixel as
  // it is, exactly as the skip does.
  const __m256i M16 = _mm256_set1_epi16(static_cast<short>(M));
  const __m256i One = _mm256_set1_epi16(1);
  RowMasterWith(
      Src, Dst, Count,
      [&](__m256i S16) { return _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_add_epi16(AlphaLanes(S16), One), M16), 8); },
      [](__m256i F16, __m256i B16, __m256i W16) { return PackedLanes(F16, B16, W16); });
}

void CombineColorRow(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W) {
  CombineRowWith<PackedConstant>(X, Dst, Count, W, packed::CombineColorRow);
}

void BlendColorIntoRow(TColor32 F, TColor32* Dst, int32_t Count) {
  CombineRowWith<PackedConstant>(F, Dst, Count, F >> 24, packed::CombineColorRow);
}

void SolidRowMaster(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M) {
  SolidRowWith<PackedConstant>(F, Dst, Count, M, (((F >> 24) + 1) * M) >> 8, packed::SolidRowMaster);
}

}  // namespace packed_avx2

namespace portable_avx2 {

void BlendRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  if (M > 255) {
    portable::BlendRowMaster(Src, Dst, Count, M);
    return;
  }
  // w = ((M + 1) * Src.A) >> 8; unlike the packed formula, weight 0 is not the identity here, so
  // those pixels are masked back to their old value.
  const __m256i M1 = _mm256_set1_epi16(static_cast<short>(M + 1));
  const __m256i Zero = _mm256_setzero_si256();
  RowMasterWith(
      Src, Dst, Count, [&](__m256i S16) { return _mm256_srli_epi16(_mm256_mullo_epi16(AlphaLanes(S16), M1), 8); },
      [&](__m256i F16, __m256i B16, __m256i W16) {
        return _mm256_blendv_epi8(PortableLanes(F16, B16, W16), B16, _mm256_cmpeq_epi16(W16, Zero));
      });
}

void CombineColorRow(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W) {
  CombineRowWith<PortableConstant>(X, Dst, Count, W, portable::CombineColorRow);
}

void BlendColorIntoRow(TColor32 F, TColor32* Dst, int32_t Count) {
  CombineRowWith<PortableConstant>(F, Dst, Count, F >> 24, portable::CombineColorRow);
}

void SolidRowMaster(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M) {
  const uint32_t W = ((M + 1) * (F >> 24)) >> 8;
  // At weight 255 the portable formula no longer looks at the background: one colour for all.
  if (W == 255 && M <= 255) {
    const PortableConstant Blend(F, 255);
    Fill(Dst, Count, static_cast<TColor32>(_mm256_cvtsi256_si32(Blend(_mm256_setzero_si256()))));
    return;
  }
  SolidRowWith<PortableConstant>(F, Dst, Count, M, W, portable::SolidRowMaster);
}

}  // namespace portable_avx2

}  // namespace quillet
