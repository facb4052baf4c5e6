// Writes anti-aliased spans. The coverage count of a pixel is the sum, over the sub-scanlines of
// its row, of how many of its sub-samples the spans cover; it turns into alpha and is blended.
//
// The count only changes near crossings, so a pixel row is cut into clusters of cells near
// crossings, blended pixel by pixel, and the runs between them, blended as one colour (or skipped
// where nothing covers them): the inside of a large polygon costs a constant-colour row.
//
// Rows where every sub-scanline holds one span (every convex outline) take a short path: a cell's
// count comes straight from the span ends, Start(a) adding clamp(cell * 2^S + K - a, 0, K) and
// End(b) taking the same amount away, which is what the difference array sums to. Rows of a few
// spans per sub-scanline that keep one order and share no cell (rings, bands) are such rows side
// by side. Other rows mark every span end in a difference array and sum it up.
//
// Where the kernel level has one, a paired-rows kernel takes such rows whole, and runs of whole
// rows between the same two edges in one call; the rows it declines go the ways above.
#include <algorithm>

#include "raster/detail/span_writer_aa.h"

namespace quillet {

void TSpanWriterAA::Write(int32_t MinY, int32_t MaxY) {
  const int32_t S = FGrid.Shift;
  if (FOps.PairedRows != nullptr && (int64_t{MaxY} - MinY) >> S < ChainRows &&
      (WriteChains(MinY, MaxY) || WriteLayers(MinY, MaxY)))
    return;
  bool Fetching = false;
  for (int64_t Py = MinY >> S; Py <= MaxY >> S; ++Py) {
    // Runs of whole rows between two edges go to one kernel call.
    if (FOps.PairedRows != nullptr && MinY <= Py << S) {
      const int32_t Done = PairedRows(static_cast<int32_t>(Py << S), MaxY, static_cast<int32_t>(Py));
      if (Done > 0) {
        Py += Done - 1;
        Fetching = false;
        continue;
      }
    }
    PixelRow(Py, MinY, MaxY, Fetching);
  }
}

void TSpanWriterAA::PixelRow(int64_t Py, int32_t MinY, int32_t MaxY, bool& Fetching) {
  const int32_t S = FGrid.Shift;
  const int32_t First = static_cast<int32_t>(std::max<int64_t>(Py << S, MinY));
  const int32_t Last = static_cast<int32_t>(std::min<int64_t>((Py << S) + FGrid.Mask, MaxY));
  // Most rows of a convex outline meet the same two edges on every sub-scanline; most rows of a
  // ring or a band meet a few chains of edges side by side.
  const bool NonZero = FRule == TPolyFillRule::NonZero;
  bool Layered = false;
  const bool Paired = FEdges.TwoEdgeSpans(First, Last, NonZero, FSpans, FRoom) ||
                      (Layered = FEdges.SlotSpans(First, Last, NonZero, S, FLayers) > 0) ||
                      GatherRows(First, Last);
  int32_t MinX;
  int64_t MaxX;
  if (Layered) {
    MinX = FLayers.Layers[0].MinStart;
    MaxX = FLayers.Layers[FLayers.Count - 1].MaxEnd;
  } else if (Paired) {
    if (FSpans.Count == 0) return;
    MinX = FSpans.MinStart, MaxX = FSpans.MaxEnd;
  } else if (!Extent(MinX, MaxX)) {
    return;
  }
  FetchAhead(Py, MinX, MaxX, MaxY, Fetching);
  FDst = FBitmap.RowAddress(static_cast<int32_t>(Py));
  if (Layered) {
    // The layers share no cell, so each is drawn as a row of its own.
    for (int32_t L = 0; L < FLayers.Count; ++L) {
      FSpans = FLayers.Layers[L];
      if (FOps.PairedRows == nullptr || !PairedSpans(static_cast<int32_t>(Py))) PairedRow();
    }
  } else if (Paired) {
    if (FOps.PairedRows == nullptr || !PairedSpans(static_cast<int32_t>(Py))) PairedRow();
  } else {
    GeneralRow(MinX, MaxX);
  }
  FinishBlending();
}

bool TSpanWriterAA::Extent(int32_t& MinX, int64_t& MaxX) const {
  MinX = 0x7F000000;
  MaxX = -0x7F000000;
  for (int32_t R = 0; R < FSubRows; ++R) {
    const int32_t N = FLength[R];
    if (N < 2) continue;
    MinX = std::min(MinX, static_cast<int32_t>(FRow[R][0] & CrossingKeyMask));
    MaxX = std::max<int64_t>(MaxX, int64_t{FRow[R][N - 1] & CrossingKeyMask} + FGrid.Mask);
  }
  return MaxX >= MinX;
}

int32_t TSpanWriterAA::PairedRows(int32_t First, int32_t MaxY, int32_t Py) {
  TPairedRows R{};
  R.Rows = FEdges.PairedRows(First, MaxY, FGrid.Shift, FRule == TPolyFillRule::NonZero, R.KeysA, R.KeysB);
  if (R.Rows == 0) return 0;
  R.Keys = 1 << FGrid.Shift;
  const int32_t Done = DrawPaired(R, Py);
  if (Done > 0) FEdges.EndRowsAt(First + (Done << FGrid.Shift) - 1);
  return Done;
}

bool TSpanWriterAA::PairedSpans(int32_t Py) {
  TPairedRows R{};
  R.KeysA = FSpans.Starts;
  R.KeysB = FSpans.Ends;
  R.Rows = 1;
  R.Keys = FSpans.Count;
  R.Kind = TPairedKind::Spans;
  R.MinStart = FSpans.MinStart;
  R.MaxStart = FSpans.MaxStart;
  R.MinEnd = FSpans.MinEnd;
  R.MaxEnd = FSpans.MaxEnd;
  return DrawPaired(R, Py) > 0;
}

bool TSpanWriterAA::GatherRows(int32_t First, int32_t Last) {
  const int32_t Stride = FEdges.MaxCrossings();
  const size_t Room = size_t{32} * static_cast<size_t>(Stride);
  if (FCrossings.size() < Room) FCrossings.resize(Room);
  FSubRows = Last - First + 1;
  FEdges.Rows(First, Last, FCrossings.data(), Stride, FLength);
  bool Paired = true;
  int32_t Spans = 0;
  for (int32_t R = 0; R < FSubRows; ++R) {
    const uint32_t* const Row = FCrossings.data() + static_cast<ptrdiff_t>(R) * Stride;
    const int32_t N = FLength[R];
    FRow[R] = Row;
    if (N == 0 || !Paired) continue;
    if (N != 2 || (FRule == TPolyFillRule::NonZero && ((Row[0] ^ Row[1]) & CrossingUpward) == 0)) {
      Paired = false;
      continue;
    }
    FRoom[0][Spans] = static_cast<int32_t>(Row[0] & CrossingKeyMask);
    FRoom[1][Spans++] = static_cast<int32_t>(Row[1] & CrossingKeyMask);
  }
  if (!Paired) return false;
  FSpans.Starts = FRoom[0];
  FSpans.Ends = FRoom[1];
  FSpans.Count = Spans;
  if (Spans > 0) {
    FSpans.MinStart = *std::min_element(FRoom[0], FRoom[0] + Spans);
    FSpans.MaxStart = *std::max_element(FRoom[0], FRoom[0] + Spans);
    FSpans.MinEnd = *std::min_element(FRoom[1], FRoom[1] + Spans);
    FSpans.MaxEnd = *std::max_element(FRoom[1], FRoom[1] + Spans);
  }
  return true;
}

void TSpanWriterAA::PairedRow() {
  const int32_t N = FSpans.Count;
  if (N == 0) return;
  const int32_t S = FGrid.Shift;
  const int32_t StartsFrom = FSpans.MinStart >> S, StartsTo = FSpans.MaxStart >> S;
  const int32_t EndsFrom = FSpans.MinEnd >> S, EndsTo = FSpans.MaxEnd >> S;
  const uint32_t Full = static_cast<uint32_t>(N * FGrid.Mask);
  if (StartsTo + 1 + MergeGap >= EndsFrom) {
    PairedCluster(StartsFrom, EndsTo, true, true);
  } else {
    PairedCluster(StartsFrom, StartsTo, true, false);
    Run(StartsTo + 1, EndsFrom, Full);
    PairedCluster(EndsFrom, EndsTo, false, true);
  }
}

void TSpanWriterAA::PairedCluster(int32_t From, int32_t To, bool Starts, bool Ends) {
  const int32_t Cells = To - From + 1;
  if (Cells <= DirectCells) {
    // Pixels lie left of the clip rectangle's right edge, whose sub-samples fit 31 bits.
    const int32_t Visible = std::min(Cells, FClipRight - From);
    if (Visible > 0) FOps.SpanBlend(FSpans, From, Visible, Starts, Ends, FGrid.Scale, FRgb, FDst + From, FMaster);
    return;
  }
  Reserve(Cells);
  const int32_t K = FGrid.Mask, N = FSpans.Count;
  if (Starts)
    for (int32_t I = 0; I < N; ++I) Mark(static_cast<uint32_t>(FSpans.Starts[I]), 1, From);
  if (Ends)
    for (int32_t I = 0; I < N; ++I) Mark(static_cast<uint32_t>(FSpans.Ends[I]), -1, From);
  FOps.CoverageRow(FAcc.data(), FOut.data(), Cells, Starts ? 0 : static_cast<uint32_t>(N * K), FGrid.Scale, FRgb);
  // The cell after the last holds what the last crossing left over, which the next cluster or run
  // accounts for: the array is all 0 again.
  FAcc[static_cast<size_t>(Cells)] = 0;
  Blend(From, Cells);
}

void TSpanWriterAA::GeneralRow(int32_t MinX, int64_t MaxX) {
  const int32_t Px0 = MinX >> FGrid.Shift;
  const int32_t W = static_cast<int32_t>(MaxX >> FGrid.Shift) - Px0 + 2;
  Reserve(W);

  for (int32_t R = 0; R < FSubRows; ++R) {
    const int32_t N = FLength[R];
    const uint32_t* Row = FRow[R];
    if (FRule == TPolyFillRule::EvenOdd) {
      for (int32_t J = 0; J + 1 < N; J += 2) {
        Mark(Row[J] & CrossingKeyMask, 1, Px0);
        Mark(Row[J + 1] & CrossingKeyMask, -1, Px0);
      }
    } else {
      int32_t Winding = 0;
      for (int32_t J = 0; J < N; ++J) {
        const uint32_t V = Row[J];
        if (Winding == 0) Mark(V & CrossingKeyMask, 1, Px0);
        Winding += (V & CrossingUpward) ? 1 : -1;
        if (Winding == 0) Mark(V & CrossingKeyMask, -1, Px0);
      }
    }
  }

  BlendMarked(Px0, W);
}

void TSpanWriterAA::BlendMarked(int32_t Px0, int32_t W) {
  int32_t* const Acc = FAcc.data();
  uint32_t Count = 0;
  int32_t Pos = 0;
  while (Pos < W) {
    int32_t First = Pos;
    while (First + 1 < W && (Acc[First] | Acc[First + 1]) == 0) First += 2;
    if (First < W && Acc[First] == 0) ++First;
    Run(Px0 + Pos, Px0 + First, Count);
    if (First >= W) break;
    int32_t End = First + 1;
    for (int32_t Next = First + 1; Next < W && Next <= End + MergeGap; ++Next)
      if (Acc[Next] != 0) End = Next + 1;
    Count = FOps.CoverageRow(Acc + First, FOut.data(), End - First, Count, FGrid.Scale, FRgb);
    Blend(Px0 + First, End - First);
    Pos = End;
  }
}

void FillSpansAA(TBitmap32& Bitmap, TEdgeList& Edges, int32_t MinY, int32_t MaxY, TColor32 Color, TPolyFillRule Rule,
                 TAntialiasLevel Level, TSpanScratchAA& Scratch) {
  TSpanWriterAA(Bitmap, Edges, Color, Rule, Level, Scratch).Write(MinY, MaxY);
}

}  // namespace quillet
