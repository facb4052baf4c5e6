// The crossing table of the scanline filler: for every scanline of a range, the positions at which
// the edges of closed paths cross it, each marked with the edge's vertical direction.
//
// Rows live in one flat buffer. A first pass counts each row's crossings, so that the second pass,
// which walks the edges, writes them in place without growing anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "raster/fixed.h"

namespace quillet {

// Bits 0-30 of a crossing are its position, bit 31 marks an edge that runs upward.
constexpr uint32_t CrossingUpward = 0x80000000u;
constexpr uint32_t CrossingKeyMask = 0x7FFFFFFFu;

class TCrossingTable {
 public:
  // Rows for scanlines MinY to MaxY (MaxY < MinY gives none); positions are clamped into
  // [MinX, MaxX], which must lie in [0, 0x7FFFFFFF] with MinX <= MaxX + 1.
  void Reset(int32_t MinX, int32_t MinY, int32_t MaxX, int32_t MaxY);

  // First pass: make room for every crossing of a path, or of one edge or vertex crossing.
  void CountPath(const TArrayOfPoint& Points, bool ScaleX);
  void CountEdge(int32_t Y1, int32_t Y2);
  void CountVertex(int32_t Y);
  // Ends the first pass; the rows are then empty and ready for their crossings.
  void Allocate();

  // Second pass, the same paths or edges in the same order as counted.
  void BuildCrossingTable(const TArrayOfPoint& Points, bool ScaleX);
  // Adds one crossing on every scanline from Y1 (included) towards Y2 (excluded); returns the
  // direction, 0 for a horizontal edge.
  int32_t TraceEdge(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
  void AddCrossing(int32_t X, int32_t Y, int32_t Dir);

  void SortCrossings();

  // Lets go of buffers larger than Bytes; the table is empty afterwards.
  void Trim(size_t Bytes);

  int32_t Y0() const { return FMinY; }
  int32_t RowCount() const { return FRows; }
  const uint32_t* Row(int32_t R) const { return FCells.data() + FStart[R]; }
  int32_t RowLength(int32_t R) const { return static_cast<int32_t>(FCursor[R] - FStart[R]); }

 private:
  bool InRows(int32_t Y) const { return Y >= FMinY && Y <= FMaxY; }

  int32_t FMinX = 0;
  int32_t FMinY = 0;
  int32_t FMaxX = 0;
  int32_t FMaxY = -1;
  int32_t FRows = 0;
  std::vector<int64_t> FCounts;  // first pass: per-row differences
  std::vector<size_t> FStart;
  std::vector<size_t> FCursor;
  std::vector<uint32_t> FCells;
};

// Orders one row by key, ascending; equal keys end up in the order this quicksort leaves them,
// which the non-zero writers depend on.
void SortCrossingRow(uint32_t* Row, int32_t Count);

}  // namespace quillet
