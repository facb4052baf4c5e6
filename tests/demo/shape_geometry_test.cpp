// Star spokes, ellipse and spline point lists.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>

#include "demo/detail/extended_math.h"
#include "demo/raster_ext.h"
#include "demo/star.h"

namespace quillet {
namespace {

constexpr TFixed Fx(int32_t V) { return IntToFixed(V); }

bool Near(const TFixedPoint& A, const TFixedPoint& B, int32_t Tolerance) {
  return std::abs(A.X - B.X) <= Tolerance && std::abs(A.Y - B.Y) <= Tolerance;
}

TEST(Star, SpokesOfSize55) {
  const TStarGeometry G = StarGeometry(55);
  EXPECT_EQ(G.SpokeCount, 28);
  EXPECT_EQ(G.InnerRadius, 18);
  EXPECT_EQ(G.OuterRadius, 27);
  EXPECT_EQ(StarSpoke(G, 1, 100, 200), (TStarSpoke{104, 218, 112, 226}));
  EXPECT_EQ(StarSpoke(G, 7, 100, 200), (TStarSpoke{118, 200, 154, 200}));
  EXPECT_EQ(StarSpoke(G, 28, 100, 200), (TStarSpoke{100, 218, 100, 227}));
  // The quarter turns: 14 points straight up, 21 to the left.
  EXPECT_EQ(StarSpoke(G, 14, 0, 0), (TStarSpoke{0, -18, 0, -27}));
  EXPECT_EQ(StarSpoke(G, 21, 0, 0), (TStarSpoke{-18, 0, -54, 0}));
}

TEST(Star, CentreFarOutWraps) {
  const TStarGeometry G = StarGeometry(100);
  const TStarSpoke S = StarSpoke(G, 7, 0x7FFFFFF0, 0);
  EXPECT_LT(S.X2, 0);  // wrapped past the top of the range, without undefined behaviour
}

TEST(EllipsePoints, UnrotatedListStopsShortOfAFullTurn) {
  TArrayOfFixedPoint L{{1, 1}};
  EllipsePoints(36, L, 100, 50, 27, 13);
  ASSERT_EQ(L.size(), 36u);
  EXPECT_EQ(L[0], (TFixedPoint{Fx(127), Fx(50)}));
  // Angles advance by 6.28 / 35 towards increasing Y.
  EXPECT_GT(L[1].Y, L[0].Y);
  // The last point is at angle 6.28, just before the first: cos 6.28 * 27 = 26.999863,
  // sin 6.28 * 13 = -0.041409.
  EXPECT_NE(L[35], L[0]);
  EXPECT_TRUE(Near(L[35], {Fx(127) - 9, Fx(50) - 2714}, 2)) << L[35].X << "," << L[35].Y;
  // Point 9, theta = 1.61486: cos * 27 = -1.18938, sin * 13 = 12.98741.
  EXPECT_TRUE(Near(L[9], {Fx(100) - 77948, Fx(63) - 825}, 64)) << L[9].X << "," << L[9].Y;

  EllipsePoints(0, L, 0, 0, 1, 1);
  EXPECT_TRUE(L.empty());
}

TEST(RotatedEllipsePoints, ReplaceAndAppend) {
  TArrayOfFixedPoint L;
  RotatedEllipsePoints(36, false, L, 100, 50, 27, 13, 0);
  ASSERT_EQ(L.size(), 37u);
  EXPECT_EQ(L[0], (TFixedPoint{Fx(73), Fx(50)}));  // leftmost when unrotated
  EXPECT_TRUE(Near(L[36], L[0], 8));

  RotatedEllipsePoints(36, false, L, 100, 50, 27, 13, 45);
  ASSERT_EQ(L.size(), 37u);
  EXPECT_TRUE(Near(L[36], L[0], 8));  // a full turn, equal up to rounding
  // 45 degrees turn the leftmost point up to the left: X = 100 - 27 cos 45, Y = 50 + 27 sin 45.
  EXPECT_TRUE(Near(L[0], {FloatToFixed(100 - 19.0918831f), FloatToFixed(50 + 19.0918831f)}, 4));

  // The ring of Thickness 3 round radii (27, 13): inner (24, 10) one way, outer (30, 16) back.
  RotatedEllipsePoints(36, false, L, 100, 50, 24, 10, 0);
  RotatedEllipsePoints(36, true, L, 100, 50, 30, 16, 0);
  ASSERT_EQ(L.size(), 74u);
  EXPECT_EQ(L[0], (TFixedPoint{Fx(76), Fx(50)}));
  EXPECT_EQ(L[73], (TFixedPoint{Fx(70), Fx(50)}));  // k = 0 comes last
  EXPECT_TRUE(Near(L[37], L[73], 8));               // k = 36 comes first
  // The inner ellipse turns towards increasing Y at first, the appended outer one the other way.
  EXPECT_GT(L[1].Y, Fx(50));
  EXPECT_LT(L[38].Y, Fx(50));
}

TEST(SplineValue, EndsMidpointAndTiesToEven) {
  EXPECT_EQ(SplineValue(0, 0, 65536, 65536, 0.5f), 32768);
  EXPECT_EQ(SplineValue(-5, 1234567, -98765, 42, 0.0f), 1234567);
  EXPECT_EQ(SplineValue(-5, 1234567, -98765, 42, 1.0f), -98765);
  // K3 = -100, K2 = 100, K1 = 100: ((-50 + 100) * 0.5 + 100) * 0.5 = 62.5, rounded to even.
  EXPECT_EQ(SplineValue(0, 0, 100, 0, 0.5f), 62);
  EXPECT_EQ(SplineValue(0, 0, 1, 1, 0.5f), 0);
  EXPECT_EQ(SplineValue(1, 1, 2, 2, 0.5f), 2);
  // Coefficients wrap in 32 bits; the ends stay exact even so.
  EXPECT_EQ(SplineValue(INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX, 1.0f), INT32_MIN);
  EXPECT_EQ(SplineValue(INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX, 0.0f), INT32_MAX);
}

TEST(RoundToInt32, TiesToEvenWrapsAndRejectsOutOfRange) {
  EXPECT_EQ(RoundToInt32(2.5L), 2);
  EXPECT_EQ(RoundToInt32(3.5L), 4);
  EXPECT_EQ(RoundToInt32(-2.5L), -2);
  EXPECT_EQ(RoundToInt32(-0.5000001L), -1);
  // Kept to the low 32 bits of the 64-bit integer.
  EXPECT_EQ(RoundToInt32(4294967296.0L + 7.4L), 7);
  EXPECT_EQ(RoundToInt32(2147483648.0L), INT32_MIN);
  // Beyond 64 bits and NaN: 0.
  EXPECT_EQ(RoundToInt32(0x1p63L), 0);
  EXPECT_EQ(RoundToInt32(-0x1p64L), 0);
  EXPECT_EQ(RoundToInt32(std::numeric_limits<long double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundToInt32(-0x1p63L + 1024.0L), 1024);
}

TEST(SplinePoints, OpenClosedAndDegenerate) {
  const TArrayOfFixedPoint Two{{Fx(0), Fx(0)}, {Fx(40), Fx(20)}};
  TArrayOfFixedPoint D;
  SplinePoints(Two, 4, false, D);
  ASSERT_EQ(D.size(), 5u);
  EXPECT_EQ(D[0], Two[0]);
  EXPECT_EQ(D[4], Two[1]);
  // Open ends repeat their end points (Q0 = P0, Q3 = P1), which makes the one segment straight.
  EXPECT_EQ(D[2], (TFixedPoint{Fx(20), Fx(10)}));

  SplinePoints(Two, 4, true, D);
  ASSERT_EQ(D.size(), 9u);
  EXPECT_EQ(D[4], Two[1]);
  EXPECT_EQ(D[8], Two[0]);

  const TArrayOfFixedPoint Four{{0, 0}, {Fx(50), 0}, {Fx(50), Fx(50)}, {0, Fx(50)}};
  SplinePoints(Four, 10, true, D);
  ASSERT_EQ(D.size(), 41u);
  for (int I = 0; I < 4; ++I) EXPECT_EQ(D[static_cast<size_t>(I * 10)], Four[static_cast<size_t>(I)]);
  EXPECT_EQ(D[40], D[0]);

  TArrayOfFixedPoint Untouched{{7, 7}};
  SplinePoints({{Fx(1), Fx(1)}}, 10, true, Untouched);
  EXPECT_EQ(Untouched, (TArrayOfFixedPoint{{7, 7}}));
  SplinePoints({}, 10, false, Untouched);
  EXPECT_EQ(Untouched.size(), 1u);
}

}  // namespace
}  // namespace quillet
