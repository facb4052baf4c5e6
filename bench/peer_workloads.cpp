// Shape generation for the peer benchmark: one generator, one fixed seed, every workload in turn.
// The demo's own shapes take their geometry from the demo's point procedures, at Size 100 and
// Thickness 5 (Steps 10, alpha 127).
#include "peer_workloads.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "demo/raster_ext.h"
#include "demo/star.h"

namespace quillet::peer {

namespace {

constexpr size_t ShapesPerWorkload = 4096;
constexpr int32_t StarSize = 80;  // spokes from radius 26 out to half-axes 80 x 40
constexpr int32_t DemoSize = 100;
constexpr int32_t DemoThickness = 5;
constexpr int32_t DemoSteps = 10;
constexpr uint32_t DemoAlpha = 127;

TWorkload Named(const char* Name, TWorkKind Kind, double Target = 0) {
  TWorkload W;
  W.Name = Name;
  W.Kind = Kind;
  W.CairoRatio = Target;
  return W;
}

class TShapeSource {
 public:
  TShapeSource() : FRng(0x5EED1E) {}

  double Uniform(double Lo, double Hi) { return std::uniform_real_distribution<double>(Lo, Hi)(FRng); }
  int32_t Integer(int32_t Lo, int32_t Hi) { return std::uniform_int_distribution<int32_t>(Lo, Hi)(FRng); }
  TColor32 Color(uint32_t Alpha) {
    return (Alpha << 24) | (static_cast<TColor32>(FRng()) & 0x00FFFFFF);
  }
  double OnGrid(double V) { return std::round(V * 256) / 256; }

  // A random point on the surface with corners at random within a Size x Size box around it.
  TTriangle Triangle(double Size, uint32_t Alpha) {
    const double Cx = Uniform(0, SurfaceWidth), Cy = Uniform(0, SurfaceHeight);
    TTriangle T{};
    for (int I = 0; I < 3; ++I) {
      T.X[I] = OnGrid(Cx + Uniform(-Size / 2, Size / 2));
      T.Y[I] = OnGrid(Cy + Uniform(-Size / 2, Size / 2));
    }
    T.Color = Color(Alpha);
    return T;
  }

 private:
  std::mt19937 FRng;
};

TWorkload Triangles(TShapeSource& Source, const char* Name, double Size, uint32_t Alpha, double Target) {
  TWorkload W = Named(Name, TWorkKind::Triangle, Target);
  W.Opaque = Alpha == 255;
  for (size_t I = 0; I < ShapesPerWorkload; ++I) W.Triangles.push_back(Source.Triangle(Size, Alpha));
  return W;
}

TWorkload Boxes(TShapeSource& Source, const char* Name, TWorkKind Kind, int32_t Size, uint32_t Alpha,
                double Target) {
  TWorkload W = Named(Name, Kind, Target);
  W.Opaque = Alpha == 255;
  for (size_t I = 0; I < ShapesPerWorkload; ++I) {
    const int32_t X = Source.Integer(0, SurfaceWidth - Size), Y = Source.Integer(0, SurfaceHeight - Size);
    W.Boxes.push_back({X, Y, X + Size, Y + Size, Source.Color(Alpha)});
  }
  return W;
}

TWorkload Stars(TShapeSource& Source) {
  TWorkload W = Named("AA 1-px line, star spokes", TWorkKind::Spoke);
  const TStarGeometry G = StarGeometry(StarSize);
  while (W.Spokes.size() < ShapesPerWorkload) {
    const int32_t X = Source.Integer(0, SurfaceWidth - 1), Y = Source.Integer(0, SurfaceHeight - 1);
    const TColor32 Color = Source.Color(255);
    for (int32_t I = 1; I <= G.SpokeCount; ++I) {
      const TStarSpoke S = StarSpoke(G, I, X, Y);
      W.Spokes.push_back({S.X1, S.Y1, S.X2, S.Y2, Color});
    }
  }
  return W;
}

TWorkload Gouraud(TShapeSource& Source) {
  TWorkload W = Named("Gouraud triangle 80 px", TWorkKind::Gouraud);
  W.Opaque = true;
  for (size_t I = 0; I < ShapesPerWorkload; ++I) {
    const TTriangle T = Source.Triangle(80, 255);
    TShadedTriangle S{};
    for (int K = 0; K < 3; ++K) {
      S.X[K] = static_cast<int32_t>(std::lround(T.X[K]));
      S.Y[K] = static_cast<int32_t>(std::lround(T.Y[K]));
      S.Colors[K] = Source.Color(255);
    }
    W.Shaded.push_back(S);
  }
  return W;
}

// The demo's closed spline through four random points near a random corner, as a band.
TWorkload SplineBands(TShapeSource& Source) {
  TWorkload W = Named("spline band 5 px, opaque", TWorkKind::Band);
  W.Opaque = true;
  for (size_t I = 0; I < ShapesPerWorkload; ++I) {
    const int32_t CornerX = Source.Integer(0, SurfaceWidth - DemoSize - 1);
    const int32_t CornerY = Source.Integer(0, SurfaceHeight - DemoSize - 1);
    TArrayOfFixedPoint Control(4);
    for (TFixedPoint& P : Control)
      P = FixedPointFromPoint({CornerX + Source.Integer(0, DemoSize + 49), CornerY + Source.Integer(0, DemoSize + 49)});
    TBandShape B{{}, DemoThickness, Source.Color(255)};
    SplinePoints(Control, DemoSteps, true, B.Points);
    W.Bands.push_back(std::move(B));
  }
  return W;
}

// The demo's ellipse in a Size box: half-axes Size / 2 and Size / 4, turned by 0 to 179 degrees;
// a disk of Segments, or a ring of Thickness on either side of it (one path, inner ellipse one way
// round and outer the other).
TWorkload Ellipses(TShapeSource& Source, const char* Name, uint32_t Alpha, int32_t Segments, int32_t Thickness) {
  TWorkload W = Named(Name, TWorkKind::Polygon);
  W.Opaque = Alpha == 255;
  const float RX = DemoSize / 2, RY = DemoSize / 4;
  for (size_t I = 0; I < ShapesPerWorkload; ++I) {
    const auto CX = static_cast<float>(Source.Integer(0, SurfaceWidth - 1));
    const auto CY = static_cast<float>(Source.Integer(0, SurfaceHeight - 1));
    const auto Rotation = static_cast<float>(Source.Integer(0, 179));
    TPolygonShape P{{{}}, Source.Color(Alpha)};
    TArrayOfFixedPoint& Path = P.Paths[0];
    const auto Count = static_cast<uint32_t>(Segments);
    if (Thickness <= 1) {
      if (Rotation == 0.0f)
        EllipsePoints(Segments, Path, CX, CY, RX, RY);
      else
        RotatedEllipsePoints(Count, false, Path, CX, CY, RX, RY, Rotation);
    } else {
      const auto T = static_cast<float>(Thickness);
      RotatedEllipsePoints(Count, false, Path, CX, CY, RX - T, RY - T, Rotation);
      RotatedEllipsePoints(Count, true, Path, CX, CY, RX + T, RY + T, Rotation);
    }
    W.Polygons.push_back(std::move(P));
  }
  return W;
}

TWorkload GouraudBars(TShapeSource& Source) {
  TWorkload W = Named("Gouraud bar, blended", TWorkKind::GouraudBar);
  for (size_t I = 0; I < ShapesPerWorkload; ++I) {
    const int32_t CX = Source.Integer(0, SurfaceWidth - 1), CY = Source.Integer(0, SurfaceHeight - 1);
    TShadedBar B{CX - DemoSize / 2, CY - DemoSize / 2, CX + DemoSize / 2, CY + DemoSize / 2, {}, DemoAlpha};
    for (TColor32& C : B.Colors) C = Source.Color(static_cast<uint32_t>(Source.Integer(0, 255)));
    W.Bars.push_back(B);
  }
  return W;
}

// The pixel box of 16.16 points, Margin pixels more on every side.
TPixelBox PointsBox(const TArrayOfFixedPoint& Points, int32_t Margin, TPixelBox Box) {
  for (const TFixedPoint& P : Points) {
    Box.X1 = std::min(Box.X1, (P.X >> 16) - Margin);
    Box.Y1 = std::min(Box.Y1, (P.Y >> 16) - Margin);
    Box.X2 = std::max(Box.X2, (P.X >> 16) + 1 + Margin);
    Box.Y2 = std::max(Box.Y2, (P.Y >> 16) + 1 + Margin);
  }
  return Box;
}

}  // namespace

size_t TWorkload::Count() const {
  switch (Kind) {
    case TWorkKind::Triangle: return Triangles.size();
    case TWorkKind::Spoke: return Spokes.size();
    case TWorkKind::OpaqueRect:
    case TWorkKind::BlendRect: return Boxes.size();
    case TWorkKind::Gouraud: return Shaded.size();
    case TWorkKind::Erase: return 1;
    case TWorkKind::Polygon: return Polygons.size();
    case TWorkKind::Band: return Bands.size();
    case TWorkKind::GouraudBar: return Bars.size();
  }
  return 0;
}

TPixelBox TWorkload::Bounds(size_t I) const {
  constexpr TPixelBox Empty{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  const auto Floor = [](double V) { return static_cast<int32_t>(std::floor(V)); };
  switch (Kind) {
    case TWorkKind::Triangle: {
      const TTriangle& T = Triangles[I];
      const auto [X1, X2] = std::minmax({T.X[0], T.X[1], T.X[2]});
      const auto [Y1, Y2] = std::minmax({T.Y[0], T.Y[1], T.Y[2]});
      return {Floor(X1) - 1, Floor(Y1) - 1, Floor(X2) + 2, Floor(Y2) + 2};
    }
    case TWorkKind::Spoke: {
      const TSpoke& S = Spokes[I];
      return {std::min(S.X1, S.X2) - 2, std::min(S.Y1, S.Y2) - 2, std::max(S.X1, S.X2) + 3,
              std::max(S.Y1, S.Y2) + 3};
    }
    case TWorkKind::OpaqueRect:
    case TWorkKind::BlendRect: return {Boxes[I].X1, Boxes[I].Y1, Boxes[I].X2, Boxes[I].Y2};
    case TWorkKind::Gouraud: {
      const TShadedTriangle& T = Shaded[I];
      const auto [X1, X2] = std::minmax({T.X[0], T.X[1], T.X[2]});
      const auto [Y1, Y2] = std::minmax({T.Y[0], T.Y[1], T.Y[2]});
      return {X1 - 1, Y1 - 1, X2 + 2, Y2 + 2};
    }
    case TWorkKind::Erase: return {0, 0, SurfaceWidth, SurfaceHeight};
    case TWorkKind::Polygon: {
      TPixelBox Box = Empty;
      for (const TArrayOfFixedPoint& Path : Polygons[I].Paths) Box = PointsBox(Path, 2, Box);
      return Box;
    }
    case TWorkKind::Band: {
      const TBandShape& B = Bands[I];
      return PointsBox(B.Points, static_cast<int32_t>(std::ceil(BandMiterLimit * B.HalfWidth)) + 2, Empty);
    }
    case TWorkKind::GouraudBar: return {Bars[I].X1, Bars[I].Y1, Bars[I].X2 + 1, Bars[I].Y2 + 1};
  }
  return Empty;
}

std::vector<TWorkload> MakeWorkloads() {
  TShapeSource Source;
  std::vector<TWorkload> W;
  // The ratios are the targets: the best engine it measured, relative to cairo.
  W.push_back(Triangles(Source, "AA triangle 10 px, opaque", 10, 255, 2.8));
  W.push_back(Triangles(Source, "AA triangle 10 px, alpha 127", 10, 127, 4.0));
  W.push_back(Triangles(Source, "AA triangle 80 px, opaque", 80, 255, 3.0));
  W.push_back(Triangles(Source, "AA triangle 80 px, alpha 127", 80, 127, 5.3));
  W.push_back(Triangles(Source, "AA triangle 300 px, opaque", 300, 255, 2.65));
  W.push_back(Triangles(Source, "AA triangle 300 px, alpha 127", 300, 127, 4.4));
  W.push_back(Stars(Source));
  W.push_back(Boxes(Source, "rectangle 80 x 80, opaque", TWorkKind::OpaqueRect, 80, 255, 0));
  W.push_back(Boxes(Source, "rectangle 40 x 40, alpha 127", TWorkKind::BlendRect, 40, 127, 3.8));
  W.push_back(Gouraud(Source));
  // The demo's shapes (what a tick with thick outlines spends most of its time on).
  W.push_back(SplineBands(Source));
  W.push_back(Ellipses(Source, "AA ellipse disk, opaque", 255, 27, 1));
  W.push_back(Ellipses(Source, "ellipse outline 5 px, alpha 127", DemoAlpha, 36, DemoThickness));
  W.push_back(GouraudBars(Source));
  TWorkload Erase = Named("full-surface erase (G px/s)", TWorkKind::Erase);
  Erase.Opaque = true;
  W.push_back(std::move(Erase));
  return W;
}

}  // namespace quillet::peer
