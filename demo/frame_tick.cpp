// The tick's drawing order. The colours, boxes and triangles are drawn from the generator on every
// tick, whether or not their shapes are switched on; splines, ellipses and Gouraud shapes draw only
// when switched on. Every later shape depends on this sequence.
#include "demo/frame_tick.h"

#include <array>
#include <string>

#include "demo/detail/extended_math.h"
#include "demo/star.h"
#include "raster/bitmap32.h"

namespace quillet {
namespace {

void FillTriangle(TFrameState& State, TColor32 Color) {
  State.ShapePolygon.FillPaths(*State.DrawSurface(), Color);
}

// A closed one-pixel outline, or for Thickness >= 2 an even-odd band of half-width Thickness.
void DrawTriangleOutline(TFrameState& State, TColor32 Color) {
  TBitmap32& Surface = *State.DrawSurface();
  if (State.Thickness <= 1) {
    State.ShapePolygon.DrawPathLines(Surface, Color);
    return;
  }
  State.OutlinePolygon = State.ShapePolygon.TwoWayOutline();
  State.OutlinePolygon = State.OutlinePolygon->Inflate(IntToFixed(State.Thickness), 1.0f);
  State.OutlinePolygon->FillPaths(Surface, Color);
}

void DrawEllipseInBox(TFrameState& State, const TPickContext& Ctx, TPlacement& P, TColor32 Color,
                      int32_t Segments, uint32_t Thickness, bool Filled) {
  PickBarColors(Ctx, P, false);  // for its box; the colours are not used
  const auto Rotation = static_cast<int32_t>(Ctx.Rng.Random(180));
  State.Shapes.DrawEllipse(Color, Segments, Thickness, static_cast<float>(P.CX), static_cast<float>(P.CY),
                           static_cast<float>(WrapSub(P.Right, P.CX)),
                           static_cast<float>(WrapSub(P.Bottom, P.CY) / 2), static_cast<float>(Rotation),
                           true, Filled);
}

// A Gouraud family's bar and triangle; WithAlpha draws the corner colours with random alpha.
void DrawGouraudFamily(TFrameState& State, const TPickContext& Ctx, TPlacement& P, bool Bars,
                       bool Triangles, bool WithAlpha) {
  if (Bars) {
    PickBarColors(Ctx, P, WithAlpha);
    State.Gouraud.GouraudBar(P.Left, P.Top, P.Right, P.Bottom, P.BarColors[0], P.BarColors[1], P.BarColors[2],
                             P.BarColors[3]);
  }
  if (Triangles) {
    PickTriangleColors(Ctx, P, WithAlpha);
    State.Gouraud.GouraudTriangle(P.Vertices, P.TriangleColors);
  }
}

}  // namespace

TFrameState::TFrameState() : OutlinePolygon(std::make_unique<TPolygon32>()) {
  ShapePolygon.Antialiased = true;
}

void TFrameState::SetDrawSurface(TBitmap32* Surface) {
  FDrawSurface = Surface;
  Shapes.SetTargetBitmap(Surface);
  Gouraud.SetTargetBitmap(Surface);
}

void DrawRandomSpline(TFrameState& State, const TPickContext& Ctx, TPlacement& P, bool Antialiased,
                      bool Filled, TColor32 Color) {
  PickCorner(Ctx, P);
  const auto Spread = static_cast<uint32_t>(WrapAdd(Ctx.Size, 50));
  TArrayOfFixedPoint Points(4);
  for (TFixedPoint& Point : Points) {
    const int32_t X = WrapAdd(P.CornerX, static_cast<int32_t>(Ctx.Rng.Random(Spread)));
    const int32_t Y = WrapAdd(P.CornerY, static_cast<int32_t>(Ctx.Rng.Random(Spread)));
    Point = FixedPointFromPoint({X, Y});
  }
  State.Shapes.DrawSpline(Points, State.Steps, Color, true, Antialiased, Filled, State.Thickness);
}

TTickOutcome timer1Timer(TFrameState& State, const DemoSettings& Settings, int32_t ClientWidth,
                         int32_t ClientHeight, const TTickClock& Clock) {
  if (State.Paused || State.DrawSurface() == nullptr) return TTickOutcome::Skipped;
  TBitmap32& Surface = *State.DrawSurface();
  TRandomGenerator& Rng = State.Rng;

  State.Gouraud.SetGouraudAlpha(255);
  State.Size = Settings.Size();
  State.Alpha = static_cast<uint8_t>(Settings.Alpha());
  State.Thickness = static_cast<uint8_t>(Settings.Thickness());
  State.Steps = static_cast<uint8_t>(Settings.Steps());

  TTickOutcome Outcome = TTickOutcome::Drawn;
  if (Settings.Objects() < State.ObjectCount) {
    State.ObjectCount = 0;
    Surface.Erase();
    if (Clock.ElapsedMs) Surface.DrawText(10, 10, std::to_string(Clock.ElapsedMs()));
    if (Clock.StartTiming) Clock.StartTiming();
    Outcome = TTickOutcome::Wiped;
  }
  State.ObjectCount = WrapAdd(State.ObjectCount, 1);

  const TPickContext Ctx{Rng, State.Size, ClientWidth, ClientHeight};
  TPlacement P;

  // Family "AntiAliased": opaque colours.
  const TColor32 A = RandomColor(Rng, 10, 255, 255);
  PickBox(Ctx, P);
  if (Settings.iLines) DrawStar(Surface, State.Size, P.CX, P.CY, A);
  PickBox(Ctx, P);
  if (Settings.iBars) Surface.PaintRectClipped(P.Left, P.Top, P.Right, P.Bottom, A);
  const TColor32 B = RandomColor(Rng, 10, 255, 255);
  BuildTrianglePolygon(Ctx, P, State.ShapePolygon);
  if (Settings.iFillTria) FillTriangle(State, B);
  const TColor32 C = RandomColor(Rng, 10, 255, 255);
  if (Settings.iTriangles) DrawTriangleOutline(State, C);
  if (Settings.iSplineCurve) DrawRandomSpline(State, Ctx, P, true, false, C);
  if (Settings.iSplineArea) DrawRandomSpline(State, Ctx, P, true, true, C);
  if (Settings.iEllipse) DrawEllipseInBox(State, Ctx, P, C, 36, State.Thickness, false);

  // Family "AlphaBlending": colour alpha from the settings. The bar shares the star's box and
  // covers its bottom-right quarter; the outline comes before the fill here.
  const TColor32 D = RandomColor(Rng, 10, 255, State.Alpha);
  PickBox(Ctx, P);
  if (Settings.bLines) DrawStar(Surface, State.Size, P.CX, P.CY, D);
  if (Settings.bBars) Surface.BlendRectClipped(P.CX, P.CY, P.Right, P.Bottom, D);
  BuildTrianglePolygon(Ctx, P, State.ShapePolygon);
  if (Settings.bTriangles) DrawTriangleOutline(State, D);
  if (Settings.bFillTria) FillTriangle(State, D);
  if (Settings.bSplineCurve) DrawRandomSpline(State, Ctx, P, true, false, D);
  if (Settings.bSplineArea) DrawRandomSpline(State, Ctx, P, true, true, D);
  if (Settings.bEllipseDisk) DrawEllipseInBox(State, Ctx, P, D, 27, 1, true);

  // Family "Gouraud": opaque corners.
  State.Gouraud.SetGouraudAlpha(255);
  DrawGouraudFamily(State, Ctx, P, Settings.gBars, Settings.gTriangles, false);

  // Family "BlendGouraud": every span's alpha scaled by the Alpha setting, random alpha per bar
  // corner; the alpha stays set until the next tick.
  State.Gouraud.SetGouraudAlpha(State.Alpha);
  DrawGouraudFamily(State, Ctx, P, Settings.bgBars, Settings.bgTriangles, true);

  Surface.NotifyChanged();
  return Outcome;
}

}  // namespace quillet
