// What the drawing fuzzers share: surfaces of hostile sizes with a clip rectangle, a background in
// which every pixel differs, coordinates from anywhere in the 32-bit range, and the check that no
// pixel outside the allowed rectangle changed.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "raster/bitmap32.h"
#include "raster/blend.h"

namespace quillet::fuzz {

// Mostly small surfaces; now and then an empty one, or one very wide or very tall: past the
// 32768 pixels that 16.16 coordinates reach, and past 65536.
inline void SizeSurface(FuzzedDataProvider& In, TBitmap32& Surface) {
  int32_t W = 0, H = 0;
  switch (In.ConsumeIntegralInRange(0, 15)) {
    case 0:
      W = In.ConsumeIntegralInRange(1, 70000);
      H = In.ConsumeIntegralInRange(1, 3);
      break;
    case 1:
      W = In.ConsumeIntegralInRange(1, 3);
      H = In.ConsumeIntegralInRange(1, 70000);
      break;
    case 2:
      W = In.ConsumeIntegralInRange(0, 300);
      H = In.ConsumeIntegralInRange(0, 300);
      break;
    default:
      W = In.ConsumeIntegralInRange(0, 40);
      H = In.ConsumeIntegralInRange(0, 40);
      break;
  }
  Surface.SetDimensions(W, H);
}

// Near the surface mostly (Extent is its width or height), else anywhere, or one of the values
// where 16-bit and 32-bit arithmetic turn over.
inline int32_t Coordinate(FuzzedDataProvider& In, int32_t Extent) {
  switch (In.ConsumeIntegralInRange(0, 7)) {
    case 0:
      return In.ConsumeIntegral<int32_t>();
    case 1:
      return In.PickValueInArray<int32_t>({INT32_MIN, INT32_MIN + 1, -65537, -65536, -32769, -32768,
                                           -1, 0, 32767, 32768, 65535, 65536, INT32_MAX - 1,
                                           INT32_MAX});
    default:
      return In.ConsumeIntegralInRange<int32_t>(-8, Extent + 8);
  }
}

// The same for 16.16 values (or 24.8 with Shift 8), with any fraction.
inline int32_t FineCoordinate(FuzzedDataProvider& In, int32_t Extent, int Shift = 16) {
  switch (In.ConsumeIntegralInRange(0, 7)) {
    case 0:
      return In.ConsumeIntegral<int32_t>();
    case 1:
      return In.PickValueInArray<int32_t>({INT32_MIN, INT32_MIN + 1, -65536, -32768, -1, 0, 32767,
                                           65535, 65536, INT32_MAX - 65536, INT32_MAX});
    default: {
      const int64_t Lo = int64_t{-8} << Shift, Hi = (int64_t{Extent} + 8) << Shift;
      const int64_t V = In.ConsumeIntegralInRange<int64_t>(Lo, Hi);
      return static_cast<int32_t>(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX));
    }
  }
}

inline TColor32 AnyColor(FuzzedDataProvider& In) {
  switch (In.ConsumeIntegralInRange(0, 3)) {
    case 0: return In.ConsumeIntegral<uint32_t>() | 0xFF000000u;  // opaque
    case 1: return In.ConsumeIntegral<uint32_t>() & 0x00FFFFFFu;  // transparent
    default: return In.ConsumeIntegral<uint32_t>();
  }
}

// The whole surface, or any rectangle (which the surface clamps to itself).
inline void ClipSurface(FuzzedDataProvider& In, TBitmap32& Surface) {
  if (In.ConsumeBool()) return;
  Surface.SetClipBounds({Coordinate(In, Surface.Width()), Coordinate(In, Surface.Height()),
                         Coordinate(In, Surface.Width()), Coordinate(In, Surface.Height())});
}

// Every pixel differs from its neighbours, alpha included, so that a stray write always shows.
inline void PaintBackground(TBitmap32& Surface) {
  if (Surface.IsEmpty()) return;
  for (int32_t Y = 0; Y < Surface.Height(); ++Y) {
    TColor32* Row = Surface.RowAddress(Y);
    for (int32_t X = 0; X < Surface.Width(); ++X) {
      uint32_t H = static_cast<uint32_t>(X) * 0x9E3779B1u ^ static_cast<uint32_t>(Y) * 0x85EBCA77u;
      H ^= H >> 15;
      Row[X] = H * 0x2C1B3C6Du;
    }
  }
}

// Either blend variant with the kernels of any instruction-set level this processor runs.
inline void ChooseBlendKernels(FuzzedDataProvider& In) {
  const BlendVariant Variant = In.ConsumeBool() ? BlendVariant::Packed : BlendVariant::Portable;
  auto Level = static_cast<SimdLevel>(In.ConsumeIntegralInRange<int>(0, SimdLevelCount - 1));
  if (!SimdLevelSupported(Level)) Level = SimdLevel::Scalar;
  InitBlendOps(Variant, Level);
}

// Any blend kernels, a surface of any size and clip rectangle, either combine mode, and the
// background.
inline void PrepareSurface(FuzzedDataProvider& In, TBitmap32& Surface) {
  ChooseBlendKernels(In);
  SizeSurface(In, Surface);
  ClipSurface(In, Surface);
  Surface.SetCombineMode(In.ConsumeBool() ? TCombineMode::cmMerge : TCombineMode::cmBlend);
  PaintBackground(Surface);
}

inline std::vector<TColor32> Snapshot(const TBitmap32& Surface) {
  if (Surface.IsEmpty()) return {};
  const TColor32* P = Surface.PixelPtr();
  return {P, P + static_cast<size_t>(Surface.Width()) * static_cast<size_t>(Surface.Height())};
}

// The first pixel outside Allowed that differs from Before, or nullopt.
inline std::optional<TPoint> ChangeOutside(const TBitmap32& Surface, const std::vector<TColor32>& Before,
                                           const TRect& Allowed) {
  const TColor32* After = Surface.PixelPtr();
  for (size_t I = 0; I < Before.size(); ++I) {
    if (After[I] == Before[I]) continue;
    const auto X = static_cast<int32_t>(I % static_cast<size_t>(Surface.Width()));
    const auto Y = static_cast<int32_t>(I / static_cast<size_t>(Surface.Width()));
    if (X < Allowed.Left || X >= Allowed.Right || Y < Allowed.Top || Y >= Allowed.Bottom)
      return TPoint{X, Y};
  }
  return std::nullopt;
}

// Aborts, naming the pixel and What, when a pixel outside Allowed differs from Before.
inline void ExpectChangesOnlyInside(const TBitmap32& Surface, const std::vector<TColor32>& Before,
                                    const TRect& Allowed, const char* What) {
  const std::optional<TPoint> P = ChangeOutside(Surface, Before, Allowed);
  if (!P) return;
  std::fprintf(stderr, "%s changed pixel (%d, %d) of a %d x %d surface outside (%d, %d, %d, %d)\n",
               What, P->X, P->Y, Surface.Width(), Surface.Height(), Allowed.Left, Allowed.Top,
               Allowed.Right, Allowed.Bottom);
  std::abort();
}

}  // namespace quillet::fuzz
