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

namespace quillet::testing {

// A damage sink that marks every pixel it hears of.
struct DamageMarks : IDamageSink {
  int32_t Width = 0, Height = 0;
  std::vector<uint8_t> Marked;
  int Fills = 0, Resets = 0;
  TColor32 LastFill = 0;

  void Damaged(const TRect& A) override {
    if (!Check(A.Left >= 0 && A.Top >= 0 && A.Right <= Width && A.Bottom <= Height && A.Left < A.Right &&
               A.Top < A.Bottom))
      return;
    for (int32_t Y = A.Top; Y < A.Bottom; ++Y)
      for (int32_t X = A.Left; X < A.Right; ++X) Marked[Index(X, Y)] = 1;
  }
  void DamagedRows(int32_t Top, const TRowSpan* Spans, int32_t Count) override {
    if (!Check(Count > 0 && Top >= 0 && Top + Count <= Height)) return;
    // The first and last rows have pixels.
    Check(Spans[0].Left < Spans[0].Right && Spans[Count - 1].Left < Spans[Count - 1].Right);
    for (int32_t I = 0; I < Count; ++I) {
      if (Spans[I].Left >= Spans[I].Right) continue;
      if (!Check(Spans[I].Left >= 0 && Spans[I].Right <= Width)) continue;
      for (int32_t X = Spans[I].Left; X < Spans[I].Right; ++X) Marked[Index(X, Top + I)] = 1;
    }
  }
  void Filled(TColor32 Color) override {
    ++Fills;
    LastFill = Color;
    Marked.assign(Marked.size(), 1);
  }
  void Reset(int32_t W, int32_t H) override {
    ++Resets;
    Width = W;
    Height = H;
    Marked.assign(static_cast<size_t>(W) * static_cast<size_t>(H), 1);
  }
  void Clear() { Marked.assign(Marked.size(), 0); }
  bool At(int32_t X, int32_t Y) const { return Marked[Index(X, Y)] != 0; }
  int64_t Count() const {
    int64_t N = 0;
    for (uint8_t M : Marked) N += M;
    return N;
  }
  // Reports outside the surface or in a bad form.
  int Faults = 0;

 private:
  size_t Index(int32_t X, int32_t Y) const { return static_cast<size_t>(Y) * static_cast<size_t>(Width) + X; }
  bool Check(bool Good) {
    Faults += Good ? 0 : 1;
    return Good;
  }
};

}  // namespace quillet::testing
