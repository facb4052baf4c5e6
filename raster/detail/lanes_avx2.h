// Lane helpers of the AVX2 kernel files: loads and stores without masks, channels widened to
// 16-bit lanes, the two blend formulas, and the coverage of a row's spans. Included only by files
// built with AVX2 enabled, and kept in an anonymous namespace there, so that no other part of the
// program can end up with a copy built for AVX2.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "raster/blend.h"

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

// Where the source pixels of a row come from: Eight(I), Four(I) and Few(I, N) give pixels I on
// in the low lanes of a vector.
struct NoSource {
  __m256i Eight(int32_t) const { return _mm256_setzero_si256(); }
  __m256i Four(int32_t) const { return _mm256_setzero_si256(); }
  __m256i Few(int32_t, int32_t) const { return _mm256_setzero_si256(); }
};
struct PixelSource {
  const TColor32* P;
  __m256i Eight(int32_t I) const { return Load8(P + I); }
  __m256i Four(int32_t I) const { return Load4(P + I); }
  __m256i Few(int32_t I, int32_t N) const { return LoadFew(P + I, N); }
};

// Runs Body(S, D) -> new D over Count pixels of Dst, S from Source. Row ends use no masked loads
// or stores: a masked load of pixels that a recent store touched waits for that store, and rows
// here are short and often meet. Each pixel's result depends on its own values only, so the last
// eight (or four) pixels are loaded before any store and blended again from those values where
// they overlap the vector before; one to three pixels go through single-pixel loads.
template <typename TSource, typename TBody>
inline void ForEachPixel(const TSource& Source, TColor32* Dst, int32_t Count, TBody Body) {
  if (Count >= 8) {
    const int32_t LastAt = Count - 8;
    const __m256i LastS = Source.Eight(LastAt);
    const __m256i LastD = Load8(Dst + LastAt);
    for (int32_t i = 0; i < LastAt; i += 8) Store8(Dst + i, Body(Source.Eight(i), Load8(Dst + i)));
    Store8(Dst + LastAt, Body(LastS, LastD));
  } else if (Count >= 4) {
    const int32_t LastAt = Count - 4;
    const __m256i LastS = Source.Four(LastAt);
    const __m256i LastD = Load4(Dst + LastAt);
    Store4(Dst, Body(Source.Four(0), Load4(Dst)));
    Store4(Dst + LastAt, Body(LastS, LastD));
  } else if (Count > 0) {
    StoreFew(Dst, Body(Source.Few(0, Count), LoadFew(Dst, Count)), Count);
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

// The master row blend of the packed variant: w = ((S.A + 1) * M) >> 8 fits a 16-bit lane; w = 0
// (also for S.A = 0) leaves the pixel as it is, exactly as the skip does. M at most 255.
struct PackedMaster {
  __m256i M16 = _mm256_setzero_si256();
  explicit PackedMaster(uint32_t M) : M16(_mm256_set1_epi16(static_cast<short>(M))) {}
  __m256i Weights(__m256i S16) const {
    return _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_add_epi16(AlphaLanes(S16), _mm256_set1_epi16(1)), M16), 8);
  }
  __m256i operator()(__m256i S, __m256i D) const {
    const __m256i SLo = Low16(S), SHi = High16(S);
    return Pack(PackedLanes(SLo, Low16(D), Weights(SLo)), PackedLanes(SHi, High16(D), Weights(SHi)));
  }
};

// The portable variant: w = ((M + 1) * S.A) >> 8; weight 0 is not the identity in this formula,
// so those pixels are masked back to their old value. M at most 255.
struct PortableMaster {
  __m256i M1 = _mm256_setzero_si256();
  explicit PortableMaster(uint32_t M) : M1(_mm256_set1_epi16(static_cast<short>(M + 1))) {}
  __m256i Lanes(__m256i S16, __m256i D16) const {
    const __m256i W16 = _mm256_srli_epi16(_mm256_mullo_epi16(AlphaLanes(S16), M1), 8);
    return _mm256_blendv_epi8(PortableLanes(S16, D16, W16), D16, _mm256_cmpeq_epi16(W16, _mm256_setzero_si256()));
  }
  __m256i operator()(__m256i S, __m256i D) const {
    return Pack(Lanes(Low16(S), Low16(D)), Lanes(High16(S), High16(D)));
  }
};

// A constant foreground and weight: the foreground term is computed once per row.
struct PackedConstant {
  __m256i FTerm, IW;
  PackedConstant() = default;
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
  PortableConstant() = default;
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

// The packed formula at weight 255, (B + 255 F + 128) >> 8, is F + 1 where B >= F + 128 (F < 128)
// and F - 1 where B < F - 128 (F >= 128): one unsigned byte comparison per channel, 32 at a time.
struct PackedOpaque {
  __m256i Base, Threshold;
  PackedOpaque() = default;
  explicit PackedOpaque(TColor32 F) {
    uint32_t BaseWord = 0, ThresholdWord = 0;
    for (int C = 0; C < 32; C += 8) {
      const uint32_t V = (F >> C) & 0xFF;
      BaseWord |= (V < 128 ? V : V - 1) << C;
      ThresholdWord |= (V < 128 ? V + 128 : V - 128) << C;
    }
    Base = _mm256_set1_epi32(static_cast<int>(BaseWord));
    Threshold = _mm256_set1_epi32(static_cast<int>(ThresholdWord));
  }
  // B >= Threshold gives an all-ones byte, which subtracted adds 1.
  __m256i operator()(__m256i D) const {
    return _mm256_sub_epi8(Base, _mm256_cmpeq_epi8(_mm256_max_epu8(D, Threshold), D));
  }
};

// Colours of coverage counts: ((Count * Scale) & 0xFF00) << 16 | Rgb. Only the low 16 bits of the
// product reach the alpha byte, so a 16-bit multiply serves; the upper half of each Scale lane is 0.
inline __m256i CountColors(__m256i Count, __m256i Scale32, __m256i Rgb32) {
  const __m256i Alpha = _mm256_and_si256(_mm256_mullo_epi16(Count, Scale32), _mm256_set1_epi32(0xFF00));
  return _mm256_or_si256(_mm256_slli_epi32(Alpha, 16), Rgb32);
}

// The colours of a row's spans over the cells from pixel From on, as a pixel source.
struct SpanSource {
  const TRowSpans& Spans;
  int32_t From;
  bool Starts, Ends;
  __m256i Scale32, Rgb32;
  SpanSource(const TRowSpans& S, int32_t F, bool St, bool En, uint32_t Scale, TColor32 Rgb)
      : Spans(S),
        From(F),
        Starts(St),
        Ends(En),
        Scale32(_mm256_set1_epi32(static_cast<int>(Scale))),
        Rgb32(_mm256_set1_epi32(static_cast<int>(Rgb))) {}
  // The counts of the eight cells from I on. Cells wholly past every start (or end) take the
  // share of all spans at once; cells wholly before them take none.
  __m256i Counts(int32_t I) const {
    const __m256i K = _mm256_set1_epi32(Spans.Mask);
    const __m256i Zero = _mm256_setzero_si256();
    const int32_t P = From + I;
    const __m256i Pixels = _mm256_add_epi32(_mm256_set1_epi32(P), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    const __m256i Base = _mm256_add_epi32(_mm256_sll_epi32(Pixels, _mm_cvtsi32_si128(Spans.Shift)), K);
    const int32_t All = Spans.Count * Spans.Mask;
    const auto Between = [&](int32_t Least, int32_t Greatest) {
      return P <= (Greatest >> Spans.Shift) && P + 7 >= (Least >> Spans.Shift);
    };
    const bool AllStarted = !Starts || P > (Spans.MaxStart >> Spans.Shift);
    __m256i Count = _mm256_set1_epi32(AllStarted ? All : 0);
    if (!AllStarted && Between(Spans.MinStart, Spans.MaxStart))
      for (int32_t S = 0; S < Spans.Count; ++S) {
        const __m256i Share = _mm256_sub_epi32(Base, _mm256_set1_epi32(Spans.Starts[S]));
        Count = _mm256_add_epi32(Count, _mm256_min_epi32(_mm256_max_epi32(Share, Zero), K));
      }
    if (Ends && P > (Spans.MaxEnd >> Spans.Shift)) {
      Count = _mm256_sub_epi32(Count, _mm256_set1_epi32(All));
    } else if (Ends && Between(Spans.MinEnd, Spans.MaxEnd)) {
      for (int32_t S = 0; S < Spans.Count; ++S) {
        const __m256i Share = _mm256_sub_epi32(Base, _mm256_set1_epi32(Spans.Ends[S]));
        Count = _mm256_sub_epi32(Count, _mm256_min_epi32(_mm256_max_epi32(Share, Zero), K));
      }
    }
    return Count;
  }
  __m256i Eight(int32_t I) const { return CountColors(Counts(I), Scale32, Rgb32); }
  __m256i Four(int32_t I) const { return Eight(I); }
  __m256i Few(int32_t I, int32_t) const { return Eight(I); }
};

}  // namespace
}  // namespace quillet
