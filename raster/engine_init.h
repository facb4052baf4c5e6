// The start-up of the raster engine. Every program, tool, test and benchmark that draws calls
// InitRasterEngine once before its first drawing; no static constructor does it for them, and the
// blend slots stay empty until it runs.
#pragma once

#include <string>

#include "raster/blend.h"

namespace quillet {

// Installs the blend variant that the processor test selects, with the kernels of the best
// instruction-set level the processor runs, or of the level that QUILLET_SIMD names (scalar, sse2
// or avx2). An unknown or unsupported name is reported on stderr and the best level is used.
void InitRasterEngine();

// The level for a QUILLET_SIMD value (null or empty: none asked for) when Best is the best level
// the processor runs. Complaint receives the message for an unknown or unsupported value, and is
// left empty otherwise.
SimdLevel ChooseSimdLevel(const char* Requested, SimdLevel Best, std::string& Complaint);

}  // namespace quillet
