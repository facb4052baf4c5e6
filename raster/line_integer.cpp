// Integer lines by an error-term walk with the clipping built into the walk: DrawLineClipped
// (stored pixels) and DrawLineBlendClipped (ColorInto).
//
// The walk's entry into and exit from the clip rectangle come from the shared walk rows, exact
// for any 32-bit end points; the loop is bounded by the clip rectangle, never by the length of the
// line.
#include <algorithm>

#include "raster/bitmap32.h"
#include "raster/detail/inline_blend.h"
#include "raster/detail/line_clip.h"
#include "raster/detail/line_damage.h"
#include "raster/detail/line_setup.h"

namespace quillet {

namespace {

// The clipped part of a line, ready for the loop.
struct TLineWalk {
  int64_t X = 0, Y = 0;  // the first pixel in walk coordinates
  int64_t Count = 0;     // pixels to write
  intptr_t Offset = 0;   // index of the first pixel
  intptr_t MajorStep = 0;
  intptr_t MinorStep = 0;
  int64_t Error = 0;       // >= 0 when the next step also moves along the minor axis
  int64_t ErrorMinor = 0;  // subtracted when the minor step is taken (2Dx - 2Dy)
  int64_t ErrorMajor = 0;  // added otherwise (2Dy)
};

// Works out the clipped walk of a framed line. False when the line misses the clip rectangle:
// then nothing is drawn or reported.
bool PlanLineWalk(const TLineFrame& F, bool L, TLineWalk& Walk) {
  // Step s lies on row floor((2 s Dy + Dx) / 2Dx); its fraction r moves the walk on a row after the
  // step when r + 2Dy >= 2Dx.
  const TWalkRows Rows(2 * F.Dy, F.Dx, 2 * F.Dx);
  int64_t X = F.X1, Y = F.Y1, Fraction = F.Dx;
  bool CheckMajorStart = true;

  // Entry through the minor start edge: the first step on row Cy1. The tests against the clip
  // columns take the step before it when the row is not reached exactly.
  if (F.Y1 < F.Cy1) {
    const TWalkPoint Entry = Rows.Reach(F.Cy1 - F.Y1);
    if (F.X1 + Entry.Whole > F.Cx2) return false;
    if (F.X1 + Entry.Whole >= F.Cx1) {
      X = F.X1 + Entry.Whole + (Entry.Rest > 0 ? 1 : 0);
      Y = F.Cy1;
      Fraction = Rows.At(X - F.X1).Rest;
      CheckMajorStart = false;
    }
  }
  // Entry through the major start edge: the row of the step at column Cx1.
  if (CheckMajorStart && F.X1 < F.Cx1) {
    const TWalkPoint P = Rows.At(F.Cx1 - F.X1);
    if (F.Y1 + P.Whole > F.Cy2) return false;
    X = F.Cx1;
    Y = F.Y1 + P.Whole;
    Fraction = P.Rest;
  }

  // Exit: the last step on a row up to Cy2, and no further than column Cx2.
  int64_t Term = F.X2;
  bool EndClipped = false;
  if (F.Y2 > F.Cy2) {
    Term = std::min(F.X1 + Rows.FirstStepOnRow(F.Cy2 + 1 - F.Y1) - 1, F.Cx2 + 1);
    EndClipped = true;
  }
  if (Term > F.Cx2) {
    Term = F.Cx2;
    EndClipped = true;
  }
  ++Term;
  if (!L && !EndClipped && Term > X) --Term;

  Walk.Count = Term - X;
  if (Walk.Count <= 0) return true;
  Walk.X = X;
  Walk.Y = Y;
  Walk.Offset = F.Index(X, Y);
  Walk.MajorStep = F.MajorStep();
  Walk.MinorStep = F.MinorStep();
  Walk.Error = Fraction + 2 * F.Dy - 2 * F.Dx;
  Walk.ErrorMinor = 2 * F.Dx - 2 * F.Dy;
  Walk.ErrorMajor = 2 * F.Dy;
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

// The walk's pixels to the damage sink, taking the same steps without writing.
void ReportLineWalk(TBitmap32& Surface, const TLineFrame& F, const TLineWalk& W) {
  if (!Surface.DamageSink() || W.Count <= 0) return;
  TDamageRows& Rows = ScratchDamageRows();
  StartLineRows(Rows, Surface.ClipBounds(), F, W.X, W.Y, W.X + W.Count - 1,
                std::min(W.Y + W.Count - 1, std::max(W.Y, F.Cy2)));
  int64_t X = W.X, Y = W.Y, E = W.Error;
  for (int64_t I = 0; I < W.Count; ++I, ++X) {
    const TSurfacePoint P = FrameToSurface(F, X, Y);
    Rows.Pixel(P.X, P.Y);
    if (E >= 0) {
      ++Y;
      E -= W.ErrorMinor;
    } else {
      E += W.ErrorMajor;
    }
  }
  Rows.Report(Surface);
}

}  // namespace

bool TBitmap32::DrawAxisAlignedLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value, bool L,
                                    bool Blend) {
  if (X1 != X2 && Y1 != Y2) return false;
  const auto HorzSpan = Blend ? &TBitmap32::HorzSpanBlendClipped : &TBitmap32::HorzSpanClipped;
  const auto VertSpan = Blend ? &TBitmap32::VertSpanBlendClipped : &TBitmap32::VertSpanClipped;
  if (X1 == X2 && Y2 > Y1) (this->*VertSpan)(X1, Y1, Y2 - 1, Value);
  if (X1 == X2 && Y2 < Y1) (this->*VertSpan)(X1, Y2 + 1, Y1, Value);
  if (Y1 == Y2 && X2 > X1) (this->*HorzSpan)(X1, Y1, X2 - 1, Value);
  if (Y1 == Y2 && X2 < X1) (this->*HorzSpan)(X2 + 1, Y1, X1, Value);
  if (L) (this->*(Blend ? &TBitmap32::BlendPixelClipped : &TBitmap32::PutPixelClipped))(X2, Y2, Value);
  return true;
}

void TBitmap32::DrawLineClipped(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value, bool L) {
  const TRect Area{X1, Y1, X2, Y2};
  if (FMeasureOnly) {
    NotifyAreaChanged(Area, AREAINFO_DRAWN_LINE);
    return;
  }
  if (DrawAxisAlignedLine(X1, Y1, X2, Y2, Value, L, false)) {
    NotifyChanged();
    return;
  }
  TLineFrame Frame;
  TLineWalk Walk;
  if (!FrameLine(X1, Y1, X2, Y2, FClipBounds, FWidth, Frame) || !PlanLineWalk(Frame, L, Walk)) return;
  RunLineWalk(Pixels, Walk, [Value](TColor32& P) { P = Value; });
  ReportLineWalk(*this, Frame, Walk);
  NotifyAreaChanged(Area, AREAINFO_DRAWN_LINE);
}

void TBitmap32::DrawLineBlendClipped(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value,
                                     bool L) {
  const TRect Area{X1, Y1, X2, Y2};
  if (FMeasureOnly) {
    NotifyAreaChanged(Area, AREAINFO_DRAWN_LINE);
    return;
  }
  if (DrawAxisAlignedLine(X1, Y1, X2, Y2, Value, L, true)) return;
  TLineFrame Frame;
  TLineWalk Walk;
  if (!FrameLine(X1, Y1, X2, Y2, FClipBounds, FWidth, Frame) || !PlanLineWalk(Frame, L, Walk)) return;
  WithColorInto(CombineOpsFor(FCombineMode).ColorInto,
                [&](auto Blend) { RunLineWalk(Pixels, Walk, [Value, Blend](TColor32& P) { Blend(Value, P); }); });
  FinishBlending();
  ReportLineWalk(*this, Frame, Walk);
  NotifyAreaChanged(Area, AREAINFO_DRAWN_LINE);
}

}  // namespace quillet
