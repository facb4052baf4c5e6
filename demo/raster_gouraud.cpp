// Gouraud shading in integer 8.8 arithmetic. All channel and coordinate sums wrap in 32 bits, so
// no input makes the arithmetic undefined; clipping keeps every write inside the surface.
#include "demo/raster_gouraud.h"

#include <algorithm>
#include <utility>

#include "demo/detail/extended_math.h"
#include "demo/detail/shaded_row.h"
#include "raster/bitmap32.h"
#include "raster/blend.h"
#include "raster/detail/compiler_facts.h"

namespace quillet {
namespace {

// Step * K added to Acc in one go: the same as K wrapping additions.
void AdvanceAccumulator(TColorAccumulator& Acc, const TColorAccumulator& Step, int32_t K) {
  Acc.B = WrapAdd(Acc.B, WrapMul(Step.B, K));
  Acc.G = WrapAdd(Acc.G, WrapMul(Step.G, K));
  Acc.R = WrapAdd(Acc.R, WrapMul(Step.R, K));
  Acc.A = WrapAdd(Acc.A, WrapMul(Step.A, K));
}

void AdvanceEdge(TGouraudEdge& E, int32_t K) {
  E.X = WrapAdd(E.X, WrapMul(E.XStep, K));
  AdvanceAccumulator(E.Color, E.ColorStep, K);
}

void SwapVertices(TPoint& P, TPoint& Q, TColor32& Cp, TColor32& Cq) {
  std::swap(P, Q);
  std::swap(Cp, Cq);
}

}  // namespace

TColorAccumulator ColorToAccumulator(TColor32 C) {
  return {static_cast<int32_t>((C & 0xFF) << 8), static_cast<int32_t>(((C >> 8) & 0xFF) << 8),
          static_cast<int32_t>(((C >> 16) & 0xFF) << 8), static_cast<int32_t>((C >> 24) << 8)};
}

TColor32 AccumulatorToColor(const TColorAccumulator& Acc) {
  const auto U = [](int32_t V) { return static_cast<uint32_t>(V); };
  return ((U(Acc.A) << 16) & 0xFF000000u) + ((U(Acc.R) << 8) & 0x00FF0000u) +
         (U(Acc.G) & 0x0000FF00u) + ((U(Acc.B) >> 8) & 0xFFu);
}

void AddAccumulator(TColorAccumulator& Acc, const TColorAccumulator& Step) {
  Acc.B = WrapAdd(Acc.B, Step.B);
  Acc.G = WrapAdd(Acc.G, Step.G);
  Acc.R = WrapAdd(Acc.R, Step.R);
  Acc.A = WrapAdd(Acc.A, Step.A);
}

bool StartInterpolation(int32_t& P1, int32_t P2, TColorAccumulator& C1, TColorAccumulator& C2) {
  const int32_t Len = WrapSub(P2, P1);
  C2 = {WrapSub(C2.B, C1.B), WrapSub(C2.G, C1.G), WrapSub(C2.R, C1.R), WrapSub(C2.A, C1.A)};
  if (Len <= 0 || P2 < 0) return false;
  if (P1 < 0) {
    // The start colour moves to position 0 from the whole difference, not by stepping.
    const auto Shift = [&](int32_t Start, int32_t Diff) {
      return WrapSub(Start, WrapDiv(WrapMul(Diff, P1), Len));
    };
    C1 = {Shift(C1.B, C2.B), Shift(C1.G, C2.G), Shift(C1.R, C2.R), Shift(C1.A, C2.A)};
    P1 = 0;
  }
  C2 = {C2.B / Len, C2.G / Len, C2.R / Len, C2.A / Len};
  return true;
}

void SortVertices(std::array<TPoint, 3>& V, std::array<TColor32, 3>& C) {
  if (V[0].Y > V[1].Y) SwapVertices(V[0], V[1], C[0], C[1]);
  if (V[1].Y > V[2].Y) SwapVertices(V[1], V[2], C[1], C[2]);
  if (V[0].Y > V[1].Y) SwapVertices(V[0], V[1], C[0], C[1]);
  if (V[0].Y == V[1].Y && V[0].X > V[1].X) SwapVertices(V[0], V[1], C[0], C[1]);
  if (V[1].Y == V[2].Y && V[1].X > V[2].X) SwapVertices(V[1], V[2], C[1], C[2]);
}

int32_t EdgeSlope(int32_t A, int32_t B, int32_t D) {
  return D == 0 ? 0 : WrapDiv(WrapShl(WrapSub(B, A), 8), D);
}

void InitEdge(TPoint P, TPoint Q, TColor32 Ca, TColor32 Cb, TGouraudEdge& Edge) {
  const int32_t Dy = WrapSub(Q.Y, P.Y);
  Edge.X = WrapShl(P.X, 8);
  Edge.XStep = EdgeSlope(P.X, Q.X, Dy);
  Edge.Color = ColorToAccumulator(Ca);
  const auto Ch = [](TColor32 C, unsigned Shift) { return static_cast<int32_t>((C >> Shift) & 0xFF); };
  Edge.ColorStep = {EdgeSlope(Ch(Ca, 0), Ch(Cb, 0), Dy), EdgeSlope(Ch(Ca, 8), Ch(Cb, 8), Dy),
                    EdgeSlope(Ch(Ca, 16), Ch(Cb, 16), Dy), EdgeSlope(Ch(Ca, 24), Ch(Cb, 24), Dy)};
}

template <class TScan>
void TRasterGouraud::GatherRows(int64_t Top, int64_t Bottom, TScan Scan) const {
  FGatherRows = FTargetBitmap->DamageSink() != nullptr;
  if (FGatherRows) FShapeRows.Start(FTargetBitmap->BoundsRect(), Top, Bottom);
  Scan();
  if (FGatherRows) FShapeRows.Report(*FTargetBitmap);
  FGatherRows = false;
}

namespace {

// The blended span's pixels: the colours a stretch at a time, made as the opaque row makes them
// and blended in one call each. A function of its own, so that the opaque spans do not pay for
// its registers on every call.
[[gnu::noinline]] void BlendShadedRow(TColor32* Pixel, int32_t Count, TColorAccumulator C, TColorAccumulator Step) {
  const TShadedRowProc Row = ShadedRowKernel();
  TColor32 Colors[64];
  while (Count > 0) {
    const int32_t Stretch = std::min<int32_t>(Count, 64);
    if (Row)
      Row(Colors, Stretch, C, Step);
    else
      ShadedRowPortable(Colors, Stretch, C, Step);
    AddAccumulator(C, {WrapMul(Step.B, Stretch), WrapMul(Step.G, Stretch), WrapMul(Step.R, Stretch),
                       WrapMul(Step.A, Stretch)});
    BlendColorsIntoRow(Colors, Pixel, Stretch);
    Pixel += Stretch;
    Count -= Stretch;
  }
}

}  // namespace

QUILLET_APART_WHERE_REGISTERS_ARE_FEW
void TRasterGouraud::GouraudSpan(int32_t X1, int32_t X2, int32_t Y, TColorAccumulator C1,
                                 TColorAccumulator C2) const {
  TBitmap32* const Target = FTargetBitmap;
  if (Target == nullptr) return;
  if (Y < 0 || Y > Target->Height() - 1 || X1 > X2) return;
  if (FGouraudAlpha < 255) {
    C1.A = WrapMul(FGouraudAlpha, C1.A) / 255;
    C2.A = WrapMul(FGouraudAlpha, C2.A) / 255;
  }
  if (!StartInterpolation(X1, X2, C1, C2)) return;
  X2 = std::min(X2, Target->Width() - 1);
  if (X1 <= X2) {
    if (FGatherRows)
      FShapeRows.Span(Y, X1, int64_t{X2} + 1);
    else
      Target->ReportDamage({X1, Y, X2 + 1, Y + 1});
    TColor32* Pixel = Target->PixelAddress(X1, Y);
    if (C2.A == 0 && ((C1.A >> 8) & 0xFF) == 0xFF) {
      // Opaque all along: blending by alpha 255 replaces the pixel, so store directly.
      if (const TShadedRowProc Row = ShadedRowKernel())
        Row(Pixel, X2 - X1 + 1, C1, C2);
      else
        ShadedRowPortable(Pixel, X2 - X1 + 1, C1, C2);
    } else {
      BlendShadedRow(Pixel, X2 - X1 + 1, C1, C2);
    }
  }
  FinishBlending();
}

void TRasterGouraud::GouraudBar(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 C1,
                                TColor32 C2, TColor32 C3, TColor32 C4) const {
  if (FTargetBitmap == nullptr) return;
  TColorAccumulator Left = ColorToAccumulator(C1);
  TColorAccumulator Right = ColorToAccumulator(C2);
  TColorAccumulator LeftStep = ColorToAccumulator(C3);
  TColorAccumulator RightStep = ColorToAccumulator(C4);
  int32_t YL = Y1;
  int32_t YR = Y1;
  if (!StartInterpolation(YL, Y2, Left, LeftStep)) return;
  if (!StartInterpolation(YR, Y2, Right, RightStep)) return;
  // Rows below the surface would only be rejected by the span.
  const int32_t Last = std::min(Y2, FTargetBitmap->Height() - 1);
  GatherRows(YL, Last, [&] {
    for (int32_t Y = YL; Y <= Last; ++Y) {
      GouraudSpan(X1, X2, Y, Left, Right);
      AddAccumulator(Left, LeftStep);
      AddAccumulator(Right, RightStep);
    }
  });
}

void TRasterGouraud::ScanEdges(int32_t Y1, int32_t Y2, TGouraudEdge& A, TGouraudEdge& B) const {
  if (FTargetBitmap == nullptr) return;
  const int32_t Last = std::min(Y2, FTargetBitmap->Height() - 1);
  if (Last < Y1) return;
  int32_t Y = Y1;
  if (Y < 0) {
    // Rows above the surface only advance the edges; skip them in one step.
    const int32_t Skip = static_cast<int32_t>(int64_t{std::min(Last, -1)} - Y + 1);
    AdvanceEdge(A, Skip);
    AdvanceEdge(B, Skip);
    Y = WrapAdd(Y, Skip);
    if (Y > Last) return;
  }
  for (;; ++Y) {
    GouraudSpan(A.X / 256, B.X / 256, Y, A.Color, B.Color);
    AdvanceEdge(A, 1);
    AdvanceEdge(B, 1);
    if (Y == Last) break;
  }
}

void TRasterGouraud::GouraudTriangle(std::array<TPoint, 3> V, std::array<TColor32, 3> C) const {
  SortVertices(V, C);
  if (FTargetBitmap == nullptr) return;
  GatherRows(V[0].Y, V[2].Y, [&] { ScanTriangle(V, C); });
}

void TRasterGouraud::ScanTriangle(const std::array<TPoint, 3>& V, const std::array<TColor32, 3>& C) const {
  TGouraudEdge A;
  TGouraudEdge B;
  if (V[0].Y == V[1].Y) {  // flat top
    InitEdge(V[0], V[2], C[0], C[2], A);
    InitEdge(V[1], V[2], C[1], C[2], B);
    ScanEdges(V[0].Y, V[2].Y, A, B);
    return;
  }
  if (V[1].Y == V[2].Y) {  // flat bottom
    InitEdge(V[0], V[1], C[0], C[1], A);
    InitEdge(V[0], V[2], C[0], C[2], B);
    ScanEdges(V[0].Y, V[2].Y, A, B);
    return;
  }
  InitEdge(V[0], V[1], C[0], C[1], A);  // the short upper edge
  InitEdge(V[0], V[2], C[0], C[2], B);  // the long edge
  const int32_t Below = WrapAdd(V[1].Y, 1);
  if (A.XStep < B.XStep) {
    ScanEdges(V[0].Y, V[1].Y, A, B);
    InitEdge(V[1], V[2], C[1], C[2], A);
    ScanEdges(Below, V[2].Y, A, B);
  } else {
    // Both edges start at V0 with C0: exchanging the steps puts the long edge on the left.
    std::swap(A.XStep, B.XStep);
    std::swap(A.ColorStep, B.ColorStep);
    ScanEdges(V[0].Y, V[1].Y, A, B);
    InitEdge(V[1], V[2], C[1], C[2], B);
    ScanEdges(Below, V[2].Y, A, B);
  }
}

}  // namespace quillet
