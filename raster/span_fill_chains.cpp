// The anti-aliased span writer's fills as chains of edges: a fill whose sub-scanlines pair up all the
// way down goes to the paired-rows kernel as two chains of keys in one call; other fills of up to
// ChainRows rows whose edges make few chains go by runs of rows that the same chains cross side
// by side, as layers, in one call each. Rows the kernel declines whose chains keep their order are
// marked in the difference array straight from the chains' keys; the rest go row by row the
// general way.
#include <algorithm>

#include "raster/detail/span_writer_aa.h"

namespace quillet {

bool TSpanWriterAA::WriteChains(int32_t MinY, int32_t MaxY) {
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

bool TSpanWriterAA::WriteLayers(int32_t MinY, int32_t MaxY) {
  if (!FEdges.Chains(FChains)) return false;
  const int32_t S = FGrid.Shift;
  const bool NonZero = FRule == TPolyFillRule::NonZero;
  constexpr size_t MaxActive = 2 * MaxPairedLayers;
  size_t Next = 0;  // the first chain not yet met
  size_t Active[MaxActive];
  size_t Count = 0;
  bool Fetching = false;
  int32_t MinX = 0;
  int64_t MaxX = 0;
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
    TLayerPlan Plan;
    if (Whole && Count > 0 && Count % 2 == 0 && Rows > 0 &&
        PlanLayers(Active, Count, NonZero, static_cast<int32_t>(Py), Plan)) {
      // Layers with chains wound inside them hold only while every chain keeps its place: those
      // go row by row, each row checked first.
      const bool Ordered = !Plan.Nested || InOrder(Plan, MinX, MaxX);
      if (Ordered) {
        TPairedRows R{};
        R.Kind = TPairedKind::Layers;
        R.Rows = Plan.Nested ? 1 : Rows;
        R.Keys = 1 << S;
        R.Layers = &Plan.Layers;
        const int32_t Done = DrawPaired(R, static_cast<int32_t>(Py));
        if (Done > 0) {
          Py += Done;
          Fetching = false;
          continue;
        }
      }
      // A row the kernel declines: its layers meet in a cell, or its edges span too many.
      if (Ordered && (Plan.Nested || InOrder(Plan, MinX, MaxX))) {
        OrderedRow(Plan.Layers, Py, MinX, MaxX, MaxY, Fetching);
        ++Py;
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

bool TSpanWriterAA::PlanLayers(const size_t* Chains, size_t Count, bool NonZero, int32_t Py, TLayerPlan& Plan) const {
  const int32_t First = Py << FGrid.Shift;
  bool Upward[2 * MaxPairedLayers];
  for (size_t I = 0; I < Count; ++I) {
    const TEdgeChain& C = FChains[Chains[I]];
    const int32_t* K = C.Keys + (First - C.Top);
    size_t J = I;
    for (; J > 0 && *Plan.Sorted[J - 1] > *K; --J) {
      Plan.Sorted[J] = Plan.Sorted[J - 1];
      Upward[J] = Upward[J - 1];
    }
    Plan.Sorted[J] = K;
    Upward[J] = C.Upward;
  }
  Plan.Count = static_cast<int32_t>(Count);
  Plan.Layers.Count = 0;
  int32_t Winding = 0;
  for (int32_t I = 0; I < Plan.Count; ++I) {
    const int32_t Before = Winding;
    Winding = NonZero ? Winding + (Upward[I] ? 1 : -1) : Winding ^ 1;
    if (Before == 0) {
      Plan.Layers.Keys[2 * Plan.Layers.Count] = Plan.Sorted[I];
    } else if (Winding == 0) {
      Plan.Layers.Keys[2 * Plan.Layers.Count + 1] = Plan.Sorted[I];
      ++Plan.Layers.Count;
    }
  }
  Plan.Nested = 2 * Plan.Layers.Count != Plan.Count;
  return Winding == 0;
}

bool TSpanWriterAA::InOrder(const TLayerPlan& Plan, int32_t& MinX, int64_t& MaxX) const {
  const int32_t N = 1 << FGrid.Shift;
  int32_t Greatest = INT32_MIN;
  for (int32_t C = 0; C < Plan.Count; ++C) {
    const int32_t* Keys = Plan.Sorted[C];
    int32_t Least = Keys[0], Most = Keys[0];
    for (int32_t I = 1; I < N; ++I) {
      Least = std::min(Least, Keys[I]);
      Most = std::max(Most, Keys[I]);
    }
    if (Least < Greatest) return false;
    if (C == 0) MinX = Least;
    Greatest = Most;
  }
  MaxX = int64_t{Greatest} + FGrid.Mask;
  return true;
}

void TSpanWriterAA::OrderedRow(const TPairedLayers& Layers, int64_t Py, int32_t MinX, int64_t MaxX, int32_t MaxY,
                               bool& Fetching) {
  const int32_t N = 1 << FGrid.Shift;
  FetchAhead(Py, MinX, MaxX, MaxY, Fetching);
  FDst = FBitmap.RowAddress(static_cast<int32_t>(Py));
  const int32_t Px0 = MinX >> FGrid.Shift;
  const int32_t W = static_cast<int32_t>(MaxX >> FGrid.Shift) - Px0 + 2;
  Reserve(W);
  for (int32_t K = 0; K < Layers.Count; ++K)
    for (int32_t I = 0; I < N; ++I) {
      Mark(static_cast<uint32_t>(Layers.Keys[2 * K][I]), 1, Px0);
      Mark(static_cast<uint32_t>(Layers.Keys[2 * K + 1][I]), -1, Px0);
    }
  BlendMarked(Px0, W);
  FinishBlending();
}

}  // namespace quillet
