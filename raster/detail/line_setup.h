// The set-up shared by the integer lines (plain, blended and anti-aliased): the line and the clip
// rectangle mirrored so that both differences are positive and swapped so that x is the major
// axis, with the map from those walk coordinates back to pixel indices.
#pragma once

#include <cstdint>
#include <utility>

#include "raster/fixed.h"

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


namespace line_setup_detail {

// Mirrors one axis so that its difference is positive, the clip edges with it. False when the line
// lies wholly before or after the clip's range on this axis.
inline bool MirrorAxis(int64_t& A1, int64_t& A2, int64_t& D, int64_t& Lo, int64_t& Hi,
                       int64_t& Direction) {
  Direction = 1;
  if (D > 0) return A1 <= Hi && A2 >= Lo;
  if (A2 > Hi || A1 < Lo) return false;
  A1 = -A1, A2 = -A2, D = -D;
  std::swap(Lo, Hi);
  Lo = -Lo, Hi = -Hi;
  Direction = -1;
  return true;
}

}  // namespace line_setup_detail

// Sets up the frame of a line that is neither horizontal nor vertical. False when the line lies
// wholly to one side of the clip rectangle: then nothing is drawn or reported. Inline: it runs once
// per line, and the short lines of a star are drawn by the thousand.
inline bool FrameLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, const TRect& Clip,
                      int32_t Width, TLineFrame& F) {
  F.X1 = X1, F.Y1 = Y1, F.X2 = X2, F.Y2 = Y2;
  F.Dx = F.X2 - F.X1, F.Dy = F.Y2 - F.Y1;
  F.Cx1 = Clip.Left, F.Cx2 = static_cast<int64_t>(Clip.Right) - 1;
  F.Cy1 = Clip.Top, F.Cy2 = static_cast<int64_t>(Clip.Bottom) - 1;
  F.Width = Width;
  if (!line_setup_detail::MirrorAxis(F.X1, F.X2, F.Dx, F.Cx1, F.Cx2, F.Xd)) return false;
  if (!line_setup_detail::MirrorAxis(F.Y1, F.Y2, F.Dy, F.Cy1, F.Cy2, F.Yd)) return false;
  F.Swapped = F.Dx < F.Dy;
  if (F.Swapped) {
    std::swap(F.X1, F.Y1), std::swap(F.X2, F.Y2), std::swap(F.Dx, F.Dy);
    std::swap(F.Cx1, F.Cy1), std::swap(F.Cx2, F.Cy2), std::swap(F.Xd, F.Yd);
  }
  return true;
}

}  // namespace quillet
