// The anti-aliased integer line, DrawLineAAClipped: per step along the major axis it blends the
// line colour into the pixel on the line's row and into its neighbour one row further in the minor
// direction, with gamma-weighted coverage. A 16-bit wrapping accumulator holds the fraction; its
// carry is the minor step.
//
// The set-up and the clip-edge steps are those of the integer lines (line_setup.h, line_clip.h),
// exact for any 32-bit end points, and every loop is bounded by the clip rectangle.
#include <algorithm>

#include "raster/bitmap32.h"
#include "raster/detail/compiler_facts.h"
#include "raster/detail/inline_blend.h"
#include "raster/detail/line_clip.h"
#include "raster/detail/line_damage.h"
#include "raster/detail/line_setup.h"

namespace quillet {

namespace {

// Writes the line colour with coverage weights. A weight of 0 changes nothing and is skipped
// without touching the pixel: such a pixel may lie one row outside the clip rectangle.
class TCoverageWriter {
 public:
  TCoverageWriter(TColor32* Pixels, TColor32 Value, TColorIntoMasterProc Proc)
      : FPixels(Pixels), FValue(Value), FProc(Proc), FInline(InlineBlendOf(Proc)) {}
  void Write(intptr_t Index, uint32_t Fraction) const {
    const uint32_t W = CoverageGammaTable[Fraction];
    if (W == 0) return;
    if (FInline == TInlineBlend::Packed)
      formulas::IntoMaster<formulas::Packed>(FValue, FPixels[Index], W);
    else if (FInline == TInlineBlend::Portable)
      formulas::IntoMaster<formulas::Portable>(FValue, FPixels[Index], W);
    else
      FProc(FValue, FPixels[Index], W);
  }

 private:
  TColor32* FPixels;
  TColor32 FValue;
  TColorIntoMasterProc FProc;
  TInlineBlend FInline;
};

// Lines whose major difference reaches this length leave the range in which the clip-edge steps
// below follow the walk (their 16-bit slope lets the walk drift rows away from the end point).
constexpr int64_t LongLine = 32768;

// How far ahead of the walk its pixels are fetched.
constexpr uint32_t PrefetchSteps = 8;

// A hint only: the address may lie outside the surface, so it is formed without pointer arithmetic.
inline void PrefetchPixel(const TColor32* Base, intptr_t Index) {
  PrefetchForWrite(reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(Base) +
                                                 static_cast<uintptr_t>(Index) * sizeof(TColor32)));
}

// Draws the steps of a long walk up to Last whose pixels fall inside the clip rectangle, computing
// the first step directly and testing the row of every step, so that the result is exactly the
// unclipped walk inside the clip rectangle and the loop never runs beyond it.
void DrawLongAAWalk(const TLineFrame& F, const TWalkRows& Rows, int64_t Slope, int64_t Last,
                    const TCoverageWriter& Writer) {
  const int64_t First = std::max(F.X1, F.Cx1);
  Last = std::min(Last, F.Cx2);
  if (First > Last) return;
  const TWalkPoint Start = Rows.At(First - F.X1);
  int64_t Y = F.Y1 + Start.Whole;
  uint32_t E = static_cast<uint32_t>(Start.Rest);
  for (int64_t X = First; X <= Last; ++X) {
    if (Y > F.Cy2) break;
    const uint32_t Fr = E >> 8;
    if (Y >= F.Cy1) Writer.Write(F.Index(X, Y), 255 - Fr);
    if (Y + 1 >= F.Cy1 && Y + 1 <= F.Cy2) Writer.Write(F.Index(X, Y + 1), Fr);
    const uint32_t Next = (E + static_cast<uint32_t>(Slope)) & 0xFFFF;
    if (Next < E) ++Y;
    E = Next;
  }
}

// The pixels of the walk up to step Last inside the clip rectangle, to the damage sink: every step
// writes its row and the next one, as the walk does (the drawing's clipped entries and exits draw
// exactly these pixels).
void ReportAAWalk(TBitmap32& Surface, const TLineFrame& F, int64_t Slope, int64_t Last) {
  const TWalkRows Rows(Slope, 0, 65536);
  const int64_t First = std::max({F.X1, F.Cx1, F.X1 + Rows.FirstStepOnRow(F.Cy1 - 1 - F.Y1)});
  Last = std::min(Last, F.Cx2);
  if (First > Last) return;
  const TWalkPoint Start = Rows.At(First - F.X1);
  int64_t Y = F.Y1 + Start.Whole;
  int64_t E = Start.Rest;
  TDamageRows& Damage = ScratchDamageRows();
  StartLineRows(Damage, Surface.ClipBounds(), F, First, Y, Last, std::min(Y + (Last - First) + 1, F.Cy2));
  for (int64_t X = First; X <= Last && Y <= F.Cy2; ++X) {
    const TSurfacePoint P = FrameToSurface(F, X, Y), Q = FrameToSurface(F, X, Y + 1);
    Damage.Pixel(P.X, P.Y);
    Damage.Pixel(Q.X, Q.Y);
    E += Slope;
    if (E >= 65536) {
      E -= 65536;
      ++Y;
    }
  }
  Damage.Report(Surface);
}

}  // namespace

void TBitmap32::DrawLineAAClipped(int32_t AX1, int32_t AY1, int32_t AX2, int32_t AY2, TColor32 Value,
                                  bool L) {
  const TRect Area{AX1, AY1, AX2, AY2};
  if (FMeasureOnly) {
    NotifyAreaChanged(Area, AREAINFO_DRAWN_LINE);
    return;
  }
  if (FClipBounds.Right == FClipBounds.Left || FClipBounds.Bottom == FClipBounds.Top) return;

  // Exact diagonals and axis-aligned lines have no coverage to weigh: they are the blended line.
  const int64_t Dx = int64_t{AX2} - AX1, Dy = int64_t{AY2} - AY1;
  if (Dx == 0 || Dy == 0 || Dx == Dy || Dx == -Dy) {
    DrawLineBlendClipped(AX1, AY1, AX2, AY2, Value, L);
    return;
  }
  TLineFrame F;
  if (!FrameLine(AX1, AY1, AX2, AY2, FClipBounds, FWidth, F)) return;

  // The slope as a 16-bit fraction of a row per step: step s lies floor(s M / 65536) rows on.
  const int64_t M = (F.Dy << 16) / F.Dx;
  const TWalkRows Rows(M, 0, 65536);
  const TReportOnExit Damage([&] {
    // Up to the end point even without it: a clipped walk may still write it.
    if (FDamageSink) ReportAAWalk(*this, F, M, F.X2);
  });
  const TCoverageWriter Writer(Pixels, Value, CombineOpsFor(FCombineMode).ColorIntoMaster);
  if (F.Dx >= LongLine) {
    DrawLongAAWalk(F, Rows, M, F.X2 - (L ? 0 : 1), Writer);
    FinishBlending();
    NotifyAreaChanged(Area, AREAINFO_DRAWN_LINE);
    return;
  }

  uint32_t E = 0;
  int64_t X = F.X1, Y = F.Y1;
  bool CheckMajorStart = true, SkipMainWalk = false;

  // Entry through the minor start edge.
  if (F.Y1 < F.Cy1) {
    const int64_t T = Rows.FirstStepOnRow(F.Cy1 - F.Y1);
    const int64_t N = T - Rows.FirstStepOnRow(F.Cy1 - 1 - F.Y1);  // steps with their pixel on row Cy1 - 1
    X = std::min(F.X1 + T, F.X2 + 1);
    E = static_cast<uint32_t>(Rows.At(T).Rest);
    bool Beyond = false;
    if (X > F.Cx2) {
      if (F.Cx2 + N < X) return;
      Beyond = true;
    }
    if (X >= F.Cx1 || Beyond) {
      // The neighbours, on row Cy1, of the steps whose pixel lies on row Cy1 - 1, walked backwards.
      const int64_t EntryX = X;
      uint64_t S = (E - static_cast<uint64_t>(M)) & 0xFFFF;
      const int64_t Stop = std::clamp(X - N, F.Cx1, F.Cx2);
      if (Beyond) {
        S = (S - static_cast<uint64_t>(M) * static_cast<uint64_t>(X - F.Cx2 - 1)) & 0xFFFF;
        X = F.Cx2 + 1;
      }
      if (X > Stop) {
        intptr_t Index = F.Index(X - 1, F.Cy1);
        const intptr_t Back = -F.MajorStep();
        for (int64_t I = X - Stop; I > 0; --I, Index += Back) {
          Writer.Write(Index, static_cast<uint32_t>(S >> 8));
          S = (S - static_cast<uint64_t>(M)) & 0xFFFF;
        }
      }
      if (Beyond) {
        FinishBlending();
        NotifyChanged();
        return;
      }
      Y = F.Cy1;
      X = EntryX;
      CheckMajorStart = false;
    }
  }

  // Entry through the major start edge.
  if (CheckMajorStart && F.X1 < F.Cx1) {
    const TWalkPoint P = Rows.At(F.Cx1 - F.X1);
    Y = F.Y1 + P.Whole;
    E = static_cast<uint32_t>(P.Rest);
    X = F.Cx1;
    if (Y > F.Cy2) return;
    if (Y == F.Cy2) SkipMainWalk = true;
  }

  // Exit: the last step whose pixel lies above row Cy2, then a tail of single pixels on row Cy2.
  int64_t Term = F.X2, TailEnd = 0;
  bool EndClipped = false, Tail = false;
  if (F.Y2 > F.Cy2) {
    Term = F.X1 + Rows.FirstStepOnRow(F.Cy2 - F.Y1) - 1;
    if (Term < F.Cx2) {
      Tail = true;
      TailEnd = std::min(F.X1 + Rows.FirstStepOnRow(F.Cy2 + 1 - F.Y1), F.Cx2);
    }
    EndClipped = true;
  }
  if (Term > F.Cx2) {
    Term = F.Cx2;
    EndClipped = true;
  }
  ++Term;

  const uint32_t Slope = static_cast<uint32_t>(M);
  if (!SkipMainWalk) {
    if (!EndClipped && !L && !Tail && Term > X) --Term;
    if (Term > X) {
      intptr_t Index = F.Index(X, Y);
      const intptr_t Major = F.MajorStep(), Minor = F.MinorStep();
      for (int64_t I = Term - X; I > 0; --I) {
        // A steep line starts a new row, and often a new page, at every step: ask for the pixels
        // a few steps ahead so that their misses overlap.
        if (I > PrefetchSteps) {
          const intptr_t Ahead = Index + PrefetchSteps * Major + ((E + PrefetchSteps * Slope) >> 16) * Minor;
          PrefetchPixel(Pixels, Ahead);
          PrefetchPixel(Pixels, Ahead + Minor);
        }
        const uint32_t Fr = E >> 8;
        Writer.Write(Index, 255 - Fr);
        Writer.Write(Index + Minor, Fr);
        const uint32_t Next = (E + Slope) & 0xFFFF;
        if (Next < E) {
          Index += Minor;
          ++Y;
        }
        E = Next;
        Index += Major;
      }
      X = Term;
    }
  }
  if (Tail && TailEnd > X) {
    intptr_t Index = F.Index(X, Y);
    const intptr_t Major = F.MajorStep();
    for (int64_t I = TailEnd - X; I > 0; --I, Index += Major) {
      Writer.Write(Index, 255 - (E >> 8));
      E = (E + Slope) & 0xFFFF;
    }
  }
  FinishBlending();
  NotifyAreaChanged(Area, AREAINFO_DRAWN_LINE);
}

}  // namespace quillet
