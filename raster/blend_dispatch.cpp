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
  // __get_cpuid fails when the identification instruction is missing.
  unsigned Eax = 0, Ebx = 0, Ecx = 0, Edx = 0;
  if (!__get_cpuid(1, &Eax, &Ebx, &Ecx, &Edx)) return false;
  const unsigned Family = (Eax >> 8) & 0xF;
  return Family >= 5 && (Edx & (1u << 23)) != 0;
#else
  return false;
#endif
}

namespace {

// The row forms run on SSE2 when the processor has it (every x86-64 does); one build thus
// runs anywhere and other targets keep the generic rows.
bool UseSse2Rows() {
#if QUILLET_HAVE_SSE2_ROWS
  return __builtin_cpu_supports("sse2");
#else
  return false;
#endif
}

}  // namespace

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
#if QUILLET_HAVE_SSE2_ROWS
  if (UseSse2Rows()) {
    if (Packed) FillPixels = packed_sse2::FillPixels;
    BlendRowMaster = Packed ? packed_sse2::BlendRowMaster : portable_sse2::BlendRowMaster;
    BlendColorIntoRow = Packed ? packed_sse2::BlendColorIntoRow : portable_sse2::BlendColorIntoRow;
    CombineColorRow = Packed ? packed_sse2::CombineColorRow : portable_sse2::CombineColorRow;
  }
#endif
  CombineModeOps[0] = {BlendColorInto, BlendColorIntoMaster, BlendRowMaster, BlendColorIntoRow};
}

BlendVariant ActiveBlendVariant() { return Active; }

}  // namespace quillet
