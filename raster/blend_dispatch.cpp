// The procedure slots and their start-up: test the processor once, build the tables, install the
// chosen variant.
#include <cstdint>

#include "blend.h"
#include "blend_tables.h"
#include "blend_variants.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace quillet {

TBlendColorsProc BlendColors = portable::BlendColors;
TColorIntoProc BlendColorInto = portable::BlendColorInto;
TColorIntoMasterProc BlendColorIntoMaster = portable::BlendColorIntoMaster;
TRowMasterProc BlendRowMaster = portable::BlendRowMaster;
TCombineColorIntoProc CombineColorInto = portable::CombineColorInto;
TBlendColorsProc MergeColors = merge::MergeColors;
TColorIntoProc MergeColorInto = merge::MergeColorInto;
TColorIntoMasterProc MergeColorIntoMaster = merge::MergeColorIntoMaster;
TRowMasterProc MergeRowMaster = merge::MergeRowMaster;
TFillPixelsProc FillPixels = portable::FillPixels;
TColorIntoRowProc BlendColorIntoRow = portable::BlendColorIntoRow;
TCombineColorRowProc CombineColorRow = portable::CombineColorRow;

TCombineModeEntry CombineModeOps[2] = {
    {portable::BlendColorInto, portable::BlendColorIntoMaster, portable::BlendRowMaster,
     portable::BlendColorIntoRow},
    {merge::MergeColorInto, merge::MergeColorIntoMaster, merge::MergeRowMaster,
     merge::MergeColorIntoRow},
};

namespace {

BlendVariant Active = BlendVariant::Portable;
bool TablesBuilt = false;

// Runs before main, so that every surface finds its tables and slots ready.
struct StartUp {
  StartUp() { InitBlendOps(HasMmx() ? BlendVariant::Packed : BlendVariant::Portable); }
} const RunStartUp;

}  // namespace

bool HasMmx() {
#if defined(__x86_64__) || defined(__i386__)
  unsigned Eax = 0, Ebx = 0, Ecx = 0, Edx = 0;
  if (!__get_cpuid(1, &Eax, &Ebx, &Ecx, &Edx)) return false;
  const unsigned Family = (Eax >> 8) & 0xF;
  // Packed-integer SIMD is SSE2 here; it is part of every x86-64 processor.
  return Family >= 5 && (Edx & (1u << 23)) != 0 && (Edx & (1u << 26)) != 0;
#else
  return false;
#endif
}

void InitBlendOps(BlendVariant Variant) {
  if (!TablesBuilt) {
    BuildBlendTables();
    BuildCoverageGammaTable();
    TablesBuilt = true;
  }
  Active = Variant;
  const bool Packed = Variant == BlendVariant::Packed;

  FillPixels = Packed ? packed::FillPixels : portable::FillPixels;
  MergeColors = merge::MergeColors;
  MergeColorInto = merge::MergeColorInto;
  MergeColorIntoMaster = merge::MergeColorIntoMaster;
  MergeRowMaster = merge::MergeRowMaster;
  CombineModeOps[1] = {merge::MergeColorInto, merge::MergeColorIntoMaster, merge::MergeRowMaster,
                       merge::MergeColorIntoRow};

  BlendColors = Packed ? packed::BlendColors : portable::BlendColors;
  BlendColorInto = Packed ? packed::BlendColorInto : portable::BlendColorInto;
  BlendColorIntoMaster = Packed ? packed::BlendColorIntoMaster : portable::BlendColorIntoMaster;
  BlendRowMaster = Packed ? packed::BlendRowMaster : portable::BlendRowMaster;
  CombineColorInto = Packed ? packed::CombineColorInto : portable::CombineColorInto;
  BlendColorIntoRow = Packed ? packed::BlendColorIntoRow : portable::BlendColorIntoRow;
  CombineColorRow = Packed ? packed::CombineColorRow : portable::CombineColorRow;
  CombineModeOps[0] = {BlendColorInto, BlendColorIntoMaster, BlendRowMaster, BlendColorIntoRow};
}

BlendVariant ActiveBlendVariant() { return Active; }

}  // namespace quillet
