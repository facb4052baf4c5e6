// Writes anti-aliased spans: the sub-scanlines of every pixel row are summed into a difference
// array of coverage counts, turned into alpha, and blended as one run per row.
#include <algorithm>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "span_fill.h"

namespace quillet {

namespace {

// One pixel's colour from its running coverage count. Only the low 16 bits of the product reach
// the alpha byte, which lets the SIMD form multiply in 16-bit lanes.
inline TColor32 CoverageColor(int32_t Sum, uint32_t Scale, TColor32 Rgb) {
  return ((static_cast<uint32_t>(Sum) * Scale & 0xFF00) << 16) | Rgb;
}

// Turns W cells of coverage differences into colours by a running sum, and clears the cells
// for the next row, so they never need a separate wipe.
void CoverageRow(int32_t* Acc, TColor32* Out, int32_t W, uint32_t Scale, TColor32 Rgb) {
  int32_t C = 0;
  uint32_t Sum = 0;
#if defined(__SSE2__)
  const __m128i Zero = _mm_setzero_si128();
  const __m128i Scale32 = _mm_set1_epi32(static_cast<int>(Scale));  // below 2^16: high lanes 0
  const __m128i AlphaBits = _mm_set1_epi32(0xFF00);
  const __m128i Rgb32 = _mm_set1_epi32(static_cast<int>(Rgb));
  __m128i Carry = Zero;
  for (; C + 4 <= W; C += 4) {
    __m128i* const P = reinterpret_cast<__m128i*>(Acc + C);
    __m128i V = _mm_loadu_si128(P);
    _mm_storeu_si128(P, Zero);
    // Prefix sum of four lanes in two shifted adds, plus the total of the cells before.
    V = _mm_add_epi32(V, _mm_slli_si128(V, 4));
    V = _mm_add_epi32(V, _mm_slli_si128(V, 8));
    V = _mm_add_epi32(V, Carry);
    Carry = _mm_shuffle_epi32(V, 0xFF);
    const __m128i Alpha = _mm_and_si128(_mm_mullo_epi16(V, Scale32), AlphaBits);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + C), _mm_or_si128(_mm_slli_epi32(Alpha, 16), Rgb32));
  }
  Sum = static_cast<uint32_t>(_mm_cvtsi128_si32(Carry));
#endif
  for (; C < W; ++C) {
    Sum += static_cast<uint32_t>(Acc[C]);
    Acc[C] = 0;
    Out[C] = CoverageColor(static_cast<int32_t>(Sum), Scale, Rgb);
  }
}

}  // namespace

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
  const TRowMasterProc RowMaster = CombineOpsFor(Bitmap.CombineMode()).RowMaster;
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
    CoverageRow(Acc, Out, W, Grid.Scale, Rgb);
    // Cells at or beyond the right clip edge are always empty: crossings were clamped before it.
    const int32_t Count = std::min(W, ClipRight - Px0);
    RowMaster(Out, Bitmap.PixelAddress(Px0, static_cast<int32_t>(Py)), Count, M);
    FinishBlending();
  }
}

}  // namespace quillet
