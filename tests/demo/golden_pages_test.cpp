// Whole pages pinned by a hash of their pixels after a fixed number of ticks, one per family and a
// few settings that change the geometry, plus pixels of the first tick derived by hand. The pages
// are drawn without a text engine, so the hashes need no fonts.
//
// QUILLET_GOLDEN_PNG_DIR=dir writes every page as a PNG there, for looking at them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "demo/frame_tick.h"
#include "tools/png_file.h"
#include "raster/bitmap32.h"
#include "raster/blend.h"

namespace quillet {
namespace {

DemoSettings Only(std::initializer_list<bool DemoSettings::*> Boxes) {
  DemoSettings S;
  for (bool DemoSettings::*B :
       {&DemoSettings::iLines, &DemoSettings::iBars, &DemoSettings::iTriangles,
        &DemoSettings::iFillTria, &DemoSettings::iSplineCurve, &DemoSettings::iSplineArea,
        &DemoSettings::iEllipse, &DemoSettings::bLines, &DemoSettings::bBars,
        &DemoSettings::bTriangles, &DemoSettings::bFillTria, &DemoSettings::bSplineCurve,
        &DemoSettings::bSplineArea, &DemoSettings::bEllipseDisk, &DemoSettings::gBars,
        &DemoSettings::gTriangles, &DemoSettings::bgBars, &DemoSettings::bgTriangles})
    S.*B = false;
  for (bool DemoSettings::*B : Boxes) S.*B = true;
  return S;
}

const std::initializer_list<bool DemoSettings::*> AntiAliased = {
    &DemoSettings::iLines,       &DemoSettings::iBars,       &DemoSettings::iTriangles,
    &DemoSettings::iFillTria,    &DemoSettings::iSplineCurve, &DemoSettings::iSplineArea,
    &DemoSettings::iEllipse};
const std::initializer_list<bool DemoSettings::*> AlphaBlending = {
    &DemoSettings::bLines,       &DemoSettings::bBars,       &DemoSettings::bTriangles,
    &DemoSettings::bFillTria,    &DemoSettings::bSplineCurve, &DemoSettings::bSplineArea,
    &DemoSettings::bEllipseDisk};

DemoSettings Everything() {
  DemoSettings S = Only(AntiAliased);
  for (bool DemoSettings::*B : AlphaBlending) S.*B = true;
  S.gBars = S.gTriangles = S.bgBars = S.bgTriangles = true;
  return S;
}

// A fresh surface (every pixel 0) run for Ticks ticks at its own size as the client size.
struct Page {
  Page(int32_t W, int32_t H, const DemoSettings& S, int Ticks) {
    Surface.SetDimensions(W, H);
    State.SetDrawSurface(&Surface);
    const TTickClock Clock{[] { return 1u; }, [] {}};
    for (int I = 0; I < Ticks; ++I) timer1Timer(State, S, W, H, Clock);
  }
  TColor32 At(int X, int Y) const { return *Surface.PixelAddress(X, Y); }
  uint64_t Hash() const {
    uint64_t H = 14695981039346656037ull;  // FNV-1a over the pixels' bytes, low byte first
    const TColor32* P = Surface.PixelPtr();
    for (int64_t I = 0; I < int64_t{Surface.Width()} * Surface.Height(); ++I)
      for (int B = 0; B < 32; B += 8) H = (H ^ ((P[I] >> B) & 0xFF)) * 1099511628211ull;
    return H;
  }
  TBitmap32 Surface;
  TFrameState State;
};

// The first tick at 320 x 240, Size 80: colour A = 0xFFDD110A; the star's box is centred at
// (64, 65); the bar's at (101, 38), so the bar covers columns 61..140 and rows -2..77, clipped
// at the top. The blended family's colour D = 0x7F55BAD9 and its box centre (52, 79) give a
// blended quarter box over columns 52..91 and rows 79..118.
TEST(FirstTick, OpaqueBarFromTheSequence) {
  const Page P(320, 240, Only({&DemoSettings::iBars}), 1);
  EXPECT_EQ(P.At(61, 0), 0xFFDD110Au);
  EXPECT_EQ(P.At(140, 77), 0xFFDD110Au);
  EXPECT_EQ(P.At(100, 40), 0xFFDD110Au);
  EXPECT_EQ(P.At(60, 0), 0u);
  EXPECT_EQ(P.At(141, 0), 0u);
  EXPECT_EQ(P.At(61, 78), 0u);
}

TEST(FirstTick, BlendedQuarterBar) {
  const Page P(320, 240, Only({&DemoSettings::bBars}), 1);
  const TColor32 Expected = BlendColors(0x7F55BAD9, 0);
  EXPECT_EQ(P.At(52, 79), Expected);
  EXPECT_EQ(P.At(91, 118), Expected);
  EXPECT_EQ(P.At(51, 79), 0u);
  EXPECT_EQ(P.At(52, 78), 0u);
  EXPECT_EQ(P.At(92, 100), 0u);
  EXPECT_EQ(P.At(60, 119), 0u);
}

// With only gBars on, the first tick's bar follows the 33 unconditional draws: box centre (91, 185),
// so columns 51..131 and rows 145..225, corners 0xFFD5E483, 0xFF2D2C0E, 0xFF9B0F85, 0xFFAAC80C.
// Steps truncate toward zero: the top row steps red by -43008 / 80 = -537 per pixel, and the
// left edge's blue by 512 / 80 = 6, so the bottom-left pixel ends at 132 rather than 133.
TEST(FirstTick, GouraudBarCornersAndSteps) {
  const Page P(320, 240, Only({&DemoSettings::gBars}), 1);
  EXPECT_EQ(P.At(51, 145), 0xFFD5E483u);
  EXPECT_EQ(P.At(131, 145), 0xFF2D2C0Eu);
  EXPECT_EQ(P.At(91, 145), 0xFF818848u);
  EXPECT_EQ(P.At(51, 225), 0xFF9B0F84u);
  EXPECT_EQ(P.At(50, 145), 0u);
  EXPECT_EQ(P.At(132, 145), 0u);
  EXPECT_EQ(P.At(51, 144), 0u);
  EXPECT_EQ(P.At(51, 226), 0u);
}

struct GoldenCase {
  const char* Name;
  int32_t W, H;
  int Ticks;
  std::function<DemoSettings()> Settings;
  uint64_t Hash;
};

DemoSettings With(DemoSettings S, int32_t Thickness, int32_t Steps, int32_t Objects = 50) {
  S.SetThickness(Thickness);
  S.SetSteps(Steps);
  S.SetObjects(Objects);
  return S;
}

TEST(GoldenPages, PixelsAfterAFixedNumberOfTicks) {
  const GoldenCase Cases[] = {
      {"antialiased", 320, 240, 40, [] { return Only(AntiAliased); }, 0x6a8e93578e086512},
      {"alphablending", 320, 240, 40, [] { return Only(AlphaBlending); }, 0x67ef7b994dd5b695},
      {"gouraud", 320, 240, 40,
       [] { return Only({&DemoSettings::gBars, &DemoSettings::gTriangles}); }, 0xb2b947e2594e3009},
      {"blendgouraud", 320, 240, 40,
       [] { return Only({&DemoSettings::bgBars, &DemoSettings::bgTriangles}); }, 0x43691b3ca428e5ba},
      {"everything", 320, 240, 40, [] { return Everything(); }, 0x6a2e516f8924fb7d},
      {"everything_wiped", 320, 240, 25, [] { return With(Everything(), 1, 10, 10); }, 0x394c4c31b1920195},
      {"thickness5", 320, 240, 30, [] { return With(Everything(), 5, 10); }, 0x43ad46d33d70d401},
      {"steps1", 320, 240, 30,
       [] { return With(Only({&DemoSettings::iSplineCurve, &DemoSettings::bSplineArea}), 3, 1); },
       0xf7b0815b7a57d6a6},
      {"steps16", 320, 240, 30,
       [] { return With(Only({&DemoSettings::iSplineCurve, &DemoSettings::bSplineArea}), 3, 16); },
       0x348e1c8bed0d0197},
      {"smaller_than_size", 60, 45, 30, [] { return With(Everything(), 2, 10); }, 0xfaa96eba5f101d3b},
      // Spline corners of a client smaller than Size lie anywhere in the 32-bit range.
      {"splines_smaller_than_size", 60, 45, 40,
       [] {
         return With(Only({&DemoSettings::iSplineCurve, &DemoSettings::iSplineArea,
                           &DemoSettings::bSplineCurve, &DemoSettings::bSplineArea}),
                     4, 10);
       },
       0x87b47e10c1711ee5},
  };
  // The two blend variants may differ by one in a channel; the pages are pinned for the packed one.
  const BlendVariant Before = ActiveBlendVariant();
  InitBlendOps(BlendVariant::Packed);
  const char* Dir = std::getenv("QUILLET_GOLDEN_PNG_DIR");
  for (const GoldenCase& C : Cases) {
    const Page P(C.W, C.H, C.Settings(), C.Ticks);
    EXPECT_EQ(P.Hash(), C.Hash) << C.Name << ": 0x" << std::hex << P.Hash();
    if (Dir != nullptr) {
      std::string Error;
      WritePng(P.Surface, std::string(Dir) + "/" + C.Name + ".png", TPngAlpha::Keep, Error);
    }
  }
  InitBlendOps(Before);
}

}  // namespace
}  // namespace quillet
