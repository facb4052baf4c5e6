// The workloads of the peer benchmark: what each operation draws, and the shapes every engine
// draws, generated once from a fixed seed so that all engines get the same work.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "raster/color.h"

namespace quillet::peer {

constexpr int32_t SurfaceWidth = 1920;
constexpr int32_t SurfaceHeight = 1080;

enum class TWorkKind { Triangle, Spoke, OpaqueRect, BlendRect, Gouraud, Erase };

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

struct TWorkload {
  std::string Name;
  TWorkKind Kind;
  // What the issue asks of Quillet: at least CairoRatio times cairo's rate (0 when it names no
  // ratio), and never slower than the fastest peer.
  double CairoRatio = 0;
  std::vector<TTriangle> Triangles;
  std::vector<TSpoke> Spokes;
  std::vector<TBox> Boxes;
  std::vector<TShadedTriangle> Shaded;

  // Operations in one pass over the shapes (an erase has no shapes: one per pass).
  size_t Count() const;
  // Erase is measured in pixels per second, everything else in operations per second.
  bool PixelRate() const { return Kind == TWorkKind::Erase; }
};

// The workloads in the order of the report, shapes included.
std::vector<TWorkload> MakeWorkloads();

}  // namespace quillet::peer
