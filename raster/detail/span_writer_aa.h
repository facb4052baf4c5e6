// The anti-aliased span writer: the rows of one fill, from its edge list, blended into the surface.
// Its rows of one span per sub-scanline and its general rows are in span_fill_aa.cpp; its fills
// drawn as chains of edges (whole, or row by row in layers) in span_fill_chains.cpp.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "raster/bitmap32.h"
#include "raster/blend.h"
#include "raster/detail/compiler_facts.h"
#include "raster/detail/edge_list.h"
#include "raster/detail/span_fill.h"

namespace quillet {

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
  void Write(int32_t MinY, int32_t MaxY);

 private:
  // A run shorter than this between two clusters is blended with them: the vector kernels spend as
  // much on a short run as on a few cells more.
  static constexpr int32_t MergeGap = 8;
  // Clusters up to this many cells sum their counts from the span ends directly; wider ones (flat
  // edges) mark them in the difference array, where marks on one cell would queue behind each
  // other.
  static constexpr int32_t DirectCells = 24;
  // Fills of fewer pixel rows than this go to the paired-rows kernel as a whole where they can: one
  // call draws every row, where row by row each run between two edges costs a call and the edge
  // list's checks, and shapes of many edges turn a vertex every few rows. The chains of keys of
  // taller fills would outgrow the caches.
  static constexpr int64_t ChainRows = 1024;
  // How many pixel rows ahead the pixels are fetched into the cache.
  static constexpr int64_t FetchAheadRows = 2;

  // Pixel row Py, of the sub-scanlines MinY to MaxY, any way but the paired-rows kernel's runs.
  void PixelRow(int64_t Py, int32_t MinY, int32_t MaxY, bool& Fetching);

  // The least first and the greatest last crossing (plus K) of the sub-scanlines that hold at
  // least two; false when none does.
  bool Extent(int32_t& MinX, int64_t& MaxX) const;

  // Whole rows from pixel row Py (scanline First) on, drawn by the paired-rows kernel; how many.
  int32_t PairedRows(int32_t First, int32_t MaxY, int32_t Py);

  // The row of FSpans through the same kernel; false when it does not take it.
  bool PairedSpans(int32_t Py);

  // The crossings of sub-scanlines First to Last, one list each. True when every list holds none
  // or two that make one span (under the non-zero rule: of opposite directions); FSpans then holds
  // the spans.
  bool GatherRows(int32_t First, int32_t Last);

  // The row of FSpans: clusters of cells near the starts and near the ends, and the run between.
  void PairedRow();

  // Pixels From..To (inclusive), all of whose changes come from the span starts, the span ends, or
  // both; a cluster of ends begins with every span started.
  void PairedCluster(int32_t From, int32_t To, bool Starts, bool Ends);

  // MinX and MaxX: the row's extent.
  void GeneralRow(int32_t MinX, int64_t MaxX);

  // The W cells of the difference array from pixel Px0 on, summed up and blended: the running
  // count changes only at cells that hold a difference; the cells between them form runs of one
  // count.
  void BlendMarked(int32_t Px0, int32_t W);

  // --- Fills as chains of edges (span_fill_chains.cpp) ---------------------------------------------

  // The chains that cross a row, in the order of their keys on its first scanline, and the layers
  // they make there: neighbours paired, or under the non-zero rule each span from the chain where
  // the winding leaves 0 to the one where it returns, with any chains between wound inside.
  struct TLayerPlan {
    const int32_t* Sorted[2 * MaxPairedLayers];
    int32_t Count;
    TPairedLayers Layers;
    bool Nested;
  };

  // A fill of fewer than ChainRows rows whose sub-scanlines pair up all the way down goes to the
  // kernel as a whole, in as few calls as the rows it declines allow; false when it is not one.
  bool WriteChains(int32_t MinY, int32_t MaxY);

  // A fill of fewer than ChainRows rows as chains of edges: runs of whole rows that the same
  // chains cross, in pairs side by side, go to the kernel in one call; the rows where a chain
  // starts or ends, or that the kernel declines, go row by row. False, having drawn nothing, when
  // the edges make too many chains.
  bool WriteLayers(int32_t MinY, int32_t MaxY);

  // The plan of pixel row Py from its chains; false when their windings do not come back to 0.
  bool PlanLayers(const size_t* Chains, size_t Count, bool NonZero, int32_t Py, TLayerPlan& Plan) const;

  // Whether the chains of Plan keep their order on every sub-scanline of the row: each wholly
  // left of the next. MinX and MaxX: the row's least key and its greatest plus K.
  bool InOrder(const TLayerPlan& Plan, int32_t& MinX, int64_t& MaxX) const;

  // Pixel row Py, whose chains keep their order (InOrder; MinX and MaxX as it gives them): the
  // spans of each layer marked in the difference array straight from its keys, with no crossings
  // to gather and sort.
  void OrderedRow(const TPairedLayers& Layers, int64_t Py, int32_t MinX, int64_t MaxX, int32_t MaxY, bool& Fetching);

  // --- Shared helpers ------------------------------------------------------------------------------

  // R, its rows from pixel row Py on, through the paired-rows kernel; how many rows it drew.
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

  // The rows ahead of pixel row Py, whose sub-samples MinX to MaxX are covered; the first row
  // drawn also asks for the rows up to the one fetched ahead.
  void FetchAhead(int64_t Py, int32_t MinX, int64_t MaxX, int32_t MaxY, bool& Fetching) const {
    const int32_t S = FGrid.Shift;
    for (int64_t Ahead = Fetching ? FetchAheadRows : 1; Ahead <= FetchAheadRows && (Py + Ahead) << S <= MaxY; ++Ahead)
      FetchRow(Py + Ahead, MinX >> S, static_cast<int32_t>(MaxX >> S));
    Fetching = true;
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

  // The colour of a cell's count.
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

  // Room for Cells cells, and one past them.
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

}  // namespace quillet
