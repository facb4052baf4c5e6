// Thin polylines: which vertices and segments are drawn, the colour they leave on the surface, and
// their notifications.
#include <gtest/gtest.h>

#include <vector>

#include "drawing_support.h"
#include "raster/polygon32.h"
#include "raster/polygon_fill.h"

namespace quillet {
namespace {

using testing::Recorder;

TFixedPoint Px(int32_t X, int32_t Y) { return {IntToFixed(X), IntToFixed(Y)}; }

struct Canvas {
  TBitmap32 B;
  Recorder R;
  Canvas() {
    B.SetDimensions(24, 16);
    B.Fill(clBlack32);
    R.Attach(B);
  }
  std::vector<TPoint> Written() const {
    std::vector<TPoint> Out;
    for (int32_t Y = 0; Y < B.Height(); ++Y)
      for (int32_t X = 0; X < B.Width(); ++X)
        if (*B.PixelAddress(X, Y) != clBlack32) Out.push_back({X, Y});
    return Out;
  }
  std::vector<TColor32> Pixels() const { return testing::Snapshot(B); }
};

std::vector<TPoint> Row(int32_t Y, int32_t From, int32_t To) {
  std::vector<TPoint> Out;
  for (int32_t X = From; X <= To; ++X) Out.push_back({X, Y});
  return Out;
}

TEST(Polyline, OnePointIsDrawnOnlyWhenClosed) {
  for (bool Closed : {false, true}) {
    Canvas Plain;
    DrawPolyline(Plain.B, {Px(3, 4)}, clWhite32, Closed);
    EXPECT_EQ(Plain.Written(), Closed ? (std::vector<TPoint>{{3, 4}}) : std::vector<TPoint>{});
    Canvas Smooth;
    DrawPolylineAA(Smooth.B, {Px(3, 4)}, clWhite32, Closed);
    EXPECT_EQ(Smooth.Written().empty(), !Closed);
    // A single point sends no notification either way.
    EXPECT_EQ(Plain.R.Changes + Smooth.R.Changes, 0);
  }
}

TEST(Polyline, SegmentsLeaveOutTheirEndPoints) {
  Canvas Open;
  DrawPolyline(Open.B, {Px(2, 3), Px(8, 3)}, clWhite32, false);
  EXPECT_EQ(Open.Written(), Row(3, 2, 7));

  // Closed, two points: there and back, so both ends are drawn.
  Canvas Closed;
  DrawPolyline(Closed.B, {Px(2, 3), Px(8, 3)}, clWhite32, true);
  EXPECT_EQ(Closed.Written(), Row(3, 2, 8));

  // Points round to the nearest pixel, an exact half down.
  Canvas Rounded;
  DrawPolyline(Rounded.B, {{IntToFixed(2) + 0x8000, IntToFixed(3) + 0x8001}, Px(5, 4)}, clWhite32, false);
  EXPECT_EQ(Rounded.Written(), Row(4, 2, 4));
}

TEST(Polyline, SetsTheLineColourAndBlendsTranslucentColours) {
  const TColor32 Half = 0x80FF0000;
  Canvas C;
  DrawPolyline(C.B, {Px(1, 1), Px(6, 1), Px(6, 5)}, Half, false);
  EXPECT_EQ(C.B.LineColor(), Half);
  TColor32 Expected = clBlack32;
  CombineOpsFor(TCombineMode::cmBlend).ColorInto(Half, Expected);
  EXPECT_EQ(*C.B.PixelAddress(3, 1), Expected);
  EXPECT_EQ(*C.B.PixelAddress(6, 3), Expected);
  EXPECT_EQ(*C.B.PixelAddress(6, 5), clBlack32);
}

TEST(Polyline, DrawsThroughThePenOperations) {
  const TArrayOfFixedPoint P{{0x18000, 0x24000}, {0x100000, 0x38000}, {0xA0000, 0xC8000}};
  for (bool Closed : {false, true}) {
    Canvas Poly;
    DrawPolylineAA(Poly.B, P, 0xC000FF00, Closed);
    Canvas Pen;
    Pen.B.SetLineColor(0xC000FF00);
    Pen.B.SetPenPosFixed(P[0].X, P[0].Y);
    for (size_t I = 1; I < P.size(); ++I) Pen.B.LineToFixedClipped(P[I].X, P[I].Y);
    if (Closed) Pen.B.LineToFixedClipped(P[0].X, P[0].Y);
    EXPECT_EQ(Poly.Pixels(), Pen.Pixels());
    EXPECT_EQ(Poly.B.PenPosFixed, Pen.B.PenPosFixed);
  }
}

TEST(Polyline, EndsWithOneWholeSurfaceNotification) {
  Canvas C;
  DrawPolyPolyline(C.B, {{Px(1, 1), Px(5, 1)}, {}, {Px(1, 3), Px(5, 3)}}, clWhite32, false);
  EXPECT_EQ(C.Written().size(), 8u);
  // One per path of two or more points; each goes out after the path's batch is closed.
  EXPECT_EQ(C.R.Changes, 2);
  ASSERT_FALSE(C.R.Areas.empty());
  EXPECT_EQ(C.R.Areas.back().Area, C.B.BoundsRect());
  EXPECT_EQ(C.B.GetUpdateCount(), 0);

  TPolygon32 Poly;
  Poly.AddPoint(Px(2, 8));
  Poly.AddPoint(Px(9, 8));
  Poly.StartPath();
  Poly.AddPoint(Px(2, 10));
  Poly.AddPoint(Px(9, 12));
  for (bool Smooth : {false, true}) {
    Canvas D;
    Poly.Antialiased = Smooth;
    Poly.DrawPathLines(D.B, clWhite32);
    EXPECT_EQ(D.R.Changes, 1);
    EXPECT_EQ(D.B.GetUpdateCount(), 0);
    EXPECT_FALSE(D.Written().empty());
  }
}

}  // namespace
}  // namespace quillet
