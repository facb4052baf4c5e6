// AVX2 kernel of the anti-aliased filler for pixel rows in which every sub-scanline holds one
// span (TPairedRows): a row's coverage near the span ends is summed from the keys over windows of
// eight cells (two windows per vector, one in each 128-bit half, 16-bit lanes), turned into
// alpha and weights and blended there, and the fully covered cells between the windows are
// blended as one colour; many rows take one call.
//
// Built with AVX2 enabled: like blend_rows_avx2.cpp it calls no inline functions of shared
// headers.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "raster/detail/blend_variants.h"
#include "raster/detail/compiler_facts.h"
#include "raster/detail/row_kernels.h"

namespace quillet {

namespace {

using L = TLanes256;

// The standard library's inline functions are shared with other files, so these are local.
inline int32_t Min(int32_t A, int32_t B) { return A < B ? A : B; }
inline int32_t Max(int32_t A, int32_t B) { return A > B ? A : B; }

// 32-bit x86 has eight vector registers, 64-bit code sixteen.
#if defined(__i386__)
constexpr bool FewVectorRegisters = true;
#else
constexpr bool FewVectorRegisters = false;
#endif

// Windows per row; rows near flatter edges go back to the caller, whose difference array costs
// less per cell.
constexpr int32_t MaxWindows = 6;

// The kernel's constant vectors, laid out by the compiler.
struct TControls {
  // Copy word K of each 128-bit half into every word of that half.
  alignas(32) uint8_t Words[8][32];
  // Spread the eight words of a 128-bit value (copied into both halves) over the 16-bit channel
  // lanes of the pixels that unpacking eight pixels puts in its low (pixels 0, 1 | 4, 5) and high
  // (2, 3 | 6, 7) result: into all four channels (weights), or into the alpha channel alone with 0
  // elsewhere (the foreground's alpha).
  alignas(32) uint8_t WeightLo[32], WeightHi[32], AlphaLo[32], AlphaHi[32];
  // The cell of each word within its window.
  alignas(32) int16_t Cells[16];
  // By the kinds of the two halves' windows (bit 0 low, bit 1 high; set for a window of ends):
  // -1 in the words of windows of ends, else 1; all ones in the words of windows of ends.
  alignas(32) int16_t Signs[4][16];
  alignas(32) int16_t EndWords[4][16];
};

constexpr TControls MakeControls() {
  TControls C{};
  for (int K = 0; K < 8; ++K)
    for (int B = 0; B < 32; ++B) C.Words[K][B] = static_cast<uint8_t>(2 * K + (B & 1));
  const auto Spread = [](uint8_t (&Out)[32], int Pixel0, bool AlphaOnly) {
    for (int I = 0; I < 32; ++I) {
      const int Half = I / 16, InHalf = I % 16;
      const int Word = Pixel0 + 4 * Half + InHalf / 8;
      const bool Keep = !AlphaOnly || (InHalf % 8) >= 6;
      Out[I] = Keep ? static_cast<uint8_t>(2 * Word + (I & 1)) : 0x80;
    }
  };
  Spread(C.WeightLo, 0, false);
  Spread(C.WeightHi, 2, false);
  Spread(C.AlphaLo, 0, true);
  Spread(C.AlphaHi, 2, true);
  for (int J = 0; J < 16; ++J) {
    C.Cells[J] = static_cast<int16_t>(J & 7);
    for (int Kinds = 0; Kinds < 4; ++Kinds) {
      const bool Ends = (Kinds >> (J / 8)) & 1;
      C.Signs[Kinds][J] = Ends ? -1 : 1;
      C.EndWords[Kinds][J] = Ends ? -1 : 0;
    }
  }
  return C;
}
constexpr TControls Controls = MakeControls();

inline __m256i Constant(const void* P) {
  // With eight vector registers the compiler would keep the constants in registers, spill them to
  // the stack and read them from there: read where used instead, straight from the table.
  if constexpr (FewVectorRegisters) __asm__ volatile("" : "+r"(P));
  return _mm256_load_si256(static_cast<const __m256i*>(P));
}

// The bytes of X picked by a control of the table. With eight vector registers the control is
// an operand in memory: the compiler would keep its address on the stack instead.
inline __m256i Shuffle(__m256i X, const uint8_t (&Control)[32]) {
  if constexpr (FewVectorRegisters) {
    __m256i Out;
    __asm__("vpshufb %2, %1, %0" : "=x"(Out) : "x"(X), "m"(*reinterpret_cast<const __m256i*>(Control)));
    return Out;
  }
  return _mm256_shuffle_epi8(X, _mm256_load_si256(reinterpret_cast<const __m256i*>(Control)));
}

// Up to eight keys; lanes past Count are 0, and left out of the sums.
inline __m256i LoadKeys(const int32_t* Keys, int32_t Count) {
  if (Count >= 8) return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Keys));
  const __m256i Mask = _mm256_cmpgt_epi32(_mm256_set1_epi32(Count), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  return _mm256_maskload_epi32(Keys, Mask);
}

struct PackedWeights {
  static constexpr bool Packed = true;
  __m256i M16;
  explicit PackedWeights(uint32_t M) : M16(_mm256_set1_epi16(static_cast<short>(M))) {}
  // w = ((a + 1) * M) >> 8
  __m256i operator()(__m256i A16) const {
    return _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_add_epi16(A16, _mm256_set1_epi16(1)), M16), 8);
  }
  static __m256i Blend(__m256i F16, __m256i B16, __m256i W16) { return PackedLanes<L>(F16, B16, W16); }
  static uint32_t Weight(uint32_t A, uint32_t M) { return ((A + 1) * M) >> 8; }
};

struct PortableWeights {
  static constexpr bool Packed = false;
  __m256i M1;
  explicit PortableWeights(uint32_t M) : M1(_mm256_set1_epi16(static_cast<short>(M + 1))) {}
  // w = ((M + 1) * a) >> 8
  __m256i operator()(__m256i A16) const { return _mm256_srli_epi16(_mm256_mullo_epi16(A16, M1), 8); }
  // Weight 0 keeps the pixel as it is.
  static __m256i Blend(__m256i F16, __m256i B16, __m256i W16) {
    return _mm256_blendv_epi8(PortableLanes<L>(F16, B16, W16), B16, _mm256_cmpeq_epi16(W16, _mm256_setzero_si256()));
  }
  static uint32_t Weight(uint32_t A, uint32_t M) { return ((M + 1) * A) >> 8; }
};

// The blend of the cells covered by both edges' spans alike: one colour of one weight. Its
// constants are made when the first run comes, as many calls draw a row or two without one.
template <typename TWeights>
class TFullRun {
 public:
  TFullRun(TColor32 F, uint32_t W) : FColor(F), FWeight(W) {}
  void operator()(TColor32* Dst, int32_t Count) {
    if (Count <= 0 || FWeight == 0) return;
    if (!FReady) Prepare();
    if constexpr (TWeights::Packed) {
      if (FWeight == 255)
        ForEachPixel<L>(NoSource<L>(), Dst, Count, [&](__m256i, __m256i D) { return FOpaque(D); });
      else
        ForEachPixel<L>(NoSource<L>(), Dst, Count, [&](__m256i, __m256i D) { return FPacked(D); });
    } else {
      if (FWeight == 255)
        ForEachPixel<L>(NoSource<L>(), Dst, Count, [&](__m256i, __m256i) { return FValue; });
      else
        ForEachPixel<L>(NoSource<L>(), Dst, Count, [&](__m256i, __m256i D) { return FPortable(D); });
    }
  }

 private:
  void Prepare() {
    FReady = true;
    if constexpr (TWeights::Packed) {
      if (FWeight == 255)
        FOpaque = PackedOpaque<L>(FColor);
      else
        FPacked = PackedConstant<L>(FColor, FWeight);
    } else {
      // At weight 255 the portable formula no longer looks at the background.
      if (FWeight == 255)
        FValue = _mm256_set1_epi32(_mm256_cvtsi256_si32(PortableConstant<L>(FColor, 255)(_mm256_setzero_si256())));
      else
        FPortable = PortableConstant<L>(FColor, FWeight);
    }
  }

  const TColor32 FColor;
  const uint32_t FWeight;
  bool FReady = false;
  PackedOpaque<L> FOpaque;
  PackedConstant<L> FPacked;
  PortableConstant<L> FPortable;
  __m256i FValue;
};

template <typename TWeights>
class TPairedRowWriter {
 public:
  explicit TPairedRowWriter(const TPairedRows& R)
      : FR(R),
        FKeys(R.Keys),
        FFull(R.Keys * R.Mask),
        FWeights(R.Master),
        FFullRun(FullColor(R), TWeights::Weight((static_cast<uint32_t>(FFull) * R.Scale >> 8) & 0xFF, R.Master)) {
    FMask16 = _mm256_set1_epi16(static_cast<short>(R.Mask));
    FBase = _mm256_add_epi16(_mm256_sll_epi16(Constant(Controls.Cells), _mm_cvtsi32_si128(R.Shift)), FMask16);
    FLimit = _mm256_set1_epi32(8 << R.Shift);
    FScale16 = _mm256_set1_epi16(static_cast<short>(R.Scale));
    FRgb16 = L::Low16(_mm256_set1_epi32(static_cast<int>(R.Rgb & 0x00FFFFFF)));
    FFull16 = _mm256_set1_epi16(static_cast<short>(FFull));
  }

  int32_t Write() {
    const int32_t N = FR.Keys;
    if (FR.Kind == TPairedKind::Spans)
      return DrawRow(FR.KeysA, FR.KeysB, FR.MinStart, FR.MaxStart, FR.MinEnd, FR.MaxEnd, 0) ? 1 : 0;
    if (FR.Kind == TPairedKind::Lanes) return WriteLanes();
    if (FR.Kind == TPairedKind::Layers) return WriteLayers();
    for (int32_t Row = 0; Row < FR.Rows; ++Row) {
      const int32_t* A = FR.KeysA + static_cast<std::ptrdiff_t>(Row) * N;
      const int32_t* B = FR.KeysB + static_cast<std::ptrdiff_t>(Row) * N;
      // Each edge's keys only rise or only fall, so they meet their bounds at the row's ends.
      const int32_t MinA = Min(A[0], A[N - 1]), MaxA = Max(A[0], A[N - 1]);
      const int32_t MinB = Min(B[0], B[N - 1]), MaxB = Max(B[0], B[N - 1]);
      bool Drawn;
      if (MaxA <= MinB)
        Drawn = DrawRow(A, B, MinA, MaxA, MinB, MaxB, Row);
      else if (MaxB <= MinA)
        Drawn = DrawRow(B, A, MinB, MaxB, MinA, MaxA, Row);
      else
        Drawn = false;  // the edges cross in this row
      if (!Drawn) return Row;
    }
    return FR.Rows;
  }

 private:
  // One row of a Lanes pair: each sub-scanline's span from the least of its two keys to the
  // greatest, and the bounds over all of them.
  struct TLaneSpans {
    alignas(32) int32_t Starts[32];
    alignas(32) int32_t Ends[32];
    int32_t MinStart, MaxStart, MinEnd, MaxEnd;
    bool Empty;  // every span empty: the row covers nothing
  };

  void LaneSpans(const int32_t* A, const int32_t* B, TLaneSpans& Out) const {
    const int32_t N = FKeys;
    if (N == 8) {
      const __m256i VA = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(A));
      const __m256i VB = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(B));
      const __m256i VS = _mm256_min_epi32(VA, VB), VE = _mm256_max_epi32(VA, VB);
      _mm256_store_si256(reinterpret_cast<__m256i*>(Out.Starts), VS);
      _mm256_store_si256(reinterpret_cast<__m256i*>(Out.Ends), VE);
      Out.Empty = _mm256_movemask_epi8(_mm256_cmpeq_epi32(VS, VE)) == -1;
      Out.MinStart = Least(VS);
      Out.MaxStart = Greatest(VS);
      Out.MinEnd = Least(VE);
      Out.MaxEnd = Greatest(VE);
      return;
    }
    Out.MinStart = Out.MinEnd = 0x7FFFFFFF;
    Out.MaxStart = Out.MaxEnd = -1;
    Out.Empty = true;
    for (int32_t K = 0; K < N; ++K) {
      Out.Starts[K] = Min(A[K], B[K]);
      Out.Ends[K] = Max(A[K], B[K]);
      Out.Empty = Out.Empty && Out.Starts[K] == Out.Ends[K];
      Out.MinStart = Min(Out.MinStart, Out.Starts[K]);
      Out.MaxStart = Max(Out.MaxStart, Out.Starts[K]);
      Out.MinEnd = Min(Out.MinEnd, Out.Ends[K]);
      Out.MaxEnd = Max(Out.MaxEnd, Out.Ends[K]);
    }
  }

  // Rows of two keys per sub-scanline in either order (as LaneSpans, with the bounds kept in
  // registers: most small fills come this way).
  int32_t WriteLanes() {
    const int32_t N = FKeys;
    alignas(32) int32_t Starts[32], Ends[32];
    for (int32_t Row = 0; Row < FR.Rows; ++Row) {
      const int32_t* A = FR.KeysA + static_cast<std::ptrdiff_t>(Row) * N;
      const int32_t* B = FR.KeysB + static_cast<std::ptrdiff_t>(Row) * N;
      int32_t MinStart, MaxStart, MinEnd, MaxEnd;
      bool Empty;
      if (N == 8) {
        const __m256i VA = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(A));
        const __m256i VB = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(B));
        const __m256i VS = _mm256_min_epi32(VA, VB), VE = _mm256_max_epi32(VA, VB);
        _mm256_store_si256(reinterpret_cast<__m256i*>(Starts), VS);
        _mm256_store_si256(reinterpret_cast<__m256i*>(Ends), VE);
        Empty = _mm256_movemask_epi8(_mm256_cmpeq_epi32(VS, VE)) == -1;
        MinStart = Least(VS);
        MaxStart = Greatest(VS);
        MinEnd = Least(VE);
        MaxEnd = Greatest(VE);
      } else {
        MinStart = MinEnd = 0x7FFFFFFF;
        MaxStart = MaxEnd = -1;
        Empty = true;
        for (int32_t K = 0; K < N; ++K) {
          Starts[K] = Min(A[K], B[K]);
          Ends[K] = Max(A[K], B[K]);
          Empty = Empty && Starts[K] == Ends[K];
          MinStart = Min(MinStart, Starts[K]);
          MaxStart = Max(MaxStart, Starts[K]);
          MinEnd = Min(MinEnd, Ends[K]);
          MaxEnd = Max(MaxEnd, Ends[K]);
        }
      }
      // A row of empty spans covers nothing.
      if (!Empty && !DrawRow(Starts, Ends, MinStart, MaxStart, MinEnd, MaxEnd, Row)) return Row;
    }
    return FR.Rows;
  }

  // Rows of layers of Lanes pairs. A row is taken only whole: every layer that covers anything
  // must lie wholly left of the next one's cells and be one this kernel draws, before any is drawn.
  // Layers that cover nothing add crossings in cancelling pairs, wherever they lie.
  int32_t WriteLayers() {
    const int32_t N = FKeys;
    TLaneSpans Spans[MaxPairedLayers];
    for (int32_t Row = 0; Row < FR.Rows; ++Row) {
      const std::ptrdiff_t At = static_cast<std::ptrdiff_t>(Row) * N;
      int32_t Used[MaxPairedLayers];
      int32_t Count = 0;
      for (int32_t K = 0; K < FR.Layers->Count; ++K) {
        TLaneSpans& Layer = Spans[K];
        LaneSpans(FR.Layers->Keys[2 * K] + At, FR.Layers->Keys[2 * K + 1] + At, Layer);
        if (Layer.Empty) continue;
        if (Count > 0 && Spans[Used[Count - 1]].MaxEnd >> FR.Shift >= Layer.MinStart >> FR.Shift) return Row;
        if (!Takes(Layer.MinStart, Layer.MaxStart, Layer.MinEnd, Layer.MaxEnd)) return Row;
        Used[Count++] = K;
      }
      for (int32_t I = 0; I < Count; ++I) {
        const TLaneSpans& Layer = Spans[Used[I]];
        DrawRow(Layer.Starts, Layer.Ends, Layer.MinStart, Layer.MaxStart, Layer.MinEnd, Layer.MaxEnd, Row);
      }
    }
    return FR.Rows;
  }

  static int32_t Least(__m256i V) {
    V = _mm256_min_epi32(V, _mm256_permute2x128_si256(V, V, 0x01));
    V = _mm256_min_epi32(V, _mm256_shuffle_epi32(V, 0x4E));
    return _mm256_cvtsi256_si32(_mm256_min_epi32(V, _mm256_shuffle_epi32(V, 0xB1)));
  }
  static int32_t Greatest(__m256i V) {
    V = _mm256_max_epi32(V, _mm256_permute2x128_si256(V, V, 0x01));
    V = _mm256_max_epi32(V, _mm256_shuffle_epi32(V, 0x4E));
    return _mm256_cvtsi256_si32(_mm256_max_epi32(V, _mm256_shuffle_epi32(V, 0xB1)));
  }

  // Whether DrawRow takes a row of these bounds.
  bool Takes(int32_t MinStart, int32_t MaxStart, int32_t MinEnd, int32_t MaxEnd) const {
    const int32_t S = FR.Shift;
    const int32_t L0 = MinStart >> S, L1 = MaxStart >> S, R0 = MinEnd >> S, R1 = MaxEnd >> S;
    const int32_t LeftCount = ((L1 - L0) >> 3) + 1, RightCount = ((R1 - R0) >> 3) + 1;
    if (L0 + 8 * LeftCount <= R1 + 1 - 8 * RightCount) return LeftCount + RightCount <= MaxWindows;
    const int32_t Count = ((R1 - L0) >> 3) + 1;
    if (Count > MaxWindows) return false;
    return L0 + 8 * Count <= FR.ClipRight || R1 + 1 - 8 * Count >= FR.ClipLeft;
  }

  // One row of spans from Starts to Ends with the given bounds; false, having drawn nothing, when
  // it is not one for this kernel.
  QUILLET_CALLER_KEEPS_VECTORS bool DrawRow(const int32_t* Starts, const int32_t* Ends, int32_t MinStart,
                                             int32_t MaxStart, int32_t MinEnd, int32_t MaxEnd, int32_t Row) {
    const int32_t S = FR.Shift;
    const int32_t L0 = MinStart >> S, L1 = MaxStart >> S, R0 = MinEnd >> S, R1 = MaxEnd >> S;
    TColor32* const Dst = FR.Dst + static_cast<std::ptrdiff_t>(Row) * FR.Stride;
    const int32_t LeftCount = ((L1 - L0) >> 3) + 1, RightCount = ((R1 - R0) >> 3) + 1;
    const int32_t LeftEnd = L0 + 8 * LeftCount, RightStart = R1 + 1 - 8 * RightCount;
    if (LeftEnd <= RightStart) {
      // Windows of starts from L0 on, windows of ends up to R1, the full run between.
      if (LeftCount + RightCount > MaxWindows) return false;
      if (Row + 2 < FR.Rows) Fetch(Dst + 2 * FR.Stride, L0, R1);
      // Window I: of starts at L0 + 8 I while I < LeftCount, then of ends from RightStart on.
      const int32_t Count = LeftCount + RightCount;
      const auto At = [&](int32_t I) { return I < LeftCount ? L0 + 8 * I : RightStart + 8 * (I - LeftCount); };
      for (int32_t I = 0; I < Count; I += 2) {
        const int32_t J = I + 1 < Count ? I + 1 : I;
        const bool EndI = I >= LeftCount, EndJ = J >= LeftCount;
        const __m256i Sums = WindowSums(EndI ? Ends : Starts, At(I), EndJ ? Ends : Starts, At(J));
        const int Kinds = (EndI ? 1 : 0) | (EndJ ? 2 : 0);
        // A window of starts counts its sum, one of ends the full count less its sum.
        const __m256i Counts = _mm256_add_epi16(_mm256_sign_epi16(Sums, Constant(Controls.Signs[Kinds])),
                                                _mm256_and_si256(FFull16, Constant(Controls.EndWords[Kinds])));
        BlendWindows(Counts, Dst + At(I), J != I ? Dst + At(J) : nullptr);
      }
      FFullRun(Dst + LeftEnd, RightStart - LeftEnd);
      return true;
    }
    // The edges' windows meet: windows of both from L0 on, or ending at R1 where the clip
    // rectangle's right edge is near.
    const int32_t Count = ((R1 - L0) >> 3) + 1;
    if (Count > MaxWindows) return false;
    int32_t First = L0;
    if (First + 8 * Count > FR.ClipRight) First = R1 + 1 - 8 * Count;
    if (First < FR.ClipLeft) return false;
    if (Row + 2 < FR.Rows) Fetch(Dst + 2 * FR.Stride, L0, R1);
    for (int32_t I = 0; I < Count; ++I) {
      const int32_t W = First + 8 * I;
      const __m256i Sums = WindowSums(Starts, W, Ends, W);
      BlendWindows(_mm256_sub_epi16(Sums, _mm256_permute2x128_si256(Sums, Sums, 0x01)), Dst + W, nullptr);
    }
    return true;
  }

  static TColor32 FullColor(const TPairedRows& R) {
    const uint32_t Full = static_cast<uint32_t>(R.Keys * R.Mask);
    return ((Full * R.Scale & 0xFF00) << 16) | (R.Rgb & 0x00FFFFFF);
  }

  // The pixels of a row ahead, where this row's pixels lie give or take a cache line.
  void Fetch(const TColor32* Row, int32_t From, int32_t To) const {
    From = Max(From - 16, FR.ClipLeft);
    To = Min(To + 16, FR.ClipRight - 1);
    for (int32_t X = From; X <= To; X += 16) _mm_prefetch(reinterpret_cast<const char*>(Row + X), _MM_HINT_ET0);
    _mm_prefetch(reinterpret_cast<const char*>(Row + To), _MM_HINT_ET0);
  }

  // Words 0-7: for the cells Lo + j, the sum over the keys KeysLo of clamp((j << S) + K - (key -
  // (Lo << S)), 0, K); words 8-15 the same for Hi and KeysHi. Keys are rebased onto their window
  // and clamped to [0, 8 << S] first, which leaves every term as it was and fits 16 bits.
  __m256i WindowSums(const int32_t* KeysLo, int32_t Lo, const int32_t* KeysHi, int32_t Hi) const {
    const __m256i Zero = _mm256_setzero_si256();
    const __m256i OriginLo = _mm256_set1_epi32(Lo << FR.Shift), OriginHi = _mm256_set1_epi32(Hi << FR.Shift);
    __m256i Sum = Zero;
    for (int32_t G = 0; G < FKeys; G += 8) {
      const int32_t Count = Min(FKeys - G, 8);
      const auto Rebased = [&](const int32_t* Keys, __m256i Origin) {
        return _mm256_min_epi32(_mm256_max_epi32(_mm256_sub_epi32(LoadKeys(Keys + G, Count), Origin), Zero), FLimit);
      };
      const __m256i RLo = Rebased(KeysLo, OriginLo), RHi = Rebased(KeysHi, OriginHi);
      const __m256i R = _mm256_permute4x64_epi64(_mm256_packus_epi32(RLo, RHi), 0xD8);
      const auto Term = [&](int K) {
        const __m256i Key = Shuffle(R, Controls.Words[K]);
        return _mm256_min_epu16(_mm256_subs_epu16(FBase, Key), FMask16);
      };
      if (Count == 8 && !FewVectorRegisters) {
        // In a tree, so that the terms do not wait for each other.
        const __m256i Low = _mm256_add_epi16(_mm256_add_epi16(Term(0), Term(1)), _mm256_add_epi16(Term(2), Term(3)));
        const __m256i High = _mm256_add_epi16(_mm256_add_epi16(Term(4), Term(5)), _mm256_add_epi16(Term(6), Term(7)));
        Sum = _mm256_add_epi16(Sum, _mm256_add_epi16(Low, High));
      } else if (Count == 8) {
        // One term at a time: the compiler would regroup the adds into a tree, whose terms spill.
        for (int K = 0; K < 8; ++K) {
          Sum = _mm256_add_epi16(Sum, Term(K));
          __asm__("" : "+x"(Sum));
        }
      } else {
        for (int K = 0; K < Count; ++K) Sum = _mm256_add_epi16(Sum, Term(K));
      }
    }
    return Sum;
  }

  // Blends eight pixels at Lo by the counts of words 0-7 and, unless Hi is null, eight at Hi by
  // words 8-15.
  void BlendWindows(__m256i Counts, TColor32* Lo, TColor32* Hi) const {
    const __m256i Alpha = _mm256_srli_epi16(_mm256_mullo_epi16(Counts, FScale16), 8);
    const __m256i Weight = FWeights(Alpha);
    BlendEight(Lo, _mm256_permute4x64_epi64(Alpha, 0x44), _mm256_permute4x64_epi64(Weight, 0x44));
    if (Hi != nullptr) BlendEight(Hi, _mm256_permute4x64_epi64(Alpha, 0xEE), _mm256_permute4x64_epi64(Weight, 0xEE));
  }

  // Alpha and Weight: the eight pixels' words, in both halves.
  void BlendEight(TColor32* P, __m256i Alpha, __m256i Weight) const {
    const __m256i D = L::Load(P);
    const __m256i FLo = _mm256_or_si256(FRgb16, Shuffle(Alpha, Controls.AlphaLo));
    const __m256i FHi = _mm256_or_si256(FRgb16, Shuffle(Alpha, Controls.AlphaHi));
    const __m256i Lo = TWeights::Blend(FLo, L::Low16(D), Shuffle(Weight, Controls.WeightLo));
    const __m256i Hi = TWeights::Blend(FHi, L::High16(D), Shuffle(Weight, Controls.WeightHi));
    L::Store(P, L::Pack(Lo, Hi));
  }

  const TPairedRows& FR;
  const int32_t FKeys;  // per edge and row
  const int32_t FFull;  // the count of a fully covered cell
  const TWeights FWeights;
  TFullRun<TWeights> FFullRun;
  __m256i FMask16, FBase, FLimit, FScale16, FRgb16, FFull16;
};

}  // namespace

int32_t packed_avx2::PairedRows(const TPairedRows& Rows) {
  if (Rows.Master > 255 || Rows.ClipRight - Rows.ClipLeft < 8) return 0;
  return TPairedRowWriter<PackedWeights>(Rows).Write();
}

int32_t portable_avx2::PairedRows(const TPairedRows& Rows) {
  if (Rows.Master > 255 || Rows.ClipRight - Rows.ClipLeft < 8) return 0;
  return TPairedRowWriter<PortableWeights>(Rows).Write();
}

}  // namespace quillet
