// The set-up shared by the integer lines (plain, blended and anti-aliased): the line and the clip
// rectangle mirrored so that both differences are positive and swapped so that x is the major
// axis, with the map from those walk coordinates back to pixel indices.
#pragma once

#include <cstdint>

#include "fixed.h"

namespace quillet {

struct TLineFrame {
  // The line in walk coordinates: Dx >= Dy > 0 for any line that is not axis-aligned.
  int64_t X1, Y1, X2, Y2, Dx, Dy;
  // The clip rectangle's inclusive edges in the same coordinates.
  int64_t Cx1, Cx2, Cy1, Cy2;
  // Mirroring of the major and minor axes (+1 or -1), and whether they are swapped.
  int64_t Xd, Yd;
  bool Swapped;
  int64_t Width;  // of the surface, in pixels

  intptr_t Index(int64_t X, int64_t Y) const {
    const int64_t Major = Xd * X, Minor = Yd * Y;
    return static_cast<intptr_t>(Swapped ? Major * Width + Minor : Minor * Width + Major);
  }
  intptr_t MajorStep() const { return static_cast<intptr_t>(Swapped ? Xd * Width : Xd); }
  intptr_t MinorStep() const { return static_cast<intptr_t>(Swapped ? Yd : Yd * Width); }
};

// Sets up the frame of a line that is neither horizontal nor vertical. False when the line lies
// wholly to one side of the clip rectangle: then nothing is drawn or reported.
bool FrameLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, const TRect& Clip, int32_t Width,
               TLineFrame& Frame);

}  // namespace quillet
