// AGG's side of the peer benchmark, through pixfmt_bgra32 over the benchmark's pixels (AGG's
// blend of plain, not premultiplied, colours: the same lerp as Quillet's).
//
// What differs from Quillet: AGG's coverage is exact area, not 8 x 8 samples; lines go through
// AGG's outline renderer for anti-aliased lines (a width-1 line profile, butt ends) between pixel
// centres; rectangles are renderer_base's copy_bar and blend_bar; the Gouraud triangle is
// span_gouraud_rgba through the anti-aliased scanline rasterizer, so its edges are smooth where
// Quillet's are hard; a band is conv_stroke of twice its half-width with mitred corners, where
// Quillet fills the polyline's offsets. AGG has no bilinear shading, so it draws no Gouraud bar.
#include <agg_conv_stroke.h>
#include <agg_path_storage.h>
#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_outline_aa.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_outline_aa.h>
#include <agg_renderer_scanline.h>
#include <agg_rendering_buffer.h>
#include <agg_scanline_p.h>
#include <agg_scanline_u.h>
#include <agg_span_allocator.h>
#include <agg_span_gouraud_rgba.h>

#include <vector>

#include "peer_engine.h"

namespace quillet::peer {

namespace {

using TPixels = agg::pixfmt_bgra32;
using TBase = agg::renderer_base<TPixels>;
using TSolid = agg::renderer_scanline_aa_solid<TBase>;
using TOutline = agg::renderer_outline_aa<TBase>;

agg::rgba8 ToAgg(TColor32 C) {
  return agg::rgba8((C >> 16) & 0xFF, (C >> 8) & 0xFF, C & 0xFF, C >> 24);
}

class TAggEngine final : public TPeerEngine {
 public:
  explicit TAggEngine(TBitmap32& Surface)
      : FBuffer(reinterpret_cast<agg::int8u*>(Surface.PixelPtr()), static_cast<unsigned>(Surface.Width()),
                static_cast<unsigned>(Surface.Height()), Surface.Width() * 4),
        FPixels(FBuffer),
        FBase(FPixels),
        FSolid(FBase),
        FProfile(1.0, agg::gamma_none()),
        FOutline(FBase, FProfile),
        FLines(FOutline) {
    FRasterizer.clip_box(0, 0, Surface.Width(), Surface.Height());
  }


  bool Draws(const TWorkload& W) const override { return W.Kind != TWorkKind::GouraudBar; }

  void Prepare(const TWorkload& W) override {
    // The band's points as AGG's vertex source reads them.
    FBandPoints.clear();
    for (const TBandShape& B : W.Bands) {
      std::vector<double>& XY = FBandPoints.emplace_back();
      for (const TFixedPoint& P : B.Points) XY.insert(XY.end(), {P.X / 65536.0, P.Y / 65536.0});
    }
  }

  void Draw(const TWorkload& W, size_t Begin, size_t End) override {
    FRasterizer.filling_rule(W.Kind == TWorkKind::Band ? agg::fill_non_zero : agg::fill_even_odd);
    switch (W.Kind) {
      case TWorkKind::Triangle:
        for (size_t I = Begin; I < End; ++I) {
          const TTriangle& T = W.Triangles[I];
          FRasterizer.reset();
          FRasterizer.move_to_d(T.X[0], T.Y[0]);
          FRasterizer.line_to_d(T.X[1], T.Y[1]);
          FRasterizer.line_to_d(T.X[2], T.Y[2]);
          FSolid.color(ToAgg(T.Color));
          agg::render_scanlines(FRasterizer, FPackedLine, FSolid);
        }
        break;
      case TWorkKind::Spoke:
        for (size_t I = Begin; I < End; ++I) {
          const TSpoke& S = W.Spokes[I];
          FOutline.color(ToAgg(S.Color));
          FLines.move_to_d(S.X1 + 0.5, S.Y1 + 0.5);
          FLines.line_to_d(S.X2 + 0.5, S.Y2 + 0.5);
          FLines.render(false);
        }
        break;
      case TWorkKind::OpaqueRect:
        for (size_t I = Begin; I < End; ++I) {
          const TBox& B = W.Boxes[I];
          FBase.copy_bar(B.X1, B.Y1, B.X2 - 1, B.Y2 - 1, ToAgg(B.Color));
        }
        break;
      case TWorkKind::BlendRect:
        for (size_t I = Begin; I < End; ++I) {
          const TBox& B = W.Boxes[I];
          FBase.blend_bar(B.X1, B.Y1, B.X2 - 1, B.Y2 - 1, ToAgg(B.Color), agg::cover_full);
        }
        break;
      case TWorkKind::Gouraud:
        for (size_t I = Begin; I < End; ++I) {
          const TShadedTriangle& T = W.Shaded[I];
          agg::span_gouraud_rgba<agg::rgba8> Span(ToAgg(T.Colors[0]), ToAgg(T.Colors[1]), ToAgg(T.Colors[2]),
                                                  T.X[0] + 0.5, T.Y[0] + 0.5, T.X[1] + 0.5, T.Y[1] + 0.5,
                                                  T.X[2] + 0.5, T.Y[2] + 0.5, 0.0);
          FRasterizer.reset();
          FRasterizer.add_path(Span);
          agg::render_scanlines_aa(FRasterizer, FUnpackedLine, FBase, FSpans, Span);
        }
        break;
      case TWorkKind::Polygon:
        for (size_t I = Begin; I < End; ++I) {
          const TPolygonShape& P = W.Polygons[I];
          FRasterizer.reset();
          for (const TArrayOfFixedPoint& Path : P.Paths) {
            if (Path.empty()) continue;
            FRasterizer.move_to_d(Path[0].X / 65536.0, Path[0].Y / 65536.0);
            for (size_t K = 1; K < Path.size(); ++K) FRasterizer.line_to_d(Path[K].X / 65536.0, Path[K].Y / 65536.0);
          }
          FSolid.color(ToAgg(P.Color));
          agg::render_scanlines(FRasterizer, FPackedLine, FSolid);
        }
        break;
      case TWorkKind::Band:
        for (size_t I = Begin; I < End; ++I) {
          const TBandShape& B = W.Bands[I];
          std::vector<double>& XY = FBandPoints[I];
          agg::poly_plain_adaptor<double> Line(XY.data(), static_cast<unsigned>(XY.size() / 2), true);
          agg::conv_stroke<agg::poly_plain_adaptor<double>> Stroke(Line);
          Stroke.width(2.0 * B.HalfWidth);
          Stroke.line_join(agg::miter_join);
          Stroke.miter_limit(BandMiterLimit);
          FRasterizer.reset();
          FRasterizer.add_path(Stroke);
          FSolid.color(ToAgg(B.Color));
          agg::render_scanlines(FRasterizer, FPackedLine, FSolid);
        }
        break;
      case TWorkKind::GouraudBar:
        break;
      case TWorkKind::Erase:
        for (size_t I = Begin; I < End; ++I) FBase.clear(agg::rgba8(0, 0, 0, 255));
        break;
    }
  }

 private:
  agg::rendering_buffer FBuffer;
  TPixels FPixels;
  TBase FBase;
  TSolid FSolid;
  agg::line_profile_aa FProfile;
  TOutline FOutline;
  agg::rasterizer_outline_aa<TOutline> FLines;
  agg::rasterizer_scanline_aa<> FRasterizer;
  agg::scanline_p8 FPackedLine;
  agg::scanline_u8 FUnpackedLine;
  agg::span_allocator<agg::rgba8> FSpans;
  std::vector<std::vector<double>> FBandPoints;
};

}  // namespace

std::unique_ptr<TPeerEngine> MakeAggEngine(TBitmap32& Surface) { return std::make_unique<TAggEngine>(Surface); }

}  // namespace quillet::peer
