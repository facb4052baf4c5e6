// Tracing closed grid paths into the crossing table, and ordering its rows.
#include "raster/detail/crossing_table.h"

#include <algorithm>
#include <utility>

#include "raster/detail/edge_walk.h"

namespace quillet {

namespace {

void QuickSortRow(uint32_t* Row, int32_t Lo, int32_t Hi) {
  for (;;) {
    int32_t I = Lo;
    int32_t J = Hi;
    const uint32_t Pivot = Row[Lo + (Hi - Lo) / 2] & CrossingKeyMask;
    do {
      while ((Row[I] & CrossingKeyMask) < Pivot) ++I;
      while ((Row[J] & CrossingKeyMask) > Pivot) --J;
      if (I <= J) {
        std::swap(Row[I], Row[J]);
        ++I;
        --J;
      }
    } while (I <= J);
    // [Lo, J] and [I, Hi] are sorted independently, so taking the smaller one first by recursion
    // gives the same order as left-then-right while keeping the stack shallow on any input.
    if (J - Lo < Hi - I) {
      if (Lo < J) QuickSortRow(Row, Lo, J);
      if (I >= Hi) return;
      Lo = I;
    } else {
      if (I < Hi) QuickSortRow(Row, I, Hi);
      if (Lo >= J) return;
      Hi = J;
    }
  }
}

// Rows of three and four crossings are the common case after pairs. With distinct keys every sort
// gives the same order, so these go through a branch-free network and are kept unless two keys
// are equal; then the row is left as it was for the quicksort, whose order of equal keys must
// stand. The network compares crossings rotated so that the key leads: with distinct keys that
// orders them by key alone.
inline uint32_t KeyFirst(uint32_t V) { return (V << 1) | (V >> 31); }
inline uint32_t FromKeyFirst(uint32_t V) { return (V >> 1) | (V << 31); }
inline void Order(uint32_t& A, uint32_t& B) {
  const uint32_t Low = std::min(A, B);
  B = std::max(A, B);
  A = Low;
}
inline bool SameKey(uint32_t A, uint32_t B) { return (A >> 1) == (B >> 1); }

bool SortDistinct3(uint32_t* Row) {
  uint32_t A = KeyFirst(Row[0]), B = KeyFirst(Row[1]), C = KeyFirst(Row[2]);
  Order(A, B);
  Order(B, C);
  Order(A, B);
  if (SameKey(A, B) || SameKey(B, C)) return false;
  Row[0] = FromKeyFirst(A), Row[1] = FromKeyFirst(B), Row[2] = FromKeyFirst(C);
  return true;
}

bool SortDistinct4(uint32_t* Row) {
  uint32_t A = KeyFirst(Row[0]), B = KeyFirst(Row[1]), C = KeyFirst(Row[2]), D = KeyFirst(Row[3]);
  Order(A, B);
  Order(C, D);
  Order(A, C);
  Order(B, D);
  Order(B, C);
  if (SameKey(A, B) || SameKey(B, C) || SameKey(C, D)) return false;
  Row[0] = FromKeyFirst(A), Row[1] = FromKeyFirst(B), Row[2] = FromKeyFirst(C), Row[3] = FromKeyFirst(D);
  return true;
}

}  // namespace

void SortCrossingRow(uint32_t* Row, int32_t Count) {
  if (Count < 2) return;
  if (Count == 2) {
    if ((Row[0] & CrossingKeyMask) > (Row[1] & CrossingKeyMask)) std::swap(Row[0], Row[1]);
    return;
  }
  if (Count == 3 && SortDistinct3(Row)) return;
  if (Count == 4 && SortDistinct4(Row)) return;
  QuickSortRow(Row, 0, Count - 1);
}

void TCrossingTable::Reset(int32_t MinX, int32_t MinY, int32_t MaxX, int32_t MaxY) {
  FMinX = MinX;
  FMinY = MinY;
  FMaxX = MaxX;
  FMaxY = MaxY;
  FRows = MaxY >= MinY ? static_cast<int32_t>(int64_t{MaxY} - MinY + 1) : 0;
  FCounts.assign(static_cast<size_t>(FRows) + 1, 0);
  FStart.clear();
  FCursor.clear();
  FCells.clear();
}

void TCrossingTable::CountEdge(int32_t Y1, int32_t Y2) {
  if (Y1 == Y2) return;
  // The edge's own rows: from Y1 (included) towards Y2 (excluded).
  int32_t Lo = Y1 < Y2 ? Y1 : Y2 + 1;
  int32_t Hi = Y1 < Y2 ? Y2 - 1 : Y1;
  Lo = std::max(Lo, FMinY);
  Hi = std::min(Hi, FMaxY);
  if (Lo > Hi) return;
  FCounts[static_cast<size_t>(Lo - FMinY)] += 1;
  FCounts[static_cast<size_t>(Hi - FMinY) + 1] -= 1;
}

void TCrossingTable::CountVertex(int32_t Y) {
  if (!InRows(Y)) return;
  FCounts[static_cast<size_t>(Y - FMinY)] += 1;
  FCounts[static_cast<size_t>(Y - FMinY) + 1] -= 1;
}

void TCrossingTable::CountPath(const TArrayOfPoint& Points, bool ScaleX) {
  WalkPath(
      Points, ScaleX,
      [this](int32_t, int32_t Y1, int32_t, int32_t Y2) {
        CountEdge(Y1, Y2);
        return Y2 > Y1 ? 1 : -1;
      },
      [this](int32_t, int32_t Y, int32_t) { CountVertex(Y); });
}

void TCrossingTable::Allocate() {
  FStart.resize(static_cast<size_t>(FRows) + 1);
  size_t Total = 0;
  int64_t InRow = 0;
  for (int32_t R = 0; R < FRows; ++R) {
    InRow += FCounts[static_cast<size_t>(R)];
    FStart[static_cast<size_t>(R)] = Total;
    Total += static_cast<size_t>(InRow);
  }
  FStart[static_cast<size_t>(FRows)] = Total;
  FCursor.assign(FStart.begin(), FStart.end());
  FCells.resize(Total);
}

void TCrossingTable::Trim(size_t Bytes) {
  const auto Over = [Bytes](const auto& V) { return V.capacity() * sizeof(V[0]) > Bytes; };
  if (Over(FCounts) || Over(FStart) || Over(FCursor) || Over(FCells)) *this = TCrossingTable();
}

void TCrossingTable::BuildCrossingTable(const TArrayOfPoint& Points, bool ScaleX) {
  WalkPath(
      Points, ScaleX,
      [this](int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) { return TraceEdge(X1, Y1, X2, Y2); },
      [this](int32_t X, int32_t Y, int32_t Dir) { AddCrossing(X, Y, Dir); });
}

void TCrossingTable::AddCrossing(int32_t X, int32_t Y, int32_t Dir) {
  if (!InRows(Y)) return;
  if (X < FMinX)
    X = FMinX;
  else if (X > FMaxX)
    X = FMaxX;
  FCells[FCursor[static_cast<size_t>(Y - FMinY)]++] =
      static_cast<uint32_t>(X) | (Dir < 0 ? CrossingUpward : 0u);
}

int32_t TCrossingTable::TraceEdge(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  if (Y1 == Y2) return 0;
  const int32_t Sy = Y2 > Y1 ? 1 : -1;
  const uint32_t Flag = Sy < 0 ? CrossingUpward : 0u;
  WalkEdge(X1, Y1, X2, Y2, FMinY, FMaxY, [&](int32_t Y, auto X) {
    FCells[FCursor[static_cast<size_t>(Y - FMinY)]++] =
        static_cast<uint32_t>(std::clamp<decltype(X)>(X, FMinX, FMaxX)) | Flag;
  });
  return Sy;
}

void TCrossingTable::SortCrossings() {
  for (int32_t R = 0; R < FRows; ++R)
    SortCrossingRow(FCells.data() + FStart[static_cast<size_t>(R)], RowLength(R));
}

}  // namespace quillet
