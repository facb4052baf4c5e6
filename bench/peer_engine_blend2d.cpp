// Blend2D's side of the peer benchmark (built only when configured with a Blend2D library): one
// synchronous rendering context, with its JIT, over the benchmark's pixels as PRGB32.
//
// What differs from Quillet: Blend2D blends premultiplied colours (on the opaque background every
// workload keeps, the result is the same blend); its coverage is exact area, not 8 x 8 samples;
// lines are strokes of width 1 with butt caps between pixel centres; a band is a stroke of twice
// its half-width with mitred corners, where Quillet fills the polyline's offsets. Blend2D has no
// Gouraud shading, so it draws neither Gouraud workload. Paths are built before the clock starts,
// as Quillet's points are.
#include <blend2d/blend2d.h>

#include <vector>

#include "peer_engine.h"

namespace quillet::peer {

namespace {

BLRgba32 ToBlend2D(TColor32 C) { return BLRgba32(C); }

BLPath ClosedPath(const TArrayOfFixedPoint& Points, BLPath Path = BLPath()) {
  if (Points.empty()) return Path;
  Path.move_to(Points[0].X / 65536.0, Points[0].Y / 65536.0);
  for (size_t I = 1; I < Points.size(); ++I) Path.line_to(Points[I].X / 65536.0, Points[I].Y / 65536.0);
  Path.close();
  return Path;
}

class TBlend2DEngine final : public TPeerEngine {
 public:
  explicit TBlend2DEngine(TBitmap32& Surface) {
    FImage.create_from_data(Surface.Width(), Surface.Height(), BL_FORMAT_PRGB32, Surface.PixelPtr(),
                            intptr_t{Surface.Width()} * 4);
    FContext.begin(FImage);
    FContext.set_stroke_caps(BL_STROKE_CAP_BUTT);
  }
  ~TBlend2DEngine() override { FContext.end(); }
  TBlend2DEngine(const TBlend2DEngine&) = delete;
  TBlend2DEngine& operator=(const TBlend2DEngine&) = delete;

  bool Draws(const TWorkload& W) const override {
    return W.Kind != TWorkKind::Gouraud && W.Kind != TWorkKind::GouraudBar;
  }

  void Prepare(const TWorkload& W) override {
    FPaths.clear();
    for (const TPolygonShape& P : W.Polygons) {
      BLPath Path;
      for (const TArrayOfFixedPoint& Points : P.Paths) Path = ClosedPath(Points, Path);
      FPaths.push_back(Path);
    }
    for (const TBandShape& B : W.Bands) FPaths.push_back(ClosedPath(B.Points));
  }

  void Draw(const TWorkload& W, size_t Begin, size_t End) override {
    BLContext& C = FContext;
    switch (W.Kind) {
      case TWorkKind::Triangle:
        C.set_fill_rule(BL_FILL_RULE_EVEN_ODD);
        for (size_t I = Begin; I < End; ++I) {
          const TTriangle& T = W.Triangles[I];
          C.fill_triangle(T.X[0], T.Y[0], T.X[1], T.Y[1], T.X[2], T.Y[2], ToBlend2D(T.Color));
        }
        break;
      case TWorkKind::Spoke:
        C.set_stroke_width(1.0);
        for (size_t I = Begin; I < End; ++I) {
          const TSpoke& S = W.Spokes[I];
          C.stroke_line(S.X1 + 0.5, S.Y1 + 0.5, S.X2 + 0.5, S.Y2 + 0.5, ToBlend2D(S.Color));
        }
        break;
      case TWorkKind::OpaqueRect:
      case TWorkKind::BlendRect:
        for (size_t I = Begin; I < End; ++I) {
          const TBox& B = W.Boxes[I];
          C.fill_rect(BLRectI(B.X1, B.Y1, B.X2 - B.X1, B.Y2 - B.Y1), ToBlend2D(B.Color));
        }
        break;
      case TWorkKind::Polygon:
        C.set_fill_rule(BL_FILL_RULE_EVEN_ODD);
        for (size_t I = Begin; I < End; ++I) C.fill_path(FPaths[I], ToBlend2D(W.Polygons[I].Color));
        break;
      case TWorkKind::Band:
        C.set_stroke_join(BL_STROKE_JOIN_MITER_BEVEL);
        C.set_stroke_miter_limit(BandMiterLimit);
        for (size_t I = Begin; I < End; ++I) {
          const TBandShape& B = W.Bands[I];
          C.set_stroke_width(2.0 * B.HalfWidth);
          C.stroke_path(FPaths[I], ToBlend2D(B.Color));
        }
        break;
      case TWorkKind::Erase:
        C.set_comp_op(BL_COMP_OP_SRC_COPY);
        for (size_t I = Begin; I < End; ++I) C.fill_all(BLRgba32(0xFF000000u));
        C.set_comp_op(BL_COMP_OP_SRC_OVER);
        break;
      case TWorkKind::Gouraud:
      case TWorkKind::GouraudBar:
        break;
    }
  }

  void Finish() override { FContext.flush(BL_CONTEXT_FLUSH_SYNC); }

 private:
  BLImage FImage;
  BLContext FContext;
  std::vector<BLPath> FPaths;
};

}  // namespace

std::unique_ptr<TPeerEngine> MakeBlend2DEngine(TBitmap32& Surface) {
  return std::make_unique<TBlend2DEngine>(Surface);
}

}  // namespace quillet::peer
