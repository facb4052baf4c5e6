// Mirroring and swapping a line into its walk frame.
#include "line_setup.h"

#include <utility>

namespace quillet {

namespace {

// Mirrors one axis so that its difference is positive, the clip edges with it. False when the line
// lies wholly before or after the clip's range on this axis.
bool MirrorAxis(int64_t& A1, int64_t& A2, int64_t& D, int64_t& Lo, int64_t& Hi, int64_t& Direction) {
  Direction = 1;
  if (D > 0) return A1 <= Hi && A2 >= Lo;
  if (A2 > Hi || A1 < Lo) return false;
  A1 = -A1, A2 = -A2, D = -D;
  std::swap(Lo, Hi);
  Lo = -Lo, Hi = -Hi;
  Direction = -1;
  return true;
}

}  // namespace

bool FrameLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, const TRect& Clip, int32_t Width,
               TLineFrame& F) {
  F.X1 = X1, F.Y1 = Y1, F.X2 = X2, F.Y2 = Y2;
  F.Dx = F.X2 - F.X1, F.Dy = F.Y2 - F.Y1;
  F.Cx1 = Clip.Left, F.Cx2 = static_cast<int64_t>(Clip.Right) - 1;
  F.Cy1 = Clip.Top, F.Cy2 = static_cast<int64_t>(Clip.Bottom) - 1;
  F.Width = Width;
  if (!MirrorAxis(F.X1, F.X2, F.Dx, F.Cx1, F.Cx2, F.Xd)) return false;
  if (!MirrorAxis(F.Y1, F.Y2, F.Dy, F.Cy1, F.Cy2, F.Yd)) return false;
  F.Swapped = F.Dx < F.Dy;
  if (F.Swapped) {
    std::swap(F.X1, F.Y1), std::swap(F.X2, F.Y2), std::swap(F.Dx, F.Dy);
    std::swap(F.Cx1, F.Cy1), std::swap(F.Cx2, F.Cy2), std::swap(F.Xd, F.Yd);
  }
  return true;
}

}  // namespace quillet
