// The damage a tick reports to the window's damage object: it covers every pixel a tick changes,
// is never the whole surface, stays close to what changed, and after a wipe leaves only black
// outside it.
#include "shell/frame_damage.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "config/demo_settings.h"
#include "demo/frame_tick.h"
#include "raster/bitmap32.h"

namespace quillet {
namespace {

// What the window gathers from a tick, as its presenter reads it at the next frame.
struct GatheredTick {
  explicit GatheredTick(int32_t W, int32_t H) {
    Surface.SetDimensions(W, H);
    Surface.Erase();
    Surface.SetDamageSink(&Damage);
    Damage.OnPending = [this] { ++Pending; };
    State.SetDrawSurface(&Surface);
  }
  ~GatheredTick() { Surface.SetDamageSink(nullptr); }
  TTickOutcome Tick(const DemoSettings& Settings) {
    Damage.FrameShown();
    Pending = 0;
    return timer1Timer(State, Settings, Surface.Width(), Surface.Height(), TTickClock{});
  }
  const std::vector<TRect>& Copy() const { return Damage.Areas().Copy(); }
  bool Covered(int32_t X, int32_t Y) const {
    for (const TRect& R : Copy())
      if (X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom) return true;
    return false;
  }
  int64_t CopiedPixels() const {
    int64_t N = 0;
    for (const TRect& R : Copy()) N += int64_t{R.Right - R.Left} * (R.Bottom - R.Top);
    return N;
  }

  TBitmap32 Surface;
  TFrameDamage Damage;
  TFrameState State;
  int Pending = 0;
};

// Kind by kind: every changed pixel is in the copy, the copy is never the whole surface, and over
// many ticks it holds few pixels more than changed.
TEST(FrameDamage, CoversEveryChangedPixelAndLittleMore) {
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
  int64_t Changed = 0, Copied = 0;
  for (int Thickness : {1, 4}) {
    Settings.SetThickness(Thickness);
    for (size_t Kind = 0; Kind < std::size(Kinds); ++Kind) {
      for (bool DemoSettings::*Off : Kinds) Settings.*Off = false;
      Settings.*Kinds[Kind] = true;
      for (int Tick = 0; Tick < 20; ++Tick) {
        std::vector<TColor32> Before(G.Surface.PixelPtr(), G.Surface.PixelPtr() + W * H);
        ASSERT_EQ(G.Tick(Settings), TTickOutcome::Drawn);
        ASSERT_FALSE(G.Damage.Areas().Changed().Whole()) << "kind " << Kind << " thickness " << Thickness;
        EXPECT_TRUE(G.Damage.Areas().Black().empty());
        for (int32_t Y = 0; Y < H; ++Y)
          for (int32_t X = 0; X < W; ++X)
            if (G.Surface.PixelPtr()[Y * W + X] != Before[static_cast<size_t>(Y * W + X)]) {
              ++Changed;
              ASSERT_TRUE(G.Covered(X, Y)) << "pixel " << X << "," << Y << " kind " << Kind
                                           << " thickness " << Thickness << " tick " << Tick;
            }
        Copied += G.CopiedPixels();
      }
    }
  }
  // Triangles fill half their box, and lines and outlines far less: reports of boxes copy about
  // three times what changes.
  EXPECT_LE(Copied, Changed * 2) << Copied << " copied for " << Changed << " changed";
}

// A wipe is shown as such, followed only by what the new page draws: so every pixel outside the
// gathered areas must be opaque black, which is what the window fills in. A paused tick gathers
// nothing; a resize, the whole surface.
TEST(FrameDamage, AWipeIsBlackOutsideTheAreasAPauseGathersNothing) {
  constexpr int32_t W = 400, H = 300;
  GatheredTick G(W, H);
  DemoSettings Settings;
  Settings.SetObjects(10);
  Settings.SetSize(20);  // the shapes of a tick cover a small part of the surface
  Settings.iSplineArea = Settings.bEllipseDisk = Settings.gBars = Settings.bgTriangles = true;
  int Wipes = 0;
  for (int Tick = 0; Tick < 40; ++Tick) {
    const TTickOutcome Outcome = G.Tick(Settings);
    EXPECT_FALSE(G.Damage.Areas().Changed().Whole());
    EXPECT_EQ(G.Pending, 1);
    EXPECT_EQ(G.Damage.Areas().Black().empty(), Outcome != TTickOutcome::Wiped);
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
  EXPECT_TRUE(G.Damage.Empty());
  EXPECT_EQ(G.Pending, 0);

  G.Surface.SetDimensions(120, 90);
  EXPECT_TRUE(G.Damage.Areas().Changed().Whole());
  EXPECT_EQ(G.Pending, 1);
  // A fill in another colour is copied whole; in black it is a wipe of what was shown.
  G.Damage.FrameShown();
  G.Surface.Fill(0xFF808080);
  EXPECT_TRUE(G.Damage.Areas().Changed().Whole());
  G.Damage.FrameShown();
  G.Surface.Erase();
  EXPECT_TRUE(G.Damage.Areas().Copy().empty());
  EXPECT_EQ(G.Damage.Areas().Black(), std::vector<TRect>{G.Surface.BoundsRect()});
}

// Rows of a thin diagonal become bands: a few pixels more than the line's, not its box of 10,000.
TEST(FrameDamage, RowsBecomeTightBands) {
  TFrameDamage Damage;
  Damage.Reset(200, 200);
  Damage.FrameShown();
  std::vector<TRowSpan> Rows;
  for (int32_t Y = 0; Y < 100; ++Y) Rows.push_back({Y, Y + 2});
  Rows.push_back({});  // an empty row ends a band
  Rows.push_back({150, 160});
  Damage.DamagedRows(10, Rows.data(), static_cast<int32_t>(Rows.size()));
  int64_t Copied = 0;
  for (const TRect& R : Damage.Areas().Copy()) Copied += int64_t{R.Right - R.Left} * (R.Bottom - R.Top);
  EXPECT_GE(Copied, 200 + 10);
  EXPECT_LE(Copied, (200 + 10) * 5);
  EXPECT_GT(Damage.Areas().Copy().size(), 1u);
}

}  // namespace
}  // namespace quillet
