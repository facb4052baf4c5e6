// The areas a frame must show: gathered, merged into a short list, cleared per frame, the whole
// surface after a resize; and the pace at which frames go on screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/changed_areas.h"
#include "platform/frame_pacer.h"
#include "raster/bitmap32.h"

namespace quillet {
namespace {

bool Covered(const TChangedAreas& Areas, int32_t X, int32_t Y) {
  for (const TRect& R : Areas.Rects())
    if (X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom) return true;
  return false;
}

// Every pixel of From outside Hole is in exactly one piece, and no piece reaches into Hole.
TEST(SubtractRect, PiecesTileWhatLiesOutsideTheHole) {
  std::mt19937 Random(11);
  const auto Coordinate = [&Random] { return static_cast<int32_t>(Random() % 24) - 2; };
  for (int I = 0; I < 2000; ++I) {
    const TRect From{Coordinate(), Coordinate(), Coordinate(), Coordinate()};
    const TRect Hole{Coordinate(), Coordinate(), Coordinate(), Coordinate()};
    std::vector<TRect> Pieces;
    const bool Met = SubtractRect(From, Hole, Pieces);
    ASSERT_LE(Pieces.size(), 4u);
    bool AnyInHole = false;
    for (int32_t Y = -2; Y < 22; ++Y)
      for (int32_t X = -2; X < 22; ++X) {
        const auto In = [X, Y](const TRect& R) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; };
        const bool Wanted = In(From) && !In(Hole);
        AnyInHole |= In(From) && In(Hole);
        const auto Count = std::count_if(Pieces.begin(), Pieces.end(), In);
        ASSERT_EQ(Count, Wanted ? 1 : 0) << "pixel " << X << "," << Y << " of case " << I;
      }
    ASSERT_EQ(Met, AnyInHole) << "case " << I;
  }
}

TEST(ChangedAreas, NearAreasMergeFarOnesStayApartAndAFrameClearsThem) {
  TChangedAreas Areas;
  Areas.SetBounds(1000, 800);
  EXPECT_TRUE(Areas.Whole());  // a new size has changed everywhere
  Areas.Clear();
  EXPECT_TRUE(Areas.Empty());

  Areas.Add({10, 10, 50, 50});
  Areas.Add({20, 20, 30, 30});   // inside: nothing new
  Areas.Add({45, 10, 90, 50});   // overlapping: one rectangle
  Areas.Add({600, 500, 640, 540});  // far off: a rectangle of its own
  ASSERT_EQ(Areas.Rects().size(), 2u);
  EXPECT_EQ(Areas.Rects()[0], (TRect{10, 10, 90, 50}));
  EXPECT_EQ(Areas.Rects()[1], (TRect{600, 500, 640, 540}));
  // One that covers both takes their place.
  Areas.Add({0, 0, 650, 550});
  ASSERT_EQ(Areas.Rects().size(), 1u);
  EXPECT_FALSE(Areas.Whole());
  // Clipped to the surface; outside it nothing counts.
  Areas.Add({-50, -50, 5000, 20});
  Areas.Add({2000, 2000, 3000, 3000});
  ASSERT_EQ(Areas.Rects().size(), 2u);
  EXPECT_EQ(Areas.Rects()[1], (TRect{0, 0, 1000, 20}));
  Areas.AddWhole();
  EXPECT_TRUE(Areas.Whole());
  Areas.Clear();
  EXPECT_TRUE(Areas.Empty());
  // The same size again keeps what is gathered.
  Areas.Add({1, 1, 2, 2});
  Areas.SetBounds(1000, 800);
  EXPECT_EQ(Areas.Rects().size(), 1u);
}

// However many areas come, the list stays short and covers every one of them.
TEST(ChangedAreas, ManyAreasStayFewRectanglesCoveringThemAll) {
  TChangedAreas Areas;
  constexpr int32_t W = 1280, H = 960;
  Areas.SetBounds(W, H);
  Areas.Clear();
  std::mt19937 Random(7);
  std::vector<TRect> Added;
  int64_t AddedPixels = 0;
  for (int I = 0; I < 300; ++I) {
    const int32_t X = static_cast<int32_t>(Random() % (W + 60)) - 30;
    const int32_t Y = static_cast<int32_t>(Random() % (H + 60)) - 30;
    const TRect R{X, Y, X + 1 + static_cast<int32_t>(Random() % 20), Y + 1 + static_cast<int32_t>(Random() % 20)};
    Added.push_back(R);
    Areas.Add(R);
    AddedPixels += int64_t{R.Right - R.Left} * (R.Bottom - R.Top);
    ASSERT_LE(Areas.Rects().size(), TChangedAreas::MaxRects);
  }
  EXPECT_GT(Areas.Rects().size(), 10u);
  for (const TRect& R : Added)
    for (int32_t Y = std::max(R.Top, 0); Y < std::min(R.Bottom, H); ++Y)
      for (int32_t X = std::max(R.Left, 0); X < std::min(R.Right, W); ++X)
        ASSERT_TRUE(Covered(Areas, X, Y)) << X << "," << Y;
  for (const TRect& R : Areas.Rects()) {
    EXPECT_GE(R.Left, 0);
    EXPECT_GE(R.Top, 0);
    EXPECT_LE(R.Right, W);
    EXPECT_LE(R.Bottom, H);
  }
  // Rectangles that hold nearly all the surface give way to the whole of it; half does not.
  Areas.Clear();
  Areas.Add({0, 0, 640, 480});
  Areas.Add({660, 0, 1280, 480});
  Areas.Add({0, 500, 640, 960});
  EXPECT_EQ(Areas.Rects().size(), 3u);
  Areas.Add({660, 500, 1280, 960});
  EXPECT_TRUE(Areas.Whole());
}

TEST(ChangedAreas, ReportsOfLinesAreWidenedAndEveryReportIsClipped) {
  // A 2-pixel line from (10, 10) back to (3, 20): ordered and widened on every side.
  const TRect Line = ReportedSurfaceArea({10, 10, 3, 20}, AREAINFO_DRAWN_LINE, 100, 100);
  EXPECT_LE(Line.Left, 2);
  EXPECT_LE(Line.Top, 9);
  EXPECT_GE(Line.Right, 12);
  EXPECT_GE(Line.Bottom, 22);
  EXPECT_EQ(ReportedSurfaceArea({3, 4, 7, 8}, AREAINFO_RECT, 100, 100), (TRect{3, 4, 7, 8}));
  EXPECT_EQ(ReportedSurfaceArea({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, AREAINFO_RECT, 100, 50),
            (TRect{0, 0, 100, 50}));
  EXPECT_EQ(ReportedSurfaceArea({INT_MAX, 0, INT_MIN, 10}, AREAINFO_LINE + 0x3FFFFFFF, 100, 50),
            (TRect{0, 0, 100, 50}));
  EXPECT_EQ(ReportedSurfaceArea({200, 0, 300, 10}, AREAINFO_RECT, 100, 50), TRect{});
}

TEST(FramePacer, AtMostOneFramePerRefreshAndNoneLaterThanOne) {
  TFramePacer Pacer;
  EXPECT_EQ(Pacer.Period(), 16666667);  // 60 Hz until told otherwise
  EXPECT_LE(Pacer.NextFrameAt(), 0);    // the first frame may go at once
  Pacer.SetRefreshRate(144);
  EXPECT_EQ(Pacer.Period(), 6944444);
  Pacer.FrameShown(1000000000);
  EXPECT_EQ(Pacer.NextFrameAt(), 1000000000 + 6944444);
  // Unknown or unusable rates count as 60 Hz.
  for (double Hz : {0.0, -75.0, 1e6, std::nan("")}) {
    Pacer.SetRefreshRate(Hz);
    EXPECT_EQ(Pacer.Period(), 16666667) << Hz;
  }
  Pacer.SetRefreshRate(1000);
  EXPECT_EQ(Pacer.Period(), 1000000);
}

}  // namespace
}  // namespace quillet
