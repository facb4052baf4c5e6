// The crossing table: edge tracing with rows skipped outside the table, and the row order.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "raster/detail/crossing_table.h"

namespace quillet {
namespace {

// The crossings one edge puts into a table of rows [MinY, MaxY], row by row.
std::vector<std::vector<uint32_t>> Traced(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t MinX, int32_t MinY,
                                          int32_t MaxX, int32_t MaxY) {
  TCrossingTable Table;
  Table.Reset(MinX, MinY, MaxX, MaxY);
  Table.CountEdge(Y1, Y2);
  Table.Allocate();
  EXPECT_EQ(Table.TraceEdge(X1, Y1, X2, Y2), Y2 > Y1 ? 1 : -1);
  std::vector<std::vector<uint32_t>> Rows;
  for (int32_t R = 0; R < Table.RowCount(); ++R) Rows.emplace_back(Table.Row(R), Table.Row(R) + Table.RowLength(R));
  return Rows;
}

// A table of some rows keeps exactly the crossings that a table of all the edge's rows has there:
// rows skipped before the table, in one jump or walked, leave the walk where it would have been.
void ExpectSkippedRowsKeepTheWalk(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t MinY, int32_t MaxY) {
  const int32_t MinX = 1000, MaxX = 50'000'000;
  const int32_t Top = std::min(Y1, Y2), Bottom = std::max(Y1, Y2);
  const auto Part = Traced(X1, Y1, X2, Y2, MinX, MinY, MaxX, MaxY);
  const auto Whole = Traced(X1, Y1, X2, Y2, MinX, Top, MaxX, Bottom);
  for (int32_t Y = MinY; Y <= MaxY; ++Y) {
    const std::vector<uint32_t> Expected =
        Y >= Top && Y <= Bottom ? Whole[static_cast<size_t>(Y - Top)] : std::vector<uint32_t>{};
    ASSERT_EQ(Part[static_cast<size_t>(Y - MinY)], Expected)
        << "edge " << X1 << "," << Y1 << " -> " << X2 << "," << Y2 << " rows " << MinY << ".." << MaxY << " row " << Y;
  }
}

TEST(CrossingTable, SkippedRowsLeaveTheKeptPositionsOfTheWholeWalk) {
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
    ExpectSkippedRowsKeepTheWalk(X1, Y1, X2, Y2, MinY, MaxY);
  }
  // The boundaries of the jump's regimes exactly.
  for (int32_t Dy : {1, 2, 3, 7, 1000})
    for (int32_t Dx : {0, 1, Dy - 1, Dy, 2 * Dy, 2 * Dy + 1, 3 * Dy, 4 * Dy - 1, 4 * Dy, 4 * Dy + 1})
      for (int32_t MinY : {1, Dy / 2, Dy - 1}) {
        ExpectSkippedRowsKeepTheWalk(100'000, 0, 100'000 + std::max(Dx, 0), Dy, MinY, MinY + 3);
        ExpectSkippedRowsKeepTheWalk(100'000, Dy, 100'000 - std::max(Dx, 0), 0, 0, Dy - MinY);
      }
}

TEST(CrossingTable, AnEdgeFarAboveTheRowsAddsOnlyItsKeptCrossings) {
  // Two million sub-scanlines above a table of 8 rows.
  ExpectSkippedRowsKeepTheWalk(0, -2'000'000, 3'000'000, 16, 0, 7);
  ExpectSkippedRowsKeepTheWalk(9'000'000, 2'000'000, 0, -100, 0, 7);
}

// Where the walk stands after m rows, from its error term: it starts at (Dx mod Dy) div 2 and
// grows by Dx a row, and X has moved t = ceil(N / Dy) - 1 units for N = e0 + m Dx when Dx <= 2 Dy
// (each row leaves the term in (0, Dy]), ceil(N / Dy) when Dx >= 4 Dy (the ceiling jump leaves it
// in (-Dy, 0]). In between, the term stays within (-Dy, Dy], so t lies within one unit of N / Dy.
TEST(CrossingTable, EdgePositionsFollowTheErrorTerm) {
  std::mt19937 Rng(13);
  for (int Trial = 0; Trial < 3000; ++Trial) {
    const int64_t Dy = 1 + Rng() % 500;
    const int64_t Dx = std::array<int64_t, 5>{0, 1, 2, 3, 6}[Rng() % 5] * Dy + Rng() % (Dy + 1);
    const int32_t Sx = Rng() % 2 ? 1 : -1, Sy = Rng() % 2 ? 1 : -1;
    const int32_t X1 = 1'000'000, Y1 = 0;
    const int32_t X2 = X1 + Sx * static_cast<int32_t>(Dx), Y2 = Y1 + Sy * static_cast<int32_t>(Dy);
    const auto Rows = Traced(X1, Y1, X2, Y2, 0, std::min(Y1, Y2), 50'000'000, std::max(Y1, Y2));
    const int64_t E0 = (Dx % Dy) / 2;
    for (int64_t M = 0; M < Dy; ++M) {
      const auto& Row = Rows[static_cast<size_t>(Sy > 0 ? M : Dy - M)];
      ASSERT_EQ(Row.size(), 1u);
      EXPECT_EQ(Row[0] >> 31, Sy < 0 ? 1u : 0u);
      const int64_t T = Sx * (int64_t{Row[0] & CrossingKeyMask} - X1);
      const int64_t N = E0 + M * Dx;
      const int64_t Ceiling = (N + Dy - 1) / Dy;
      if (M == 0 || Dx == 0)
        ASSERT_EQ(T, 0) << "Dx " << Dx << " Dy " << Dy << " row " << M;
      else if (Dx <= 2 * Dy)
        ASSERT_EQ(T, Ceiling - 1) << "Dx " << Dx << " Dy " << Dy << " row " << M;
      else if (Dx >= 4 * Dy)
        ASSERT_EQ(T, Ceiling) << "Dx " << Dx << " Dy " << Dy << " row " << M;
      else
        ASSERT_TRUE(T * Dy >= N - Dy && T * Dy < N + Dy) << "Dx " << Dx << " Dy " << Dy << " row " << M;
    }
  }
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
