// The crossing table: edge tracing with rows skipped outside the table, and the row order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "raster/crossing_table.h"

namespace quillet {
namespace {

// The edge walk visiting every scanline, with the drop and clamp of a table of rows [MinY, MaxY].
std::vector<std::vector<uint32_t>> PlainWalk(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t MinX,
                                             int32_t MinY, int32_t MaxX, int32_t MaxY) {
  std::vector<std::vector<uint32_t>> Rows(static_cast<size_t>(MaxY - MinY + 1));
  const int64_t Dy = std::abs(int64_t{Y2} - Y1);
  const int64_t Dx = std::abs(int64_t{X2} - X1);
  const int32_t Sy = Y2 > Y1 ? 1 : -1;
  const int32_t Sx = X2 > X1 ? 1 : -1;
  int64_t E = (Dx % Dy) / 2;
  int64_t X = X1;
  int64_t Y = Y1;
  for (int64_t I = 0; I < Dy; ++I) {
    if (Y >= MinY && Y <= MaxY)
      Rows[static_cast<size_t>(Y - MinY)].push_back(static_cast<uint32_t>(std::clamp<int64_t>(X, MinX, MaxX)) |
                                                    (Sy < 0 ? CrossingUpward : 0u));
    Y += Sy;
    E += Dx;
    if (E > Dy) {
      X += Sx;
      E -= Dy;
    }
    if (E > Dy) {
      X += Sx;
      E -= Dy;
    }
    if (E > Dy) {
      const int64_t K = (E + Dy - 1) / Dy;
      X += Sx * K;
      E -= Dy * K;
    }
  }
  return Rows;
}

void ExpectSameAsPlainWalk(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t MinY, int32_t MaxY) {
  const int32_t MinX = 1000;
  const int32_t MaxX = 50'000'000;
  TCrossingTable Table;
  Table.Reset(MinX, MinY, MaxX, MaxY);
  Table.CountEdge(Y1, Y2);
  Table.Allocate();
  EXPECT_EQ(Table.TraceEdge(X1, Y1, X2, Y2), Y2 > Y1 ? 1 : -1);
  const auto Expected = PlainWalk(X1, Y1, X2, Y2, MinX, MinY, MaxX, MaxY);
  for (int32_t R = 0; R < Table.RowCount(); ++R) {
    const std::vector<uint32_t> Got(Table.Row(R), Table.Row(R) + Table.RowLength(R));
    ASSERT_EQ(Got, Expected[static_cast<size_t>(R)])
        << "edge " << X1 << "," << Y1 << " -> " << X2 << "," << Y2 << " rows " << MinY << ".." << MaxY << " row "
        << R;
  }
}

TEST(CrossingTable, SkippedRowsLeaveTheKeptPositionsOfThePlainWalk) {
  std::mt19937 Rng(7);
  // Slopes from steep to very flat, crossing the regimes of the jump (Dx <= 2 Dy, Dx >= 4 Dy) and
  // the walked band between them.
  const int32_t Ratios[] = {0, 1, 2, 3, 4, 5, 7, 40};
  for (int Trial = 0; Trial < 3000; ++Trial) {
    const int32_t Dy = 1 + static_cast<int32_t>(Rng() % 3000);
    const int32_t Ratio = Ratios[Rng() % std::size(Ratios)];
    const int32_t Dx = Ratio * Dy + static_cast<int32_t>(Rng() % (Dy + 1)) - Dy / 2;
    const int32_t X1 = 20'000'000 + static_cast<int32_t>(Rng() % 1000);
    const int32_t Y1 = static_cast<int32_t>(Rng() % 6000) - 3000;
    const bool Down = Rng() % 2 == 0;
    const int32_t Y2 = Down ? Y1 + Dy : Y1 - Dy;
    const int32_t X2 = Rng() % 2 == 0 ? X1 + std::max(Dx, 0) : X1 - std::max(Dx, 0);
    const int32_t MinY = static_cast<int32_t>(Rng() % 6000) - 3000;
    const int32_t MaxY = MinY + static_cast<int32_t>(Rng() % 400);
    ExpectSameAsPlainWalk(X1, Y1, X2, Y2, MinY, MaxY);
  }
  // The boundaries of the jump's regimes exactly.
  for (int32_t Dy : {1, 2, 3, 7, 1000})
    for (int32_t Dx : {0, 1, Dy - 1, Dy, 2 * Dy, 2 * Dy + 1, 3 * Dy, 4 * Dy - 1, 4 * Dy, 4 * Dy + 1})
      for (int32_t MinY : {1, Dy / 2, Dy - 1}) {
        ExpectSameAsPlainWalk(100'000, 0, 100'000 + std::max(Dx, 0), Dy, MinY, MinY + 3);
        ExpectSameAsPlainWalk(100'000, Dy, 100'000 - std::max(Dx, 0), 0, 0, Dy - MinY);
      }
}

TEST(CrossingTable, AnEdgeFarAboveTheRowsAddsOnlyItsKeptCrossings) {
  // Two million sub-scanlines above a table of 8 rows.
  ExpectSameAsPlainWalk(0, -2'000'000, 3'000'000, 16, 0, 7);
  ExpectSameAsPlainWalk(9'000'000, 2'000'000, 0, -100, 0, 7);
}

TEST(CrossingTable, VerticesWhereTheDirectionReversesGetASecondCrossing) {
  // A triangle pointing up: the path reverses at the top vertex and at the bottom-left one, whose
  // row holds the rising edge's crossing and the extra one. The walk lags one step on a 45-degree
  // edge, as the error term moves X only once it exceeds Dy.
  const TArrayOfPoint Path{{10, 0}, {20, 10}, {0, 10}};
  TCrossingTable Table;
  Table.Reset(0, 0, 1000, 10);
  Table.CountPath(Path, false);
  Table.Allocate();
  Table.BuildCrossingTable(Path, false);
  Table.SortCrossings();
  for (int32_t R = 0; R <= 10; ++R) EXPECT_EQ(Table.RowLength(R) % 2, 0) << R;
  ASSERT_EQ(Table.RowLength(0), 2);
  EXPECT_EQ(Table.Row(0)[0] & CrossingKeyMask, 10u);
  EXPECT_EQ(Table.Row(0)[1] & CrossingKeyMask, 10u);
  ASSERT_EQ(Table.RowLength(10), 2);
  EXPECT_EQ(Table.Row(10)[0], 0u | CrossingUpward);
  EXPECT_EQ(Table.Row(10)[1], 0u);
  ASSERT_EQ(Table.RowLength(5), 2);
  EXPECT_EQ(Table.Row(5)[0], 4u | CrossingUpward);
  EXPECT_EQ(Table.Row(5)[1], 14u);
}

// The quicksort exactly as written: recursion into the left part, a loop over the right part.
void ReferenceSort(uint32_t* Row, int32_t Lo, int32_t Hi) {
  int32_t I;
  do {
    I = Lo;
    int32_t J = Hi;
    const uint32_t Pivot = Row[(Lo + Hi) / 2] & CrossingKeyMask;
    do {
      while ((Row[I] & CrossingKeyMask) < Pivot) ++I;
      while ((Row[J] & CrossingKeyMask) > Pivot) --J;
      if (I <= J) {
        std::swap(Row[I], Row[J]);
        ++I;
        --J;
      }
    } while (I <= J);
    if (Lo < J) ReferenceSort(Row, Lo, J);
    Lo = I;
  } while (I < Hi);
}

TEST(CrossingTable, RowsKeepTheQuicksortOrderOfEqualKeys) {
  std::mt19937 Rng(11);
  for (int Trial = 0; Trial < 2000; ++Trial) {
    const int32_t N = 3 + static_cast<int32_t>(Rng() % 60);
    const uint32_t Spread = 1 + Rng() % 8;  // few distinct keys: many ties
    std::vector<uint32_t> Row(static_cast<size_t>(N));
    for (uint32_t& V : Row) V = (Rng() % Spread) | (Rng() % 2 ? CrossingUpward : 0u);
    // Equal keys differ in their direction bit, so their order shows.
    std::vector<uint32_t> Expected = Row;
    ReferenceSort(Expected.data(), 0, N - 1);
    SortCrossingRow(Row.data(), N);
    ASSERT_EQ(Row, Expected);
  }
  // Rows of three and four take their own path: keys over the whole range, distinct and tied.
  const uint32_t Keys[] = {0u, 1u, 2u, 0x3FFFFFFFu, 0x40000000u, 0x7FFFFFFEu, 0x7FFFFFFFu};
  for (int Trial = 0; Trial < 4000; ++Trial) {
    const int32_t N = 3 + Trial % 2;
    std::vector<uint32_t> Row(static_cast<size_t>(N));
    for (uint32_t& V : Row) V = Keys[Rng() % 7] | (Rng() % 2 ? CrossingUpward : 0u);
    std::vector<uint32_t> Expected = Row;
    ReferenceSort(Expected.data(), 0, N - 1);
    SortCrossingRow(Row.data(), N);
    ASSERT_EQ(Row, Expected);
  }
  // Two crossings swap only when the first key is greater; bit 31 is not part of the key.
  uint32_t Pair[2] = {5u | CrossingUpward, 5u};
  SortCrossingRow(Pair, 2);
  EXPECT_EQ(Pair[0], 5u | CrossingUpward);
  uint32_t Swapped[2] = {6u, 5u | CrossingUpward};
  SortCrossingRow(Swapped, 2);
  EXPECT_EQ(Swapped[0], 5u | CrossingUpward);
}

}  // namespace
}  // namespace quillet
