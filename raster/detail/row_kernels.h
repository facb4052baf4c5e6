// The row kernels of both blend variants, the fill and the coverage conversions, written once over
// the lane operations of vector_lanes.h: a kernel file instantiates them with the vectors of its
// instruction set (blend_rows_sse2.cpp with 128 bits, blend_rows_avx2.cpp with 256). Every channel
// is computed in its own 16-bit lane by its formula exactly, so the rows equal the scalar kernels
// bit for bit at either width.
//
// Row ends use no masked loads or stores (a masked load of pixels that a recent store touched waits
// for that store, and rows here are short and often meet): each pixel's result depends on its own
// values only, so the last vector of a row is loaded before any store and blended again from those
// values where it overlaps the one before; a row shorter than a vector goes by half vectors and
// single pixels.
//
// Like vector_lanes.h, everything here lies in an anonymous namespace, and calls nothing but
// intrinsics, its own helpers and the scalar kernels (ordinary calls): no inline function of a
// shared header or of the standard library, whose copy built for a wider instruction set the linker
// could keep for every caller.
#pragma once

#include <cstddef>
#include <cstdint>

#include "raster/blend.h"
#include "raster/detail/blend_variants.h"
#include "raster/detail/vector_lanes.h"

namespace quillet {
namespace {

// Where the source pixels of a row come from: Whole(I), Half(I) and Few(I, N) give pixels I on in
// the low lanes of a vector.
template <class L>
struct NoSource {
  using V = typename L::V;
  V Whole(int32_t) const { return L::Zero(); }
  V Half(int32_t) const { return L::Zero(); }
  V Few(int32_t, int32_t) const { return L::Zero(); }
};

template <class L>
struct PixelSource {
  using V = typename L::V;
  const TColor32* P;
  V Whole(int32_t I) const { return L::Load(P + I); }
  V Half(int32_t I) const { return L::LoadHalf(P + I); }
  V Few(int32_t I, int32_t N) const { return L::LoadFew(P + I, N); }
};

// Runs Body(S, D) -> new D over Count pixels of Dst, S from Source.
template <class L, class TSource, class TBody>
inline void ForEachPixel(const TSource& Source, TColor32* Dst, int32_t Count, TBody Body) {
  using V = typename L::V;
  constexpr int32_t N = L::Pixels;
  if (Count >= N) {
    const int32_t LastAt = Count - N;
    const V LastS = Source.Whole(LastAt);
    const V LastD = L::Load(Dst + LastAt);
    for (int32_t I = 0; I < LastAt; I += N) L::Store(Dst + I, Body(Source.Whole(I), L::Load(Dst + I)));
    L::Store(Dst + LastAt, Body(LastS, LastD));
    return;
  }
  if constexpr (N > 4) {
    if (Count >= 4) {
      const int32_t LastAt = Count - 4;
      const V LastS = Source.Half(LastAt);
      const V LastD = L::LoadHalf(Dst + LastAt);
      L::StoreHalf(Dst, Body(Source.Half(0), L::LoadHalf(Dst)));
      L::StoreHalf(Dst + LastAt, Body(LastS, LastD));
      return;
    }
  }
  if (Count > 0) L::StoreFew(Dst, Body(Source.Few(0, Count), L::LoadFew(Dst, Count)), Count);
}

// Packed formula, ((F - B) * w + B * 256 + 128) >> 8; the exact value lies in 0..65408, so the
// 16-bit wrap-around of the multiply and adds never shows.
template <class L>
inline typename L::V PackedLanes(typename L::V F16, typename L::V B16, typename L::V W16) {
  const auto Product = L::MulLow16(L::Sub16(F16, B16), W16);
  return L::template ShiftRight16<8>(L::Add16(L::Add16(Product, L::template ShiftLeft16<8>(B16)), L::Set16(128)));
}

// Portable formula, ((F * w + 128) >> 8) + ((B * (255 - w) + 128) >> 8); each product plus 128
// stays below 65536 and the sum below 256.
template <class L>
inline typename L::V PortableLanes(typename L::V F16, typename L::V B16, typename L::V W16) {
  const auto Bias = L::Set16(128);
  const auto FTerm = L::template ShiftRight16<8>(L::Add16(L::MulLow16(F16, W16), Bias));
  const auto BTerm = L::template ShiftRight16<8>(L::Add16(L::MulLow16(B16, L::Sub16(L::Set16(255), W16)), Bias));
  return L::Add16(FTerm, BTerm);
}

// The master row blend of the packed variant: w = ((S.A + 1) * M) >> 8 fits a 16-bit lane; w = 0
// (also for S.A = 0) leaves the pixel as it is, exactly as the skip does. M at most 255.
template <class L>
struct PackedMaster {
  using V = typename L::V;
  V M16;
  explicit PackedMaster(uint32_t M) : M16(L::Set16(M)) {}
  V Weights(V S16) const {
    return L::template ShiftRight16<8>(L::MulLow16(L::Add16(L::AlphaLanes(S16), L::Set16(1)), M16));
  }
  V operator()(V S, V D) const {
    const V SLo = L::Low16(S), SHi = L::High16(S);
    return L::Pack(PackedLanes<L>(SLo, L::Low16(D), Weights(SLo)), PackedLanes<L>(SHi, L::High16(D), Weights(SHi)));
  }
};

// The portable variant: w = ((M + 1) * S.A) >> 8; weight 0 is not the identity in this formula,
// so those pixels are masked back to their old value. M at most 255.
template <class L>
struct PortableMaster {
  using V = typename L::V;
  V M1;
  explicit PortableMaster(uint32_t M) : M1(L::Set16(M + 1)) {}
  V Lanes(V S16, V D16) const {
    const V W16 = L::template ShiftRight16<8>(L::MulLow16(L::AlphaLanes(S16), M1));
    return L::Select(L::Equal16(W16, L::Zero()), PortableLanes<L>(S16, D16, W16), D16);
  }
  V operator()(V S, V D) const { return L::Pack(Lanes(L::Low16(S), L::Low16(D)), Lanes(L::High16(S), L::High16(D))); }
};

// A constant foreground and weight, the foreground term computed once per row. Packed:
// (B * (256 - w) + (F * w + 128)) >> 8.
template <class L>
struct PackedConstant {
  using V = typename L::V;
  V FTerm, IW;
  PackedConstant() = default;
  PackedConstant(TColor32 F, uint32_t W)
      : FTerm(L::Add16(L::MulLow16(L::Low16(L::Set32(F)), L::Set16(W)), L::Set16(128))), IW(L::Set16(256 - W)) {}
  V Lanes(V B16) const { return L::template ShiftRight16<8>(L::Add16(L::MulLow16(B16, IW), FTerm)); }
  V operator()(V D) const { return L::Pack(Lanes(L::Low16(D)), Lanes(L::High16(D))); }
};

// Portable: ((F * w + 128) >> 8) + ((B * (255 - w) + 128) >> 8).
template <class L>
struct PortableConstant {
  using V = typename L::V;
  V FTerm, IW;
  PortableConstant() = default;
  PortableConstant(TColor32 F, uint32_t W)
      : FTerm(L::template ShiftRight16<8>(L::Add16(L::MulLow16(L::Low16(L::Set32(F)), L::Set16(W)), L::Set16(128)))),
        IW(L::Set16(255 - W)) {}
  V Lanes(V B16) const {
    return L::Add16(FTerm, L::template ShiftRight16<8>(L::Add16(L::MulLow16(B16, IW), L::Set16(128))));
  }
  V operator()(V D) const { return L::Pack(Lanes(L::Low16(D)), Lanes(L::High16(D))); }
};

// The packed formula at weight 255, (B + 255 F + 128) >> 8, is F + 1 where B >= F + 128 (F < 128)
// and F - 1 where B < F - 128 (F >= 128): one unsigned byte comparison per channel.
template <class L>
struct PackedOpaque {
  using V = typename L::V;
  V Base, Threshold;
  PackedOpaque() = default;
  explicit PackedOpaque(TColor32 F) {
    uint32_t BaseWord = 0, ThresholdWord = 0;
    for (int C = 0; C < 32; C += 8) {
      const uint32_t X = (F >> C) & 0xFF;
      BaseWord |= (X < 128 ? X : X - 1) << C;
      ThresholdWord |= (X < 128 ? X + 128 : X - 128) << C;
    }
    Base = L::Set32(BaseWord);
    Threshold = L::Set32(ThresholdWord);
  }
  // B >= Threshold gives an all-ones byte, which subtracted adds 1.
  V operator()(V D) const { return L::Sub8(Base, L::Equal8(L::MaxU8(D, Threshold), D)); }
};

// Colours of coverage counts: ((Count * Scale) & 0xFF00) << 16 | Rgb. Only the low 16 bits of the
// product reach the alpha byte, so a 16-bit multiply serves; the upper half of each Scale lane is 0.
template <class L>
inline typename L::V CountColors(typename L::V Count, typename L::V Scale32, typename L::V Rgb32) {
  const auto Alpha = L::And(L::MulLow16(Count, Scale32), L::Set32(0xFF00));
  return L::Or(L::template ShiftLeft32<16>(Alpha), Rgb32);
}

// The colours of a row's spans over the cells from pixel From on, as a pixel source.
template <class L>
struct SpanSource {
  using V = typename L::V;
  const TRowSpans& Spans;
  int32_t From;
  bool Starts, Ends;
  V Scale32, Rgb32;
  SpanSource(const TRowSpans& S, int32_t F, bool St, bool En, uint32_t Scale, TColor32 Rgb)
      : Spans(S), From(F), Starts(St), Ends(En), Scale32(L::Set32(Scale)), Rgb32(L::Set32(Rgb)) {}
  // The counts of the cells from I on. Cells wholly past every start (or end) take the share of
  // all spans at once; cells wholly before them take none.
  V Counts(int32_t I) const {
    const V K = L::Set32(static_cast<uint32_t>(Spans.Mask));
    const int32_t P = From + I;
    const V Base = L::Add32(L::ShiftLeft32(L::Add32(L::Set32(static_cast<uint32_t>(P)), L::Index32()), Spans.Shift), K);
    const int32_t All = Spans.Count * Spans.Mask;
    const auto Between = [&](int32_t Least, int32_t Greatest) {
      return P <= (Greatest >> Spans.Shift) && P + (L::Pixels - 1) >= (Least >> Spans.Shift);
    };
    const bool AllStarted = !Starts || P > (Spans.MaxStart >> Spans.Shift);
    V Count = L::Set32(AllStarted ? static_cast<uint32_t>(All) : 0);
    if (!AllStarted && Between(Spans.MinStart, Spans.MaxStart))
      for (int32_t S = 0; S < Spans.Count; ++S)
        Count = L::Add32(Count, L::Clamp32(L::Sub32(Base, L::Set32(static_cast<uint32_t>(Spans.Starts[S]))), K));
    if (Ends && P > (Spans.MaxEnd >> Spans.Shift)) {
      Count = L::Sub32(Count, L::Set32(static_cast<uint32_t>(All)));
    } else if (Ends && Between(Spans.MinEnd, Spans.MaxEnd)) {
      for (int32_t S = 0; S < Spans.Count; ++S)
        Count = L::Sub32(Count, L::Clamp32(L::Sub32(Base, L::Set32(static_cast<uint32_t>(Spans.Ends[S]))), K));
    }
    return Count;
  }
  V Whole(int32_t I) const { return CountColors<L>(Counts(I), Scale32, Rgb32); }
  V Half(int32_t I) const { return Whole(I); }
  V Few(int32_t I, int32_t) const { return Whole(I); }
};

// The kernels of one vector width.
template <class L>
struct TRowKernels {
  using V = typename L::V;

  // One unaligned store for the head, aligned stores from the next vector boundary, and one
  // unaligned store ending at the last pixel; the overlaps write the same value again.
  static void Fill(TColor32* Dst, int32_t Count, TColor32 Value) {
    constexpr int32_t N = L::Pixels;
    const V X = L::Set32(Value);
    if (Count < N) {
      if constexpr (N > 4) {
        if (Count >= 4) {
          L::StoreHalf(Dst, X);
          L::StoreHalf(Dst + Count - 4, X);
          return;
        }
      }
      for (int32_t I = 0; I < Count; ++I) Dst[I] = Value;
      return;
    }
    constexpr uintptr_t Bytes = sizeof(V);
    L::Store(Dst, X);
    TColor32* P = reinterpret_cast<TColor32*>((reinterpret_cast<uintptr_t>(Dst) + Bytes) & ~(Bytes - 1));
    TColor32* const End = Dst + Count;
    for (; P + 4 * N <= End; P += 4 * N) {
      L::StoreAligned(P, X);
      L::StoreAligned(P + N, X);
      L::StoreAligned(P + 2 * N, X);
      L::StoreAligned(P + 3 * N, X);
    }
    for (; P + N <= End; P += N) L::StoreAligned(P, X);
    L::Store(End - N, X);
  }

  // The opaque rectangle: rows of a large surface lie far apart, each starting with a miss, so the
  // rows of a few ahead are asked for while one is filled.
  static void FillRect(TColor32* Dst, int32_t Width, int32_t Height, intptr_t Stride, TColor32 Value) {
    constexpr int32_t Ahead = 4, FetchPixels = 128;
    const int32_t Fetched = Width < FetchPixels ? Width : FetchPixels;
    const auto Fetch = [&](const TColor32* Row) {
      for (int32_t I = 0; I < Fetched; I += 16) _mm_prefetch(reinterpret_cast<const char*>(Row + I), _MM_HINT_ET0);
      _mm_prefetch(reinterpret_cast<const char*>(Row + Fetched - 1), _MM_HINT_ET0);
    };
    for (int32_t Y = 1; Y < Ahead && Y < Height; ++Y) Fetch(Dst + Y * Stride);
    for (int32_t Y = 0; Y < Height; ++Y) {
      if (Y + Ahead < Height) Fetch(Dst + (Y + Ahead) * Stride);
      Fill(Dst + Y * Stride, Width, Value);
    }
  }

  // A constant colour X of weight W over a row: 0 leaves it, 255 fills it, weights out of range go
  // to the variant's scalar kernel.
  template <class TConstant>
  static void CombineRow(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W, TCombineColorRowProc Scalar) {
    if (W == 0) return;
    if (W == 255) {
      Fill(Dst, Count, X);
      return;
    }
    if (W > 255) {
      Scalar(X, Dst, Count, W);
      return;
    }
    const TConstant Blend(X, W);
    ForEachPixel<L>(NoSource<L>(), Dst, Count, [&](V, V D) { return Blend(D); });
  }

  // The rectangle of CombineRow: the row's constants made once, the rows of a few ahead asked for
  // while one is blended (rows of a large surface lie far apart, each starting with a miss).
  template <class TConstant>
  static void CombineRect(TColor32 X, TColor32* Dst, int32_t Width, int32_t Height, intptr_t Stride, uint32_t W,
                          TCombineColorRowProc Scalar) {
    if (W == 0 || W >= 255) {
      for (int32_t Y = 0; Y < Height; ++Y) CombineRow<TConstant>(X, Dst + Y * Stride, Width, W, Scalar);
      return;
    }
    constexpr int32_t Ahead = 4, FetchPixels = 128;
    const int32_t Fetched = Width < FetchPixels ? Width : FetchPixels;
    const auto Fetch = [&](const TColor32* Row) {
      for (int32_t I = 0; I < Fetched; I += 16) _mm_prefetch(reinterpret_cast<const char*>(Row + I), _MM_HINT_ET0);
      _mm_prefetch(reinterpret_cast<const char*>(Row + Fetched - 1), _MM_HINT_ET0);
    };
    for (int32_t Y = 1; Y < Ahead && Y < Height; ++Y) Fetch(Dst + Y * Stride);
    const TConstant Blend(X, W);
    for (int32_t Y = 0; Y < Height; ++Y) {
      if (Y + Ahead < Height) Fetch(Dst + (Y + Ahead) * Stride);
      ForEachPixel<L>(NoSource<L>(), Dst + Y * Stride, Width, [&](V, V D) { return Blend(D); });
    }
  }

  // The master blend of one colour of weight W over a row; unlike the combine rows, W = 255 still
  // blends.
  template <class TConstant>
  static void SolidRow(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M, uint32_t W, TSolidRowMasterProc Scalar) {
    if (M > 255) {
      Scalar(F, Dst, Count, M);
      return;
    }
    if ((F >> 24) == 0 || W == 0) return;
    const TConstant Blend(F, W);
    ForEachPixel<L>(NoSource<L>(), Dst, Count, [&](V, V D) { return Blend(D); });
  }

  template <class TMaster>
  static void RowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M, TRowMasterProc Scalar) {
    if (M > 255)
      Scalar(Src, Dst, Count, M);
    else
      ForEachPixel<L>(PixelSource<L>{Src}, Dst, Count, TMaster(M));
  }

  static void PackedSolidRow(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M) {
    const uint32_t W = (((F >> 24) + 1) * M) >> 8;
    if (W == 255 && M <= 255) {
      const PackedOpaque<L> Blend(F);
      ForEachPixel<L>(NoSource<L>(), Dst, Count, [&](V, V D) { return Blend(D); });
      return;
    }
    SolidRow<PackedConstant<L>>(F, Dst, Count, M, W, packed::SolidRowMaster);
  }

  static void PortableSolidRow(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M) {
    const uint32_t W = ((M + 1) * (F >> 24)) >> 8;
    // At weight 255 the portable formula no longer looks at the background: one colour for all.
    if (W == 255 && M <= 255) {
      Fill(Dst, Count, L::First32(PortableConstant<L>(F, 255)(L::Zero())));
      return;
    }
    SolidRow<PortableConstant<L>>(F, Dst, Count, M, W, portable::SolidRowMaster);
  }

  // The running sum of coverage differences as a prefix sum in the lanes, the last lane carried
  // into the next vector; the last Count % Pixels cells go through the scalar code.
  static uint32_t CoverageRow(int32_t* Acc, TColor32* Out, int32_t Count, uint32_t Sum, uint32_t Scale, TColor32 Rgb) {
    constexpr int32_t N = L::Pixels;
    const V Scale32 = L::Set32(Scale), Rgb32 = L::Set32(Rgb);
    V Carry = L::Set32(Sum);
    int32_t C = 0;
    for (; C + N <= Count; C += N) {
      const V X = L::Add32(L::PrefixSum32(L::Load(Acc + C)), Carry);
      L::Store(Acc + C, L::Zero());
      Carry = L::Last32(X);
      L::Store(Out + C, CountColors<L>(X, Scale32, Rgb32));
    }
    return scalar::CoverageRow(Acc + C, Out + C, Count - C, L::First32(Carry), Scale, Rgb);
  }

  // The blend of a cluster's cells straight from its spans; a master alpha out of range goes to
  // the variant's scalar kernel.
  template <class TMaster>
  static void SpanBlend(TSpanBlendProc Scalar, const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts,
                        bool Ends, uint32_t Scale, TColor32 Rgb, TColor32* Dst, uint32_t M) {
    if (M > 255)
      Scalar(Spans, From, Cells, Starts, Ends, Scale, Rgb, Dst, M);
    else
      ForEachPixel<L>(SpanSource<L>(Spans, From, Starts, Ends, Scale, Rgb), Dst, Cells, TMaster(M));
  }
};

}  // namespace
}  // namespace quillet
