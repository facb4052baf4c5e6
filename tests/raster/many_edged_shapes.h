// Random shapes of many edges whose pixel rows hold several spans side by side, for the tests of
// the anti-aliased fill: rings of two ellipses (in one path or two, the inner one either way
// round), bands offset from wobbly closed or open lines as thick lines are drawn (crossing
// themselves now and then), and loops that cross themselves; from a few pixels to a few hundred,
// around a point within Margin pixels of a W x H surface.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>

#include "raster/fixed.h"
#include "raster/polygon32.h"

namespace quillet::testing {

inline TArrayOfArrayOfFixedPoint ManyEdgedShape(std::mt19937& Rng, int32_t W, int32_t H, double Margin = 20) {
  const auto U = [&](int32_t N) { return static_cast<int32_t>(Rng() % static_cast<uint32_t>(N)); };
  const auto Real = [&](double Lo, double Hi) { return std::uniform_real_distribution<double>(Lo, Hi)(Rng); };
  const auto Coord = [](double V) { return static_cast<TFixed>(std::lround(V * 65536)); };
  const double Cx = Real(-Margin, W + Margin), Cy = Real(-Margin, H + Margin);
  const double Rx = Real(2, 150), Ry = Real(2, 150), Turn = Real(0, 6.2832);
  const int Segments = 6 + U(60);
  const auto Ellipse = [&](TArrayOfFixedPoint& Out, double Grow, bool Backwards) {
    for (int K = 0; K < Segments; ++K) {
      const double A = (Backwards ? -1 : 1) * 6.283185307179586 * K / Segments;
      const double X = (Rx + Grow) * std::cos(A), Y = (Ry + Grow) * std::sin(A);
      Out.push_back({Coord(Cx + X * std::cos(Turn) - Y * std::sin(Turn)),
                     Coord(Cy + X * std::sin(Turn) + Y * std::cos(Turn))});
    }
  };
  const auto Wobbly = [&](TArrayOfFixedPoint& Out) {
    const int Waves = 1 + U(5);
    const double Depth = Real(0, 0.9);
    const int Twist = U(4) == 0 ? 2 : 1;
    for (int K = 0; K < Segments; ++K) {
      const double A = 6.283185307179586 * K / Segments;
      const double R = 1 + Depth * std::sin(A * Waves);
      Out.push_back({Coord(Cx + Rx * R * std::cos(A)), Coord(Cy + Ry * R * std::sin(A * Twist))});
    }
  };
  TArrayOfArrayOfFixedPoint Paths(1);
  switch (U(3)) {
    case 0: {
      const double T = Real(0.3, 12);
      if (U(2)) Paths.emplace_back();
      Ellipse(Paths[0], -T, U(2));
      Ellipse(Paths.back(), T, U(3) == 0);
      break;
    }
    case 1: {
      TPolygon32 Line;
      Wobbly(Paths[0]);
      Line.AddPoints(Paths[0].data(), static_cast<int32_t>(Paths[0].size()));
      Line.FillRule = TPolyFillRule::NonZero;
      Line.Closed = U(4) != 0;
      Paths = Line.TwoWayOutline()->Inflate(Coord(Real(0.5, 8)), 1.0f)->Points();
      break;
    }
    default:
      Wobbly(Paths[0]);
  }
  return Paths;
}

}  // namespace quillet::testing
