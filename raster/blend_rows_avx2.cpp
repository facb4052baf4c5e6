// AVX2 row kernels of both blend variants and the shared fill: eight pixels per step, every
// channel in its own 16-bit lane. Each lane computes its formula exactly, so the rows equal the
// scalar kernels bit for bit.
//
// This file is built with AVX2 enabled. It must not call inline functions of shared headers or of
// the standard library: the linker could keep this file's AVX2 copy of such a function for every
// caller, and the program would then fault on a processor without AVX2. Its helpers are
// intrinsics and functions of an anonymous namespace (lanes_avx2.h); weights out of range go to
// the scalar kernels, which are ordinary calls.
#include <immintrin.h>

#include <cstdint>

#include "raster/detail/blend_variants.h"
#include "raster/detail/lanes_avx2.h"

namespace quillet {

namespace {

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
  ForEachPixel(NoSource(), Dst, Count, [&](__m256i, __m256i D) { return Blend(D); });
}

// The rectangle of CombineRowWith: the row's constants made once, the rows of a few ahead asked
// for while one is blended (rows of a large surface lie far apart, each starting with a miss).
template <typename Lanes>
void CombineRectWith(TColor32 X, TColor32* Dst, int32_t Width, int32_t Height, intptr_t Stride, uint32_t W,
                     TCombineColorRowProc Scalar) {
  if (W == 0 || W == 255 || W > 255) {
    for (int32_t Y = 0; Y < Height; ++Y) CombineRowWith<Lanes>(X, Dst + Y * Stride, Width, W, Scalar);
    return;
  }
  constexpr int32_t Ahead = 4, FetchPixels = 128;
  const int32_t Fetched = Width < FetchPixels ? Width : FetchPixels;
  const auto Fetch = [&](const TColor32* Row) {
    for (int32_t I = 0; I < Fetched; I += 16) _mm_prefetch(reinterpret_cast<const char*>(Row + I), _MM_HINT_ET0);
    _mm_prefetch(reinterpret_cast<const char*>(Row + Fetched - 1), _MM_HINT_ET0);
  };
  for (int32_t Y = 1; Y < Ahead && Y < Height; ++Y) Fetch(Dst + Y * Stride);
  const Lanes Blend(X, W);
  for (int32_t Y = 0; Y < Height; ++Y) {
    if (Y + Ahead < Height) Fetch(Dst + (Y + Ahead) * Stride);
    ForEachPixel(NoSource(), Dst + Y * Stride, Width, [&](__m256i, __m256i D) { return Blend(D); });
  }
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
  ForEachPixel(NoSource(), Dst, Count, [&](__m256i, __m256i D) { return Blend(D); });
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
  ForEachPixel(PixelSource{Src}, Dst, Count, PackedMaster(M));
}

void CombineColorRow(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W) {
  CombineRowWith<PackedConstant>(X, Dst, Count, W, packed::CombineColorRow);
}

void CombineColorRect(TColor32 X, TColor32* Dst, int32_t Width, int32_t Height, intptr_t Stride, uint32_t W) {
  CombineRectWith<PackedConstant>(X, Dst, Width, Height, Stride, W, packed::CombineColorRow);
}

void BlendColorIntoRow(TColor32 F, TColor32* Dst, int32_t Count) {
  CombineRowWith<PackedConstant>(F, Dst, Count, F >> 24, packed::CombineColorRow);
}

void SolidRowMaster(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M) {
  const uint32_t W = (((F >> 24) + 1) * M) >> 8;
  if (W == 255 && M <= 255) {
    const PackedOpaque Blend(F);
    ForEachPixel(NoSource(), Dst, Count, [&](__m256i, __m256i D) { return Blend(D); });
    return;
  }
  SolidRowWith<PackedConstant>(F, Dst, Count, M, W, packed::SolidRowMaster);
}

}  // namespace packed_avx2

namespace portable_avx2 {

void BlendRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  if (M > 255) {
    portable::BlendRowMaster(Src, Dst, Count, M);
    return;
  }
  ForEachPixel(PixelSource{Src}, Dst, Count, PortableMaster(M));
}

void CombineColorRow(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W) {
  CombineRowWith<PortableConstant>(X, Dst, Count, W, portable::CombineColorRow);
}

void CombineColorRect(TColor32 X, TColor32* Dst, int32_t Width, int32_t Height, intptr_t Stride, uint32_t W) {
  CombineRectWith<PortableConstant>(X, Dst, Width, Height, Stride, W, portable::CombineColorRow);
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
