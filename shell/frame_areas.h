// What the next frame on screen must do: copy the areas the surface changed since the last frame
// and, after a wipe, fill black what the screen may still show of the page before. Outside the
// areas shown since the last wipe the screen is black already, so a wipe costs the server no
// more than the page it clears. Those areas are kept as tiles: the fill may take a few black
// pixels more, at no cost to gathering.
#pragma once

#include <cstdint>
#include <vector>

#include "raster/fixed.h"
#include "shell/changed_areas.h"
#include "shell/tile_marks.h"

namespace quillet {

class TFrameAreas {
 public:
  // The surface's size. At a new size every pixel has changed, and what the screen shows is
  // not known.
  void SetBounds(int32_t Width, int32_t Height);

  // Surface pixels that may have changed.
  void Add(const TRect& Area) { FChanged.Add(Area); }
  // Every pixel of the surface has just become opaque black.
  void Erased();

  bool Empty() const { return FChanged.Empty() && FBlack.Empty(); }
  // To fill black first, then to copy from the surface; nothing to fill when the copy is whole.
  const std::vector<TRect>& Black() const;
  const std::vector<TRect>& Copy() const { return FChanged.Rects(); }
  // The frame has gone on screen.
  void FrameShown();

  const TChangedAreas& Changed() const { return FChanged; }

 private:
  TChangedAreas FChanged;
  // Outside these the surface has stayed black since the last wipe; at first, nowhere.
  TTileMarks FSinceErase;
  TTileMarks FBlack;
  mutable std::vector<TRect> FBlackRects;  // FBlack's rectangles, when FBlackKnown
  mutable bool FBlackKnown = false;
};

}  // namespace quillet
