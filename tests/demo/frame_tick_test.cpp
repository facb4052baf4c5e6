// The tick's draws from the generator, its wipe and count, pausing and restarting, and tiny or
// empty client areas.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo/frame_tick.h"
#include "raster/bitmap32.h"

namespace quillet {
namespace {

int DrawsBetween(uint32_t From, uint32_t To) {
  TRandomGenerator G{From};
  for (int N = 0; N < 100000; ++N) {
    if (G.RandSeed == To) return N;
    G.Random(1);
  }
  return -1;
}

DemoSettings AllOff() {
  DemoSettings S;
  for (bool* B : {&S.iLines, &S.iBars, &S.iTriangles, &S.iFillTria, &S.iSplineCurve, &S.iSplineArea,
                  &S.iEllipse, &S.bLines, &S.bBars, &S.bTriangles, &S.bFillTria, &S.bSplineCurve,
                  &S.bSplineArea, &S.bEllipseDisk, &S.gBars, &S.gTriangles, &S.bgBars, &S.bgTriangles})
    *B = false;
  return S;
}

DemoSettings AllOn() {
  DemoSettings S = AllOff();
  for (bool* B : {&S.iLines, &S.iBars, &S.iTriangles, &S.iFillTria, &S.iSplineCurve, &S.iSplineArea,
                  &S.iEllipse, &S.bLines, &S.bBars, &S.bTriangles, &S.bFillTria, &S.bSplineCurve,
                  &S.bSplineArea, &S.bEllipseDisk, &S.gBars, &S.gTriangles, &S.bgBars, &S.bgTriangles})
    *B = true;
  return S;
}

struct TickRig {
  explicit TickRig(int32_t W = 200, int32_t H = 150) {
    Surface.SetDimensions(W, H);
    Surface.Erase();
    Surface.OnChange = [this](TNotifiablePersistent*) { ++Changes; };
    State.SetDrawSurface(&Surface);
    Clock.ElapsedMs = [this] {
      ++ElapsedCalls;
      return 1234u;
    };
    Clock.StartTiming = [this] { ++Starts; };
    Width = W;
    Height = H;
  }
  TTickOutcome Tick(const DemoSettings& S) { return timer1Timer(State, S, Width, Height, Clock); }

  TBitmap32 Surface;
  TFrameState State;
  TTickClock Clock;
  int32_t Width, Height;
  int Changes = 0, ElapsedCalls = 0, Starts = 0;
};

TEST(FrameTick, EveryCheckBoxOffStillDrawsCountsAndNotifies) {
  TickRig R;
  const DemoSettings S = AllOff();
  uint32_t Seed = R.State.Rng.RandSeed;
  for (int I = 0; I < 5; ++I) {
    R.Changes = 0;
    EXPECT_EQ(R.Tick(S), TTickOutcome::Drawn);
    EXPECT_EQ(DrawsBetween(Seed, R.State.Rng.RandSeed), 33);
    EXPECT_EQ(R.Changes, 1);
    EXPECT_EQ(R.State.ObjectCount, I + 2);
    Seed = R.State.Rng.RandSeed;
  }
}

TEST(FrameTick, DrawsPerCheckBox) {
  struct Case {
    bool DemoSettings::*Box;
    int Extra;
  };
  const Case Cases[] = {
      {&DemoSettings::iLines, 0},        {&DemoSettings::iBars, 0},
      {&DemoSettings::iFillTria, 0},     {&DemoSettings::iTriangles, 0},
      {&DemoSettings::iSplineCurve, 10}, {&DemoSettings::iSplineArea, 10},
      {&DemoSettings::iEllipse, 16},     {&DemoSettings::bLines, 0},
      {&DemoSettings::bBars, 0},         {&DemoSettings::bTriangles, 0},
      {&DemoSettings::bFillTria, 0},     {&DemoSettings::bSplineCurve, 10},
      {&DemoSettings::bSplineArea, 10},  {&DemoSettings::bEllipseDisk, 16},
      {&DemoSettings::gBars, 15},        {&DemoSettings::gTriangles, 15},
      {&DemoSettings::bgBars, 19},       {&DemoSettings::bgTriangles, 18},
  };
  int All = 33;
  for (const Case& C : Cases) {
    DemoSettings S = AllOff();
    S.*C.Box = true;
    TickRig R;
    R.State.Rng.RandSeed = 555;
    R.Tick(S);
    EXPECT_EQ(DrawsBetween(555, R.State.Rng.RandSeed), 33 + C.Extra);
    All += C.Extra;
  }
  TickRig R;
  R.Tick(AllOn());
  EXPECT_EQ(DrawsBetween(0, R.State.Rng.RandSeed), All);
  EXPECT_EQ(All, 33 + 4 * 10 + 2 * 16 + 15 + 15 + 19 + 18);
}

TEST(FrameTick, FirstBarTakesTheFirstColourAndTheSecondBox) {
  // The first colour of a run is 0xFFDD110A, and the first box of a run is centred at X 0.
  TickRig R;
  DemoSettings S = AllOff();
  S.iBars = true;
  R.Tick(S);
  // The bar's box is the second PickBox; its colour is the first colour.
  TRandomGenerator G;
  const TColor32 A = RandomColor(G, 10, 255, 255);
  EXPECT_EQ(A, 0xFFDD110Au);
  for (int I = 0; I < 3; ++I) G.Random(1);
  const int32_t CX = static_cast<int32_t>(G.Random(200));
  const int32_t CY = static_cast<int32_t>(G.Random(150));
  const int32_t Half = 40;
  EXPECT_EQ(*R.Surface.PixelAddress(std::max(0, CX - Half), std::max(0, CY - Half)), A);
  if (CX + Half <= 200 && CY + Half <= 150) {
    EXPECT_EQ(*R.Surface.PixelAddress(CX + Half - 1, CY + Half - 1), A);
  }
}

TEST(FrameTick, WipesWhenTheCountExceedsObjects) {
  TickRig R;
  DemoSettings S = AllOff();
  S.SetObjects(10);
  std::vector<int> WipeTicks;
  for (int T = 1; T <= 40; ++T) {
    const int CountBefore = R.State.ObjectCount;
    *R.Surface.PixelAddress(0, 0) = 0xFF123456;
    if (R.Tick(S) == TTickOutcome::Wiped) {
      WipeTicks.push_back(T);
      EXPECT_EQ(CountBefore, 11);
      EXPECT_EQ(*R.Surface.PixelAddress(0, 0), 0xFF000000u);
      EXPECT_EQ(R.State.ObjectCount, 1);  // the wiping tick counts itself
    }
  }
  EXPECT_EQ(WipeTicks, (std::vector<int>{11, 22, 33}));
  EXPECT_EQ(R.ElapsedCalls, 3);
  EXPECT_EQ(R.Starts, 3);

  // Lowering Objects below the count wipes at the next tick.
  R.Tick(S);
  R.Tick(S);
  ASSERT_GT(R.State.ObjectCount, 2);
  DemoSettings Fewer = S;
  R.State.ObjectCount = 12;
  EXPECT_EQ(R.Tick(Fewer), TTickOutcome::Wiped);
}

TEST(FrameTick, PauseLeavesEverythingUntouched) {
  TickRig Paused;
  TickRig Straight;
  const DemoSettings S = AllOn();
  for (int I = 0; I < 3; ++I) {
    Paused.Tick(S);
    Straight.Tick(S);
  }
  Paused.State.Paused = true;
  const std::vector<TColor32> Before(Paused.Surface.PixelPtr(),
                                     Paused.Surface.PixelPtr() + 200 * 150);
  const uint32_t Seed = Paused.State.Rng.RandSeed;
  const int Count = Paused.State.ObjectCount;
  const int Changes = Paused.Changes;
  for (int I = 0; I < 4; ++I) EXPECT_EQ(Paused.Tick(S), TTickOutcome::Skipped);
  EXPECT_EQ(Paused.State.Rng.RandSeed, Seed);
  EXPECT_EQ(Paused.State.ObjectCount, Count);
  EXPECT_EQ(Paused.Changes, Changes);
  EXPECT_TRUE(std::equal(Before.begin(), Before.end(), Paused.Surface.PixelPtr()));

  // After the pause the shapes continue exactly where they stopped.
  Paused.State.Paused = false;
  for (int I = 0; I < 3; ++I) {
    Paused.Tick(S);
    Straight.Tick(S);
  }
  EXPECT_EQ(Paused.State.Rng.RandSeed, Straight.State.Rng.RandSeed);
  EXPECT_TRUE(std::equal(Straight.Surface.PixelPtr(), Straight.Surface.PixelPtr() + 200 * 150,
                         Paused.Surface.PixelPtr()));
}

TEST(FrameTick, RestartCountsAfreshAndClearsPause) {
  TickRig R;
  const DemoSettings S = AllOff();
  for (int I = 0; I < 5; ++I) R.Tick(S);
  R.State.Paused = true;
  R.State.Restart();
  EXPECT_FALSE(R.State.Paused);
  EXPECT_EQ(R.Tick(S), TTickOutcome::Drawn);
  EXPECT_EQ(R.State.ObjectCount, 1);
}

TEST(FrameTick, GouraudAlphaKeepsTheBlendedFamilysValue) {
  TickRig R;
  DemoSettings S = AllOff();
  S.SetAlpha(77);
  R.Tick(S);
  EXPECT_EQ(R.State.Gouraud.GouraudAlpha(), 77);
}

// Client areas smaller than Size, of one pixel, or empty: every kind is drawn safely and the
// sequence of draws is the one of any other client size.
TEST(FrameTick, TinyAndEmptyClientAreas) {
  for (const auto& [W, H] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{30, 20}, std::pair{7, 300}}) {
    for (int Thick : {1, 5}) {
      TickRig R(W, H);
      TickRig Big(640, 480);
      DemoSettings S = AllOn();
      S.SetSize(100);
      S.SetThickness(Thick);
      S.SetObjects(10);
      for (int I = 0; I < 25; ++I) {
        R.Tick(S);
        Big.Tick(S);
      }
      EXPECT_EQ(R.State.Rng.RandSeed, Big.State.Rng.RandSeed) << W << "x" << H;
    }
  }
}

// A client size far beyond the surface puts shapes anywhere up to the end of the 32-bit range,
// where the boxes' sums wrap.
TEST(FrameTick, HugeClientAreaOverASmallSurface) {
  TickRig R(64, 48);
  R.Width = INT32_MAX;
  R.Height = INT32_MAX;
  DemoSettings S = AllOn();
  S.SetSize(100);
  S.SetThickness(4);
  for (int I = 0; I < 60; ++I) R.Tick(S);
  EXPECT_EQ(R.State.ObjectCount, 61 - 51);
}

TEST(FrameTick, NoSurfaceMeansNoTick) {
  TFrameState State;
  EXPECT_EQ(timer1Timer(State, AllOn(), 100, 100, {}), TTickOutcome::Skipped);
  EXPECT_EQ(State.Rng.RandSeed, 0u);
  // Without a clock the wipe still happens, with no figure.
  TBitmap32 Surface;
  Surface.SetDimensions(10, 10);
  State.SetDrawSurface(&Surface);
  State.ObjectCount = 1000;
  EXPECT_EQ(timer1Timer(State, AllOff(), 10, 10, {}), TTickOutcome::Wiped);
}

}  // namespace
}  // namespace quillet
