// The workloads of the peer benchmark: what each operation draws, and the shapes every engine
// draws, generated once from a fixed seed so that all engines get the same work.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "raster/color.h"
#include "raster/fixed.h"

namespace quillet::peer {

constexpr int32_t SurfaceWidth = 1920;
constexpr int32_t SurfaceHeight = 1080;

// Polygon: closed paths filled even-odd (the demo's ellipse disks and rings). Band: a closed
// polyline drawn as a band of a given half-width (the demo's thick splines).
enum class TWorkKind { Triangle, Spoke, OpaqueRect, BlendRect, Gouraud, Erase, Polygon, Band, GouraudBar };

// Corners are multiples of 1/256 pixel, so every engine sees exactly the same coordinates.
struct TTriangle {
  std::array<double, 3> X, Y;
  TColor32 Color;
};

// A one-pixel anti-aliased line between pixel centres; the end pixel is left out.
struct TSpoke {
  int32_t X1, Y1, X2, Y2;
  TColor32 Color;
};

// Half-open, wholly inside the surface.
struct TBox {
  int32_t X1, Y1, X2, Y2;
  TColor32 Color;
};

// Integer corners with one opaque colour each.
struct TShadedTriangle {
  std::array<int32_t, 3> X, Y;
  std::array<TColor32, 3> Colors;
};

// Points in 16.16 fixed point, as the demo makes them; the other engines take them as doubles,
// which hold them exactly.
struct TPolygonShape {
  TArrayOfArrayOfFixedPoint Paths;
  TColor32 Color;
};

// A closed polyline drawn as a band of HalfWidth pixels on either side, corners mitred.
struct TBandShape {
  TArrayOfFixedPoint Points;
  int32_t HalfWidth;
  TColor32 Color;
};

// Corners of a band are mitred up to this ratio of the mitre's length to the half-width and cut off
// past it: where Quillet's offsetting stops mitring (the two normals' sum shorter than a hundredth
// of the width), sqrt(2 / 0.01).
constexpr double BandMiterLimit = 14.142135623730951;

// The demo's Gouraud bar: columns X1..X2 and rows Y1..Y2 inclusive, corner colours top-left,
// top-right, bottom-left, bottom-right with their own alpha, every alpha scaled by Alpha / 255.
struct TShadedBar {
  int32_t X1, Y1, X2, Y2;
  std::array<TColor32, 4> Colors;
  uint8_t Alpha;
};

// A pixel box, half-open; empty when X1 >= X2 or Y1 >= Y2.
struct TPixelBox {
  int32_t X1, Y1, X2, Y2;
};

struct TWorkload {
  std::string Name;
  TWorkKind Kind;
  // What the issue asks of Quillet: at least CairoRatio times cairo's rate (0 when it names no
  // ratio), and never slower than the fastest peer.
  double CairoRatio = 0;
  // Opaque pixels over areas: the store limit applies, and Quillet should reach most of it.
  bool Opaque = false;
  std::vector<TTriangle> Triangles;
  std::vector<TSpoke> Spokes;
  std::vector<TBox> Boxes;
  std::vector<TShadedTriangle> Shaded;
  std::vector<TPolygonShape> Polygons;
  std::vector<TBandShape> Bands;
  std::vector<TShadedBar> Bars;

  // Operations in one pass over the shapes (an erase has no shapes: one per pass).
  size_t Count() const;
  // Erase is measured in pixels per second, everything else in operations per second.
  bool PixelRate() const { return Kind == TWorkKind::Erase; }
  // A box that holds every pixel operation I may touch, anti-aliased edges included (not clipped
  // to the surface).
  TPixelBox Bounds(size_t I) const;
};

// The workloads in the order of the report, shapes included.
std::vector<TWorkload> MakeWorkloads();

}  // namespace quillet::peer
