// The read-only kernel tables: one per blend variant and instruction-set level. InitBlendOps
// points the procedure slots of blend.h into one of them; tests and benchmarks reach every table
// to hold the faster kernels against the scalar ones.
#pragma once

#include "raster/blend.h"

namespace quillet {

struct TBlendKernels {
  BlendVariant Variant;
  SimdLevel Level;
  TBlendColorsProc BlendColors;
  TColorIntoProc BlendColorInto;
  TColorIntoMasterProc BlendColorIntoMaster;
  TCombineColorIntoProc CombineColorInto;
  TFillPixelsProc FillPixels;
  TFillRectProc FillRect;  // null where the level has none
  TCombineModeEntry Modes[2];  // indexed by TCombineMode
};

// The table of a variant and level; a level this build lacks gives the scalar table.
const TBlendKernels& KernelTable(BlendVariant Variant, SimdLevel Level);

}  // namespace quillet
