// The repaint filter between the surface and its view.
#include "shell/tick_repaint.h"

namespace quillet {

void TTickRepaintFilter::Attach(TBitmap32& Surface) {
  Detach();
  FSurface = &Surface;
  FDownstream = Surface.OnAreaChanged;
  Surface.OnAreaChanged = [this](TBitmap32* Sender, const TRect& Area, uint32_t Info) {
    AreaChanged(Sender, Area, Info);
  };
}

void TTickRepaintFilter::Detach() {
  if (!FSurface) return;
  FSurface->OnAreaChanged = FDownstream;
  FSurface = nullptr;
  FDownstream = nullptr;
}

void TTickRepaintFilter::Follow(TFrameState& State) {
  State.OnWiped = [this] { Erased(); };
  State.OnShapeBegin = [this] { BeginShape(); };
  State.OnShapeEnd = [this](const TRect& Box) { EndShape(Box); };
}

void TTickRepaintFilter::EndShape(const TRect& Box) {
  FInShape = false;
  if (FSurface && Box.Left < Box.Right && Box.Top < Box.Bottom) AreaChanged(FSurface, Box, AREAINFO_RECT);
}

void TTickRepaintFilter::BeginTick() {
  FInTick = true;
  FInShape = false;
  FHeldWhole = false;
  FErasedPassed = false;
}

void TTickRepaintFilter::EndTick(bool WholeNeeded) {
  FInTick = false;
  // A wipe passed on as such needs no whole-surface report besides.
  if (FHeldWhole && WholeNeeded && !FErasedPassed && FSurface && FDownstream)
    FDownstream(FSurface, FSurface->BoundsRect(), AREAINFO_RECT);
  FHeldWhole = false;
}

void TTickRepaintFilter::Erased() {
  if (!OnErased) return;
  FHeldWhole = false;
  FErasedPassed = true;
  OnErased();
}

// Only the tick's last report may be held: a whole-surface report that a drawing operation made
// for itself is followed by the closing one, and is passed on when that arrives.
void TTickRepaintFilter::AreaChanged(TBitmap32* Sender, const TRect& Area, uint32_t Info) {
  if (FInTick && Sender) {
    if (FHeldWhole) {
      FHeldWhole = false;
      if (FDownstream) FDownstream(Sender, Sender->BoundsRect(), AREAINFO_RECT);
    }
    const TRect Bounds = Sender->BoundsRect();
    if ((Info & AREAINFO_RECT) && Area.Left <= Bounds.Left && Area.Top <= Bounds.Top &&
        Area.Right >= Bounds.Right && Area.Bottom >= Bounds.Bottom) {
      if (!FInShape) FHeldWhole = true;
      return;
    }
  }
  if (FDownstream) FDownstream(Sender, Area, Info);
}
}  // namespace quillet
