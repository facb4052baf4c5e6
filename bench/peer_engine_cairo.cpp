// cairo's side of the peer benchmark, on an image surface (ARGB32) over the benchmark's pixels.
//
// What differs from Quillet: cairo blends premultiplied colours (on the opaque background every
// workload keeps, the result is the same blend); its coverage is exact area, not 8 x 8 samples;
// lines are strokes of width 1 with butt caps between pixel centres; the Gouraud triangle is a
// mesh pattern (made before the clock starts) filling the triangle's path with anti-aliased
// edges, where Quillet's Gouraud triangle has hard edges; the Gouraud bar is a mesh patch of four
// corners (bilinear, as Quillet's) filling its rectangle; a band is a stroke of twice its
// half-width with mitred corners, where Quillet fills the polyline's offsets.
#include <cairo.h>

#include <vector>

#include "peer_engine.h"

namespace quillet::peer {

namespace {

double Channel(TColor32 C, int Shift) { return static_cast<double>((C >> Shift) & 0xFF) / 255.0; }

void SetColor(cairo_t* Cr, TColor32 C) {
  cairo_set_source_rgba(Cr, Channel(C, 16), Channel(C, 8), Channel(C, 0), Channel(C, 24));
}

// A closed path of 16.16 points.
void AddPath(cairo_t* Cr, const TArrayOfFixedPoint& Path) {
  if (Path.empty()) return;
  cairo_move_to(Cr, Path[0].X / 65536.0, Path[0].Y / 65536.0);
  for (size_t I = 1; I < Path.size(); ++I) cairo_line_to(Cr, Path[I].X / 65536.0, Path[I].Y / 65536.0);
  cairo_close_path(Cr);
}

class TCairoEngine final : public TPeerEngine {
 public:
  explicit TCairoEngine(TBitmap32& Surface) {
    FSurface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(Surface.PixelPtr()),
                                                   CAIRO_FORMAT_ARGB32, Surface.Width(), Surface.Height(),
                                                   Surface.Width() * 4);
    FCr = cairo_create(FSurface);
    cairo_set_line_width(FCr, 1.0);
    cairo_set_line_cap(FCr, CAIRO_LINE_CAP_BUTT);
  }
  ~TCairoEngine() override {
    ReleasePatterns();
    cairo_destroy(FCr);
    cairo_surface_destroy(FSurface);
  }
  TCairoEngine(const TCairoEngine&) = delete;
  TCairoEngine& operator=(const TCairoEngine&) = delete;


  void Prepare(const TWorkload& W) override {
    ReleasePatterns();
    for (const TShadedTriangle& T : W.Shaded) {
      cairo_pattern_t* Mesh = cairo_pattern_create_mesh();
      cairo_mesh_pattern_begin_patch(Mesh);
      cairo_mesh_pattern_move_to(Mesh, T.X[0] + 0.5, T.Y[0] + 0.5);
      cairo_mesh_pattern_line_to(Mesh, T.X[1] + 0.5, T.Y[1] + 0.5);
      cairo_mesh_pattern_line_to(Mesh, T.X[2] + 0.5, T.Y[2] + 0.5);
      for (unsigned K = 0; K < 3; ++K)
        cairo_mesh_pattern_set_corner_color_rgb(Mesh, K, Channel(T.Colors[K], 16), Channel(T.Colors[K], 8),
                                                Channel(T.Colors[K], 0));
      cairo_mesh_pattern_end_patch(Mesh);
      FMeshes.push_back(Mesh);
    }
    for (const TShadedBar& B : W.Bars) {
      const double X1 = B.X1, Y1 = B.Y1, X2 = B.X2 + 1, Y2 = B.Y2 + 1;
      cairo_pattern_t* Mesh = cairo_pattern_create_mesh();
      cairo_mesh_pattern_begin_patch(Mesh);
      cairo_mesh_pattern_move_to(Mesh, X1, Y1);
      cairo_mesh_pattern_line_to(Mesh, X2, Y1);
      cairo_mesh_pattern_line_to(Mesh, X2, Y2);
      cairo_mesh_pattern_line_to(Mesh, X1, Y2);
      // Corners in the patch's order: top-left, top-right, bottom-right, bottom-left.
      constexpr unsigned Corner[4] = {0, 1, 3, 2};
      for (unsigned K = 0; K < 4; ++K) {
        const TColor32 C = B.Colors[Corner[K]];
        cairo_mesh_pattern_set_corner_color_rgba(Mesh, K, Channel(C, 16), Channel(C, 8), Channel(C, 0),
                                                 Channel(C, 24) * B.Alpha / 255.0);
      }
      cairo_mesh_pattern_end_patch(Mesh);
      FMeshes.push_back(Mesh);
    }
    // Hold cairo's source colour across operations the way the other engines hold theirs.
    FLastColor = 0;
    SetColor(FCr, FLastColor);
  }

  void Draw(const TWorkload& W, size_t Begin, size_t End) override {
    cairo_t* Cr = FCr;
    switch (W.Kind) {
      case TWorkKind::Triangle:
        cairo_set_fill_rule(Cr, CAIRO_FILL_RULE_EVEN_ODD);
        for (size_t I = Begin; I < End; ++I) {
          const TTriangle& T = W.Triangles[I];
          SetColor(Cr, T.Color);
          cairo_move_to(Cr, T.X[0], T.Y[0]);
          cairo_line_to(Cr, T.X[1], T.Y[1]);
          cairo_line_to(Cr, T.X[2], T.Y[2]);
          cairo_close_path(Cr);
          cairo_fill(Cr);
        }
        break;
      case TWorkKind::Spoke:
        for (size_t I = Begin; I < End; ++I) {
          const TSpoke& S = W.Spokes[I];
          if (S.Color != FLastColor) SetColor(Cr, FLastColor = S.Color);
          cairo_move_to(Cr, S.X1 + 0.5, S.Y1 + 0.5);
          cairo_line_to(Cr, S.X2 + 0.5, S.Y2 + 0.5);
          cairo_stroke(Cr);
        }
        break;
      case TWorkKind::OpaqueRect:
      case TWorkKind::BlendRect:
        for (size_t I = Begin; I < End; ++I) {
          const TBox& B = W.Boxes[I];
          SetColor(Cr, B.Color);
          cairo_rectangle(Cr, B.X1, B.Y1, B.X2 - B.X1, B.Y2 - B.Y1);
          cairo_fill(Cr);
        }
        break;
      case TWorkKind::Gouraud:
        for (size_t I = Begin; I < End; ++I) {
          const TShadedTriangle& T = W.Shaded[I];
          cairo_set_source(Cr, FMeshes[I]);
          cairo_move_to(Cr, T.X[0] + 0.5, T.Y[0] + 0.5);
          cairo_line_to(Cr, T.X[1] + 0.5, T.Y[1] + 0.5);
          cairo_line_to(Cr, T.X[2] + 0.5, T.Y[2] + 0.5);
          cairo_close_path(Cr);
          cairo_fill(Cr);
        }
        break;
      case TWorkKind::Polygon:
        cairo_set_fill_rule(Cr, CAIRO_FILL_RULE_EVEN_ODD);
        for (size_t I = Begin; I < End; ++I) {
          const TPolygonShape& P = W.Polygons[I];
          SetColor(Cr, P.Color);
          for (const TArrayOfFixedPoint& Path : P.Paths) AddPath(Cr, Path);
          cairo_fill(Cr);
        }
        break;
      case TWorkKind::Band:
        cairo_set_line_join(Cr, CAIRO_LINE_JOIN_MITER);
        cairo_set_miter_limit(Cr, BandMiterLimit);
        for (size_t I = Begin; I < End; ++I) {
          const TBandShape& B = W.Bands[I];
          SetColor(Cr, B.Color);
          cairo_set_line_width(Cr, 2.0 * B.HalfWidth);
          AddPath(Cr, B.Points);
          cairo_stroke(Cr);
        }
        cairo_set_line_width(Cr, 1.0);
        break;
      case TWorkKind::GouraudBar:
        for (size_t I = Begin; I < End; ++I) {
          const TShadedBar& B = W.Bars[I];
          cairo_set_source(Cr, FMeshes[I]);
          cairo_rectangle(Cr, B.X1, B.Y1, B.X2 + 1 - B.X1, B.Y2 + 1 - B.Y1);
          cairo_fill(Cr);
        }
        break;
      case TWorkKind::Erase:
        cairo_set_operator(Cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_rgb(Cr, 0, 0, 0);
        for (size_t I = Begin; I < End; ++I) cairo_paint(Cr);
        cairo_set_operator(Cr, CAIRO_OPERATOR_OVER);
        break;
    }
  }

  void Finish() override { cairo_surface_flush(FSurface); }

 private:
  void ReleasePatterns() {
    for (cairo_pattern_t* P : FMeshes) cairo_pattern_destroy(P);
    FMeshes.clear();
  }

  cairo_surface_t* FSurface;
  cairo_t* FCr;
  std::vector<cairo_pattern_t*> FMeshes;
  TColor32 FLastColor = 0;
};

}  // namespace

std::unique_ptr<TPeerEngine> MakeCairoEngine(TBitmap32& Surface) { return std::make_unique<TCairoEngine>(Surface); }

}  // namespace quillet::peer
