// The anti-aliased integer line, DrawLineAAClipped: per step along the major axis it blends the
// line colour into the pixel on the line's row and into its neighbour one row further in the minor
// direction, with gamma-weighted coverage. A 16-bit wrapping accumulator holds the fraction; its
// carry is the minor step.
//
// The set-up runs in 64 bits for any 32-bit end points, and every loop is bounded by the clip
// rectangle.
#include <algorithm>
#include <utility>

#include "bitmap32.h"
#include "wide_math.h"

namespace quillet {

namespace {

// Writes the line colour with coverage weights. A weight of 0 changes nothing and is skipped
// without touching the pixel: such a pixel may lie one row outside the clip rectangle.
class TCoverageWriter {
 public:
  TCoverageWriter(TColor32* Pixels, TColor32 Value, TColorIntoMasterProc Proc)
      : FPixels(Pixels), FValue(Value), FProc(Proc) {}
  void Write(intptr_t Index, uint32_t Fraction) const {
    const uint32_t W = CoverageGammaTable[Fraction];
    if (W != 0) FProc(FValue, FPixels[Index], W);
  }

 private:
  TColor32* FPixels;
  TColor32 FValue;
  TColorIntoMasterProc FProc;
};

// Maps walk coordinates (major x, minor y, both mirrored) to pixel indices.
struct TWalkFrame {
  int64_t Xd, Yd;
  bool Swapped;
  int64_t Width;
  intptr_t Index(int64_t X, int64_t Y) const {
    const int64_t Major = Xd * X, Minor = Yd * Y;
    return static_cast<intptr_t>(Swapped ? Major * Width + Minor : Minor * Width + Major);
  }
  intptr_t MajorStep() const { return static_cast<intptr_t>(Swapped ? Xd * Width : Xd); }
  intptr_t MinorStep() const { return static_cast<intptr_t>(Swapped ? Yd : Yd * Width); }
};

// Lines whose major difference reaches this length leave the range in which the clip-edge steps
// below follow the walk (their 16-bit slope lets the walk drift rows away from the end point).
constexpr int64_t LongLine = 32768;

// A long line in walk coordinates: start, last step to draw, slope, inclusive clip edges.
struct TLongWalk {
  int64_t X1, Y1, Last, M, Cx1, Cx2, Cy1, Cy2;
};

// Draws the steps of a long walk whose pixels fall inside the clip rectangle, computing the first
// step directly and testing the row of every step, so that the result is exactly the unclipped walk
// inside the clip rectangle and the loop never runs beyond it.
void DrawLongAAWalk(const TLongWalk& W, const TWalkFrame& Frame, const TCoverageWriter& Writer) {
  const int64_t First = std::max(W.X1, W.Cx1), Last = std::min(W.Last, W.Cx2);
  if (First > Last) return;
  const uint64_t Start = static_cast<uint64_t>(First - W.X1) * static_cast<uint64_t>(W.M);
  int64_t Y = W.Y1 + static_cast<int64_t>(Start >> 16);
  uint32_t E = static_cast<uint32_t>(Start & 0xFFFF);
  const uint32_t Slope = static_cast<uint32_t>(W.M);
  for (int64_t X = First; X <= Last; ++X) {
    if (Y > W.Cy2) break;
    const uint32_t F = E >> 8;
    if (Y >= W.Cy1) Writer.Write(Frame.Index(X, Y), 255 - F);
    if (Y + 1 >= W.Cy1 && Y + 1 <= W.Cy2) Writer.Write(Frame.Index(X, Y + 1), F);
    const uint32_t Next = (E + Slope) & 0xFFFF;
    if (Next < E) ++Y;
    E = Next;
  }
}

}  // namespace

void TBitmap32::DrawLineAAClipped(int32_t AX1, int32_t AY1, int32_t AX2, int32_t AY2, TColor32 Value,
                                  bool L) {
  const TRect Area{AX1, AY1, AX2, AY2};
  if (FMeasureOnly) {
    NotifyAreaChanged(Area, AREAINFO_DRAWN_LINE);
    return;
  }
  const TRect& Clip = FClipBounds;
  if (Clip.Right == Clip.Left || Clip.Bottom == Clip.Top) return;

  int64_t X1 = AX1, Y1 = AY1, X2 = AX2, Y2 = AY2;
  int64_t Dx = X2 - X1, Dy = Y2 - Y1;
  if (Dx == Dy || Dx == -Dy) {
    DrawLineBlendClipped(AX1, AY1, AX2, AY2, Value, L);
    return;
  }
  if (Dx == 0 || Dy == 0) {
    if (Dx == 0 && Dy > 0) VertSpanBlendClipped(AX1, AY1, AY2 - 1, Value);
    if (Dx == 0 && Dy < 0) VertSpanBlendClipped(AX1, AY2 + 1, AY1, Value);
    if (Dy == 0 && Dx > 0) HorzSpanBlendClipped(AX1, AY1, AX2 - 1, Value);
    if (Dy == 0 && Dx < 0) HorzSpanBlendClipped(AX2 + 1, AY1, AX1, Value);
    if (L) BlendPixelClipped(AX2, AY2, Value);
    return;
  }

  int64_t Cx1 = Clip.Left, Cx2 = static_cast<int64_t>(Clip.Right) - 1;
  int64_t Cy1 = Clip.Top, Cy2 = static_cast<int64_t>(Clip.Bottom) - 1;
  TWalkFrame Frame{1, 1, false, FWidth};
  if (Dx > 0) {
    if (X1 > Cx2 || X2 < Cx1) return;
  } else {
    if (X2 > Cx2 || X1 < Cx1) return;
    X1 = -X1, X2 = -X2, Dx = -Dx;
    std::swap(Cx1, Cx2);
    Cx1 = -Cx1, Cx2 = -Cx2;
    Frame.Xd = -1;
  }
  if (Dy > 0) {
    if (Y1 > Cy2 || Y2 < Cy1) return;
  } else {
    if (Y2 > Cy2 || Y1 < Cy1) return;
    Y1 = -Y1, Y2 = -Y2, Dy = -Dy;
    std::swap(Cy1, Cy2);
    Cy1 = -Cy1, Cy2 = -Cy2;
    Frame.Yd = -1;
  }
  if (Dx < Dy) {
    Frame.Swapped = true;
    std::swap(X1, Y1), std::swap(X2, Y2), std::swap(Dx, Dy);
    std::swap(Cx1, Cy1), std::swap(Cx2, Cy2), std::swap(Frame.Xd, Frame.Yd);
  }

  // The slope as a 16-bit fraction of a row per step.
  const int64_t M = (Dy << 16) / Dx;
  const TCoverageWriter Writer(Pixels, Value, CombineOpsFor(FCombineMode).ColorIntoMaster);
  if (Dx >= LongLine) {
    DrawLongAAWalk({X1, Y1, X2 - (L ? 0 : 1), M, Cx1, Cx2, Cy1, Cy2}, Frame, Writer);
    FinishBlending();
    NotifyAreaChanged(Area, AREAINFO_DRAWN_LINE);
    return;
  }

  uint32_t E = 0;
  int64_t X = X1, Y = Y1;
  bool CheckMajorStart = true, SkipMainWalk = false;

  // Entry through the minor start edge.
  if (Y1 < Cy1) {
    const int64_t K = (Cy1 - Y1) << 16;
    const int64_t T = CeilDivPositive(K, M);
    const int64_t N = T - CeilDivPositive(K - 65536, M);  // steps with their pixel on row Cy1 - 1
    X = std::min(X1 + T, X2 + 1);
    E = static_cast<uint32_t>((static_cast<uint64_t>(T) * static_cast<uint64_t>(M)) & 0xFFFF);
    bool Beyond = false;
    if (X > Cx2) {
      if (Cx2 + N < X) return;
      Beyond = true;
    }
    if (X >= Cx1 || Beyond) {
      // The neighbours, on row Cy1, of the steps whose pixel lies on row Cy1 - 1, walked backwards.
      const int64_t EntryX = X;
      uint64_t S = (E - static_cast<uint64_t>(M)) & 0xFFFF;
      const int64_t Stop = std::clamp(X - N, Cx1, Cx2);
      if (Beyond) {
        S = (S - static_cast<uint64_t>(M) * static_cast<uint64_t>(X - Cx2 - 1)) & 0xFFFF;
        X = Cx2 + 1;
      }
      if (X > Stop) {
        intptr_t Index = Frame.Index(X - 1, Cy1);
        const intptr_t Back = -Frame.MajorStep();
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
      Y = Cy1;
      X = EntryX;
      CheckMajorStart = false;
    }
  }

  // Entry through the major start edge.
  if (CheckMajorStart && X1 < Cx1) {
    const int64_t K = (Cx1 - X1) * M;
    Y = Y1 + (K >> 16);
    E = static_cast<uint32_t>(K & 0xFFFF);
    X = Cx1;
    if (Y > Cy2) return;
    if (Y == Cy2) SkipMainWalk = true;
  }

  // Exit: the last step whose pixel lies above row Cy2, then a tail of single pixels on row Cy2.
  int64_t Term = X2, TailEnd = 0;
  bool EndClipped = false, Tail = false;
  if (Y2 > Cy2) {
    const int64_t K = (Cy2 - Y1) << 16;
    Term = X1 + K / M - (K % M == 0 ? 1 : 0);
    if (Term < Cx2) {
      Tail = true;
      TailEnd = std::min(X1 + CeilDivPositive(K + 65536, M), Cx2);
    }
    EndClipped = true;
  }
  if (Term > Cx2) {
    Term = Cx2;
    EndClipped = true;
  }
  ++Term;

  const uint32_t Slope = static_cast<uint32_t>(M);
  if (!SkipMainWalk) {
    if (!EndClipped && !L && !Tail && Term > X) --Term;
    if (Term > X) {
      intptr_t Index = Frame.Index(X, Y);
      const intptr_t Major = Frame.MajorStep(), Minor = Frame.MinorStep();
      for (int64_t I = Term - X; I > 0; --I) {
        const uint32_t F = E >> 8;
        Writer.Write(Index, 255 - F);
        Writer.Write(Index + Minor, F);
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
    intptr_t Index = Frame.Index(X, Y);
    const intptr_t Major = Frame.MajorStep();
    for (int64_t I = TailEnd - X; I > 0; --I, Index += Major) {
      Writer.Write(Index, 255 - (E >> 8));
      E = (E + Slope) & 0xFFFF;
    }
  }
  FinishBlending();
  NotifyAreaChanged(Area, AREAINFO_DRAWN_LINE);
}

}  // namespace quillet
