// The repaint filter between a tick and the presenter: the areas it passes on cover every pixel a
// tick changes, are never the whole surface, and after a wipe leave only black outside them.
#include "shell/tick_repaint.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "config/demo_settings.h"
#include "raster/bitmap32.h"
#include "shell/changed_areas.h"

namespace quillet {
namespace {

// What the window gathers from a tick through the repaint filter, which follows the tick's wipes
// and shapes, as the frame presenter gathers it.
struct GatheredTick {
  explicit GatheredTick(int32_t W, int32_t H) {
    Surface.SetDimensions(W, H);
    Surface.Erase();
    Surface.OnAreaChanged = [this](TBitmap32*, const TRect& Area, uint32_t Info) {
      ++Reports;
      if ((Info & AREAINFO_RECT) && Area == Surface.BoundsRect()) ++WholeReports;
      Areas.SetBounds(Surface.Width(), Surface.Height());
      Areas.AddReport(Area, Info);
    };
    Filter.OnErased = [this] {
      Areas.Clear();
      Erased = true;
    };
    Filter.Attach(Surface);
    State.SetDrawSurface(&Surface);
    Filter.Follow(State);
    Areas.SetBounds(W, H);
  }
  TTickOutcome Tick(const DemoSettings& Settings) {
    Areas.Clear();
    Erased = false;
    Reports = WholeReports = 0;
    Filter.BeginTick();
    const TTickOutcome Outcome =
        timer1Timer(State, Settings, Surface.Width(), Surface.Height(), TTickClock{});
    Filter.EndTick(Outcome == TTickOutcome::Wiped);
    return Outcome;
  }
  bool Covered(int32_t X, int32_t Y) const {
    for (const TRect& R : Areas.Rects())
      if (X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom) return true;
    return false;
  }

  TBitmap32 Surface;
  TTickRepaintFilter Filter;
  TFrameState State;
  TChangedAreas Areas;
  bool Erased = false;
  int Reports = 0;
  int WholeReports = 0;
};

// The tick's whole-surface reports are dropped or replaced by shape boxes, so the areas passed on
// must cover every pixel the tick changes, and never be the whole surface. Checked kind by kind.
TEST(TickRepaint, GatheredAreasCoverEveryChangedPixel) {
  constexpr int32_t W = 320, H = 240;
  GatheredTick G(W, H);
  G.State.ObjectCount = 0;
  DemoSettings Settings;
  bool DemoSettings::*Kinds[] = {
      &DemoSettings::iLines, &DemoSettings::iBars, &DemoSettings::iTriangles, &DemoSettings::iFillTria,
      &DemoSettings::iSplineCurve, &DemoSettings::iSplineArea, &DemoSettings::iEllipse,
      &DemoSettings::bLines, &DemoSettings::bBars, &DemoSettings::bTriangles, &DemoSettings::bFillTria,
      &DemoSettings::bSplineCurve, &DemoSettings::bSplineArea, &DemoSettings::bEllipseDisk,
      &DemoSettings::gBars, &DemoSettings::gTriangles, &DemoSettings::bgBars, &DemoSettings::bgTriangles};
  Settings.SetObjects(1000);
  for (int Thickness : {1, 4}) {
    Settings.SetThickness(Thickness);
    for (size_t Kind = 0; Kind < std::size(Kinds); ++Kind) {
      for (bool DemoSettings::*Off : Kinds) Settings.*Off = false;
      Settings.*Kinds[Kind] = true;
      for (int Tick = 0; Tick < 20; ++Tick) {
        std::vector<TColor32> Before(G.Surface.PixelPtr(), G.Surface.PixelPtr() + W * H);
        ASSERT_EQ(G.Tick(Settings), TTickOutcome::Drawn);
        ASSERT_EQ(G.WholeReports, 0) << "kind " << Kind << " thickness " << Thickness;
        for (int32_t Y = 0; Y < H; ++Y)
          for (int32_t X = 0; X < W; ++X)
            if (G.Surface.PixelPtr()[Y * W + X] != Before[static_cast<size_t>(Y * W + X)]) {
              ASSERT_TRUE(G.Covered(X, Y)) << "pixel " << X << "," << Y << " kind " << Kind
                                           << " thickness " << Thickness << " tick " << Tick;
            }
      }
    }
  }
}

// The closing whole-surface report never gets through, and a wipe is passed on as such, followed
// only by what the new page draws: so every pixel outside the gathered areas must be opaque black,
// which is what the window fills in. A paused tick passes on nothing; a resize, the whole surface.
TEST(TickRepaint, AWipeIsBlackOutsideTheAreasAPauseGathersNothing) {
  constexpr int32_t W = 400, H = 300;
  GatheredTick G(W, H);
  DemoSettings Settings;
  Settings.SetObjects(10);
  Settings.SetSize(20);  // the shapes of a tick cover a small part of the surface
  Settings.iSplineArea = Settings.bEllipseDisk = Settings.gBars = Settings.bgTriangles = true;
  int Wipes = 0;
  for (int Tick = 0; Tick < 40; ++Tick) {
    const TTickOutcome Outcome = G.Tick(Settings);
    EXPECT_EQ(G.Erased, Outcome == TTickOutcome::Wiped);
    EXPECT_EQ(G.WholeReports, 0);
    EXPECT_FALSE(G.Areas.Whole());
    if (Outcome != TTickOutcome::Wiped) continue;
    ++Wipes;
    for (int32_t Y = 0; Y < H; ++Y)
      for (int32_t X = 0; X < W; ++X)
        if (!G.Covered(X, Y)) {
          ASSERT_EQ(*G.Surface.PixelAddress(X, Y), clBlack32) << X << "," << Y;
        }
  }
  EXPECT_EQ(Wipes, 3);

  G.State.Paused = true;
  EXPECT_EQ(G.Tick(Settings), TTickOutcome::Skipped);
  EXPECT_EQ(G.Reports, 0);
  EXPECT_TRUE(G.Areas.Empty());
  EXPECT_FALSE(G.Erased);

  G.Surface.SetDimensions(120, 90);
  EXPECT_TRUE(G.Areas.Whole());
}

}  // namespace
}  // namespace quillet
