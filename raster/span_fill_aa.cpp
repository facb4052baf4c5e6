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
#include <vector>

#include "raster/detail/compiler_facts.h"
#include "raster/detail/span_fill.h"

namespace quillet {

namespace {

// A run shorter than this between two clusters is blended with them: the vector kernels spend as
// much on a short run as on a few cells more.
constexpr int32_t MergeGap = 8;
// Clusters up to this many cells sum their counts from the span ends directly; wider ones (flat
// edges) mark them in the difference array, where marks on one cell would queue behind each other.
constexpr int32_t DirectCells = 24;
// Fills of fewer pixel rows than this go to the paired-rows kernel as a whole where they can: one
// call draws every row, where row by row each run between two edges costs a call and the edge
// list's checks, and shapes of many edges turn a vertex every few rows. The chains of keys of taller
// fills would outgrow the caches.
constexpr int64_t ChainRows = 1024;
// How many pixel rows ahead the pixels are fetched into the cache.
constexpr int64_t FetchAhead = 2;

class TSpanWriterAA {
 public:
  TSpanWriterAA(TBitmap32& Bitmap, TEdgeList& Edges, TColor32 Color, TPolyFillRule Rule, TAntialiasLevel Level,
                TSpanScratchAA& Scratch)
      : FBitmap(Bitmap),
        FEdges(Edges),
        FRule(Rule),
        FGrid(AntialiasGrid(Level)),
        FMaster(AlphaOf(Color)),
        FRgb(Color & 0x00FFFFFF),
        FOps(CombineOpsFor(Bitmap.CombineMode())),
        FClipLeft(Bitmap.ClipBounds().Left),
        FClipRight(Bitmap.ClipBounds().Right),
        FCrossings(Scratch.Crossings),
        FAcc(Scratch.Cells),
        FOut(Scratch.Colors),
        FChains(Scratch.Chains) {
    FSpans.Shift = FGrid.Shift;
    FSpans.Mask = FGrid.Mask;
  }

  // Sub-scanlines MinY to MaxY.
  void Write(int32_t MinY, int32_t MaxY) {
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

 private:
  // Pixel row Py, of the sub-scanlines MinY to MaxY, any way but the paired-rows kernel's runs.
  void PixelRow(int64_t Py, int32_t MinY, int32_t MaxY, bool& Fetching) {
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
    // The first row drawn also asks for the rows up to the one fetched ahead.
    for (int64_t Ahead = Fetching ? FetchAhead : 1; Ahead <= FetchAhead && (Py + Ahead) << S <= MaxY; ++Ahead)
      FetchRow(Py + Ahead, MinX >> S, static_cast<int32_t>(MaxX >> S));
    Fetching = true;
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

  // A fill of fewer than ChainRows rows whose sub-scanlines pair up all the way down goes to the
  // kernel as a whole, in as few calls as the rows it declines allow; false when it is not one.
  bool WriteChains(int32_t MinY, int32_t MaxY) {
    const int32_t S = FGrid.Shift;
    int32_t FirstRow, Rows;
    const int32_t *ChainA, *ChainB;
    if (!FEdges.PairedChains(S, FRule == TPolyFillRule::NonZero, FirstRow, Rows, ChainA, ChainB)) return false;
    bool Fetching = false;
    for (int32_t Row = 0; Row < Rows;) {
      TPairedRows R{};
      R.Kind = TPairedKind::Lanes;
      R.KeysA = ChainA + (static_cast<ptrdiff_t>(Row) << S);
      R.KeysB = ChainB + (static_cast<ptrdiff_t>(Row) << S);
      R.Rows = Rows - Row;
      R.Keys = 1 << S;
      Row += DrawPaired(R, FirstRow + Row);
      if (Row < Rows) PixelRow(FirstRow + Row++, MinY, MaxY, Fetching);
    }
    return true;
  }

  // A fill of fewer than ChainRows rows as chains of edges: runs of whole rows that the same
  // chains cross, in pairs side by side, go to the kernel in one call; the rows where a chain
  // starts or ends, or that the kernel declines, go row by row. False, having drawn nothing, when
  // the edges make too many chains.
  bool WriteLayers(int32_t MinY, int32_t MaxY) {
    if (!FEdges.Chains(FChains)) return false;
    const int32_t S = FGrid.Shift;
    const bool NonZero = FRule == TPolyFillRule::NonZero;
    constexpr size_t MaxActive = 2 * MaxPairedLayers;
    size_t Next = 0;  // the first chain not yet met
    size_t Active[MaxActive];
    size_t Count = 0;
    bool Fetching = false;
    for (int64_t Py = MinY >> S; Py <= MaxY >> S;) {
      const int32_t First = static_cast<int32_t>(Py << S), Last = First + FGrid.Mask;
      // The chains that cross this row: those met before that go on, and those that start by its
      // end (passing over any that ended in rows drawn the general way). More than the kernel
      // takes, or one that starts or ends within the row, and the row goes its own way.
      size_t Kept = 0;
      for (size_t I = 0; I < Count; ++I)
        if (FChains[Active[I]].Bottom >= First) Active[Kept++] = Active[I];
      Count = Kept;
      bool Whole = First >= MinY && Last <= MaxY;
      for (; Next < FChains.size() && FChains[Next].Top <= Last; ++Next) {
        if (FChains[Next].Bottom < First) continue;
        if (Count == MaxActive) {
          Whole = false;
          break;
        }
        Active[Count++] = Next;
      }
      int32_t RunLast = MaxY;
      if (Next < FChains.size()) RunLast = std::min(RunLast, FChains[Next].Top - 1);
      for (size_t I = 0; I < Count && Whole; ++I) {
        const TEdgeChain& C = FChains[Active[I]];
        Whole = C.Top <= First && C.Bottom >= Last;
        RunLast = std::min(RunLast, C.Bottom);
      }
      const int32_t Rows = static_cast<int32_t>((int64_t{RunLast} - First + 1) >> S);
      if (Whole && Count > 0 && Count % 2 == 0 && Rows > 0) {
        const int32_t Done = DrawLayers(Active, Count, NonZero, static_cast<int32_t>(Py), Rows);
        if (Done > 0) {
          Py += Done;
          Fetching = false;
          continue;
        }
      }
      // A row no chain crosses holds nothing (when the active chains are too many, some are).
      if (Count > 0) {
        FEdges.SkipTo(std::max(First, MinY));
        PixelRow(Py, MinY, MaxY, Fetching);
      }
      ++Py;
    }
    return true;
  }

  // Rows of Chains side by side from pixel row Py on: in the order of their keys on the first
  // scanline, neighbours paired (under the non-zero rule, of both directions); how many rows the
  // kernel drew.
  int32_t DrawLayers(const size_t* Chains, size_t Count, bool NonZero, int32_t Py, int32_t Rows) {
    const int32_t First = Py << FGrid.Shift;
    const int32_t* Keys[2 * MaxPairedLayers];
    bool Upward[2 * MaxPairedLayers];
    for (size_t I = 0; I < Count; ++I) {
      const TEdgeChain& C = FChains[Chains[I]];
      const int32_t* K = C.Keys + (First - C.Top);
      size_t J = I;
      for (; J > 0 && *Keys[J - 1] > *K; --J) {
        Keys[J] = Keys[J - 1];
        Upward[J] = Upward[J - 1];
      }
      Keys[J] = K;
      Upward[J] = C.Upward;
    }
    TPairedLayers Layers;
    Layers.Count = static_cast<int32_t>(Count / 2);
    for (size_t I = 0; I < Count; I += 2) {
      if (NonZero && Upward[I] == Upward[I + 1]) return 0;
      Layers.Keys[I] = Keys[I];
      Layers.Keys[I + 1] = Keys[I + 1];
    }
    TPairedRows R{};
    R.Kind = TPairedKind::Layers;
    R.Rows = Rows;
    R.Keys = 1 << FGrid.Shift;
    R.Layers = &Layers;
    return DrawPaired(R, Py);
  }

  // The least first and the greatest last crossing (plus K) of the sub-scanlines that hold at
  // least two; false when none does.
  bool Extent(int32_t& MinX, int64_t& MaxX) const {
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

  // Whole rows from pixel row Py (scanline First) on, drawn by the paired-rows kernel; how many.
  int32_t PairedRows(int32_t First, int32_t MaxY, int32_t Py) {
    TPairedRows R{};
    R.Rows = FEdges.PairedRows(First, MaxY, FGrid.Shift, FRule == TPolyFillRule::NonZero, R.KeysA, R.KeysB);
    if (R.Rows == 0) return 0;
    R.Keys = 1 << FGrid.Shift;
    const int32_t Done = DrawPaired(R, Py);
    if (Done > 0) FEdges.EndRowsAt(First + (Done << FGrid.Shift) - 1);
    return Done;
  }

  // The row of FSpans through the same kernel; false when it does not take it.
  bool PairedSpans(int32_t Py) {
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

  int32_t DrawPaired(TPairedRows& R, int32_t Py) {
    R.Shift = FGrid.Shift;
    R.Mask = FGrid.Mask;
    R.Scale = FGrid.Scale;
    R.Rgb = FRgb;
    R.Master = FMaster;
    R.Dst = FBitmap.RowAddress(Py);
    R.Stride = FBitmap.Width();
    R.ClipLeft = FClipLeft;
    R.ClipRight = FClipRight;
    return FOps.PairedRows(R);
  }

  // Rows of a large surface lie far apart in memory and each starts with a cache miss: the pixels
  // of a row ahead are asked for while this one is worked on, where this row's pixels lie give or
  // take a cache line.
  void FetchRow(int64_t Py, int32_t From, int32_t To) const {
    const TColor32* Row = FBitmap.RowAddress(static_cast<int32_t>(Py));
    From = std::max(From - 16, FClipLeft);
    To = std::min(To + 16, FClipRight - 1);
    for (int32_t X = From; X <= To; X += 16) PrefetchForWrite(Row + X);
    PrefetchForWrite(Row + To);
  }

  TColor32 CellColor(uint32_t Count) const { return ((Count * FGrid.Scale & 0xFF00) << 16) | FRgb; }

  // Pixels [From, To) of the row, all with one count; nothing at or beyond the right clip edge.
  void Run(int32_t From, int32_t To, uint32_t Count) {
    To = std::min(To, FClipRight);
    if (Count != 0 && To > From) FOps.SolidRowMaster(CellColor(Count), FDst + From, To - From, FMaster);
  }

  // Pixels [From, From + Cells) from the colours in FOut.
  void Blend(int32_t From, int32_t Cells) {
    const int32_t Count = std::min(Cells, FClipRight - From);
    if (Count > 0) FOps.RowMaster(FOut.data(), FDst + From, Count, FMaster);
  }

  void Reserve(int32_t Cells) {
    if (FAcc.size() <= static_cast<size_t>(Cells)) {
      FAcc.resize(static_cast<size_t>(Cells) + 64, 0);
      FOut.resize(static_cast<size_t>(Cells) + 64);
    }
  }

  // Start(X) (Sign 1) or End(X) (Sign -1) in the difference array whose cell 0 is pixel Px0.
  void Mark(uint32_t X, int32_t Sign, int32_t Px0) {
    const int32_t C = static_cast<int32_t>(X >> FGrid.Shift) - Px0;
    const int32_t F = static_cast<int32_t>(X) & FGrid.Mask;
    FAcc[static_cast<size_t>(C)] += Sign * (FGrid.Mask - F);
    FAcc[static_cast<size_t>(C) + 1] += Sign * F;
  }

  // --- Rows of one span per sub-scanline ----------------------------------------------------------

  // The crossings of sub-scanlines First to Last, one list each. True when every list holds none
  // or two that make one span (under the non-zero rule: of opposite directions); FSpans then holds
  // the spans.
  bool GatherRows(int32_t First, int32_t Last) {
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

  void PairedRow() {
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

  // Pixels From..To (inclusive), all of whose changes come from the span starts, the span ends, or
  // both; a cluster of ends begins with every span started.
  void PairedCluster(int32_t From, int32_t To, bool Starts, bool Ends) {
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

  // --- Any other row ------------------------------------------------------------------------------

  // MinX and MaxX: the row's extent.
  void GeneralRow(int32_t MinX, int64_t MaxX) {
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

    // The running count changes only at cells that hold a difference; the cells between them form
    // runs of one count.
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

  TBitmap32& FBitmap;
  TEdgeList& FEdges;
  const TPolyFillRule FRule;
  const TAntialiasGrid FGrid;
  const uint32_t FMaster;
  const TColor32 FRgb;
  const TCombineModeEntry& FOps;
  const int32_t FClipLeft;
  const int32_t FClipRight;
  TColor32* FDst = nullptr;  // pixel 0 of the current row
  // The crossings of the current row's sub-scanlines.
  std::vector<uint32_t>& FCrossings;
  const uint32_t* FRow[32];
  int32_t FLength[32];
  int32_t FSubRows = 0;
  // The cells of a row's difference array, all 0 between rows, and the colours of a cluster.
  std::vector<int32_t>& FAcc;
  std::vector<TColor32>& FOut;
  // The spans of a row of one span per sub-scanline, and room for their ends.
  TRowSpans FSpans{};
  int32_t FRoom[2][32];
  TLayeredSpans FLayers;
  // The chains of a fill drawn in layers.
  std::vector<TEdgeChain>& FChains;
};

}  // namespace

void FillSpansAA(TBitmap32& Bitmap, TEdgeList& Edges, int32_t MinY, int32_t MaxY, TColor32 Color, TPolyFillRule Rule,
                 TAntialiasLevel Level, TSpanScratchAA& Scratch) {
  TSpanWriterAA(Bitmap, Edges, Color, Rule, Level, Scratch).Write(MinY, MaxY);
}

}  // namespace quillet
