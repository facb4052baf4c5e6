// The polygon container: path editing, the normals cache, Inflate and TwoWayOutline.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "raster/polygon32.h"

namespace quillet {
namespace {

TFixedPoint Px(int32_t X, int32_t Y) { return {IntToFixed(X), IntToFixed(Y)}; }

TArrayOfFixedPoint Pixels(std::initializer_list<std::pair<int32_t, int32_t>> List) {
  TArrayOfFixedPoint Out;
  for (auto [X, Y] : List) Out.push_back(Px(X, Y));
  return Out;
}

void Load(TPolygon32& P, const TArrayOfFixedPoint& Points) {
  P.ClearPaths();
  P.AddPoints(Points.data(), static_cast<int32_t>(Points.size()));
}

const TArrayOfFixedPoint Square = Pixels({{0, 0}, {10, 0}, {10, 10}, {0, 10}});

TEST(Polygon32, PathEditsKeepOneCurrentPathAndDropTheNormals) {
  TPolygon32 P;
  ASSERT_EQ(P.Points().size(), 1u);
  EXPECT_TRUE(P.Points()[0].empty());
  EXPECT_TRUE(P.Closed);
  EXPECT_EQ(P.AntialiasLevel, 2);

  for (int I = 0; I < 3; ++I) P.AddPoint(Px(I, I));
  ASSERT_EQ(P.Points().size(), 1u);
  EXPECT_EQ(P.Points()[0].size(), 3u);

  P.ComputeNormals();
  ASSERT_EQ(P.Normals().size(), 1u);
  P.StartPath();
  EXPECT_TRUE(P.Normals().empty());
  P.AddPoints(Square.data(), 4);
  ASSERT_EQ(P.Points().size(), 2u);
  EXPECT_EQ(P.Points()[1], Square);

  // Changing Closed keeps the cache computed under the old value.
  P.ComputeNormals();
  const TArrayOfArrayOfFixedPoint Before = P.Normals();
  P.Closed = false;
  P.ComputeNormals();
  EXPECT_EQ(P.Normals(), Before);

  P.ClearPaths();
  ASSERT_EQ(P.Points().size(), 1u);
  EXPECT_TRUE(P.Points()[0].empty());
  EXPECT_TRUE(P.Normals().empty());
}

TEST(Polygon32, SettingsAndAssignmentCopyEverythingAsked) {
  TPolygon32 Src;
  Src.Antialiased = true;
  Src.AntialiasLevel = 4;
  Src.Closed = false;
  Src.FillRule = TPolyFillRule::NonZero;
  Load(Src, Square);
  Src.ComputeNormals();

  TPolygon32 Dst;
  Src.CopySettingsTo(Dst);
  EXPECT_TRUE(Dst.Antialiased);
  EXPECT_EQ(Dst.AntialiasLevel, 4);
  EXPECT_FALSE(Dst.Closed);
  EXPECT_EQ(Dst.FillRule, TPolyFillRule::NonZero);
  EXPECT_TRUE(Dst.Points()[0].empty());

  TPolygon32 Copy;
  Src.AssignTo(Copy);
  EXPECT_EQ(Copy.Points(), Src.Points());
  EXPECT_EQ(Copy.Normals(), Src.Normals());
  // Derived polygons keep the level of their source.
  EXPECT_EQ(Src.TwoWayOutline()->AntialiasLevel, 4);
  EXPECT_EQ(Src.Inflate(FixedOne, 1.0f)->AntialiasLevel, 4);
}

TEST(Polygon32, NormalsTurnEachEdgeAQuarterTurn) {
  TPolygon32 P;
  Load(P, Square);
  P.ComputeNormals();
  const TArrayOfFixedPoint Closed{{0, -65536}, {65536, 0}, {0, 65536}, {-65536, 0}};
  EXPECT_EQ(P.Normals()[0], Closed);

  // An open path repeats the last edge's normal at its last point.
  TPolygon32 Open;
  Open.Closed = false;
  Load(Open, Square);
  Open.ComputeNormals();
  const TArrayOfFixedPoint Expected{{0, -65536}, {65536, 0}, {0, 65536}, {0, 65536}};
  EXPECT_EQ(Open.Normals()[0], Expected);

  // One point has a zero normal, a repeated point a zero normal at its first copy, no point none.
  TPolygon32 Short;
  Short.AddPoint(Px(5, 5));
  Short.StartPath();
  Short.StartPath();
  const TArrayOfFixedPoint Repeated = Pixels({{0, 0}, {0, 0}, {10, 0}});
  Short.AddPoints(Repeated.data(), 3);
  Short.ComputeNormals();
  ASSERT_EQ(Short.Normals().size(), 3u);
  EXPECT_EQ(Short.Normals()[0], (TArrayOfFixedPoint{{0, 0}}));
  EXPECT_TRUE(Short.Normals()[1].empty());
  EXPECT_EQ(Short.Normals()[2][0], (TFixedPoint{0, 0}));
  EXPECT_EQ(Short.Normals()[2][1], (TFixedPoint{0, -65536}));
}

TEST(Polygon32, NormalsRoundToSingleWhereTheArithmeticSaysSo) {
  // Each of these differs by one unit when 1 / hypot is not stored as single precision.
  struct Case {
    int32_t Dx, Dy;
    TFixedPoint Normal;
  };
  const Case Cases[] = {{3 * 65536, 4 * 65536, {52429, -39322}},
                        {-3049177, -2588670, {-42414, 49960}},
                        {2162688, 130233, {3939, -65417}},
                        {967433, -2490368, {-61089, -23731}},
                        {-429952, -2818048, {-64786, 9884}},
                        {3129277, -1703936, {-31340, -57557}}};
  for (const Case& C : Cases) {
    TPolygon32 P;
    P.Closed = false;
    P.AddPoint({1000, -2000});
    P.AddPoint({1000 + C.Dx, -2000 + C.Dy});
    P.ComputeNormals();
    EXPECT_EQ(P.Normals()[0][0], C.Normal) << C.Dx << ", " << C.Dy;
  }
}

TEST(Polygon32, NormalsOfPointsAtBothEndsOfTheRangeKeepTheirDirection) {
  TPolygon32 P;
  P.Closed = false;
  P.AddPoint({std::numeric_limits<int32_t>::min(), 0});
  P.AddPoint({std::numeric_limits<int32_t>::max(), 0});
  P.ComputeNormals();
  EXPECT_EQ(P.Normals()[0][0], (TFixedPoint{0, -65536}));
}

TEST(Polygon32, InflateOffsetsOpenPathsWithButtEnds) {
  TPolygon32 P;
  P.Closed = false;
  Load(P, Pixels({{0, 0}, {10, 0}}));
  auto R = P.Inflate(FixedOne, 1.0f);
  ASSERT_EQ(R->Points().size(), 1u);
  EXPECT_EQ(R->Points()[0], Pixels({{0, -1}, {10, -1}}));
  EXPECT_TRUE(R->Normals().empty());
  EXPECT_FALSE(R->Closed);
}

TEST(Polygon32, InflateBevelsOrMitresCornersBySharpness) {
  TPolygon32 P;
  Load(P, Square);
  const TArrayOfFixedPoint Bevelled =
      Pixels({{-1, 0}, {0, -1}, {10, -1}, {11, 0}, {11, 10}, {10, 11}, {0, 11}, {-1, 10}});
  const TArrayOfFixedPoint Mitred = Pixels({{-1, -1}, {11, -1}, {11, 11}, {-1, 11}});
  EXPECT_EQ(P.Inflate(FixedOne, 0.0f)->Points()[0], Bevelled);
  EXPECT_EQ(P.Inflate(FixedOne, -1.0f)->Points()[0], Bevelled);
  EXPECT_EQ(P.Inflate(FixedOne, 0.99f)->Points()[0], Mitred);
  EXPECT_EQ(P.Inflate(FixedOne, 1.0f)->Points()[0], Mitred);
  // A corner is mitred only when its dot exceeds the threshold: 0.5 gives T = Delta / 2, so the
  // right angles (dot = Delta) are mitred.
  EXPECT_EQ(P.Inflate(FixedOne, 0.5f)->Points()[0], Mitred);
  // A sharpness that is not a number mitres every corner.
  EXPECT_EQ(P.Inflate(FixedOne, std::numeric_limits<float>::quiet_NaN())->Points()[0], Mitred);
}

TEST(Polygon32, InflateBevelsOnlyCornersThatTurnBackAtHighSharpness) {
  // At (100, 0) the path turns back by about 179.4 degrees, at the two other corners by about 90.
  TPolygon32 P;
  Load(P, Pixels({{0, 0}, {100, 0}, {0, 1}}));
  EXPECT_EQ(P.Inflate(FixedOne, 0.99f)->Points()[0].size(), 4u);
  EXPECT_EQ(P.Inflate(FixedOne, 0.0f)->Points()[0].size(), 6u);
}

TEST(Polygon32, InflateThresholdRoundsHalvesToEven) {
  // Delta = 5 units: at (100, 0) B = (0, -5), A = (5, 2), so dot = 3. Sharpness 0.5 gives
  // T = round(2.5) = 2 and a mitre; sharpness 0.4 gives T = 3 and a bevel.
  TPolygon32 P;
  Load(P, Pixels({{0, 0}, {100, 0}, {60, 92}}));
  const TFixedPoint MitrePoint{IntToFixed(100) + 8, -5};
  const auto Has = [](const TArrayOfFixedPoint& Path, TFixedPoint Q) {
    return std::find(Path.begin(), Path.end(), Q) != Path.end();
  };
  EXPECT_TRUE(Has(P.Inflate(5, 0.5f)->Points()[0], MitrePoint));
  const TArrayOfFixedPoint Bevel = P.Inflate(5, 0.4f)->Points()[0];
  EXPECT_FALSE(Has(Bevel, MitrePoint));
  EXPECT_TRUE(Has(Bevel, (TFixedPoint{IntToFixed(100), -5})));
}

TEST(Polygon32, InflateKeepsOrDropsShortPaths) {
  TPolygon32 P;
  P.AddPoint(Px(1, 1));
  P.StartPath();
  P.StartPath();
  P.AddPoints(Square.data(), 4);

  auto Same = P.Inflate(0, 1.0f);
  EXPECT_EQ(Same->Points(), P.Points());

  auto Moved = P.Inflate(FixedOne, 1.0f);
  ASSERT_EQ(Moved->Points().size(), 1u);
  EXPECT_EQ(Moved->Points()[0].size(), 4u);

  TPolygon32 Tiny;
  Tiny.AddPoint(Px(1, 1));
  auto None = Tiny.Inflate(FixedOne, 1.0f);
  EXPECT_TRUE(None->Points().empty());
  // Appending to a polygon without a path starts one rather than writing into nothing.
  None->AddPoint(Px(2, 2));
  ASSERT_EQ(None->Points().size(), 1u);
  EXPECT_EQ(None->Points()[0], (TArrayOfFixedPoint{Px(2, 2)}));
}

TEST(Polygon32, InflateNeverDividesByZero) {
  // A closed two-point path turns back by 180 degrees at both ends: S = 0 and dot = 0, which a
  // negative Delta mitres (T < 0) through MulDiv's zero-divisor result.
  TPolygon32 P;
  Load(P, Pixels({{0, 0}, {10, 0}}));
  auto R = P.Inflate(-FixedOne, 1.0f);
  ASSERT_EQ(R->Points().size(), 1u);
  EXPECT_EQ(R->Points()[0], (TArrayOfFixedPoint{{-1, -1}, {IntToFixed(10) - 1, -1}}));
}

TEST(Polygon32, TwoWayOutlineRunsEveryPathForwardAndBack) {
  TPolygon32 Closed;
  Load(Closed, Square);
  Closed.StartPath();
  Closed.AddPoint(Px(3, 3));
  auto Rings = Closed.TwoWayOutline();
  ASSERT_EQ(Rings->Points().size(), 2u);
  EXPECT_EQ(Rings->Points()[0], Square);
  EXPECT_EQ(Rings->Points()[1], TArrayOfFixedPoint(Square.rbegin(), Square.rend()));

  TPolygon32 Open;
  Open.Closed = false;
  Load(Open, Pixels({{0, 0}, {10, 0}, {10, 5}}));
  auto Loop = Open.TwoWayOutline();
  ASSERT_EQ(Loop->Points().size(), 1u);
  EXPECT_EQ(Loop->Points()[0], Pixels({{0, 0}, {10, 0}, {10, 5}, {10, 5}, {10, 0}, {0, 0}}));
}

TEST(Polygon32, ThickLineGeometry) {
  TPolygon32 Open;
  Open.Closed = false;
  Load(Open, Pixels({{0, 0}, {10, 0}}));
  auto Band = Open.TwoWayOutline()->Inflate(IntToFixed(2), 1.0f);
  ASSERT_EQ(Band->Points().size(), 1u);
  EXPECT_EQ(Band->Points()[0], Pixels({{0, -2}, {10, -2}, {10, 0}, {10, 2}, {0, 2}}));

  TPolygon32 Ring;
  Load(Ring, Square);
  auto Rings = Ring.TwoWayOutline()->Inflate(FixedOne, 1.0f);
  ASSERT_EQ(Rings->Points().size(), 2u);
  EXPECT_EQ(Rings->Points()[0], Pixels({{-1, -1}, {11, -1}, {11, 11}, {-1, 11}}));
  EXPECT_EQ(Rings->Points()[1], Pixels({{1, 9}, {9, 9}, {9, 1}, {1, 1}}));
}

TEST(Polygon32, InflateOfExtremeCoordinatesStaysDefined) {
  const int32_t Big = std::numeric_limits<int32_t>::max();
  const int32_t Small = std::numeric_limits<int32_t>::min();
  TPolygon32 P;
  Load(P, {{Small, Small}, {Big, Small}, {Big, Big}, {Small, Big}, {0, 0}});
  for (TFixed Delta : {Big, Small + 1, FixedOne, -FixedOne})
    for (float Sharpness : {0.0f, 0.5f, 1.0f}) {
      auto R = P.Inflate(Delta, Sharpness);
      ASSERT_EQ(R->Points().size(), 1u);
      EXPECT_GE(R->Points()[0].size(), 5u);
    }
}

}  // namespace
}  // namespace quillet
