// The two walks of the scanline filler, shared by the crossing table of the plain fill and the
// edge list of the anti-aliased one: the edges and direction reversals of a closed grid path, and
// the scanlines one edge crosses with the position on each.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "raster/detail/compiler_facts.h"
#include "raster/fixed.h"

namespace quillet {

// Visits the edges of one closed path of three or more points and the extra crossing of every
// vertex at which the vertical direction reverses (horizontal edges skipped), in the order the
// crossings are added. Edge(X1, Y1, X2, Y2) handles one edge with Y1 != Y2 and returns its
// direction (+1 downward, -1 upward); Vertex(X, Y, Dir) handles one extra crossing. ScaleX turns
// whole pixels into 1/256 pixel.
template <class TEdge, class TVertex>
void WalkPath(const TArrayOfPoint& Points, bool ScaleX, TEdge Edge, TVertex Vertex) {
  const size_t Count = Points.size();
  if (Count < 3) return;
  const auto X = [&](size_t I) {
    return ScaleX ? static_cast<int32_t>(static_cast<uint32_t>(Points[I].X) << 8) : Points[I].X;
  };
  const auto Y = [&](size_t I) { return Points[I].Y; };
  const auto Sign = [](int64_t V) { return static_cast<int32_t>((V > 0) - (V < 0)); };

  // The direction in which the path last arrives at point 0.
  int32_t LastDir = 0;
  for (size_t I = Count - 1; I >= 1 && LastDir == 0; --I) LastDir = Sign(int64_t{Y(0)} - Y(I));

  size_t Prev = 0;
  for (size_t Step = 1; Step <= Count; ++Step) {
    const size_t Cur = Step == Count ? 0 : Step;
    if (Y(Cur) != Y(Prev)) {
      const int32_t Dir = Edge(X(Prev), Y(Prev), X(Cur), Y(Cur));
      if (Dir != LastDir) {
        Vertex(X(Prev), Y(Prev), -Dir);
        LastDir = Dir;
      }
    }
    Prev = Cur;
  }
}

// The scanlines of the edge (X1, Y1) - (X2, Y2), Y1 != Y2, from Y1 (included) towards Y2
// (excluded), that lie in [MinY, MaxY]: Emit(Y, X) for each, in walk order. The first crossing is
// at X1; X then follows an error term, one division per edge and a further one per scanline only
// on edges flatter than two units per scanline. Rows before the range are skipped in one jump
// wherever the walk's state has a closed form. The walk runs in TInt, which must hold the sum of
// the edge's two differences and twice its height; X comes as TInt.
template <class TInt, class TEmit>
void WalkEdgeIn(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t MinY, int32_t MaxY, TEmit Emit) {
  const int32_t Sy = Y2 > Y1 ? 1 : -1;
  const TInt Sx = X2 > X1 ? 1 : -1;
  const int64_t Dy = Y2 > Y1 ? int64_t{Y2} - Y1 : int64_t{Y1} - Y2;
  const int64_t Dx = X2 > X1 ? int64_t{X2} - X1 : int64_t{X1} - X2;

  // Steps 0 .. Dy - 1 visit rows Y1, Y1 + Sy, ...; only those of [First, Last] lie in the range.
  const int64_t First = std::max<int64_t>(0, Sy > 0 ? int64_t{MinY} - Y1 : int64_t{Y1} - MaxY);
  const int64_t Last = std::min<int64_t>(Dy - 1, Sy > 0 ? int64_t{MaxY} - Y1 : int64_t{Y1} - MinY);
  if (First > Last) return;

  // In 32 bits where the walk is (a library call on 32-bit x86 otherwise).
  int64_t E0 = (sizeof(TInt) == 4 ? int64_t{static_cast<uint32_t>(Dx) % static_cast<uint32_t>(Dy)} : Dx % Dy) / 2;
  int64_t X0 = X1;
  int64_t Step0 = 0;

  // With N = E0 + m * Dx after m steps, X has moved t steps and E = N - t * Dy. For Dx <= 2 Dy every
  // step leaves E in (0, Dy], so t = ceil(N / Dy) - 1; for Dx >= 4 Dy every step takes the ceiling
  // branch and leaves E in (-Dy, 0], so t = ceil(N / Dy). Between the two the branch taken depends
  // on the history, and the rows are walked.
  if (First > 0 && Dx > 0 && (Dx <= 2 * Dy || Dx >= 4 * Dy)) {
    const int64_t N = E0 + First * Dx;
    const int64_t T = (N + Dy - 1) / Dy - (Dx <= 2 * Dy ? 1 : 0);
    X0 += Sx * T;
    E0 = N - T * Dy;
    Step0 = First;
  } else if (First > 0 && Dx == 0) {
    Step0 = First;
  }

  // Up to two unit steps, then the ceiling jump. The unit steps are taken without branches: on
  // edges of middling slope they come and go with no pattern to predict. The term is at most Dy
  // before each step, so an edge with Dx <= Dy never needs the second unit step, and one with
  // Dx <= 2 Dy never the jump; those are walked without them.
  const auto Walk = [&](auto Stages) {
    const TInt DxT = static_cast<TInt>(Dx), DyT = static_cast<TInt>(Dy);
    TInt E = static_cast<TInt>(E0), X = static_cast<TInt>(X0);
    const auto UnitStep = [&] {
      const bool Over = EvenOdds(E > DyT);
      X = Over ? X + Sx : X;
      E = Over ? E - DyT : E;
    };
    const auto Advance = [&] {
      E += DxT;
      UnitStep();
      if constexpr (Stages >= 2) UnitStep();
      if (Stages >= 3 && E > DyT) {
        const TInt K = (E + DyT - 1) / DyT;
        X += Sx * K;
        E -= DyT * K;
      }
    };
    TInt Step = static_cast<TInt>(Step0);
    const TInt FirstT = static_cast<TInt>(First), LastT = static_cast<TInt>(Last);
    for (; Step < FirstT; ++Step) Advance();
    TInt Y = static_cast<TInt>(int64_t{Y1} + Sy * First);
    for (; Step <= LastT; ++Step) {
      Emit(static_cast<int32_t>(Y), X);
      Y += Sy;
      Advance();
    }
  };
  if (Dx <= Dy)
    Walk(std::integral_constant<int, 1>());
  else if (Dx <= 2 * Dy)
    Walk(std::integral_constant<int, 2>());
  else
    Walk(std::integral_constant<int, 3>());
}

// WalkEdgeIn in 32 bits where the edge's numbers allow (32-bit code has few registers for 64-bit
// ones), else in 64: Emit(Y, X) with X as int32_t or int64_t.
template <class TEmit>
void WalkEdge(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t MinY, int32_t MaxY, TEmit Emit) {
  constexpr int32_t Bound = int32_t{1} << 28;
  const auto Small = [](int32_t V) { return V > -Bound && V < Bound; };
  if (Small(X1) && Small(X2) && Small(Y1) && Small(Y2))
    WalkEdgeIn<int32_t>(X1, Y1, X2, Y2, MinY, MaxY, Emit);
  else
    WalkEdgeIn<int64_t>(X1, Y1, X2, Y2, MinY, MaxY, Emit);
}

// WalkEdge's positions where they have a closed form: with N = E0 + m Dx after m >= 1 steps, X has
// moved t = ceil(N / Dy) - 1 units when 0 < Dx <= 2 Dy, and t = ceil(N / Dy) when Dx >= 4 Dy; the
// term E = N - t Dy then lies in (0, Dy] or in (-Dy, 0]. So one step adds Dx div Dy to t, and one
// more where E, grown by Dx mod Dy, leaves its interval (and then loses Dy).
struct TEdgeSteps {
  int64_t X1, Dx, Dy, E0;
  int32_t Sx;
  bool Ceiling;  // t = ceil(N / Dy)

  // False where the walk has no such form, or where its numbers exceed what the step kernels
  // hold (differences and ends of 30 bits).
  static bool Of(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TEdgeSteps& S) {
    constexpr int64_t Bound = int64_t{1} << 30;
    const int64_t Dx = X2 > X1 ? int64_t{X2} - X1 : int64_t{X1} - X2;
    const int64_t Dy = Y2 > Y1 ? int64_t{Y2} - Y1 : int64_t{Y1} - Y2;
    if (Dx == 0 || Dy == 0 || (Dx > 2 * Dy && Dx < 4 * Dy)) return false;
    if (Dx >= Bound || Dy >= Bound || X1 <= -Bound || X1 >= Bound || X2 <= -Bound || X2 >= Bound) return false;
    // Both below 2^30: a 32-bit division.
    const uint32_t Rest = static_cast<uint32_t>(Dx) % static_cast<uint32_t>(Dy);
    S = {X1, Dx, Dy, Rest / 2, X2 > X1 ? 1 : -1, Dx >= 4 * Dy};
    return true;
  }
  // X and the term after M >= 1 steps.
  void At(int64_t M, int64_t& X, int64_t& E) const {
    const int64_t N = E0 + M * Dx;
    const int64_t T = CeilDiv(N, Dy) - (Ceiling ? 0 : 1);
    X = X1 + Sx * T;
    E = N - T * Dy;
  }
  // Of 0 <= N and 0 < D < 2^30; in 32 bits where N fits, as the wide division costs several times
  // as much.
  static int64_t CeilDiv(int64_t N, int64_t D) {
    if (N > 0x7FFFFFFF - D) return (N + D - 1) / D;
    return (static_cast<uint32_t>(N) + static_cast<uint32_t>(D) - 1) / static_cast<uint32_t>(D);
  }
};

}  // namespace quillet
