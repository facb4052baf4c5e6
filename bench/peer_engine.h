// One drawing engine of the peer benchmark. Every engine draws into the same pixels: the
// benchmark's 1920 x 1080 surface, 32-bit pixels with alpha in the top byte (cairo's ARGB32, AGG's
// bgra32 and Blend2D's PRGB32 in memory).
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <memory>

#include "peer_workloads.h"
#include "raster/bitmap32.h"

namespace quillet::peer {

class TPeerEngine {
 public:
  virtual ~TPeerEngine() = default;
  // Whether the engine draws the workload at all (its row stays empty otherwise).
  virtual bool Draws(const TWorkload&) const { return true; }
  // Untimed set-up before a workload is measured.
  virtual void Prepare(const TWorkload&) {}
  // Draws operations [Begin, End) of the workload.
  virtual void Draw(const TWorkload& W, size_t Begin, size_t End) = 0;
  // Completes pending drawing; part of the measured time.
  virtual void Finish() {}
};

std::unique_ptr<TPeerEngine> MakeQuilletEngine(TBitmap32& Surface);
std::unique_ptr<TPeerEngine> MakeCairoEngine(TBitmap32& Surface);
std::unique_ptr<TPeerEngine> MakeAggEngine(TBitmap32& Surface);
// Built only when the benchmark is configured with a Blend2D library (QUILLET_PEER_BLEND2D).
std::unique_ptr<TPeerEngine> MakeBlend2DEngine(TBitmap32& Surface);

// The physical limit of the opaque workloads: the pixels Quillet writes for each shape (found
// before the clock starts, by drawing every shape alone with Quillet) written again by the
// simplest vector store loop, in the shape's colour. Streaming takes non-temporal stores and draws
// only the erase, where they may beat plain ones.
enum class TLimitStores { Plain, Streaming };
std::unique_ptr<TPeerEngine> MakeLimitEngine(TBitmap32& Surface, TLimitStores Stores);

// Operations per second of one run: whole batches until Seconds are up, then Finish.
inline double TimeRun(TPeerEngine& Engine, const TWorkload& W, double Seconds) {
  using Clock = std::chrono::steady_clock;
  const size_t Count = W.Count();
  const size_t Batch = W.Kind == TWorkKind::Erase ? 1 : 32;
  size_t Ops = 0, Next = 0;
  const Clock::time_point Start = Clock::now();
  double Elapsed = 0;
  do {
    const size_t End = std::min(Next + Batch, Count);
    Engine.Draw(W, Next, End);
    Ops += End - Next;
    Next = End == Count ? 0 : End;
    Elapsed = std::chrono::duration<double>(Clock::now() - Start).count();
  } while (Elapsed < Seconds);
  Engine.Finish();
  Elapsed = std::chrono::duration<double>(Clock::now() - Start).count();
  return static_cast<double>(Ops) / Elapsed;
}

}  // namespace quillet::peer
