// Per-pixel blend procedures, reached through slots that hold the variant chosen at start-up.
//
// Two arithmetic variants exist: the portable one and the packed one. Both compute their formulas
// exactly, and may differ from each other by one in a channel. Each has generic code and, where
// the processor has SSE2, faster row forms with the same results; InitBlendOps picks them.
// Callers fetch a slot once per operation and call it per pixel or per row.
#pragma once

#include <cstdint>

#include "color.h"

namespace quillet {

enum class TCombineMode : uint8_t { cmBlend = 0, cmMerge = 1 };
enum class BlendVariant : uint8_t { Portable = 0, Packed = 1 };

using TBlendColorsProc = TColor32 (*)(TColor32 F, TColor32 B);
using TColorIntoProc = void (*)(TColor32 F, TColor32& B);
using TColorIntoMasterProc = void (*)(TColor32 F, TColor32& B, uint32_t M);
using TRowMasterProc = void (*)(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);
using TCombineColorIntoProc = void (*)(TColor32 X, TColor32& Y, uint32_t W);
using TFillPixelsProc = void (*)(TColor32* Dst, int32_t Count, TColor32 Value);
// Row forms used by spans and rectangles; each equals calling its single-pixel procedure on
// Count consecutive pixels. Count <= 0 writes nothing.
using TColorIntoRowProc = void (*)(TColor32 F, TColor32* Dst, int32_t Count);
using TCombineColorRowProc = void (*)(TColor32 X, TColor32* Dst, int32_t Count, uint32_t W);

// The procedure slots, filled by InitBlendOps.
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
extern TColorIntoRowProc BlendColorIntoRow;
extern TCombineColorRowProc CombineColorRow;

struct TCombineModeEntry {
  TColorIntoProc ColorInto;
  TColorIntoMasterProc ColorIntoMaster;
  TRowMasterProc RowMaster;
  TColorIntoRowProc ColorIntoRow;
};
// Indexed by TCombineMode. The merge column is always portable.
extern TCombineModeEntry CombineModeOps[2];

inline const TCombineModeEntry& CombineOpsFor(TCombineMode Mode) {
  return CombineModeOps[static_cast<uint8_t>(Mode) & 1];
}

// The processor test that selects the packed variant at start-up.
bool HasMmx();
// Fills every slot with the given variant. Runs once at start-up (with Packed when HasMmx());
// tools and tests may call it again before drawing to switch the variant.
void InitBlendOps(BlendVariant Variant);
BlendVariant ActiveBlendVariant();

// Called once by every drawing operation after its last blend. Nothing to release on this
// platform; the hook keeps the calling discipline.
inline void FinishBlending() {}

// Read-only tables, built before the first drawing. Indexed [j][i].
extern uint8_t ProductTable[256][256];  // round(i * j / 255), ties to even
extern uint8_t RatioTable[256][256];    // j = 0: 0; else low byte of round(i * 255 / j)
extern uint8_t CoverageGammaTable[256];  // round(255 * (i / 255)^0.7f), ties to even

}  // namespace quillet
