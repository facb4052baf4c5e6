// Keeps the view from repainting the whole window after every tick. The frame tick ends with a
// whole-surface change report, although most ticks change only the few boxes that their drawing
// operations already reported (the Gouraud shapes report theirs through the tick). During a tick
// the last report, when it covers the whole surface, is held back and passed on only when the
// tick needs it: after a wipe.
#pragma once

#include <functional>

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

  void BeginTick();
  // WholeNeeded: pass on a held whole-surface report.
  void EndTick(bool WholeNeeded);

  // The tick has just wiped the surface to opaque black. The wipe's whole-surface report, held
  // now, goes to OnErased instead, when that is set: a black page is cheaper to show than a copy.
  void Erased();
  std::function<void()> OnErased;

 private:
  void AreaChanged(TBitmap32* Sender, const TRect& Area, uint32_t Info);

  TBitmap32* FSurface = nullptr;
  TAreaChangedEvent FDownstream;
  bool FInTick = false;
  bool FHeldWhole = false;
  bool FErasedPassed = false;
};

}  // namespace quillet
