// Marking tiles and turning them back into rectangles.
#include "shell/tile_marks.h"

#include <algorithm>
#include <cstddef>

namespace quillet {

void TTileMarks::SetBounds(int32_t Width, int32_t Height) {
  FWidth = std::max(Width, 0);
  FHeight = std::max(Height, 0);
  FColumns = static_cast<int32_t>((int64_t{FWidth} + TileSide - 1) / TileSide);
  FRows = static_cast<int32_t>((int64_t{FHeight} + TileSide - 1) / TileSide);
  FTiles.assign(static_cast<size_t>(FColumns) * static_cast<size_t>(FRows), 0);
  FAny = false;
}

void TTileMarks::Mark(const TRect& Area) {
  const int32_t Left = std::max(Area.Left, 0), Top = std::max(Area.Top, 0);
  const int32_t Right = std::min(Area.Right, FWidth), Bottom = std::min(Area.Bottom, FHeight);
  if (Right <= Left || Bottom <= Top) return;
  const int32_t C0 = Left / TileSide, C1 = (Right - 1) / TileSide;
  for (int32_t R = Top / TileSide; R <= (Bottom - 1) / TileSide; ++R)
    std::fill_n(FTiles.begin() + static_cast<std::ptrdiff_t>(int64_t{R} * FColumns + C0), C1 - C0 + 1, uint8_t{1});
  FAny = true;
}

void TTileMarks::MarkAllOf(const TTileMarks& Other) {
  if (!Other.FAny || Other.FTiles.size() != FTiles.size()) return;
  for (size_t I = 0; I < FTiles.size(); ++I) FTiles[I] |= Other.FTiles[I];
  FAny = true;
}

void TTileMarks::Clear() {
  if (!FAny) return;
  std::fill(FTiles.begin(), FTiles.end(), uint8_t{0});
  FAny = false;
}

std::vector<TRect> TTileMarks::Rects() const {
  std::vector<TRect> Out;
  if (!FAny) return Out;
  struct TRun {
    int32_t First, Last;  // columns
    size_t Rect;          // in Out
  };
  std::vector<TRun> Above, Here;
  for (int32_t R = 0; R < FRows; ++R) {
    Here.clear();
    const uint8_t* Row = FTiles.data() + static_cast<size_t>(R) * static_cast<size_t>(FColumns);
    size_t Up = 0;
    for (int32_t C = 0; C < FColumns;) {
      if (!Row[C]) {
        ++C;
        continue;
      }
      const int32_t First = C;
      while (C < FColumns && Row[C]) ++C;
      const int32_t Last = C - 1;
      while (Up < Above.size() && Above[Up].Last < First) ++Up;
      const int32_t Bottom = std::min((R + 1) * TileSide, FHeight);
      if (Up < Above.size() && Above[Up].First == First && Above[Up].Last == Last) {
        Out[Above[Up].Rect].Bottom = Bottom;
        Here.push_back({First, Last, Above[Up].Rect});
      } else {
        Out.push_back({First * TileSide, R * TileSide, std::min((Last + 1) * TileSide, FWidth), Bottom});
        Here.push_back({First, Last, Out.size() - 1});
      }
    }
    std::swap(Above, Here);
  }
  return Out;
}

}  // namespace quillet
