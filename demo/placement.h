// The tick's working record and the routines that fill it from the generator: the random box, the
// corner of the spline control points, triangles and the Gouraud shapes' colours. Each routine
// makes a fixed number of draws, which the sequence of shapes depends on.
#pragma once

#include <array>
#include <cstdint>

#include "demo/random_generator.h"
#include "raster/color.h"
#include "raster/fixed.h"

namespace quillet {

class TPolygon32;

struct TPlacement {
  int32_t CX = 0, CY = 0;
  int32_t Half = 0;
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  int32_t CornerX = 0, CornerY = 0;
  std::array<TPoint, 3> Vertices{};         // apex, left, right
  std::array<TColor32, 4> BarColors{};      // top-left, top-right, bottom-left, bottom-right
  std::array<TColor32, 3> TriangleColors{};  // one per vertex
};

// What the pick routines draw from: the generator, the object size and the client area.
struct TPickContext {
  TRandomGenerator& Rng;
  int32_t Size;
  int32_t ClientWidth;
  int32_t ClientHeight;
};

// Three draws: centre X, centre Y, and one whose value nothing uses.
void PickBox(const TPickContext& Ctx, TPlacement& P);
// Two draws. A client area smaller than Size gives a negative count, taken as unsigned: the
// corner may then lie anywhere in the 32-bit range.
void PickCorner(const TPickContext& Ctx, TPlacement& P);
// PickBox, then the apex, left and right vertices into ShapePolygon's single path. Six draws.
void BuildTrianglePolygon(const TPickContext& Ctx, TPlacement& P, TPolygon32& ShapePolygon);
// The same six draws, kept as integer Vertices.
void PickTriangle(const TPickContext& Ctx, TPlacement& P);
// PickBox and four corner colours: 19 draws with alpha, 15 without.
void PickBarColors(const TPickContext& Ctx, TPlacement& P, bool WithAlpha);
// PickTriangle and three opaque vertex colours: 18 draws with alpha, 15 without.
void PickTriangleColors(const TPickContext& Ctx, TPlacement& P, bool WithAlpha);

}  // namespace quillet
