// The edges of closed grid paths for the anti-aliased filler: every edge with the crossing it puts
// on each scanline of a range, swept top to bottom so that each scanline's crossings come out
// sorted by position. Edges and the extra crossings of reversing vertices are those of the
// crossing table (edge_walk.h); what differs is the storage, one run of positions per edge, and
// that crossings at one position may come out in any order: the anti-aliased writer depends only
// on each scanline's positions and directions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "raster/blend.h"
#include "raster/detail/crossing_table.h"
#include "raster/fixed.h"

namespace quillet {

// The spans of a pixel row in layers: every sub-scanline that holds crossings holds one span of
// each layer, the layers lie left to right in order, and no cell holds the ends of two layers, so
// each is a row of one span per sub-scanline on its own. The layers point into Keys.
struct TLayeredSpans {
  static constexpr int32_t MaxSlots = 8;
  int32_t Count = 0;
  TRowSpans Layers[MaxSlots / 2];
  int32_t Keys[MaxSlots][32];
};

// A run of crossings, one on each scanline from Top to Bottom, of edges laid end to end in one
// direction; Keys holds the key of scanline Top first.
struct TEdgeChain {
  int32_t Top, Bottom;
  bool Upward;
  const int32_t* Keys;
};

class TEdgeList {
 public:
  using TPathIterator = TArrayOfArrayOfPoint::const_iterator;

  // The paths [First, Last) on scanlines MinY to MaxY; positions are clamped into [MinX, MaxX],
  // which must lie in [0, 0x7FFFFFFF]. Keeps its buffers for the next Build.
  // Steps, where not null, walks the long edges that have a closed form.
  void Build(TPathIterator First, TPathIterator Last, int32_t MinX, int32_t MinY, int32_t MaxX, int32_t MaxY,
             TEdgeStepsProc Steps = nullptr);
  // Lets go of buffers larger than Bytes.
  void Trim(size_t Bytes);

  // At most this many crossings lie on one scanline.
  int32_t MaxCrossings() const { return static_cast<int32_t>(FEdges.size()); }

  // The crossings of scanlines First to Last (at most 32) into lists of Stride (at least
  // MaxCrossings()) entries each, list I at Lists + I * Stride holding Counts[I] crossings sorted
  // by key. Scanlines are asked for in order, from MinY on.
  void Rows(int32_t First, int32_t Last, uint32_t* Lists, int32_t Stride, int32_t* Counts);

  // Scanlines First to Last (at most 32) as spans when exactly two edges cross every one of them
  // and nothing else does (under the non-zero rule, two of opposite directions): their spans into
  // Spans, pointing into the edges' runs or into Room, and true. False otherwise; Rows then gives
  // the same scanlines.
  bool TwoEdgeSpans(int32_t First, int32_t Last, bool NonZero, TRowSpans& Spans, int32_t (&Room)[2][32]);

  // Scanlines First to Last (at most 32) as layers of spans (TLayeredSpans, in cells of 2^Shift
  // sub-samples) when chains of edges cross the same scanlines, each once: two chains, in either
  // order (under the non-zero rule, of opposite directions), make one layer; four to eight chains
  // must lie one after another in the same order on every scanline, and the spans of no two layers
  // meet in a cell. Returns the number of layers, 0 when the scanlines are not such; Rows then
  // gives the same scanlines.
  int32_t SlotSpans(int32_t First, int32_t Last, bool NonZero, int32_t Shift, TLayeredSpans& Out);

  // All scanlines as two chains of keys, when each is crossed by two edges or by none and those
  // crossed form one run (under the non-zero rule, by two of opposite directions): the pixel rows
  // of 2^Shift scanlines that hold the run, from FirstRow on, and per scanline of them a key in
  // each chain, the two ends of its span in either order, or the same key in both where nothing
  // crosses it. False otherwise. Asked before any other scanline; Rows and the others may follow.
  bool PairedChains(int32_t Shift, bool NonZero, int32_t& FirstRow, int32_t& RowCount, const int32_t*& ChainA,
                    const int32_t*& ChainB);

  // All edges laid end to end into chains, sorted by Top: each edge continues a chain of its
  // direction that ends on the scanline before it, else starts one. False when that takes more
  // than MaxChains. The chains stay valid until the next Build; the other questions may follow.
  static constexpr size_t MaxChains = 64;
  bool Chains(std::vector<TEdgeChain>& Out);
  // Makes the next scanline asked for Y, passing over those before it.
  void SkipTo(int32_t Y) {
    Activate(Y - 1);
    EndRowsAt(Y - 1);
  }

  // The whole rows of 2^Shift scanlines from First on, up to scanline MaxY, that the same two
  // edges cross on every scanline and nothing else does (under the non-zero rule, two of opposite
  // directions): their number, 0 when the row at First is not one, and the edges' keys on First.
  // Scanlines are asked for in order, as for Rows.
  int32_t PairedRows(int32_t First, int32_t MaxY, int32_t Shift, bool NonZero, const int32_t*& KeysA,
                     const int32_t*& KeysB);
  // Ends rows taken from PairedRows at scanline Last.
  void EndRowsAt(int32_t Last);

 private:
  struct TEdge {
    int32_t Top;      // the first scanline it crosses
    int32_t Bottom;   // the last
    size_t First;     // index of its key on Top in FKeys
    uint32_t Upward;  // CrossingUpward for an edge that runs upward, else 0
    const int32_t* Keys(const std::vector<int32_t>& All, int32_t Y) const {
      return All.data() + First + static_cast<size_t>(Y - Top);
    }
  };
  // The keys of the edge's Count scanlines from Top on into Run through Steps; false, having
  // written nothing, where its walk has no closed form or is too short to pay.
  bool StepEdge(TEdgeStepsProc Steps, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t* Run,
                int32_t Count) const;
  // Room for Count more keys; returns the index of the first.
  size_t Take(size_t Count);
  // Makes active the edges that start on or before scanline Y.
  void Activate(int32_t Y) {
    if (FNext < FEdges.size() && FEdges[FNext].Top <= Y) ActivateFrom(Y);
  }
  void ActivateFrom(int32_t Y);

  int32_t FMinX = 0, FMinY = 0, FMaxX = 0, FMaxY = -1;
  std::vector<TEdge> FEdges;  // sorted by Top after Build
  std::vector<TEdge> FActive;
  size_t FNext = 0;  // the first edge of FEdges not yet active
  std::vector<int32_t> FKeys;
  size_t FUsed = 0;
  std::vector<int32_t> FChains[2];
  std::vector<uint8_t> FSlots;  // the chain of each edge
  std::vector<int32_t> FChainKeys;
};

}  // namespace quillet
