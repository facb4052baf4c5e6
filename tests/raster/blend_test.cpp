// The blend procedures of both variants, at every kernel level the processor runs, against a
// per-channel model of their formulas: every weight against every channel value, random colour
// pairs, and rows of every short length at every alignment between guard pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "raster/blend.h"
#include "raster/detail/blend_kernels.h"
#include "raster/engine_init.h"

namespace quillet {
namespace {

// --- The model: one channel at a time, straight from the formulas --------------------------------

uint32_t Channel(TColor32 C, int K) { return (C >> (8 * K)) & 0xFF; }

TColor32 ModelMix(BlendVariant V, TColor32 F, TColor32 B, uint32_t A) {
  TColor32 R = 0;
  for (int K = 0; K < 4; ++K) {
    const uint32_t f = Channel(F, K), b = Channel(B, K);
    const uint32_t r = V == BlendVariant::Portable ? ((f * A + 128) >> 8) + ((b * (255 - A) + 128) >> 8)
                                                   : (b * (256 - A) + f * A + 128) >> 8;
    R |= r << (8 * K);
  }
  return R;
}

TColor32 ModelBlendColors(BlendVariant V, TColor32 F, TColor32 B) {
  const uint32_t A = F >> 24;
  if (A == 255) return F;
  if (A == 0) return B;
  return ModelMix(V, F, B, A);
}

TColor32 ModelMaster(BlendVariant V, TColor32 F, TColor32 B, uint32_t M) {
  const uint32_t W = ((M + 1) * (F >> 24)) >> 8;
  return W == 0 ? B : ModelMix(V, F, B, W);
}

// The packed row form takes its weight differently from the single-pixel procedure.
TColor32 ModelRowMaster(BlendVariant V, TColor32 F, TColor32 B, uint32_t M) {
  if (V == BlendVariant::Portable) return ModelMaster(V, F, B, M);
  if ((F >> 24) == 0) return B;
  const uint32_t W = (((F >> 24) + 1) * M) >> 8;
  return W == 0 ? B : ModelMix(V, F, B, W);
}

TColor32 ModelCombine(BlendVariant V, TColor32 X, TColor32 Y, uint32_t W) {
  if (W == 0) return Y;
  if (W == 255) return X;
  return ModelMix(V, X, Y, W);
}

std::string Hex(TColor32 C) {
  char Text[16];
  std::snprintf(Text, sizeof Text, "%08X", C);
  return Text;
}

// --- The row kernels of every level the processor runs -------------------------------------------

const char* LevelName(SimdLevel L) { return L == SimdLevel::Scalar ? "scalar" : L == SimdLevel::Sse2 ? "sse2" : "avx2"; }

std::vector<const TBlendKernels*> TablesOf(BlendVariant V) {
  std::vector<const TBlendKernels*> Tables;
  for (int L = 0; L < SimdLevelCount; ++L)
    if (SimdLevelSupported(static_cast<SimdLevel>(L))) Tables.push_back(&KernelTable(V, static_cast<SimdLevel>(L)));
  return Tables;
}

// Channel values that meet the extremes: for channel value v, F carries v, 255 - v, v, and B
// carries the complement, v itself, and a scrambled value.
TColor32 PatternF(uint32_t A, uint32_t V) { return A << 24 | V << 16 | (255 - V) << 8 | V; }
TColor32 PatternB(uint32_t V, uint32_t Salt) {
  return ((V * 131 + Salt) & 0xFF) << 24 | (255 - V) << 16 | V << 8 | ((V * 37 + Salt) & 0xFF);
}

class BlendVariants : public ::testing::TestWithParam<BlendVariant> {
 protected:
  void SetUp() override { InitBlendOps(GetParam()); }
  void TearDown() override { InitBlendOps(HasMmx() ? BlendVariant::Packed : BlendVariant::Portable); }
  BlendVariant V() const { return GetParam(); }
};

TEST_P(BlendVariants, WorkedExamples) {
  const bool Portable = V() == BlendVariant::Portable;
  EXPECT_EQ(Hex(BlendColors(0x80FF0000, 0xFF0000FF)), Portable ? "BF80007F" : "C0800080");
  EXPECT_EQ(Hex(MergeColors(0x80FF0000, 0x800000FF)), "C0AA0055");

  // The two formulas part by one: F.k = 0, B.k = 255, weight 1.
  EXPECT_EQ(BlendColors(0x01000000, 0x000000FF) & 0xFF, Portable ? 253u : 254u);

  // White over black shows the weight in its colour channels (for weights up to 128).
  TColor32 P = 0;
  BlendColorIntoMaster(0xC8FFFFFF, P, 100);  // F.A = 200, M = 100: w = 78
  EXPECT_EQ(P & 0xFF, 78u);
  P = 0;
  BlendRowMaster(std::vector<TColor32>{0xC8FFFFFF}.data(), &P, 1, 100);
  EXPECT_EQ(P & 0xFF, 78u);

  // F.A = 1, M = 128: weight 0 for the single pixel; the packed row form gets weight 1.
  P = 0;
  BlendColorIntoMaster(0x01FFFFFF, P, 128);
  EXPECT_EQ(P, 0u);
  const TColor32 Src = 0x01FFFFFF;
  BlendRowMaster(&Src, &P, 1, 128);
  EXPECT_EQ(P, Portable ? 0u : 0x00010101u);

  // No shortcut at full master alpha: 255 over 0 gives 254.
  P = 0;
  BlendColorIntoMaster(0xFFFFFFFF, P, 255);
  EXPECT_EQ(Hex(P), "FEFEFEFE");
}

TEST_P(BlendVariants, SlotsPointIntoTheTableOfTheVariantAndLevel) {
  const SimdLevel Before = ActiveSimdLevel();
  for (const TBlendKernels* T : TablesOf(V())) {
    InitBlendOps(V(), T->Level);
    EXPECT_EQ(ActiveBlendVariant(), V());
    EXPECT_EQ(ActiveSimdLevel(), T->Level);
    EXPECT_EQ(CombineModeOps, T->Modes);
    EXPECT_EQ(BlendColors, T->BlendColors);
    EXPECT_EQ(CombineColorInto, T->CombineColorInto);
    EXPECT_EQ(FillPixels, T->FillPixels);
    EXPECT_EQ(FillRect, T->FillRect);
    EXPECT_EQ(BlendRowMaster, T->Modes[0].RowMaster);
    EXPECT_EQ(BlendColorInto, T->Modes[0].ColorInto);
    EXPECT_EQ(MergeRowMaster, T->Modes[1].RowMaster);
    // The single-pixel procedures and merge are the scalar ones at every level.
    const TBlendKernels& Scalar = KernelTable(V(), SimdLevel::Scalar);
    EXPECT_EQ(BlendColorIntoMaster, Scalar.BlendColorIntoMaster);
    EXPECT_EQ(MergeColorInto, Scalar.Modes[1].ColorInto);
    EXPECT_EQ(MergeColorIntoMaster, Scalar.Modes[1].ColorIntoMaster);
  }
  // The one-argument form keeps the level.
  InitBlendOps(V(), SimdLevel::Scalar);
  InitBlendOps(V() == BlendVariant::Packed ? BlendVariant::Portable : BlendVariant::Packed);
  EXPECT_EQ(ActiveSimdLevel(), SimdLevel::Scalar);
  InitBlendOps(V(), Before);
}

// Every weight against every channel value, for the single-pixel procedures.
TEST_P(BlendVariants, SinglePixelProceduresFollowTheFormula) {
  for (uint32_t A = 0; A < 256; ++A) {
    for (uint32_t Val = 0; Val < 256; ++Val) {
      const TColor32 F = PatternF(A, Val), B = PatternB(Val, A);
      const TColor32 Blended = ModelBlendColors(V(), F, B);
      ASSERT_EQ(BlendColors(F, B), Blended) << Hex(F) << " over " << Hex(B);
      TColor32 P = B;
      BlendColorInto(F, P);
      ASSERT_EQ(P, Blended) << Hex(F) << " into " << Hex(B);

      // A plays the weight W here; X's own alpha takes no part.
      const TColor32 X = PatternF(Val, 255 - Val);
      P = B;
      CombineColorInto(X, P, A);
      ASSERT_EQ(P, ModelCombine(V(), X, B, A)) << Hex(X) << " into " << Hex(B) << " W " << A;

      // F.A against every master alpha Val.
      P = B;
      BlendColorIntoMaster(PatternF(A, Val ^ 0x55), P, Val);
      ASSERT_EQ(P, ModelMaster(V(), PatternF(A, Val ^ 0x55), B, Val)) << "A " << A << " M " << Val;
    }
  }
}

TEST_P(BlendVariants, RandomColourPairsFollowTheFormula) {
  std::mt19937 Random(7);
  for (int i = 0; i < 200000; ++i) {
    const TColor32 F = Random(), B = Random();
    const uint32_t M = Random() & 0xFF;
    ASSERT_EQ(BlendColors(F, B), ModelBlendColors(V(), F, B)) << Hex(F) << " over " << Hex(B);
    TColor32 P = B;
    BlendColorIntoMaster(F, P, M);
    ASSERT_EQ(P, ModelMaster(V(), F, B, M));
    P = B;
    CombineColorInto(F, P, M);
    ASSERT_EQ(P, ModelCombine(V(), F, B, M));
  }
  // A row of colours at once, alphas 0 and 255 among them, nothing written past its end.
  for (int i = 0; i < 2000; ++i) {
    const int32_t Count = static_cast<int32_t>(Random() % 70);
    std::vector<TColor32> Src(Count), Dst(Count + 1), Wanted(Count + 1);
    for (int32_t X = 0; X < Count; ++X) {
      const uint32_t Any = Random() & 0xFF, Alpha = Random() % 4 == 0 ? 0 : Random() % 3 == 0 ? 255 : Any;
      Src[X] = static_cast<TColor32>((Random() & 0x00FFFFFF) | Alpha << 24);
      Dst[X] = Random();
      Wanted[X] = ModelBlendColors(V(), Src[X], Dst[X]);
    }
    Dst[Count] = Wanted[Count] = 0x5A5A5A5A;
    BlendColorsIntoRow(Src.data(), Dst.data(), Count);
    ASSERT_EQ(Dst, Wanted) << "row of " << Count;
  }
}

// Each row form, generic and SIMD, over every weight with rows that carry every channel value.
TEST_P(BlendVariants, RowFormsFollowTheFormulaForEveryWeight) {
  std::vector<TColor32> Src(256), Dst(256), Row(256);
  for (uint32_t i = 0; i < 256; ++i) {
    Src[i] = PatternF(i, (i * 97) & 0xFF);
    Dst[i] = PatternB(i, 3);
  }
  for (const TBlendKernels* T : TablesOf(V())) {
    SCOPED_TRACE(LevelName(T->Level));
    const TCombineModeEntry& Ops = T->Modes[0];
    for (uint32_t W = 0; W < 256; ++W) {
      // Src alphas run through 0..255, so every (alpha, M) pair is met.
      Row = Dst;
      Ops.RowMaster(Src.data(), Row.data(), 256, W);
      for (int i = 0; i < 256; ++i)
        ASSERT_EQ(Row[i], ModelRowMaster(V(), Src[i], Dst[i], W)) << "M " << W << " pixel " << i;

      const TColor32 X = PatternF(255 - W, W);
      Row = Dst;
      Ops.RectRow(X, Row.data(), 256, W);
      for (int i = 0; i < 256; ++i) ASSERT_EQ(Row[i], ModelCombine(V(), X, Dst[i], W)) << "W " << W;

      const TColor32 F = PatternF(W, 255 - W);
      Row = Dst;
      Ops.ColorIntoRow(F, Row.data(), 256);
      for (int i = 0; i < 256; ++i) ASSERT_EQ(Row[i], ModelBlendColors(V(), F, Dst[i])) << "A " << W;

      // One colour of every alpha under every master alpha.
      for (uint32_t A : {0u, 1u, 127u, 128u, 251u, 254u, 255u, W}) {
        const TColor32 Solid = PatternF(A, W ^ 0x5A);
        Row = Dst;
        Ops.SolidRowMaster(Solid, Row.data(), 256, W);
        for (int i = 0; i < 256; ++i)
          ASSERT_EQ(Row[i], ModelRowMaster(V(), Solid, Dst[i], W)) << "A " << A << " M " << W << " pixel " << i;
      }
    }
  }
}

// Random rows of every length up to a few vector widths, at every alignment of a 32-byte line,
// between guard pixels: the vector bodies, their masked or scalar tails and the unaligned heads
// must agree with the model, and nothing outside the row may change.
TEST_P(BlendVariants, RowKernelsKeepToTheirRowAtAnyLengthAndAlignment) {
  std::mt19937 Random(11);
  constexpr int Guard = 8, Size = 128;
  struct alignas(64) Buffer {
    TColor32 P[Size];
  };
  Buffer Src, Dst, Row;
  const auto Reset = [&] { Row = Dst; };
  for (const TBlendKernels* T : TablesOf(V())) {
    SCOPED_TRACE(LevelName(T->Level));
    const TCombineModeEntry& Ops = T->Modes[0];
    for (int Offset = 0; Offset < 8; ++Offset) {
      for (int Count = -1; Count <= 80; ++Count) {
        for (TColor32& C : Src.P) C = Random();
        for (TColor32& C : Dst.P) C = Random();
        // Some transparent runs so the all-transparent shortcut is taken too.
        for (int i = 0; i < Size; i += 9) Src.P[i] &= 0x00FFFFFF;
        for (int i = 40; i < 56; ++i) Src.P[i] &= 0x00FFFFFF;
        const uint32_t W = Count % 5 == 0 ? 255 : Random() & 0xFF;
        const int First = Guard + Offset;
        const auto Check = [&](const char* What, auto&& Model) {
          for (int i = 0; i < Size; ++i) {
            const bool Inside = i >= First && i < First + Count;
            ASSERT_EQ(Row.P[i], Inside ? Model(i) : Dst.P[i])
                << What << " count " << Count << " offset " << Offset << " W " << W << " at " << i;
          }
        };
        Reset();
        Ops.RowMaster(Src.P + First, Row.P + First, Count, W);
        Check("RowMaster", [&](int i) { return ModelRowMaster(V(), Src.P[i], Dst.P[i], W); });
        Reset();
        Ops.RectRow(Src.P[0], Row.P + First, Count, W);
        Check("RectRow", [&](int i) { return ModelCombine(V(), Src.P[0], Dst.P[i], W); });
        Reset();
        Ops.ColorIntoRow(Src.P[1], Row.P + First, Count);
        Check("ColorIntoRow", [&](int i) { return ModelBlendColors(V(), Src.P[1], Dst.P[i]); });
        const TColor32 Solid = Count % 3 == 0 ? Src.P[2] | 0xFF000000 : Src.P[2];
        Reset();
        Ops.SolidRowMaster(Solid, Row.P + First, Count, W);
        Check("SolidRowMaster", [&](int i) { return ModelRowMaster(V(), Solid, Dst.P[i], W); });
        Reset();
        T->FillPixels(Row.P + First, Count, Src.P[3]);
        Check("FillPixels", [&](int) { return Src.P[3]; });
      }
    }
  }
}

// Weights beyond 0..255 are outside the procedures' domain; the vector rows still answer exactly
// as the scalar rows do.
TEST_P(BlendVariants, RowKernelsAgreeWithScalarOutsideTheWeightRange) {
  const TCombineModeEntry& Scalar = KernelTable(V(), SimdLevel::Scalar).Modes[0];
  std::mt19937 Random(5);
  std::vector<TColor32> Src(21), Dst(21), A(21), B(21);
  for (TColor32& C : Src) C = Random();
  for (TColor32& C : Dst) C = Random();
  for (uint32_t W : {256u, 300u, 0xFFFFFFFFu}) {
    for (const TBlendKernels* T : TablesOf(V())) {
      const TCombineModeEntry& Ops = T->Modes[0];
      A = Dst;
      B = Dst;
      Scalar.RowMaster(Src.data(), A.data(), 21, W);
      Ops.RowMaster(Src.data(), B.data(), 21, W);
      EXPECT_EQ(A, B) << LevelName(T->Level) << " M " << W;
      A = Dst;
      B = Dst;
      Scalar.RectRow(Src[0], A.data(), 21, W);
      Ops.RectRow(Src[0], B.data(), 21, W);
      EXPECT_EQ(A, B) << LevelName(T->Level) << " W " << W;
      A = Dst;
      B = Dst;
      Scalar.SolidRowMaster(Src[0] | 0xFF000000, A.data(), 21, W);
      Ops.SolidRowMaster(Src[0] | 0xFF000000, B.data(), 21, W);
      EXPECT_EQ(A, B) << LevelName(T->Level) << " solid M " << W;
    }
  }
}

// The opaque master row of one colour, whose packed form compares bytes instead of multiplying,
// for every pair of foreground and background channel values.
TEST_P(BlendVariants, OpaqueSolidRowsFollowTheFormulaForEveryChannelPair) {
  std::vector<TColor32> Dst(256), Row(256);
  for (uint32_t B = 0; B < 256; ++B) Dst[B] = B << 24 | (255 - B) << 16 | B << 8 | ((B * 7) & 0xFF);
  for (const TBlendKernels* T : TablesOf(V())) {
    SCOPED_TRACE(LevelName(T->Level));
    for (uint32_t F = 0; F < 256; ++F) {
      const TColor32 Solid = 0xFF000000 | F << 16 | (255 - F) << 8 | ((F * 13) & 0xFF);
      Row = Dst;
      T->Modes[0].SolidRowMaster(Solid, Row.data(), 256, 255);
      for (int i = 0; i < 256; ++i) ASSERT_EQ(Row[i], ModelRowMaster(V(), Solid, Dst[i], 255)) << "F " << F;
    }
  }
}

// The blended rectangle in one call, where a level has it: each row as the row kernel has it,
// for every weight and at widths around the vector widths, and nothing between or around the rows.
TEST_P(BlendVariants, RectangleKernelsEqualTheirRowsAndKeepToThem) {
  std::mt19937 Random(17);
  constexpr int Stride = 64, Rows = 5;
  std::vector<TColor32> Dst(Stride * (Rows + 2)), Want, Got;
  for (const TBlendKernels* T : TablesOf(V())) {
    const TCombineModeEntry& Ops = T->Modes[0];
    if (Ops.RectRows == nullptr) continue;
    SCOPED_TRACE(LevelName(T->Level));
    for (uint32_t W : {0u, 1u, 127u, 128u, 200u, 254u, 255u, 256u}) {
      for (int Width = 1; Width <= 40; ++Width) {
        for (TColor32& C : Dst) C = Random();
        const TColor32 X = Random();
        const int Left = static_cast<int>(Random() % 9), Height = 1 + static_cast<int>(Random() % Rows);
        Want = Dst;
        Got = Dst;
        for (int Y = 0; Y < Height; ++Y) Ops.RectRow(X, Want.data() + (Y + 1) * Stride + Left, Width, W);
        Ops.RectRows(X, Got.data() + Stride + Left, Width, Height, Stride, W);
        ASSERT_EQ(Got, Want) << "W " << W << " width " << Width << " height " << Height;
      }
    }
  }
}

// The opaque rectangle in one call, where a level has it: every row filled, nothing between or
// around the rows touched.
TEST_P(BlendVariants, OpaqueRectangleKernelsFillTheirRowsOnly) {
  std::mt19937 Random(23);
  constexpr int Stride = 64, Rows = 5;
  std::vector<TColor32> Dst(Stride * (Rows + 2)), Want, Got;
  for (const TBlendKernels* T : TablesOf(V())) {
    if (T->FillRect == nullptr) continue;
    SCOPED_TRACE(LevelName(T->Level));
    for (int Width = 1; Width <= 40; ++Width) {
      for (TColor32& C : Dst) C = Random();
      const TColor32 X = Random();
      const int Left = static_cast<int>(Random() % 9), Height = 1 + static_cast<int>(Random() % Rows);
      Want = Dst;
      Got = Dst;
      for (int Y = 0; Y < Height; ++Y) std::fill_n(Want.data() + (Y + 1) * Stride + Left, Width, X);
      T->FillRect(Got.data() + Stride + Left, Width, Height, Stride, X);
      ASSERT_EQ(Got, Want) << "width " << Width << " height " << Height;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(, BlendVariants,
                         ::testing::Values(BlendVariant::Portable, BlendVariant::Packed),
                         [](const auto& Info) {
                           return Info.param == BlendVariant::Portable ? "Portable" : "Packed";
                         });

// --- Coverage conversion -------------------------------------------------------------------------

// Every level against the scalar kernel: every length up to a few vector widths at every
// alignment, with cells beyond the row and colours around it left alone. Sums stay in the range
// of real coverage or run over the whole 32 bits.
TEST(CoverageRow, EveryLevelEqualsScalarAtAnyLengthAndAlignment) {
  std::mt19937 Random(21);
  constexpr int Guard = 8, Size = 128;
  struct alignas(64) Cells {
    int32_t Acc[Size];
    TColor32 Out[Size];
  };
  const TCoverageRowProc Scalar = KernelTable(BlendVariant::Packed, SimdLevel::Scalar).Modes[0].CoverageRow;
  const uint32_t Scales[] = {65, 273, 1167, 5460, 32662, 65535};
  for (int L = 1; L < SimdLevelCount; ++L) {
    if (!SimdLevelSupported(static_cast<SimdLevel>(L))) continue;
    const TCoverageRowProc Kernel = KernelTable(BlendVariant::Packed, static_cast<SimdLevel>(L)).Modes[0].CoverageRow;
    EXPECT_EQ(Kernel, KernelTable(BlendVariant::Portable, static_cast<SimdLevel>(L)).Modes[1].CoverageRow);
    for (int Offset = 0; Offset < 8; ++Offset) {
      for (int Count = 0; Count <= 80; ++Count) {
        Cells Start;
        const bool Wide = Count % 4 == 3;
        for (int32_t& A : Start.Acc) A = Wide ? static_cast<int32_t>(Random()) : static_cast<int32_t>(Random() % 65) - 32;
        for (TColor32& C : Start.Out) C = Random();
        const uint32_t Sum = Wide ? Random() : Random() % 600;
        const uint32_t Scale = Scales[Random() % std::size(Scales)];
        const TColor32 Rgb = Random() & 0x00FFFFFF;
        Cells Want = Start, Got = Start;
        const int First = Guard + Offset;
        const uint32_t WantSum = Scalar(Want.Acc + First, Want.Out + First, Count, Sum, Scale, Rgb);
        const uint32_t GotSum = Kernel(Got.Acc + First, Got.Out + First, Count, Sum, Scale, Rgb);
        ASSERT_EQ(GotSum, WantSum) << "level " << L << " count " << Count << " offset " << Offset;
        for (int i = 0; i < Size; ++i) {
          ASSERT_EQ(Got.Acc[i], Want.Acc[i]) << "level " << L << " count " << Count << " cell " << i;
          ASSERT_EQ(Got.Out[i], Want.Out[i]) << "level " << L << " count " << Count << " colour " << i;
        }
      }
    }
  }
}

// Every level's blend of a cluster straight from its spans against the scalar one, in both
// variants and under merge: spans of every grid and count, clusters of every length up to a few
// vectors at every alignment, master alphas in and out of range, guard pixels around the row.
TEST(SpanBlend, EveryLevelEqualsScalarAtAnyLengthAndAlignment) {
  std::mt19937 Random(31);
  constexpr int Guard = 8, Size = 128;
  struct alignas(64) Row {
    TColor32 P[Size];
  };
  int32_t Starts[32], Ends[32];
  for (BlendVariant V : {BlendVariant::Portable, BlendVariant::Packed}) {
    const TBlendKernels& Scalar = KernelTable(V, SimdLevel::Scalar);
    for (const TBlendKernels* T : TablesOf(V)) {
      for (int Mode = 0; Mode < 2; ++Mode) {
        SCOPED_TRACE(std::string(LevelName(T->Level)) + (Mode ? " merge" : " blend"));
        for (int Trial = 0; Trial < 600; ++Trial) {
          TRowSpans Spans{};
          Spans.Shift = 1 + static_cast<int32_t>(Random() % 5);
          Spans.Mask = (1 << Spans.Shift) - 1;
          Spans.Count = 1 + static_cast<int32_t>(Random() % 32);
          const int32_t From = static_cast<int32_t>(Random() % 5000);
          const int32_t Cells = static_cast<int32_t>(Random() % 41);
          // Span ends around the cluster, a little outside it now and then, or bunched at one place
          // so that whole vectors lie before or past them.
          const int32_t Lo = (From - 2 + (Trial % 4 == 0 ? static_cast<int32_t>(Random() % 40) : 0)) << Spans.Shift;
          const int32_t Width = (Trial % 4 == 0 ? 2 : Cells + 4) << Spans.Shift;
          for (int32_t I = 0; I < Spans.Count; ++I) {
            const int32_t A = Lo + static_cast<int32_t>(Random() % static_cast<uint32_t>(Width));
            const int32_t B = Lo + static_cast<int32_t>(Random() % static_cast<uint32_t>(Width));
            Starts[I] = std::min(A, B);
            Ends[I] = std::max(A, B);
          }
          Spans.Starts = Starts;
          Spans.Ends = Ends;
          Spans.MinStart = *std::min_element(Starts, Starts + Spans.Count);
          Spans.MaxStart = *std::max_element(Starts, Starts + Spans.Count);
          Spans.MinEnd = *std::min_element(Ends, Ends + Spans.Count);
          Spans.MaxEnd = *std::max_element(Ends, Ends + Spans.Count);
          const bool WithStarts = Random() % 4 != 0, WithEnds = Random() % 4 != 0;
          const uint32_t Scale = std::array<uint32_t, 5>{65, 273, 1167, 5460, 32662}[Random() % 5];
          const TColor32 Rgb = Random() & 0x00FFFFFF;
          const uint32_t M = Trial % 50 == 0 ? 300 : Trial % 3 == 0 ? 255 : Random() % 256;
          Row Want, Got;
          for (TColor32& C : Want.P) C = Random();
          Got = Want;
          const int First = Guard + Trial % 8;
          Scalar.Modes[Mode].SpanBlend(Spans, From, Cells, WithStarts, WithEnds, Scale, Rgb, Want.P + First, M);
          T->Modes[Mode].SpanBlend(Spans, From, Cells, WithStarts, WithEnds, Scale, Rgb, Got.P + First, M);
          for (int I = 0; I < Size; ++I)
            ASSERT_EQ(Got.P[I], Want.P[I]) << "trial " << Trial << " cells " << Cells << " at " << I;
        }
      }
    }
  }
}

// --- Choosing the level ---------------------------------------------------------------------------

TEST(SimdLevelChoice, NamedLevelsUpToTheBestAreTakenOthersReported) {
  std::string Complaint;
  EXPECT_EQ(ChooseSimdLevel(nullptr, SimdLevel::Avx2, Complaint), SimdLevel::Avx2);
  EXPECT_TRUE(Complaint.empty());
  EXPECT_EQ(ChooseSimdLevel("", SimdLevel::Sse2, Complaint), SimdLevel::Sse2);
  EXPECT_TRUE(Complaint.empty());
  EXPECT_EQ(ChooseSimdLevel("scalar", SimdLevel::Avx2, Complaint), SimdLevel::Scalar);
  EXPECT_EQ(ChooseSimdLevel("sse2", SimdLevel::Avx2, Complaint), SimdLevel::Sse2);
  EXPECT_EQ(ChooseSimdLevel("avx2", SimdLevel::Avx2, Complaint), SimdLevel::Avx2);
  EXPECT_TRUE(Complaint.empty());

  EXPECT_EQ(ChooseSimdLevel("avx2", SimdLevel::Sse2, Complaint), SimdLevel::Sse2);
  EXPECT_NE(Complaint.find("does not run"), std::string::npos) << Complaint;
  EXPECT_NE(Complaint.find("using sse2"), std::string::npos) << Complaint;
  EXPECT_EQ(ChooseSimdLevel("AVX-512", SimdLevel::Avx2, Complaint), SimdLevel::Avx2);
  EXPECT_NE(Complaint.find("unknown"), std::string::npos) << Complaint;
  EXPECT_EQ(ChooseSimdLevel("sse2 ", SimdLevel::Scalar, Complaint), SimdLevel::Scalar);
  EXPECT_NE(Complaint.find("using scalar"), std::string::npos) << Complaint;
  // A complaint does not outlive the next good choice.
  EXPECT_EQ(ChooseSimdLevel("scalar", SimdLevel::Scalar, Complaint), SimdLevel::Scalar);
  EXPECT_TRUE(Complaint.empty());
}

TEST(SimdLevelChoice, LevelsAreNestedAndScalarAlwaysRuns) {
  EXPECT_TRUE(SimdLevelSupported(SimdLevel::Scalar));
  const SimdLevel Best = BestSimdLevel();
  for (int L = 0; L < SimdLevelCount; ++L)
    EXPECT_EQ(SimdLevelSupported(static_cast<SimdLevel>(L)), L <= static_cast<int>(Best)) << L;
}

// --- Merge --------------------------------------------------------------------------------------

uint32_t ModelProduct(uint32_t J, uint32_t I) { return static_cast<uint32_t>(std::lround(I * J / 255.0)); }
uint32_t ModelRatio(uint32_t J, uint32_t I) {
  return J == 0 ? 0 : static_cast<uint32_t>(std::nearbyint(I * 255.0 / J)) & 0xFF;
}

// Merge approximates the foreground over the background, each weighed by its alpha, divided back
// by the alpha of the result. Its alpha is exact; a colour channel carries the roundings of the
// premultiplied values (at most one unit) times 255 / alpha, plus the last rounding.
TEST(Merge, ApproximatesForegroundOverBackgroundForEveryPairOfAlphas) {
  std::mt19937 Random(17);
  for (BlendVariant V : {BlendVariant::Portable, BlendVariant::Packed}) {
    InitBlendOps(V);
    for (uint32_t FA = 0; FA < 256; ++FA) {
      for (uint32_t BA = 0; BA < 256; ++BA) {
        const TColor32 F = FA << 24 | (Random() & 0x00FFFFFF), B = BA << 24 | (Random() & 0x00FFFFFF);
        const TColor32 R = MergeColors(F, B);
        if (FA == 0) {
          ASSERT_EQ(R, B);
        } else if (BA == 255) {
          // Translucent onto opaque: an opaque result in BlendColors' colour.
          ASSERT_EQ(R, BlendColors(F, B) | 0xFF000000) << Hex(F) << " merged onto " << Hex(B);
        } else if (FA == 255 || BA == 0) {
          ASSERT_EQ(R, F);
        } else {
          const double RA = FA + BA - std::lround(FA * BA / 255.0);
          ASSERT_EQ(R >> 24, RA) << Hex(F) << " merged onto " << Hex(B);
          for (int K = 0; K < 3; ++K) {
            const double Over = (Channel(F, K) * FA + Channel(B, K) * BA * (255.0 - FA) / 255.0) / RA;
            ASSERT_LE(std::abs(Channel(R, K) - Over), 255.0 / RA + 0.5)
                << Hex(F) << " merged onto " << Hex(B) << " channel " << K;
          }
        }
      }
    }
  }
  InitBlendOps(HasMmx() ? BlendVariant::Packed : BlendVariant::Portable);
}

// The exact results of many random pairs, pinned by a hash.
TEST(Merge, RandomPairsKeepTheirResults) {
  const auto Hashed = [](BlendVariant V) {
    InitBlendOps(V);
    std::mt19937 Random(23);
    uint64_t Hash = 14695981039346656037ull;
    for (int I = 0; I < 300000; ++I) {
      TColor32 F = Random(), B = Random();
      // Alphas at the ends of the range take their own paths.
      if (I % 7 == 0) B |= 0xFF000000;
      if (I % 11 == 0) F &= 0x00FFFFFF;
      Hash = (Hash ^ MergeColors(F, B)) * 1099511628211ull;
    }
    return Hash;
  };
  EXPECT_EQ(Hashed(BlendVariant::Portable), 0xf8726b9c972392aeull) << std::hex << Hashed(BlendVariant::Portable);
  EXPECT_EQ(Hashed(BlendVariant::Packed), 0x31a20205d82bcfd0ull) << std::hex << Hashed(BlendVariant::Packed);
  InitBlendOps(HasMmx() ? BlendVariant::Packed : BlendVariant::Portable);
}

TEST(Merge, MasterAndRowScaleTheForegroundAlpha) {
  std::mt19937 Random(3);
  std::vector<TColor32> Src(33), Dst(33), Row;
  for (TColor32& C : Src) C = Random();
  for (TColor32& C : Dst) C = Random();
  for (uint32_t M : {0u, 1u, 128u, 200u, 255u}) {
    Row = Dst;
    MergeRowMaster(Src.data(), Row.data(), 33, M);
    for (int i = 0; i < 33; ++i) {
      const TColor32 Scaled = (Src[i] & 0x00FFFFFF) | ModelProduct(M, Src[i] >> 24) << 24;
      const TColor32 Expected = MergeColors(Scaled, Dst[i]);
      ASSERT_EQ(Row[i], Expected) << "M " << M;
      TColor32 P = Dst[i];
      MergeColorIntoMaster(Src[i], P, M);
      ASSERT_EQ(P, Expected);
    }
  }
  Row = Dst;
  MergeRowMaster(Src.data(), Row.data(), 0, 255);
  MergeRowMaster(Src.data(), Row.data(), -4, 255);
  EXPECT_EQ(Row, Dst);
}

// --- Tables -------------------------------------------------------------------------------------

TEST(BlendTables, ProductAndRatioRoundToNearest) {
  for (uint32_t J = 0; J < 256; ++J) {
    for (uint32_t I = 0; I < 256; ++I) {
      ASSERT_EQ(ProductTable[J][I], ModelProduct(J, I)) << J << "," << I;
      ASSERT_EQ(RatioTable[J][I], ModelRatio(J, I)) << J << "," << I;
    }
  }
  // Exact halves go to the even neighbour: 1 * 255 / 2 = 127.5 -> 128, 3 * 255 / 2 = 382.5 -> 382.
  EXPECT_EQ(RatioTable[2][1], 128);
  EXPECT_EQ(RatioTable[2][3], 382 & 0xFF);
}

TEST(BlendTables, CoverageGamma) {
  // The exponent is the single-precision value nearest 0.7; the arithmetic is extended.
  const long double Gamma = static_cast<long double>(0.7f);
  for (int i = 0; i < 256; ++i)
    EXPECT_EQ(CoverageGammaTable[i], std::nearbyint(std::pow(static_cast<long double>(i) / 255.0L, Gamma) * 255.0L)) << i;
  const uint8_t First[] = {0, 5, 9, 11, 14, 16};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(CoverageGammaTable[i], First[i]) << i;
  EXPECT_EQ(CoverageGammaTable[128], 157);
  EXPECT_EQ(CoverageGammaTable[255], 255);
  for (int i = 1; i < 256; ++i) EXPECT_LE(CoverageGammaTable[i - 1], CoverageGammaTable[i]);
}

}  // namespace
}  // namespace quillet
