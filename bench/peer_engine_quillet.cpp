// Quillet's side of the peer benchmark: the anti-aliased polygon filler at level 2 (8 x 8
// sub-samples, even-odd), the clipped anti-aliased integer line, the clipped rectangle fills, the
// demo's Gouraud triangle and the surface erase.
#include <array>
#include <vector>

#include "demo/raster_gouraud.h"
#include "peer_engine.h"
#include "raster/fixed.h"
#include "raster/polygon_fill.h"

namespace quillet::peer {

namespace {

class TQuilletEngine final : public TPeerEngine {
 public:
  explicit TQuilletEngine(TBitmap32& Surface) : FSurface(Surface) { FGouraud.SetTargetBitmap(&Surface); }


  void Prepare(const TWorkload& W) override {
    // The filler takes 16.16 points; the corners lie on a 1/256 grid, so these are exact.
    FPolygons.clear();
    for (const TTriangle& T : W.Triangles) {
      TArrayOfFixedPoint P;
      for (int I = 0; I < 3; ++I)
        P.push_back({static_cast<TFixed>(T.X[I] * 65536), static_cast<TFixed>(T.Y[I] * 65536)});
      FPolygons.push_back(std::move(P));
    }
  }

  void Draw(const TWorkload& W, size_t Begin, size_t End) override {
    switch (W.Kind) {
      case TWorkKind::Triangle:
        for (size_t I = Begin; I < End; ++I)
          FillPolygonAA(FSurface, FPolygons[I], W.Triangles[I].Color, TPolyFillRule::EvenOdd, 2);
        break;
      case TWorkKind::Spoke:
        for (size_t I = Begin; I < End; ++I) {
          const TSpoke& S = W.Spokes[I];
          FSurface.DrawLineAAClipped(S.X1, S.Y1, S.X2, S.Y2, S.Color, false);
        }
        break;
      case TWorkKind::OpaqueRect:
        for (size_t I = Begin; I < End; ++I) {
          const TBox& B = W.Boxes[I];
          FSurface.PaintRectClipped(B.X1, B.Y1, B.X2, B.Y2, B.Color);
        }
        break;
      case TWorkKind::BlendRect:
        for (size_t I = Begin; I < End; ++I) {
          const TBox& B = W.Boxes[I];
          FSurface.BlendRectClipped(B.X1, B.Y1, B.X2, B.Y2, B.Color);
        }
        break;
      case TWorkKind::Gouraud:
        for (size_t I = Begin; I < End; ++I) {
          const TShadedTriangle& T = W.Shaded[I];
          FGouraud.GouraudTriangle({TPoint{T.X[0], T.Y[0]}, TPoint{T.X[1], T.Y[1]}, TPoint{T.X[2], T.Y[2]}},
                                   T.Colors);
        }
        break;
      case TWorkKind::Erase:
        for (size_t I = Begin; I < End; ++I) FSurface.Erase();
        break;
    }
  }

 private:
  TBitmap32& FSurface;
  TRasterGouraud FGouraud;
  std::vector<TArrayOfFixedPoint> FPolygons;
};

}  // namespace

std::unique_ptr<TPeerEngine> MakeQuilletEngine(TBitmap32& Surface) {
  return std::make_unique<TQuilletEngine>(Surface);
}

}  // namespace quillet::peer
