// Shape generation for the peer benchmark: one generator, one fixed seed, every workload in turn.
#include "peer_workloads.h"

#include <cmath>
#include <random>

#include "demo/star.h"

namespace quillet::peer {

namespace {

constexpr size_t ShapesPerWorkload = 4096;
constexpr int32_t StarSize = 80;  // spokes from radius 26 out to half-axes 80 x 40

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
  TWorkload W{Name, TWorkKind::Triangle, Target, {}, {}, {}, {}};
  for (size_t I = 0; I < ShapesPerWorkload; ++I) W.Triangles.push_back(Source.Triangle(Size, Alpha));
  return W;
}

TWorkload Boxes(TShapeSource& Source, const char* Name, TWorkKind Kind, int32_t Size, uint32_t Alpha,
                double Target) {
  TWorkload W{Name, Kind, Target, {}, {}, {}, {}};
  for (size_t I = 0; I < ShapesPerWorkload; ++I) {
    const int32_t X = Source.Integer(0, SurfaceWidth - Size), Y = Source.Integer(0, SurfaceHeight - Size);
    W.Boxes.push_back({X, Y, X + Size, Y + Size, Source.Color(Alpha)});
  }
  return W;
}

TWorkload Stars(TShapeSource& Source) {
  TWorkload W{"AA 1-px line, star spokes", TWorkKind::Spoke, 0, {}, {}, {}, {}};
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
  TWorkload W{"Gouraud triangle 80 px", TWorkKind::Gouraud, 0, {}, {}, {}, {}};
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

}  // namespace

size_t TWorkload::Count() const {
  switch (Kind) {
    case TWorkKind::Triangle: return Triangles.size();
    case TWorkKind::Spoke: return Spokes.size();
    case TWorkKind::OpaqueRect:
    case TWorkKind::BlendRect: return Boxes.size();
    case TWorkKind::Gouraud: return Shaded.size();
    case TWorkKind::Erase: return 1;
  }
  return 0;
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
  W.push_back({"full-surface erase (G px/s)", TWorkKind::Erase, 0, {}, {}, {}, {}});
  return W;
}

}  // namespace quillet::peer
