// Keeps the view from repainting the whole window after every tick. The frame tick ends with a
// whole-surface change report, and its polygons and polylines report the whole surface too,
// although a tick changes only a few boxes. During a tick the last report, when it covers the
// whole surface, is held back and passed on only when the tick needs it; a shape's own
// whole-surface reports are replaced by the box the tick gives for it, and the Gouraud shapes,
// which report nothing, are passed on by their boxes the same way.
#pragma once

#include <functional>

#include "demo/frame_tick.h"
#include "raster/bitmap32.h"

namespace quillet {

class TTickRepaintFilter {
 public:
  TTickRepaintFilter() = default;
  ~TTickRepaintFilter() { Detach(); }
  TTickRepaintFilter(const TTickRepaintFilter&) = delete;
  TTickRepaintFilter& operator=(const TTickRepaintFilter&) = delete;

  // Sits between Surface and the handler it has now.
  void Attach(TBitmap32& Surface);
  void Detach();
  // Takes the tick's word on its wipes and shapes.
  void Follow(TFrameState& State);

  void BeginTick();
  // WholeNeeded: pass on a held whole-surface report.
  void EndTick(bool WholeNeeded);

  // The tick has just wiped the surface to opaque black. The wipe's whole-surface report, held
  // now, goes to OnErased instead, when that is set: a black page is cheaper to show than a copy.
  void Erased();
  std::function<void()> OnErased;

  // A shape is drawn; until it ends, whole-surface reports stand for it alone and are replaced
  // by Box, which is passed on as a rectangle.
  void BeginShape() { FInShape = true; }
  void EndShape(const TRect& Box);

 private:
  void AreaChanged(TBitmap32* Sender, const TRect& Area, uint32_t Info);

  TBitmap32* FSurface = nullptr;
  TAreaChangedEvent FDownstream;
  bool FInTick = false;
  bool FHeldWhole = false;
  bool FErasedPassed = false;
  bool FInShape = false;
};

}  // namespace quillet
