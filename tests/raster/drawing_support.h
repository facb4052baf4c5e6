// Shared helpers for the drawing tests: an event recorder and a surface with a known background.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "raster/bitmap32.h"

namespace quillet::testing {

struct AreaReport {
  TRect Area;
  uint32_t Info;
  friend bool operator==(const AreaReport&, const AreaReport&) = default;
};

// Records OnChange and OnAreaChanged. A whole-surface NotifyChanged shows as a bounds report.
struct Recorder {
  int Changes = 0;
  std::vector<AreaReport> Areas;

  void Attach(TBitmap32& B) {
    B.OnChange = [this](TNotifiablePersistent*) { ++Changes; };
    B.OnAreaChanged = [this](TBitmap32*, const TRect& R, uint32_t Info) { Areas.push_back({R, Info}); };
  }
  void Clear() {
    Changes = 0;
    Areas.clear();
  }
};

// A background in which every pixel differs, so that a stray write always shows.
inline TColor32 BackgroundAt(int X, int Y) {
  uint32_t H = static_cast<uint32_t>(X) * 0x9E3779B1u ^ static_cast<uint32_t>(Y) * 0x85EBCA77u;
  H ^= H >> 15;
  return 0xFF000000u | (H & 0x00FFFFFF);
}

inline void PaintBackground(TBitmap32& B) {
  for (int Y = 0; Y < B.Height(); ++Y)
    for (int X = 0; X < B.Width(); ++X) *B.PixelAddress(X, Y) = BackgroundAt(X, Y);
}

inline std::vector<TColor32> Snapshot(const TBitmap32& B) {
  const TColor32* P = B.PixelPtr();
  return std::vector<TColor32>(P, P + static_cast<size_t>(B.Width()) * B.Height());
}

// The pixels that differ between two snapshots of a surface of the given width.
inline std::vector<TPoint> Changed(const std::vector<TColor32>& Before, const std::vector<TColor32>& After,
                                   int Width) {
  std::vector<TPoint> Result;
  for (size_t I = 0; I < Before.size(); ++I)
    if (Before[I] != After[I]) Result.push_back({static_cast<int32_t>(I % Width), static_cast<int32_t>(I / Width)});
  return Result;
}

inline bool InsideRect(const TRect& R, int64_t X, int64_t Y) {
  return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}

// True when no pixel outside R differs between the snapshots.
inline bool OnlyInside(const std::vector<TColor32>& Before, const std::vector<TColor32>& After, int Width,
                       const TRect& R) {
  for (const TPoint& P : Changed(Before, After, Width))
    if (!InsideRect(R, P.X, P.Y)) return false;
  return true;
}

}  // namespace quillet::testing
