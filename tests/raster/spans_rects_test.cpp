// Clipped spans and rectangle fills: what they write, what they report, and that no coordinates
// make them write outside the clip rectangle.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "drawing_support.h"

namespace quillet {
namespace {

using testing::AreaReport;
using testing::Recorder;

constexpr TColor32 Green = 0xFF00C000;
constexpr TColor32 HalfRed = 0x80FF0000;

class SpansRects : public ::testing::Test {
 protected:
  void Make(int W, int H) {
    B.SetDimensions(W, H);
    testing::PaintBackground(B);
    Before = testing::Snapshot(B);
    R.Attach(B);
  }
  std::vector<TPoint> ChangedPixels() const { return testing::Changed(Before, testing::Snapshot(B), B.Width()); }
  TBitmap32 B;
  std::vector<TColor32> Before;
  Recorder R;
};

TEST_F(SpansRects, ClippedSpansOrderTheirEndsAndReportTheClippedSpan) {
  Make(5, 4);
  B.HorzSpanClipped(8, 1, 2, Green);
  EXPECT_EQ(ChangedPixels(), (std::vector<TPoint>{{2, 1}, {3, 1}, {4, 1}}));
  ASSERT_EQ(R.Areas.size(), 1u);
  EXPECT_EQ(R.Areas[0], (AreaReport{{2, 1, 5, 2}, AREAINFO_RECT}));

  testing::PaintBackground(B);
  R.Clear();
  B.VertSpanBlendClipped(3, 9, -4, HalfRed);
  EXPECT_EQ(ChangedPixels(), (std::vector<TPoint>{{3, 0}, {3, 1}, {3, 2}, {3, 3}}));
  TColor32 Want = Before[3];
  BlendColorInto(HalfRed, Want);
  EXPECT_EQ(*B.PixelAddress(3, 0), Want);
  ASSERT_EQ(R.Areas.size(), 1u);
  EXPECT_EQ(R.Areas[0], (AreaReport{{3, 0, 4, 4}, AREAINFO_RECT}));

  // Off the clip's rows or columns: nothing drawn or reported.
  testing::PaintBackground(B);
  R.Clear();
  B.HorzSpanClipped(0, 4, 4, Green);
  B.VertSpanClipped(-1, 0, 3, Green);
  B.HorzSpanBlendClipped(7, 0, 5, Green);
  EXPECT_TRUE(ChangedPixels().empty());
  EXPECT_TRUE(R.Areas.empty());
}

TEST_F(SpansRects, MeasuringSpansReportsTheGivenSpan) {
  Make(5, 4);
  std::vector<AreaReport> Measured;
  B.BeginMeasuring([&](TBitmap32*, const TRect& A, uint32_t Info) { Measured.push_back({A, Info}); });
  B.HorzSpanClipped(8, 1, 2, Green);
  B.VertSpanBlendClipped(3, -9, 40, Green);
  // The exclusive ends of the largest coordinates wrap instead of overflowing.
  const int32_t Big = std::numeric_limits<int32_t>::max();
  B.HorzSpanBlendClipped(0, Big, Big, Green);
  B.EndMeasuring();
  EXPECT_TRUE(ChangedPixels().empty());
  const int32_t Wrapped = std::numeric_limits<int32_t>::min();
  const std::vector<AreaReport> Want{{{8, 1, 3, 2}, AREAINFO_RECT},
                                     {{3, -9, 4, 41}, AREAINFO_RECT},
                                     {{0, Big, Wrapped, Wrapped}, AREAINFO_RECT}};
  EXPECT_EQ(Measured, Want);
}

TEST_F(SpansRects, ClippedRectanglesFillTheOverlapAndAlwaysReport) {
  Make(10, 10);
  B.PaintRectClipped(-5, -5, 3, 2, Green);
  std::vector<TPoint> Six{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}};
  EXPECT_EQ(ChangedPixels(), Six);
  ASSERT_FALSE(R.Areas.empty());
  EXPECT_EQ(R.Areas.back(), (AreaReport{{0, 0, 3, 2}, AREAINFO_RECT}));

  testing::PaintBackground(B);
  R.Clear();
  B.PaintRectClipped(5, 5, 5, 9, Green);
  B.BlendRectClipped(20, 20, 30, 30, HalfRed);
  EXPECT_TRUE(ChangedPixels().empty());
  const std::vector<AreaReport> Want{{{5, 5, 5, 9}, AREAINFO_RECT}, {{20, 20, 30, 30}, AREAINFO_RECT}};
  EXPECT_EQ(R.Areas, Want);
}

TEST_F(SpansRects, BlendedRectangleMixesByAlphaOrMerges) {
  Make(6, 6);
  // Alpha 0: nothing, not even a report; alpha 255: a plain fill.
  B.BlendRect(1, 1, 4, 4, 0x00FFFFFF);
  EXPECT_TRUE(ChangedPixels().empty());
  EXPECT_TRUE(R.Areas.empty());
  B.BlendRect(1, 1, 3, 2, Green);
  EXPECT_EQ(ChangedPixels(), (std::vector<TPoint>{{1, 1}, {2, 1}}));
  EXPECT_EQ(*B.PixelAddress(2, 1), Green);

  for (TCombineMode Mode : {TCombineMode::cmBlend, TCombineMode::cmMerge}) {
    testing::PaintBackground(B);
    B.SetCombineMode(Mode);
    B.BlendRectClipped(4, -2, 9, 2, HalfRed);
    for (int Y = 0; Y < 6; ++Y)
      for (int X = 0; X < 6; ++X) {
        TColor32 Want = Before[Y * 6 + X];
        if (X >= 4 && Y < 2) {
          if (Mode == TCombineMode::cmBlend)
            CombineColorInto(HalfRed, Want, 0x80);
          else
            MergeColorInto(HalfRed, Want);
        }
        EXPECT_EQ(*B.PixelAddress(X, Y), Want) << X << "," << Y;
      }
  }
}

TEST_F(SpansRects, ExtremeCoordinatesStayInsideTheClip) {
  Make(16, 12);
  B.SetClipBounds({3, 2, 13, 10});
  const int32_t Big = std::numeric_limits<int32_t>::max(), Small = std::numeric_limits<int32_t>::min();
  const std::vector<int32_t> Values{Small, Small + 1, -7, 0, 5, 12, 13, 100000, Big - 1, Big};
  for (int32_t A : Values)
    for (int32_t C : Values) {
      for (int32_t D : Values) {
        B.HorzSpanClipped(A, C, D, Green);
        B.HorzSpanBlendClipped(A, C, D, HalfRed);
        B.VertSpanClipped(A, C, D, Green);
        B.VertSpanBlendClipped(A, C, D, HalfRed);
        for (int32_t E : Values) {
          B.PaintRectClipped(A, C, D, E, Green);
          B.BlendRectClipped(A, C, D, E, HalfRed);
        }
      }
      B.PutPixelClipped(A, C, Green);
      B.BlendPixelClipped(A, C, HalfRed);
    }
  EXPECT_TRUE(testing::OnlyInside(Before, testing::Snapshot(B), 16, B.ClipBounds()));
}

}  // namespace
}  // namespace quillet
