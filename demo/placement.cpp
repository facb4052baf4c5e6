// Random placement of the tick's shapes. Sums wrap in 32 bits: a huge client size must not make
// the arithmetic undefined.
#include "demo/placement.h"

#include <algorithm>

#include "demo/detail/extended_math.h"
#include "raster/polygon32.h"

namespace quillet {
namespace {

int32_t RandomInt(TRandomGenerator& Rng, int32_t N) {
  return static_cast<int32_t>(Rng.Random(static_cast<uint32_t>(N)));
}

// The three vertices of a random triangle around the box just picked: apex on the top edge, then
// the left and right vertices on the box's sides.
std::array<TPoint, 3> RandomTriangle(const TPickContext& Ctx, const TPlacement& P) {
  std::array<TPoint, 3> V{};
  V[0] = {WrapAdd(P.CX, RandomInt(Ctx.Rng, Ctx.Size)), P.Top};
  V[1] = {P.Left, WrapAdd(P.CY, RandomInt(Ctx.Rng, Ctx.Size))};
  V[2] = {P.Right, WrapAdd(P.CY, RandomInt(Ctx.Rng, Ctx.Size))};
  return V;
}

TColor32 CornerColor(TRandomGenerator& Rng, bool WithAlpha) {
  return WithAlpha ? RandomColorAlpha(Rng, 10, 255) : RandomColor(Rng, 10, 255, 255);
}

}  // namespace

void PickBox(const TPickContext& Ctx, TPlacement& P) {
  P.Half = Ctx.Size / 2;
  P.CX = RandomInt(Ctx.Rng, Ctx.ClientWidth);
  P.CY = RandomInt(Ctx.Rng, Ctx.ClientHeight);
  P.Left = WrapSub(P.CX, P.Half);
  P.Top = WrapSub(P.CY, P.Half);
  P.Right = WrapAdd(P.CX, P.Half);
  P.Bottom = WrapAdd(P.CY, P.Half);
  Ctx.Rng.Random(static_cast<uint32_t>(P.Half));  // unused, but every later draw depends on it
}

void PickCorner(const TPickContext& Ctx, TPlacement& P) {
  // A client narrower or lower than Size gives a negative count, which the generator takes as an
  // unsigned one: the corner may then lie anywhere in the 32-bit range. The sums that follow wrap,
  // and the raster engine clips any coordinates.
  P.CornerX = RandomInt(Ctx.Rng, WrapSub(Ctx.ClientWidth, Ctx.Size));
  P.CornerY = RandomInt(Ctx.Rng, WrapSub(Ctx.ClientHeight, Ctx.Size));
}

void BuildTrianglePolygon(const TPickContext& Ctx, TPlacement& P, TPolygon32& ShapePolygon) {
  PickBox(Ctx, P);
  ShapePolygon.ClearPaths();
  for (const TPoint& V : RandomTriangle(Ctx, P)) ShapePolygon.AddPoint(FixedPointFromPoint(V));
}

void PickTriangle(const TPickContext& Ctx, TPlacement& P) {
  PickBox(Ctx, P);
  P.Vertices = RandomTriangle(Ctx, P);
}

void PickBarColors(const TPickContext& Ctx, TPlacement& P, bool WithAlpha) {
  PickBox(Ctx, P);
  for (TColor32& C : P.BarColors) C = CornerColor(Ctx.Rng, WithAlpha);
}

void PickTriangleColors(const TPickContext& Ctx, TPlacement& P, bool WithAlpha) {
  PickTriangle(Ctx, P);
  for (TColor32& C : P.TriangleColors) C = CornerColor(Ctx.Rng, WithAlpha) | 0xFF000000u;
}

}  // namespace quillet
