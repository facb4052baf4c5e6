// The damage a surface reports: every pixel an operation changes is reported, within the surface,
// close to what really changed (thin lines are not their bounding boxes), and a sink changes no
// pixel. Randomised operations, clip rectangles and colours.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "raster/bitmap32.h"
#include "raster/polygon32.h"
#include "raster/polygon_fill.h"
#include "tests/raster/drawing_support.h"

namespace quillet {
namespace {

using testing::DamageMarks;

constexpr int32_t W = 97, H = 71;

struct Op {
  std::string Name;
  // Draws into a surface; the same random draws for the same seed.
  std::function<void(TBitmap32&, std::mt19937&)> Draw;
  // Reported pixels may exceed the changed ones by this factor, plus Slack, over all runs.
  double MaxWaste;
};

int32_t Coord(std::mt19937& R, int32_t Size) { return std::uniform_int_distribution<int32_t>(-20, Size + 20)(R); }
TFixed FixedCoord(std::mt19937& R, int32_t Size) {
  return std::uniform_int_distribution<TFixed>(-20 << 16, (Size + 20) << 16)(R);
}
TColor32 Color(std::mt19937& R, bool Opaque) {
  const uint32_t C = R();
  return Opaque ? (C | 0xFF000000u) : ((C & 0x00FFFFFFu) | 0x60000000u);
}
TArrayOfFixedPoint Points(std::mt19937& R, int Count) {
  TArrayOfFixedPoint P(static_cast<size_t>(Count));
  for (TFixedPoint& Q : P) Q = {FixedCoord(R, W), FixedCoord(R, H)};
  return P;
}

// Drawn in a fixed order, whatever the order in which a call's arguments are evaluated.
struct TLineArgs {
  explicit TLineArgs(std::mt19937& R)
      : X1(Coord(R, W)), Y1(Coord(R, H)), X2(Coord(R, W)), Y2(Coord(R, H)), Color(quillet::Color(R, R() & 1)),
        L(R() & 1) {}
  int32_t X1, Y1, X2, Y2;
  TColor32 Color;
  bool L;
};

std::vector<Op> Ops() {
  std::vector<Op> Result;
  const auto Add = [&Result](std::string Name, double Waste, std::function<void(TBitmap32&, std::mt19937&)> F) {
    Result.push_back({std::move(Name), std::move(F), Waste});
  };
  Add("line", 1.1, [](TBitmap32& B, std::mt19937& R) {
    const TLineArgs A(R);
    B.DrawLineClipped(A.X1, A.Y1, A.X2, A.Y2, A.Color | 0xFF000000u, A.L);
  });
  Add("blended line", 1.1, [](TBitmap32& B, std::mt19937& R) {
    const TLineArgs A(R);
    B.DrawLineBlendClipped(A.X1, A.Y1, A.X2, A.Y2, A.Color, A.L);
  });
  Add("aa line", 1.3, [](TBitmap32& B, std::mt19937& R) {
    const TLineArgs A(R);
    B.DrawLineAAClipped(A.X1, A.Y1, A.X2, A.Y2, A.Color, A.L);
  });
  Add("fixed line", 1.6, [](TBitmap32& B, std::mt19937& R) {
    B.DrawLineFixedClipped(FixedCoord(R, W), FixedCoord(R, H), FixedCoord(R, W), FixedCoord(R, H), Color(R, false),
                           R() & 1);
  });
  Add("unclipped fixed line", 1.6, [](TBitmap32& B, std::mt19937& R) {
    const auto In = [&R](int32_t Size) { return std::uniform_int_distribution<TFixed>(0, (Size - 2) << 16)(R); };
    B.DrawLineFixed(In(W), In(H), In(W), In(H), Color(R, false), R() & 1);
  });
  Add("polyline", 1.1, [](TBitmap32& B, std::mt19937& R) {
    DrawPolyline(B, Points(R, 5), Color(R, R() & 1), R() & 1);
  });
  Add("aa polyline", 1.6, [](TBitmap32& B, std::mt19937& R) {
    DrawPolylineAA(B, Points(R, 5), Color(R, R() & 1), R() & 1);
  });
  Add("polygon", 2.5, [](TBitmap32& B, std::mt19937& R) {
    FillPolygon(B, Points(R, 5), Color(R, R() & 1), (R() & 1) ? TPolyFillRule::EvenOdd : TPolyFillRule::NonZero);
  });
  Add("aa polygon", 1.5, [](TBitmap32& B, std::mt19937& R) {
    TPolygon32 P;
    P.Antialiased = true;
    P.FillRule = (R() & 1) ? TPolyFillRule::EvenOdd : TPolyFillRule::NonZero;
    P.AntialiasLevel = static_cast<TAntialiasLevel>(R() % 4);
    const TArrayOfFixedPoint First = Points(R, 6), Second = Points(R, 4);
    P.AddPoints(First.data(), static_cast<int32_t>(First.size()));
    P.StartPath();
    P.AddPoints(Second.data(), static_cast<int32_t>(Second.size()));
    P.FillPaths(B, Color(R, R() & 1));
  });
  Add("aa outline band", 2.5, [](TBitmap32& B, std::mt19937& R) {
    TPolygon32 P;
    const TArrayOfFixedPoint Path = Points(R, 4);
    P.AddPoints(Path.data(), static_cast<int32_t>(Path.size()));
    auto Band = P.TwoWayOutline()->Inflate(IntToFixed(1 + static_cast<int32_t>(R() % 5)), 1.0f);
    Band->Antialiased = true;
    Band->FillPaths(B, Color(R, R() & 1));
  });
  Add("rects and spans", 1.05, [](TBitmap32& B, std::mt19937& R) {
    B.PaintRectClipped(Coord(R, W), Coord(R, H), Coord(R, W), Coord(R, H), Color(R, true));
    B.BlendRectClipped(Coord(R, W), Coord(R, H), Coord(R, W), Coord(R, H), Color(R, false));
    B.HorzSpanClipped(Coord(R, W), Coord(R, H), Coord(R, W), Color(R, true));
    B.VertSpanBlendClipped(Coord(R, W), Coord(R, H), Coord(R, H), Color(R, false));
    B.PutPixelClipped(Coord(R, W), Coord(R, H), Color(R, true));
    B.BlendSubpixelFixed(FixedCoord(R, W), FixedCoord(R, H), Color(R, false));
  });
  return Result;
}

void RandomClip(TBitmap32& B, std::mt19937& R) {
  if (R() % 3 == 0) {
    B.ResetClipBounds();
    return;
  }
  const int32_t L = static_cast<int32_t>(R() % (W / 2)), T = static_cast<int32_t>(R() % (H / 2));
  B.SetClipBounds({L, T, L + 1 + static_cast<int32_t>(R() % (W - L)), T + 1 + static_cast<int32_t>(R() % (H - T))});
}

TEST(DamageSink, EveryChangedPixelIsReportedAndLittleElse) {
  for (const Op& Operation : Ops()) {
    TBitmap32 Surface, Plain;
    Surface.SetDimensions(W, H);
    Plain.SetDimensions(W, H);
    DamageMarks Marks;
    Surface.SetDamageSink(&Marks);
    ASSERT_EQ(Marks.Resets, 1);
    int64_t ChangedTotal = 0, ReportedTotal = 0;
    for (uint32_t Seed = 1; Seed <= 1500; ++Seed) {
      testing::PaintBackground(Surface);
      testing::PaintBackground(Plain);
      std::mt19937 R(Seed), RPlain(Seed);
      RandomClip(Surface, R);
      RandomClip(Plain, RPlain);
      Marks.Clear();
      const std::vector<TColor32> Before = testing::Snapshot(Surface);
      Operation.Draw(Surface, R);
      Operation.Draw(Plain, RPlain);
      const std::vector<TColor32> After = testing::Snapshot(Surface);
      ASSERT_EQ(After, testing::Snapshot(Plain)) << Operation.Name << " seed " << Seed << ": a sink changed pixels";
      ASSERT_EQ(Marks.Faults, 0) << Operation.Name << " seed " << Seed;
      for (const TPoint& P : testing::Changed(Before, After, W))
        ASSERT_TRUE(Marks.At(P.X, P.Y)) << Operation.Name << " seed " << Seed << " pixel " << P.X << "," << P.Y;
      // Nothing outside the clip rectangle.
      const TRect& Clip = Surface.ClipBounds();
      for (int32_t Y = 0; Y < H; ++Y)
        for (int32_t X = 0; X < W; ++X)
          if (Marks.At(X, Y) && !testing::InsideRect(Clip, X, Y)) {
            ASSERT_TRUE(Operation.Name == "rects and spans" || Operation.Name == "unclipped fixed line")
                << Operation.Name << " seed " << Seed << " pixel " << X << "," << Y << " outside the clip";
          }
      ChangedTotal += static_cast<int64_t>(testing::Changed(Before, After, W).size());
      ReportedTotal += Marks.Count();
    }
    EXPECT_GT(ChangedTotal, 0) << Operation.Name;
    EXPECT_LE(static_cast<double>(ReportedTotal), Operation.MaxWaste * static_cast<double>(ChangedTotal) + 400.0)
        << Operation.Name << ": " << ReportedTotal << " reported for " << ChangedTotal << " changed";
  }
}

// Measuring changes no pixel and reports none; a new size, a fill and a read report everything.
TEST(DamageSink, MeasuringReportsNothingWholeSurfaceChangesReportEverything) {
  TBitmap32 Surface;
  Surface.SetDimensions(20, 10);
  DamageMarks Marks;
  Surface.SetDamageSink(&Marks);
  Marks.Clear();
  Surface.BeginMeasuring([](TBitmap32*, const TRect&, uint32_t) {});
  Surface.PaintRectClipped(0, 0, 20, 10, clWhite32);
  Surface.DrawLineAAClipped(0, 0, 19, 7, clWhite32, true);
  FillPolygonAA(Surface, {{0, 0}, {IntToFixed(19), 0}, {0, IntToFixed(9)}}, clWhite32, TPolyFillRule::EvenOdd, 2);
  Surface.EndMeasuring();
  EXPECT_EQ(Marks.Count(), 0);
  EXPECT_EQ(Marks.Fills, 0);

  Surface.Fill(0xFF102030);
  EXPECT_EQ(Marks.Fills, 1);
  EXPECT_EQ(Marks.LastFill, 0xFF102030u);
  Surface.SetDimensions(30, 5);
  EXPECT_EQ(Marks.Resets, 2);
  EXPECT_EQ(Marks.Width, 30);
  EXPECT_EQ(Marks.Count(), 150);
  Surface.SetDamageSink(nullptr);
  Surface.PaintRectClipped(0, 0, 5, 5, clWhite32);  // no sink: nothing to report to, and no fault
  EXPECT_EQ(Marks.Resets, 2);

  // A surface that goes away tells its sink nothing: the sink may be gone before it.
  {
    TBitmap32 Passing;
    Passing.SetDimensions(4, 4);
    Passing.SetDamageSink(&Marks);
  }
  EXPECT_EQ(Marks.Resets, 3);
}

}  // namespace
}  // namespace quillet
