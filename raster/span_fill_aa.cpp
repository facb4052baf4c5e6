// Writes anti-aliased spans: the sub-scanlines of every pixel row are summed into a difference
// array of coverage counts, turned into alpha, and blended as one run per row.
#include <algorithm>
#include <vector>

#include "span_fill.h"

namespace quillet {

TAntialiasGrid AntialiasGrid(TAntialiasLevel Level) {
  static constexpr uint32_t Scales[5] = {65, 273, 1167, 5460, 32662};
  const int32_t L = std::min<int32_t>(Level, 4);
  const int32_t Shift = 5 - L;
  return {Shift, (1 << Shift) - 1, Scales[L]};
}

void FillSpansAA(TBitmap32& Bitmap, const TCrossingTable& Table, TColor32 Color, TPolyFillRule Rule,
                 TAntialiasLevel Level) {
  const TAntialiasGrid Grid = AntialiasGrid(Level);
  const int32_t S = Grid.Shift;
  const int32_t K = Grid.Mask;
  const uint32_t M = AlphaOf(Color);
  const TColor32 Rgb = Color & 0x00FFFFFF;
  const TCombineModeEntry& Ops = CombineOpsFor(Bitmap.CombineMode());
  const int32_t Rows = Table.RowCount();
  const int32_t Y0 = Table.Y0();
  const int32_t ClipRight = Bitmap.ClipBounds().Right;

  // Both buffers live for the whole call and only ever grow; the cells are all 0 between rows.
  std::vector<int32_t> Cells;
  std::vector<TColor32> Run;

  const int64_t PyEnd = (int64_t{Rows} + Y0 + K) >> S;
  for (int64_t Py = Y0 >> S; Py < PyEnd; ++Py) {
    int64_t R0 = (Py << S) - Y0;
    int64_t R1 = R0 + K;
    if (R0 < 0) R0 = 0;
    if (R1 >= Rows) R1 = Rows - 1;

    int32_t MinX = 0x7F000000;
    int64_t MaxX = -0x7F000000;
    for (int64_t R = R0; R <= R1; ++R) {
      const int32_t N = Table.RowLength(static_cast<int32_t>(R));
      if (N < 2) continue;
      const uint32_t* Row = Table.Row(static_cast<int32_t>(R));
      MinX = std::min(MinX, static_cast<int32_t>(Row[0] & CrossingKeyMask));
      MaxX = std::max<int64_t>(MaxX, int64_t{Row[N - 1] & CrossingKeyMask} + K);
    }
    if (MaxX < MinX) continue;

    const int32_t Px0 = MinX >> S;
    const int32_t W = static_cast<int32_t>(MaxX >> S) - Px0 + 2;
    if (Cells.size() < static_cast<size_t>(W)) {
      Cells.resize(static_cast<size_t>(W) + 64);
      Run.resize(static_cast<size_t>(W) + 64);
    }
    int32_t* const Acc = Cells.data();

    const auto Mark = [Acc, S, K, Px0](uint32_t X, int32_t Sign) {
      const int32_t C = static_cast<int32_t>(X >> S) - Px0;
      const int32_t F = static_cast<int32_t>(X) & K;
      Acc[C] += Sign * (K - F);
      Acc[C + 1] += Sign * F;
    };
    for (int64_t R = R0; R <= R1; ++R) {
      const int32_t N = Table.RowLength(static_cast<int32_t>(R));
      const uint32_t* Row = Table.Row(static_cast<int32_t>(R));
      if (Rule == TPolyFillRule::EvenOdd) {
        for (int32_t J = 0; J + 1 < N; J += 2) {
          Mark(Row[J] & CrossingKeyMask, 1);
          Mark(Row[J + 1] & CrossingKeyMask, -1);
        }
      } else {
        int32_t Winding = 0;
        for (int32_t J = 0; J < N; ++J) {
          const uint32_t V = Row[J];
          if (Winding == 0) Mark(V & CrossingKeyMask, 1);
          Winding += (V & CrossingUpward) ? 1 : -1;
          if (Winding == 0) Mark(V & CrossingKeyMask, -1);
        }
      }
    }

    TColor32* const Out = Run.data();
    Ops.CoverageRow(Acc, Out, W, 0, Grid.Scale, Rgb);
    // Cells at or beyond the right clip edge are always empty: crossings were clamped before it.
    const int32_t Count = std::min(W, ClipRight - Px0);
    Ops.RowMaster(Out, Bitmap.PixelAddress(Px0, static_cast<int32_t>(Py)), Count, M);
    FinishBlending();
  }
}

}  // namespace quillet
