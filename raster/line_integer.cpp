// Integer lines by an error-term walk with the clipping built into the walk: DrawLineClipped
// (stored pixels) and DrawLineBlendClipped (ColorInto).
//
// The set-up runs in 64 and 128 bits, so the walk is exact for any 32-bit end points; the loop is
// bounded by the clip rectangle, never by the length of the line.
#include <algorithm>
#include <utility>

#include "bitmap32.h"
#include "wide_math.h"

namespace quillet {

namespace {

// The clipped part of a line, ready for the loop.
struct TLineWalk {
  int64_t Count = 0;     // pixels to write
  intptr_t Offset = 0;   // index of the first pixel
  intptr_t MajorStep = 0;
  intptr_t MinorStep = 0;
  int64_t Error = 0;
  int64_t ErrorMinor = 0;  // subtracted when the minor step is taken (2Dx - 2Dy)
  int64_t ErrorMajor = 0;  // added otherwise (2Dy)
};

// Works out the clipped walk of a line that is neither horizontal nor vertical. False when the
// line misses the clip rectangle: then nothing is drawn or reported.
bool PlanLineWalk(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, bool L, const TRect& Clip,
                  int32_t Width, TLineWalk& Walk) {
  int64_t Cx1 = Clip.Left, Cx2 = static_cast<int64_t>(Clip.Right) - 1;
  int64_t Cy1 = Clip.Top, Cy2 = static_cast<int64_t>(Clip.Bottom) - 1;
  int64_t Dx = X2 - X1, Dy = Y2 - Y1;

  // Mirror so that both differences are positive.
  int64_t Xd = 1, Yd = 1;
  if (Dx > 0) {
    if (X1 > Cx2 || X2 < Cx1) return false;
  } else {
    if (X2 > Cx2 || X1 < Cx1) return false;
    X1 = -X1, X2 = -X2, Dx = -Dx;
    std::swap(Cx1, Cx2);
    Cx1 = -Cx1, Cx2 = -Cx2;
    Xd = -1;
  }
  if (Dy > 0) {
    if (Y1 > Cy2 || Y2 < Cy1) return false;
  } else {
    if (Y2 > Cy2 || Y1 < Cy1) return false;
    Y1 = -Y1, Y2 = -Y2, Dy = -Dy;
    std::swap(Cy1, Cy2);
    Cy1 = -Cy1, Cy2 = -Cy2;
    Yd = -1;
  }

  // Make x the major axis.
  const bool Swapped = Dx < Dy;
  if (Swapped) {
    std::swap(X1, Y1), std::swap(X2, Y2), std::swap(Dx, Dy);
    std::swap(Cx1, Cy1), std::swap(Cx2, Cy2), std::swap(Xd, Yd);
  }

  int64_t Dx2 = 2 * Dx;
  const int64_t Dy2 = 2 * Dy;
  int64_t E = Dy2 - Dx;
  int64_t X = X1, Y = Y1, Term = X2;
  bool CheckMajorStart = true;

  // Entry through the minor start edge: the first step on row Cy1.
  if (Y1 < Cy1) {
    const Int128 T = static_cast<Int128>(Cy1 - Y1) * Dx2 - Dx;
    const Int128 EntryX = X1 + T / Dy2;
    const int64_t R = static_cast<int64_t>(T % Dy2);
    if (EntryX > Cx2) return false;
    if (EntryX >= Cx1) {
      X = static_cast<int64_t>(EntryX);
      Y = Cy1;
      E -= Dx + R;
      if (R > 0) {
        ++X;
        E += Dy2;
      }
      CheckMajorStart = false;
    }
  }
  // Entry through the major start edge: the row of the step at column Cx1.
  if (CheckMajorStart && X1 < Cx1) {
    const Int128 T = static_cast<Int128>(Cx1 - X1) * Dy2;
    const Int128 EntryY = Y1 + T / Dx2;
    const int64_t R = static_cast<int64_t>(T % Dx2);
    if (EntryY > Cy2 || (EntryY == Cy2 && R >= Dx)) return false;
    Y = static_cast<int64_t>(EntryY);
    X = Cx1;
    E += R;
    if (R >= Dx) {
      ++Y;
      E -= Dx2;
    }
  }

  // Exit: the last step on a row up to Cy2, and no further than column Cx2.
  bool EndClipped = false;
  if (Y2 > Cy2) {
    const Int128 T = static_cast<Int128>(Cy2 - Y1) * Dx2 + Dx;
    const Int128 LastX = X1 + T / Dy2 - (T % Dy2 == 0 ? 1 : 0);
    Term = static_cast<int64_t>(std::min<Int128>(LastX, Cx2 + 1));
    EndClipped = true;
  }
  if (Term > Cx2) {
    Term = Cx2;
    EndClipped = true;
  }
  ++Term;
  if (!L && !EndClipped && Term > X) --Term;

  Dx2 -= Dy2;

  Walk.Count = Term - X;
  if (Walk.Count <= 0) return true;
  const int64_t MajorCoord = Xd * X, MinorCoord = Yd * Y;
  if (Swapped) {
    Walk.Offset = static_cast<intptr_t>(MajorCoord * Width + MinorCoord);
    Walk.MajorStep = static_cast<intptr_t>(Xd * Width);
    Walk.MinorStep = static_cast<intptr_t>(Yd);
  } else {
    Walk.Offset = static_cast<intptr_t>(MinorCoord * Width + MajorCoord);
    Walk.MajorStep = static_cast<intptr_t>(Xd);
    Walk.MinorStep = static_cast<intptr_t>(Yd * Width);
  }
  Walk.Error = E;
  Walk.ErrorMinor = Dx2;
  Walk.ErrorMajor = Dy2;
  return true;
}

template <class WritePixel>
void RunLineWalk(TColor32* Pixels, TLineWalk W, WritePixel Write) {
  intptr_t Offset = W.Offset;
  int64_t E = W.Error;
  for (int64_t I = 0; I < W.Count; ++I) {
    Write(Pixels[Offset]);
    Offset += W.MajorStep;
    if (E >= 0) {
      Offset += W.MinorStep;
      E -= W.ErrorMinor;
    } else {
      E += W.ErrorMajor;
    }
  }
}

}  // namespace

void TBitmap32::DrawLineClipped(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value, bool L) {
  const TRect Area{X1, Y1, X2, Y2};
  if (FMeasureOnly) {
    NotifyAreaChanged(Area, AREAINFO_DRAWN_LINE);
    return;
  }
  if (X1 == X2 || Y1 == Y2) {
    if (X1 == X2 && Y2 > Y1) VertSpanClipped(X1, Y1, Y2 - 1, Value);
    if (X1 == X2 && Y2 < Y1) VertSpanClipped(X1, Y2 + 1, Y1, Value);
    if (Y1 == Y2 && X2 > X1) HorzSpanClipped(X1, Y1, X2 - 1, Value);
    if (Y1 == Y2 && X2 < X1) HorzSpanClipped(X2 + 1, Y1, X1, Value);
    if (L) PutPixelClipped(X2, Y2, Value);
    NotifyChanged();
    return;
  }
  TLineWalk Walk;
  if (!PlanLineWalk(X1, Y1, X2, Y2, L, FClipBounds, FWidth, Walk)) return;
  RunLineWalk(Pixels, Walk, [Value](TColor32& P) { P = Value; });
  NotifyAreaChanged(Area, AREAINFO_DRAWN_LINE);
}

void TBitmap32::DrawLineBlendClipped(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value,
                                     bool L) {
  const TRect Area{X1, Y1, X2, Y2};
  if (FMeasureOnly) {
    NotifyAreaChanged(Area, AREAINFO_DRAWN_LINE);
    return;
  }
  if (X1 == X2 || Y1 == Y2) {
    if (X1 == X2 && Y2 > Y1) VertSpanBlendClipped(X1, Y1, Y2 - 1, Value);
    if (X1 == X2 && Y2 < Y1) VertSpanBlendClipped(X1, Y2 + 1, Y1, Value);
    if (Y1 == Y2 && X2 > X1) HorzSpanBlendClipped(X1, Y1, X2 - 1, Value);
    if (Y1 == Y2 && X2 < X1) HorzSpanBlendClipped(X2 + 1, Y1, X1, Value);
    if (L) BlendPixelClipped(X2, Y2, Value);
    return;
  }
  TLineWalk Walk;
  if (!PlanLineWalk(X1, Y1, X2, Y2, L, FClipBounds, FWidth, Walk)) return;
  const TColorIntoProc ColorInto = CombineOpsFor(FCombineMode).ColorInto;
  RunLineWalk(Pixels, Walk, [Value, ColorInto](TColor32& P) { ColorInto(Value, P); });
  FinishBlending();
  NotifyAreaChanged(Area, AREAINFO_DRAWN_LINE);
}

}  // namespace quillet
