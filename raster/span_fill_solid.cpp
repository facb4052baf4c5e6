// Writes the whole-pixel spans between the sorted crossings of every row.
#include "raster/detail/span_fill.h"

namespace quillet {

namespace {

// The pixel of a position in 1/256 pixel; halves round up.
inline int32_t PixelOf(int32_t V) { return (V >> 8) + ((V & 0xFF) >= 128 ? 1 : 0); }

inline int32_t KeyOf(uint32_t Crossing) { return static_cast<int32_t>(Crossing & CrossingKeyMask); }

template <bool Blend>
void WriteRows(TBitmap32& Bitmap, const TCrossingTable& Table, TColor32 Color, TPolyFillRule Rule) {
  const int32_t XMax = Bitmap.ClipBounds().Right - 1;
  const auto Span = [&Bitmap, Color](int32_t L, int32_t Y, int32_t R) {
    if constexpr (Blend)
      Bitmap.HorzSpanBlend(L, Y, R, Color);
    else
      Bitmap.HorzSpan(L, Y, R, Color);
  };

  for (int32_t R = 0; R < Table.RowCount(); ++R) {
    const uint32_t* Row = Table.Row(R);
    const int32_t Count = Table.RowLength(R);
    if (Count == 0) continue;
    const int32_t Y = Table.Y0() + R;

    if (Rule == TPolyFillRule::EvenOdd) {
      int32_t Last = -1;
      for (int32_t J = 0; J + 1 < Count; J += 2) {
        const int32_t X1 = KeyOf(Row[J]);
        const int32_t X2 = KeyOf(Row[J + 1]) - 1;
        if (X1 >= X2) continue;
        int32_t Left = PixelOf(X1);
        int32_t Right = PixelOf(X2);
        if (Right > XMax) Right = XMax;
        if (Left <= Last) Left = Last + 1;
        Last = Right;
        if (Left <= Right) Span(Left, Y, Right);
      }
    } else {
      int32_t Winding = (Row[0] & CrossingUpward) ? 1 : -1;
      int32_t Prev = KeyOf(Row[0]);
      for (int32_t J = 1; J < Count; ++J) {
        const int32_t X = KeyOf(Row[J]);
        if (Winding != 0) {
          const int32_t Left = PixelOf(Prev);
          int32_t Right = PixelOf(X);
          if (Right > XMax) Right = XMax;
          if (Left <= Right) Span(Left, Y, Right);
        }
        Winding += (Row[J] & CrossingUpward) ? 1 : -1;
        Prev = X;
      }
    }
  }
}

}  // namespace

void FillSpansSolid(TBitmap32& Bitmap, const TCrossingTable& Table, TColor32 Color, TPolyFillRule Rule) {
  if (AlphaOf(Color) == 255)
    WriteRows<false>(Bitmap, Table, Color, Rule);
  else
    WriteRows<true>(Bitmap, Table, Color, Rule);
}

}  // namespace quillet
