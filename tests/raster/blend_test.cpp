// The blend procedures of both variants, generic and SSE2, against a per-channel model of their
// formulas: every weight against every channel value, random colour pairs, and rows of every
// short length at every offset.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "raster/blend.h"
#include "raster/blend_variants.h"

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

// --- Every implementation of each row form, generic and SIMD -------------------------------------

struct RowForms {
  const char* Name;
  TRowMasterProc RowMaster;
  TColorIntoRowProc ColorIntoRow;
  TCombineColorRowProc CombineRow;
  TFillPixelsProc Fill;
};

std::vector<RowForms> RowFormsOf(BlendVariant V) {
  std::vector<RowForms> Forms;
  if (V == BlendVariant::Portable) {
    Forms.push_back({"generic", portable::BlendRowMaster, portable::BlendColorIntoRow, portable::CombineColorRow,
                     portable::FillPixels});
#if QUILLET_HAVE_SSE2_ROWS
    Forms.push_back({"sse2", portable_sse2::BlendRowMaster, portable_sse2::BlendColorIntoRow,
                     portable_sse2::CombineColorRow, portable::FillPixels});
#endif
  } else {
    Forms.push_back({"generic", packed::BlendRowMaster, packed::BlendColorIntoRow, packed::CombineColorRow,
                     packed::FillPixels});
#if QUILLET_HAVE_SSE2_ROWS
    Forms.push_back({"sse2", packed_sse2::BlendRowMaster, packed_sse2::BlendColorIntoRow,
                     packed_sse2::CombineColorRow, packed_sse2::FillPixels});
#endif
  }
  return Forms;
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

TEST_P(BlendVariants, SlotsHoldTheChosenVariant) {
  EXPECT_EQ(ActiveBlendVariant(), V());
  const bool Packed = V() == BlendVariant::Packed;
  EXPECT_EQ(BlendColors, Packed ? packed::BlendColors : portable::BlendColors);
  EXPECT_EQ(CombineColorInto, Packed ? packed::CombineColorInto : portable::CombineColorInto);
  EXPECT_EQ(CombineModeOps[0].ColorInto, BlendColorInto);
  EXPECT_EQ(CombineModeOps[0].ColorIntoMaster, BlendColorIntoMaster);
  EXPECT_EQ(CombineModeOps[0].RowMaster, BlendRowMaster);
  EXPECT_EQ(CombineModeOps[0].ColorIntoRow, BlendColorIntoRow);
  // Merge is the same in both variants.
  EXPECT_EQ(CombineModeOps[1].ColorInto, merge::MergeColorInto);
  EXPECT_EQ(CombineModeOps[1].ColorIntoMaster, merge::MergeColorIntoMaster);
  EXPECT_EQ(CombineModeOps[1].RowMaster, merge::MergeRowMaster);
  EXPECT_EQ(MergeColors, merge::MergeColors);
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
}

// Each row form, generic and SIMD, over every weight with rows that carry every channel value.
TEST_P(BlendVariants, RowFormsFollowTheFormulaForEveryWeight) {
  std::vector<TColor32> Src(256), Dst(256), Row(256);
  for (uint32_t i = 0; i < 256; ++i) {
    Src[i] = PatternF(i, (i * 97) & 0xFF);
    Dst[i] = PatternB(i, 3);
  }
  for (const RowForms& Form : RowFormsOf(V())) {
    SCOPED_TRACE(Form.Name);
    for (uint32_t W = 0; W < 256; ++W) {
      // Src alphas run through 0..255, so every (alpha, M) pair is met.
      Row = Dst;
      Form.RowMaster(Src.data(), Row.data(), 256, W);
      for (int i = 0; i < 256; ++i)
        ASSERT_EQ(Row[i], ModelRowMaster(V(), Src[i], Dst[i], W)) << "M " << W << " pixel " << i;

      const TColor32 X = PatternF(255 - W, W);
      Row = Dst;
      Form.CombineRow(X, Row.data(), 256, W);
      for (int i = 0; i < 256; ++i) ASSERT_EQ(Row[i], ModelCombine(V(), X, Dst[i], W)) << "W " << W;

      const TColor32 F = PatternF(W, 255 - W);
      Row = Dst;
      Form.ColorIntoRow(F, Row.data(), 256);
      for (int i = 0; i < 256; ++i) ASSERT_EQ(Row[i], ModelBlendColors(V(), F, Dst[i])) << "A " << W;
    }
  }
}

// Random rows of every short length at every offset: the SIMD body, its tail and the generic
// rest must agree, and nothing outside the row may change.
TEST_P(BlendVariants, RowFormsKeepToTheirRowAtAnyLengthAndOffset) {
  std::mt19937 Random(11);
  constexpr int Guard = 8;
  std::vector<TColor32> Src(80), Dst(80), Row(80);
  for (const RowForms& Form : RowFormsOf(V())) {
    SCOPED_TRACE(Form.Name);
    for (int Offset = 0; Offset < 4; ++Offset) {
      for (int Count = -1; Count <= 40; ++Count) {
        for (TColor32& C : Src) C = Random();
        for (TColor32& C : Dst) C = Random();
        // Some transparent runs so the all-transparent shortcut is taken too.
        for (int i = 0; i < 80; i += 9) Src[i] &= 0x00FFFFFF;
        for (int i = 40; i < 48; ++i) Src[i] &= 0x00FFFFFF;
        const uint32_t W = Random() & 0xFF;
        const int First = Guard + Offset;
        const auto Check = [&](auto&& Model) {
          for (int i = 0; i < 80; ++i) {
            const bool Inside = i >= First && i < First + Count;
            ASSERT_EQ(Row[i], Inside ? Model(i) : Dst[i]) << "count " << Count << " offset " << Offset << " at " << i;
          }
        };
        Row = Dst;
        Form.RowMaster(Src.data() + First, Row.data() + First, Count, W);
        Check([&](int i) { return ModelRowMaster(V(), Src[i], Dst[i], W); });
        Row = Dst;
        Form.CombineRow(Src[0], Row.data() + First, Count, W);
        Check([&](int i) { return ModelCombine(V(), Src[0], Dst[i], W); });
        Row = Dst;
        Form.ColorIntoRow(Src[1], Row.data() + First, Count);
        Check([&](int i) { return ModelBlendColors(V(), Src[1], Dst[i]); });
        Row = Dst;
        Form.Fill(Row.data() + First, Count, Src[2]);
        Check([&](int) { return Src[2]; });
      }
    }
  }
}

// Weights beyond 0..255 are outside the procedures' domain; the SIMD rows still answer exactly
// as the generic rows do.
TEST_P(BlendVariants, RowFormsAgreeWithGenericOutsideTheWeightRange) {
  const std::vector<RowForms> Forms = RowFormsOf(V());
  std::mt19937 Random(5);
  std::vector<TColor32> Src(21), Dst(21), A(21), B(21);
  for (TColor32& C : Src) C = Random();
  for (TColor32& C : Dst) C = Random();
  for (uint32_t W : {256u, 300u, 0xFFFFFFFFu}) {
    for (const RowForms& Form : Forms) {
      A = Dst;
      B = Dst;
      Forms[0].RowMaster(Src.data(), A.data(), 21, W);
      Form.RowMaster(Src.data(), B.data(), 21, W);
      EXPECT_EQ(A, B) << Form.Name << " M " << W;
      A = Dst;
      B = Dst;
      Forms[0].CombineRow(Src[0], A.data(), 21, W);
      Form.CombineRow(Src[0], B.data(), 21, W);
      EXPECT_EQ(A, B) << Form.Name << " W " << W;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(, BlendVariants,
                         ::testing::Values(BlendVariant::Portable, BlendVariant::Packed),
                         [](const auto& Info) {
                           return Info.param == BlendVariant::Portable ? "Portable" : "Packed";
                         });

// --- Merge --------------------------------------------------------------------------------------

uint32_t ModelProduct(uint32_t J, uint32_t I) { return static_cast<uint32_t>(std::lround(I * J / 255.0)); }
uint32_t ModelRatio(uint32_t J, uint32_t I) {
  return J == 0 ? 0 : static_cast<uint32_t>(std::nearbyint(I * 255.0 / J)) & 0xFF;
}

TColor32 ModelMerge(BlendVariant V, TColor32 F, TColor32 B) {
  const uint32_t FA = F >> 24, BA = B >> 24;
  if (FA == 0) return B;
  if (BA == 255) return ModelBlendColors(V, F, B) | 0xFF000000;
  if (FA == 255 || BA == 0) return F;
  const uint32_t RA = FA + BA - ModelProduct(BA, FA);
  TColor32 R = RA << 24;
  for (int K = 0; K < 3; ++K) {
    const uint32_t FK = Channel(F, K);
    const uint32_t BX = ModelProduct(BA, Channel(B, K));
    const uint32_t T = FK >= BX ? BX + ModelProduct(FA, FK - BX) : BX - ModelProduct(FA, BX - FK);
    R |= ModelRatio(RA, T) << (8 * K);
  }
  return R;
}

TEST(Merge, FollowsItsStepsForEveryPairOfAlphas) {
  for (BlendVariant V : {BlendVariant::Portable, BlendVariant::Packed}) {
    InitBlendOps(V);
    for (uint32_t FA = 0; FA < 256; ++FA) {
      for (uint32_t BA = 0; BA < 256; ++BA) {
        const TColor32 F = PatternF(FA, BA), B = (PatternB(FA, BA) & 0x00FFFFFF) | BA << 24;
        ASSERT_EQ(MergeColors(F, B), ModelMerge(V, F, B)) << Hex(F) << " merged onto " << Hex(B);
        // Translucent onto opaque: an opaque result in BlendColors' colour.
        if (BA == 255) {
          EXPECT_EQ(MergeColors(F, B), BlendColors(F, B) | 0xFF000000);
        }
      }
    }
  }
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
  const uint8_t First[] = {0, 5, 9, 11, 14, 16};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(CoverageGammaTable[i], First[i]) << i;
  EXPECT_EQ(CoverageGammaTable[128], 157);
  EXPECT_EQ(CoverageGammaTable[255], 255);
  for (int i = 1; i < 256; ++i) EXPECT_LE(CoverageGammaTable[i - 1], CoverageGammaTable[i]);
}

}  // namespace
}  // namespace quillet
