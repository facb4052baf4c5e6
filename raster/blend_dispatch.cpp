// The kernel tables, the procedure slots that point into one of them, and the processor tests
// that decide which one.
#include <cstdint>

#include "raster/blend.h"
#include "raster/detail/blend_kernels.h"
#include "raster/detail/blend_variants.h"
#include "raster/detail/compiler_facts.h"

namespace quillet {

// Empty until InitRasterEngine runs: drawing before it is a fault to find at once, not a variant
// picked by accident.
TBlendColorsProc BlendColors = nullptr;
TColorIntoProc BlendColorInto = nullptr;
TColorIntoMasterProc BlendColorIntoMaster = nullptr;
TRowMasterProc BlendRowMaster = nullptr;
TCombineColorIntoProc CombineColorInto = nullptr;
TBlendColorsProc MergeColors = nullptr;
TColorIntoProc MergeColorInto = nullptr;
TColorIntoMasterProc MergeColorIntoMaster = nullptr;
TRowMasterProc MergeRowMaster = nullptr;
TFillPixelsProc FillPixels = nullptr;
TFillRectProc FillRect = nullptr;
const TCombineModeEntry* CombineModeOps = nullptr;

namespace {

constexpr TCombineModeEntry MergeColumn(TCoverageRowProc CoverageRow, TEdgeStepsProc EdgeSteps) {
  return {merge::MergeColorInto, merge::MergeColorIntoMaster, merge::MergeRowMaster, merge::MergeColorIntoRow,
          merge::MergeRectRow,   merge::MergeSolidRowMaster,  CoverageRow,          merge::MergeSpanBlend,
          nullptr,               EdgeSteps,                   nullptr};
}

// The single-pixel procedures are scalar at every level; the rows, the fill and the coverage
// conversion come from the level's instruction set. Kernels that only some levels have (the
// paired rows, the edge steps, the blended rectangle) are named, or null.
#define QUILLET_KERNEL_TABLE(Variant, Ns, Level, RowNs, SetNs, PairedRows, EdgeSteps, RectRows)               \
  TBlendKernels {                                                                                            \
    BlendVariant::Variant, SimdLevel::Level, Ns::BlendColors, Ns::BlendColorInto, Ns::BlendColorIntoMaster,  \
        Ns::CombineColorInto, SetNs::FillPixels, SetNs::FillRect,                                            \
        {{Ns::BlendColorInto, Ns::BlendColorIntoMaster, RowNs::BlendRowMaster, RowNs::BlendColorIntoRow,    \
          RowNs::CombineColorRow, RowNs::SolidRowMaster, SetNs::CoverageRow, RowNs::SpanBlend, PairedRows, \
          EdgeSteps, RectRows},                                                                              \
         MergeColumn(SetNs::CoverageRow, EdgeSteps)},                                                        \
  }

// The scalar level reuses the variant's own fill.
namespace portable_scalar {
using portable::FillPixels;
using scalar::CoverageRow;
constexpr TFillRectProc FillRect = nullptr;
}  // namespace portable_scalar
namespace packed_scalar {
using packed::FillPixels;
using scalar::CoverageRow;
constexpr TFillRectProc FillRect = nullptr;
}  // namespace packed_scalar

#if QUILLET_X86_KERNELS
constexpr int BuiltLevels = 3;
#else
constexpr int BuiltLevels = 1;
#endif

// Indexed [variant][level].
constexpr TBlendKernels Tables[2][BuiltLevels] = {
    {QUILLET_KERNEL_TABLE(Portable, portable, Scalar, portable, portable_scalar, nullptr, nullptr, nullptr),
#if QUILLET_X86_KERNELS
     QUILLET_KERNEL_TABLE(Portable, portable, Sse2, portable_sse2, sse2, nullptr, nullptr,
                          portable_sse2::CombineColorRect),
     QUILLET_KERNEL_TABLE(Portable, portable, Avx2, portable_avx2, avx2, portable_avx2::PairedRows, avx2::EdgeSteps,
                         portable_avx2::CombineColorRect)
#endif
    },
    {QUILLET_KERNEL_TABLE(Packed, packed, Scalar, packed, packed_scalar, nullptr, nullptr, nullptr),
#if QUILLET_X86_KERNELS
     QUILLET_KERNEL_TABLE(Packed, packed, Sse2, packed_sse2, sse2, nullptr, nullptr, packed_sse2::CombineColorRect),
     QUILLET_KERNEL_TABLE(Packed, packed, Avx2, packed_avx2, avx2, packed_avx2::PairedRows, avx2::EdgeSteps,
                         packed_avx2::CombineColorRect)
#endif
    },
};
#undef QUILLET_KERNEL_TABLE

}  // namespace

const TBlendKernels& KernelTable(BlendVariant Variant, SimdLevel Level) {
  const int L = static_cast<int>(Level) < BuiltLevels ? static_cast<int>(Level) : 0;
  return Tables[static_cast<int>(Variant) & 1][L];
}

bool HasMmx() {
  unsigned Eax = 0, Edx = 0;
  if (!CpuIdentification(Eax, Edx)) return false;
  const unsigned Family = (Eax >> 8) & 0xF;
  return Family >= 5 && (Edx & (1u << 23)) != 0;
}

bool SimdLevelSupported(SimdLevel Level) {
  switch (Level) {
    case SimdLevel::Scalar:
      return true;
#if QUILLET_X86_KERNELS
    case SimdLevel::Sse2:
      return CpuSupportsSse2();
    case SimdLevel::Avx2:
      return CpuSupportsAvx2();
#endif
    default:
      return false;
  }
}

SimdLevel BestSimdLevel() {
  for (int L = SimdLevelCount - 1; L > 0; --L)
    if (SimdLevelSupported(static_cast<SimdLevel>(L))) return static_cast<SimdLevel>(L);
  return SimdLevel::Scalar;
}

namespace {

// The table the slots point into, found again from the slots themselves.
const TBlendKernels* ActiveTable() {
  for (const auto& Row : Tables)
    for (const TBlendKernels& T : Row)
      if (CombineModeOps == T.Modes) return &T;
  return nullptr;
}

}  // namespace

void InitBlendOps(BlendVariant Variant, SimdLevel Level) {
  const TBlendKernels& T = KernelTable(Variant, SimdLevelSupported(Level) ? Level : SimdLevel::Scalar);
  BlendColors = T.BlendColors;
  BlendColorInto = T.BlendColorInto;
  BlendColorIntoMaster = T.BlendColorIntoMaster;
  BlendRowMaster = T.Modes[0].RowMaster;
  CombineColorInto = T.CombineColorInto;
  MergeColors = merge::MergeColors;
  MergeColorInto = T.Modes[1].ColorInto;
  MergeColorIntoMaster = T.Modes[1].ColorIntoMaster;
  MergeRowMaster = T.Modes[1].RowMaster;
  FillPixels = T.FillPixels;
  FillRect = T.FillRect;
  CombineModeOps = T.Modes;
}

void InitBlendOps(BlendVariant Variant) { InitBlendOps(Variant, ActiveSimdLevel()); }

BlendVariant ActiveBlendVariant() {
  const TBlendKernels* T = ActiveTable();
  return T != nullptr ? T->Variant : BlendVariant::Portable;
}

SimdLevel ActiveSimdLevel() {
  const TBlendKernels* T = ActiveTable();
  return T != nullptr ? T->Level : BestSimdLevel();
}

}  // namespace quillet
