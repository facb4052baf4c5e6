// Keeps the view from repainting the whole window after every tick. The frame tick ends with a
// whole-surface change report, although most ticks change only the few boxes that their drawing
// operations already reported. During a tick the last report, when it covers the whole surface,
// is held back and passed on only when the tick needs it: after a wipe, or when it drew shapes
// whose pixels are written without area reports (the Gouraud kinds).
#pragma once

#include "raster/bitmap32.h"

namespace quillet {

class DemoSettings;

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

  // Whether a tick with these settings writes pixels that no area report covers.
  static bool DrawsUnreportedPixels(const DemoSettings& Settings);

 private:
  void AreaChanged(TBitmap32* Sender, const TRect& Area, uint32_t Info);

  TBitmap32* FSurface = nullptr;
  TAreaChangedEvent FDownstream;
  bool FInTick = false;
  bool FHeldWhole = false;
};

}  // namespace quillet
