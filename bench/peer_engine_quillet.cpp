// Quillet's side of the peer benchmark: the anti-aliased polygon filler at level 2 (8 x 8
// sub-samples, even-odd), the clipped anti-aliased integer line, the clipped rectangle fills, the
// demo's Gouraud triangle and bar and the surface erase. A band is drawn as the demo draws a thick
// spline: the polyline run both ways, offset by the half-width and filled non-zero.
#include <array>
#include <memory>
#include <vector>

#include "demo/raster_gouraud.h"
#include "peer_engine.h"
#include "raster/fixed.h"
#include "raster/polygon32.h"
#include "raster/polygon_fill.h"

namespace quillet::peer {

namespace {

class TQuilletEngine final : public TPeerEngine {
 public:
  explicit TQuilletEngine(TBitmap32& Surface) : FSurface(Surface) {
    FGouraud.SetTargetBitmap(&Surface);
    FLine.FillRule = TPolyFillRule::NonZero;
    FLine.Closed = true;
  }

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
        FGouraud.SetGouraudAlpha(255);
        for (size_t I = Begin; I < End; ++I) {
          const TShadedTriangle& T = W.Shaded[I];
          FGouraud.GouraudTriangle({TPoint{T.X[0], T.Y[0]}, TPoint{T.X[1], T.Y[1]}, TPoint{T.X[2], T.Y[2]}},
                                   T.Colors);
        }
        break;
      case TWorkKind::Erase:
        for (size_t I = Begin; I < End; ++I) FSurface.Erase();
        break;
      case TWorkKind::Polygon:
        for (size_t I = Begin; I < End; ++I) {
          const TPolygonShape& P = W.Polygons[I];
          if (P.Paths.size() == 1)
            FillPolygonAA(FSurface, P.Paths[0], P.Color, TPolyFillRule::EvenOdd, 2);
          else
            FillPolyPolygonAA(FSurface, P.Paths, P.Color, TPolyFillRule::EvenOdd, 2);
        }
        break;
      case TWorkKind::Band:
        for (size_t I = Begin; I < End; ++I) {
          const TBandShape& B = W.Bands[I];
          FLine.ClearPaths();
          FLine.AddPoints(B.Points.data(), static_cast<int32_t>(B.Points.size()));
          const std::unique_ptr<TPolygon32> Outline = FLine.TwoWayOutline();
          const std::unique_ptr<TPolygon32> Band = Outline->Inflate(IntToFixed(B.HalfWidth), 1.0f);
          Band->Antialiased = true;
          Band->FillPaths(FSurface, B.Color);
        }
        break;
      case TWorkKind::GouraudBar:
        for (size_t I = Begin; I < End; ++I) {
          const TShadedBar& B = W.Bars[I];
          FGouraud.SetGouraudAlpha(B.Alpha);
          FGouraud.GouraudBar(B.X1, B.Y1, B.X2, B.Y2, B.Colors[0], B.Colors[1], B.Colors[2], B.Colors[3]);
        }
        break;
    }
  }

 private:
  TBitmap32& FSurface;
  TRasterGouraud FGouraud;
  std::vector<TArrayOfFixedPoint> FPolygons;
  TPolygon32 FLine;  // a band's polyline
};

}  // namespace

std::unique_ptr<TPeerEngine> MakeQuilletEngine(TBitmap32& Surface) {
  return std::make_unique<TQuilletEngine>(Surface);
}

}  // namespace quillet::peer
