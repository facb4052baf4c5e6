// One drawing engine of the peer benchmark. Every engine draws into the same pixels: the
// benchmark's 1920 x 1080 surface, 32-bit pixels with alpha in the top byte (cairo's ARGB32 and
// AGG's bgra32 in memory).
#pragma once

#include <cstddef>
#include <memory>

#include "peer_workloads.h"
#include "raster/bitmap32.h"

namespace quillet::peer {

class TPeerEngine {
 public:
  virtual ~TPeerEngine() = default;
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

}  // namespace quillet::peer
