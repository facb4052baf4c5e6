// Per-pixel blend procedures, reached through slots that hold the variant chosen at start-up.
//
// Two arithmetic variants exist: the portable one and the packed one. Both compute their formulas
// exactly, and may differ from each other by one in a channel. Each variant has one read-only
// table of kernels per instruction-set level; the scalar kernels are the reference, and the SSE2
// and AVX2 ones equal them bit for bit. InitRasterEngine (engine_init.h) picks one table at
// start-up and points the slots into it. Callers fetch a slot once per operation and call it per
// pixel or per row.
#pragma once

#include <cstdint>

#include "raster/color.h"

namespace quillet {

enum class TCombineMode : uint8_t { cmBlend = 0, cmMerge = 1 };
enum class BlendVariant : uint8_t { Portable = 0, Packed = 1 };
// Instruction-set levels of the kernels, in rising order.
enum class SimdLevel : uint8_t { Scalar = 0, Sse2 = 1, Avx2 = 2 };
constexpr int SimdLevelCount = 3;

using TBlendColorsProc = TColor32 (*)(TColor32 F, TColor32 B);
using TColorIntoProc = void (*)(TColor32 F, TColor32& B);
using TColorIntoMasterProc = void (*)(TColor32 F, TColor32& B, uint32_t M);
using TRowMasterProc = void (*)(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);
using TCombineColorIntoProc = void (*)(TColor32 X, TColor32& Y, uint32_t W);
using TFillPixelsProc = void (*)(TColor32* Dst, int32_t Count, TColor32 Value);
// Height rows of Width pixels, Stride pixels apart, each as TFillPixelsProc (Width and Height > 0).
using TFillRectProc = void (*)(TColor32* Dst, int32_t Width, int32_t Height, intptr_t Stride, TColor32 Value);
// Row forms; each equals its single-pixel procedure on Count consecutive pixels, and Count <= 0
// writes nothing.
using TColorIntoRowProc = void (*)(TColor32 F, TColor32* Dst, int32_t Count);
using TCombineColorRowProc = void (*)(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W);
// Height rows of Width pixels, Stride pixels apart, each as TCombineColorRowProc (Width and
// Height > 0).
using TCombineColorRectProc = void (*)(TColor32 X, TColor32* Dst, int32_t Width, int32_t Height, intptr_t Stride,
                                       uint32_t W);
// RowMaster with every source pixel F.
using TSolidRowMasterProc = void (*)(TColor32 F, TColor32* Dst, int32_t Count, uint32_t M);
// The coverage conversion of the anti-aliased filler: adds Acc[i] to the running Sum, sets
// Out[i] = ((Sum * Scale) & 0xFF00) << 16 | Rgb and Acc[i] = 0, for i < Count; returns the Sum.
// Scale < 65536.
using TCoverageRowProc = uint32_t (*)(int32_t* Acc, TColor32* Out, int32_t Count, uint32_t Sum,
                                      uint32_t Scale, TColor32 Rgb);

// One pixel row of the anti-aliased filler in which every sub-scanline holds one span: the
// sub-sample positions where the spans start and end, on a grid of 2^Shift sub-samples per pixel
// with Mask = 2^Shift - 1, and the least and greatest of each (which the kernels may rely on).
struct TRowSpans {
  const int32_t* Starts;
  const int32_t* Ends;
  int32_t Count;  // at most 32
  int32_t Shift;
  int32_t Mask;
  int32_t MinStart, MaxStart, MinEnd, MaxEnd;
};
// The coverage counts of Cells pixels from pixel From on, turned into colours like those of
// TCoverageRowProc and blended into Dst (pixel From first) as RowMaster does: every span start a
// adds clamp(pixel * 2^Shift + Mask - a, 0, Mask) to a pixel's count, every end takes the same
// away. With Starts false every span counts as started (Count * Mask), with Ends false as not
// ended. Pixel * 2^Shift + Mask must fit 31 bits.
using TSpanBlendProc = void (*)(const TRowSpans& Spans, int32_t From, int32_t Cells, bool Starts, bool Ends,
                                uint32_t Scale, TColor32 Rgb, TColor32* Dst, uint32_t M);

// Pixel rows of the anti-aliased filler in which every sub-scanline holds one span, in one of
// three forms (Kind):
// - Edges: the same two edges cross every sub-scanline and nothing else does; KeysA and KeysB
//   are the edges' keys (sub-sample positions), Keys = 2^Shift per row, row after row.
// - Lanes: KeysA and KeysB hold, per sub-scanline, Keys = 2^Shift per row, row after row, the two
//   ends of its span in either order; a sub-scanline without one has the same key in both.
// - Spans: one row of Keys spans (at most 2^Shift) from KeysA[i] to KeysB[i], whose least and
//   greatest starts and ends are given.
// - Layers: pairs of key runs laid out as in Lanes (TPairedLayers): a row is drawn where the cells
//   of its layers lie left to right in order, no two meeting in a cell, each layer as a row of
//   Lanes.
// Every key lies in [ClipLeft << Shift, ClipRight << Shift). Colours, weights and blends are those
// of SpanBlend and SolidRowMaster.
enum class TPairedKind : uint8_t { Edges, Lanes, Spans, Layers };
constexpr int32_t MaxPairedLayers = 4;
// Count layers, layer k from Keys[2k] and Keys[2k + 1].
struct TPairedLayers {
  const int32_t* Keys[2 * MaxPairedLayers];
  int32_t Count;
};
struct TPairedRows {
  const int32_t* KeysA;
  const int32_t* KeysB;
  int32_t Rows;
  int32_t Keys;
  TPairedKind Kind;
  int32_t MinStart, MaxStart, MinEnd, MaxEnd;
  int32_t Shift;
  int32_t Mask;
  uint32_t Scale;
  TColor32 Rgb;
  uint32_t Master;
  TColor32* Dst;    // pixel 0 of the first row
  intptr_t Stride;  // pixels from one row to the next
  int32_t ClipLeft, ClipRight;
  const TPairedLayers* Layers;  // for Layers only
};
// Draws the rows from the first on and returns how many it drew. It stops at a row it does not
// take (edges crossing in it, layers out of order, too many edge cells, or too near the clip
// rectangle's edges), which the caller draws the general way.
using TPairedRowsProc = int32_t (*)(const TPairedRows& Rows);

// Count consecutive steps of an edge walk in closed form (TEdgeSteps of edge_walk.h), the first
// at position X with term E: each step adds Q1 Sx to X and R1 to E, and where E then exceeds
// Limit (0 or Dy), Sx more to X and -Dy to E. Each position, clamped to [MinX, MaxX], is written
// to Out in walk order, or from Out[Count - 1] backwards when Reverse. The caller keeps every
// number of the walk within 30 bits.
struct TEdgeStepRun {
  int32_t X, E;
  int32_t Q1, R1, Dy, Limit, Sx;
  int32_t MinX, MaxX;
  int32_t Count;
  bool Reverse;
};
using TEdgeStepsProc = void (*)(const TEdgeStepRun& Run, int32_t* Out);

// The kernels of one combine mode.
struct TCombineModeEntry {
  TColorIntoProc ColorInto;
  TColorIntoMasterProc ColorIntoMaster;
  TRowMasterProc RowMaster;
  TColorIntoRowProc ColorIntoRow;
  // The row of a blended rectangle with colour X of alpha W: CombineColorInto(X, pixel, W) under
  // cmBlend, MergeColorInto(X, pixel) under cmMerge.
  TCombineColorRowProc RectRow;
  TSolidRowMasterProc SolidRowMaster;
  // The same in both modes; here so that a fill fetches all it needs in one place.
  TCoverageRowProc CoverageRow;
  // The anti-aliased filler's blend of a cluster of cells straight from its spans.
  TSpanBlendProc SpanBlend;
  // Null where no kernel of this level and mode takes such rows.
  TPairedRowsProc PairedRows;
  // The same in both modes: the anti-aliased filler's edge walks many steps at once, where a
  // kernel of this level has them; else null, and the walk goes step by step.
  TEdgeStepsProc EdgeSteps;
  // The blended rectangle in one call, where a kernel of this level and mode has it; else null,
  // and RectRow does it row by row.
  TCombineColorRectProc RectRows;
};

// The procedure slots, pointing into the chosen kernel table.
extern TBlendColorsProc BlendColors;
extern TColorIntoProc BlendColorInto;
extern TColorIntoMasterProc BlendColorIntoMaster;
extern TRowMasterProc BlendRowMaster;
extern TCombineColorIntoProc CombineColorInto;
extern TBlendColorsProc MergeColors;
extern TColorIntoProc MergeColorInto;
extern TColorIntoMasterProc MergeColorIntoMaster;
extern TRowMasterProc MergeRowMaster;
extern TFillPixelsProc FillPixels;
// The opaque rectangle in one call, where the level has a kernel for it; else null, and the rows
// go to FillPixels one by one.
extern TFillRectProc FillRect;
// Two entries, indexed by TCombineMode. The merge column is always portable.
extern const TCombineModeEntry* CombineModeOps;

// Src[I] into Dst[I] for I < Count, each as BlendColorInto does, for rows of varying colour that
// a call per pixel would slow.
void BlendColorsIntoRow(const TColor32* Src, TColor32* Dst, int32_t Count);

inline const TCombineModeEntry& CombineOpsFor(TCombineMode Mode) {
  return CombineModeOps[static_cast<uint8_t>(Mode) & 1];
}

// The processor test that selects the packed variant at start-up.
bool HasMmx();
// Whether this build holds the level's kernels and the processor runs them.
bool SimdLevelSupported(SimdLevel Level);
SimdLevel BestSimdLevel();

// Points the slots at the kernel table of Variant and Level (which must be supported). The
// one-argument form keeps the current level. InitRasterEngine calls this at start-up; tools and
// tests may call it again before drawing to switch.
void InitBlendOps(BlendVariant Variant, SimdLevel Level);
void InitBlendOps(BlendVariant Variant);
BlendVariant ActiveBlendVariant();
SimdLevel ActiveSimdLevel();

// Called once by every drawing operation after its last blend. Nothing to release on this
// platform; the hook keeps the calling discipline.
inline void FinishBlending() {}

// Read-only tables, fixed at compile time. Indexed [j][i].
struct TBlendTables {
  uint8_t Product[256][256];  // round(i * j / 255), ties to even
  uint8_t Ratio[256][256];    // j = 0: 0; else low byte of round(i * 255 / j), ties to even
  uint8_t CoverageGamma[256];  // round(255 * (i / 255)^0.7f), ties to even
};
extern const TBlendTables BlendTables;
inline constexpr const uint8_t (&ProductTable)[256][256] = BlendTables.Product;
inline constexpr const uint8_t (&RatioTable)[256][256] = BlendTables.Ratio;
inline constexpr const uint8_t (&CoverageGammaTable)[256] = BlendTables.CoverageGamma;

}  // namespace quillet
