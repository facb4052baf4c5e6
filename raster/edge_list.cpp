// Building and sweeping the anti-aliased filler's edge list.
#include "raster/detail/edge_list.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "raster/detail/compiler_facts.h"
#include "raster/detail/edge_walk.h"

namespace quillet {

size_t TEdgeList::Take(size_t Count) {
  const size_t Need = FUsed + Count;
  if (FKeys.size() < Need) FKeys.resize(std::max(Need, FKeys.size() * 2));
  const size_t First = FUsed;
  FUsed = Need;
  return First;
}

void TEdgeList::Trim(size_t Bytes) {
  if (FKeys.capacity() * sizeof(int32_t) > Bytes) FKeys = {};
  for (std::vector<int32_t>& Chain : FChains)
    if (Chain.capacity() * sizeof(int32_t) > Bytes) Chain = {};
  if (FSlots.capacity() > Bytes) FSlots = {};
  if (FChainKeys.capacity() * sizeof(int32_t) > Bytes) FChainKeys = {};
  if (FEdges.capacity() * sizeof(TEdge) > Bytes) {
    FEdges = {};
    FActive = {};
  }
}

bool TEdgeList::StepEdge(TEdgeStepsProc Steps, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t* Run,
                         int32_t Count) const {
  TEdgeSteps S;
  if (Steps == nullptr || Count < 16 || !TEdgeSteps::Of(X1, Y1, X2, Y2, S)) return false;
  // The walk's steps from First on fall on the run's scanlines, top down for an edge that runs
  // downward, bottom up for one that runs upward.
  const bool Down = Y2 > Y1;
  int64_t First = std::max<int64_t>(0, Down ? int64_t{FMinY} - Y1 : int64_t{Y1} - FMaxY);
  if (First == 0) {
    // Step 0 is the edge's start, outside the closed form.
    Run[Down ? 0 : Count - 1] = std::clamp(X1, FMinX, FMaxX);
    if (Down) ++Run;
    --Count;
    First = 1;
  }
  int64_t X, E;
  S.At(First, X, E);
  TEdgeStepRun R;
  R.X = static_cast<int32_t>(X);
  R.E = static_cast<int32_t>(E);
  R.Q1 = static_cast<int32_t>(static_cast<uint32_t>(S.Dx) / static_cast<uint32_t>(S.Dy));
  R.R1 = static_cast<int32_t>(static_cast<uint32_t>(S.Dx) % static_cast<uint32_t>(S.Dy));
  R.Dy = static_cast<int32_t>(S.Dy);
  R.Limit = S.Ceiling ? 0 : R.Dy;
  R.Sx = S.Sx;
  R.MinX = FMinX;
  R.MaxX = FMaxX;
  R.Count = Count;
  R.Reverse = !Down;
  Steps(R, Run);
  return true;
}

void TEdgeList::Build(TPathIterator FirstPath, TPathIterator LastPath, int32_t MinX, int32_t MinY, int32_t MaxX,
                      int32_t MaxY, TEdgeStepsProc Steps) {
  FMinX = MinX;
  FMinY = MinY;
  FMaxX = MaxX;
  FMaxY = MaxY;
  FEdges.clear();
  FActive.clear();
  FNext = 0;
  FUsed = 0;
  const auto Clamped = [this](auto X) {
    return static_cast<int32_t>(std::clamp<decltype(X)>(X, FMinX, FMaxX));
  };
  const auto Flag = [](int32_t Dir) { return Dir < 0 ? CrossingUpward : 0u; };
  for (TPathIterator Path = FirstPath; Path != LastPath; ++Path) {
    WalkPath(
        *Path, false,
        [&](int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
          const int32_t Dir = Y2 > Y1 ? 1 : -1;
          // The edge's own scanlines, from Y1 (included) towards Y2 (excluded), within the range.
          const int32_t Top = std::max(Y1 < Y2 ? Y1 : Y2 + 1, FMinY);
          const int32_t Bottom = std::min(Y1 < Y2 ? Y2 - 1 : Y1, FMaxY);
          if (Top > Bottom) return Dir;
          const size_t First = Take(static_cast<size_t>(Bottom - Top) + 1);
          int32_t* const Run = FKeys.data() + First;
          if (StepEdge(Steps, X1, Y1, X2, Y2, Run, Bottom - Top + 1)) {
            FEdges.push_back({Top, Bottom, First, Flag(Dir)});
            return Dir;
          }
          // The walk stays between the edge's ends, so an edge inside the clip needs no clamping.
          if (std::min(X1, X2) >= FMinX && std::max(X1, X2) <= FMaxX)
            WalkEdge(X1, Y1, X2, Y2, FMinY, FMaxY,
                     [&](int32_t Y, auto X) { Run[static_cast<size_t>(Y - Top)] = static_cast<int32_t>(X); });
          else
            WalkEdge(X1, Y1, X2, Y2, FMinY, FMaxY,
                     [&](int32_t Y, auto X) { Run[static_cast<size_t>(Y - Top)] = Clamped(X); });
          FEdges.push_back({Top, Bottom, First, Flag(Dir)});
          return Dir;
        },
        [&](int32_t X, int32_t Y, int32_t Dir) {
          if (Y < FMinY || Y > FMaxY) return;
          const size_t First = Take(1);
          FKeys[First] = Clamped(X);
          FEdges.push_back({Y, Y, First, Flag(Dir)});
        });
  }
  // By first scanline, edges of one scanline in the order they were added (their keys' order).
  // Without allocating: an insertion sort for a few edges; for many, whose way back up a closed
  // path adds in reverse, a sort that takes the key order as the tie-break.
  if (FEdges.size() <= 16) {
    for (size_t I = 1; I < FEdges.size(); ++I) {
      // Mostly in order already: an edge in place is not copied out and back.
      if (FEdges[I - 1].Top <= FEdges[I].Top) continue;
      const TEdge E = FEdges[I];
      size_t J = I;
      for (; J > 0 && FEdges[J - 1].Top > E.Top; --J) FEdges[J] = FEdges[J - 1];
      FEdges[J] = E;
    }
  } else {
    std::sort(FEdges.begin(), FEdges.end(),
              [](const TEdge& A, const TEdge& B) { return A.Top != B.Top ? A.Top < B.Top : A.First < B.First; });
  }
}

void TEdgeList::ActivateFrom(int32_t Y) {
  while (FNext < FEdges.size() && FEdges[FNext].Top <= Y) FActive.push_back(FEdges[FNext++]);
}

void TEdgeList::Rows(int32_t First, int32_t Last, uint32_t* Lists, int32_t Stride, int32_t* Counts) {
  Activate(Last);
  std::fill_n(Counts, Last - First + 1, 0);
  for (const TEdge& E : FActive) {
    const int32_t From = std::max(E.Top, First), To = std::min(E.Bottom, Last);
    const int32_t* Keys = E.Keys(FKeys, From);
    for (int32_t Y = From; Y <= To; ++Y) {
      // Insertion by key: lists hold two crossings, now and then four.
      const uint32_t Key = static_cast<uint32_t>(Keys[Y - From]);
      uint32_t* const List = Lists + static_cast<ptrdiff_t>(Y - First) * Stride;
      int32_t J = Counts[Y - First]++;
      for (; J > 0 && (List[J - 1] & CrossingKeyMask) > Key; --J) List[J] = List[J - 1];
      List[J] = Key | E.Upward;
    }
  }
  std::erase_if(FActive, [Last](const TEdge& E) { return E.Bottom <= Last; });
}

bool TEdgeList::TwoEdgeSpans(int32_t First, int32_t Last, bool NonZero, TRowSpans& Spans, int32_t (&Room)[2][32]) {
  Activate(First);
  if (FActive.size() != 2 || (FNext < FEdges.size() && FEdges[FNext].Top <= Last)) return false;
  const TEdge& A = FActive[0];
  const TEdge& B = FActive[1];
  if (A.Bottom < Last || B.Bottom < Last || (NonZero && A.Upward == B.Upward)) return false;
  const int32_t* KeysA = A.Keys(FKeys, First);
  const int32_t* KeysB = B.Keys(FKeys, First);
  const int32_t N = Last - First + 1;
  // Each edge's keys only rise or only fall, so they meet their bounds at the ends. When one edge
  // lies wholly left of the other, their runs are the spans' ends as they are. (Being in the same
  // order at both ends is not enough: two walks of nearly the same slope may swap places and back.)
  const int32_t LastI = N - 1;
  const int32_t MinA = std::min(KeysA[0], KeysA[LastI]), MaxA = std::max(KeysA[0], KeysA[LastI]);
  const int32_t MinB = std::min(KeysB[0], KeysB[LastI]), MaxB = std::max(KeysB[0], KeysB[LastI]);
  if (MaxA <= MinB || MaxB <= MinA) {
    const bool ALeft = MaxA <= MinB;
    Spans.Starts = ALeft ? KeysA : KeysB;
    Spans.Ends = ALeft ? KeysB : KeysA;
    Spans.MinStart = ALeft ? MinA : MinB;
    Spans.MaxStart = ALeft ? MaxA : MaxB;
    Spans.MinEnd = ALeft ? MinB : MinA;
    Spans.MaxEnd = ALeft ? MaxB : MaxA;
  } else {
    for (int32_t I = 0; I < N; ++I) {
      Room[0][I] = std::min(KeysA[I], KeysB[I]);
      Room[1][I] = std::max(KeysA[I], KeysB[I]);
    }
    Spans.Starts = Room[0];
    Spans.Ends = Room[1];
    Spans.MinStart = std::min(MinA, MinB);
    Spans.MaxEnd = std::max(MaxA, MaxB);
    Spans.MaxStart = *std::max_element(Room[0], Room[0] + N);
    Spans.MinEnd = *std::min_element(Room[1], Room[1] + N);
  }
  Spans.Count = N;
  std::erase_if(FActive, [Last](const TEdge& E) { return E.Bottom == Last; });
  return true;
}

int32_t TEdgeList::SlotSpans(int32_t First, int32_t Last, bool NonZero, int32_t Shift, TLayeredSpans& Out) {
  constexpr int32_t MaxSlots = TLayeredSpans::MaxSlots;
  Activate(Last);
  // Each edge's scanlines go to the first slot that is free on all of them, as bit masks of the
  // scanlines taken and of those taken by upward edges: edges that meet end to end share a slot.
  // An edge's keys only rise or only fall, so its ends bound the slot's keys.
  uint32_t Taken[MaxSlots] = {}, Up[MaxSlots] = {};
  int32_t Least[MaxSlots], Greatest[MaxSlots];
  int32_t Slots = 0;
  for (const TEdge& E : FActive) {
    const int32_t From = std::max(E.Top, First), To = std::min(E.Bottom, Last);
    if (From > To) continue;
    const uint32_t Lanes = (~0u >> (31 - (To - From))) << (From - First);
    int32_t S = 0;
    while (S < Slots && (Taken[S] & Lanes) != 0) ++S;
    if (S == Slots) {
      if (Slots == MaxSlots) return 0;
      Least[S] = INT32_MAX;
      Greatest[S] = INT32_MIN;
      ++Slots;
    }
    Taken[S] |= Lanes;
    if (E.Upward != 0) Up[S] |= Lanes;
    const int32_t* Keys = E.Keys(FKeys, From);
    int32_t* const Slot = Out.Keys[S] + (From - First);
    // A few keys: a plain loop, not a library copy.
    for (int32_t I = 0; I <= To - From; ++I) Slot[I] = Keys[I];
    Least[S] = std::min({Least[S], Keys[0], Keys[To - From]});
    Greatest[S] = std::max({Greatest[S], Keys[0], Keys[To - From]});
  }
  // Every slot on the same scanlines, so that an even number of slots crosses each of them an
  // even number of times.
  if (Slots < 2 || Slots % 2 != 0) return 0;
  const uint32_t Lanes = Taken[0];
  for (int32_t S = 1; S < Slots; ++S)
    if (Taken[S] != Lanes) return 0;
  // Keys of the crossed scanlines packed to the front.
  const int32_t Rows = Last - First + 1;
  int32_t Count = Rows;
  if (Lanes != (~0u >> (32 - Rows))) {
    Count = 0;
    for (int32_t I = 0; I < Rows; ++I) {
      if ((Lanes >> I & 1) == 0) continue;
      for (int32_t S = 0; S < Slots; ++S) Out.Keys[S][Count] = Out.Keys[S][I];
      ++Count;
    }
  }
  const auto AddLayer = [&](int32_t A, int32_t B) -> TRowSpans& {
    TRowSpans& L = Out.Layers[Out.Count++];
    L.Starts = Out.Keys[A];
    L.Ends = Out.Keys[B];
    L.Count = Count;
    L.Shift = Shift;
    L.Mask = (1 << Shift) - 1;
    return L;
  };
  Out.Count = 0;
  if (Slots == 2) {
    // Two crossings per scanline, in either order (under the non-zero rule, of both directions).
    if (NonZero && (Up[0] ^ Up[1]) != Lanes) return 0;
    TRowSpans& L = AddLayer(0, 1);
    L.MinStart = L.MinEnd = INT32_MAX;
    L.MaxStart = L.MaxEnd = INT32_MIN;
    for (int32_t I = 0; I < Count; ++I) {
      const int32_t A = Out.Keys[0][I], B = Out.Keys[1][I];
      const int32_t Start = std::min(A, B), End = std::max(A, B);
      Out.Keys[0][I] = Start;
      Out.Keys[1][I] = End;
      L.MinStart = std::min(L.MinStart, Start);
      L.MaxStart = std::max(L.MaxStart, Start);
      L.MinEnd = std::min(L.MinEnd, End);
      L.MaxEnd = std::max(L.MaxEnd, End);
    }
    EndRowsAt(Last);
    return 1;
  }
  // Under the non-zero rule each slot keeps one direction.
  if (NonZero)
    for (int32_t S = 0; S < Slots; ++S)
      if (Up[S] != 0 && Up[S] != Lanes) return 0;
  // One order on every scanline: each slot wholly left of the next.
  int32_t Order[MaxSlots];
  for (int32_t S = 0; S < Slots; ++S) {
    int32_t J = S;
    for (; J > 0 && Least[Order[J - 1]] > Least[S]; --J) Order[J] = Order[J - 1];
    Order[J] = S;
  }
  for (int32_t I = 0; I + 1 < Slots; ++I)
    if (Greatest[Order[I]] > Least[Order[I + 1]]) return 0;
  // The spans from the crossings in that order, one layer each.
  int32_t Winding = 0, Start = 0;
  for (int32_t I = 0; I < Slots; ++I) {
    const int32_t S = Order[I];
    const int32_t Before = Winding;
    Winding = NonZero ? Winding + (Up[S] != 0 ? 1 : -1) : Winding ^ 1;
    if (Before == 0) {
      Start = S;
    } else if (Winding == 0) {
      TRowSpans& L = AddLayer(Start, S);
      L.MinStart = Least[Start];
      L.MaxStart = Greatest[Start];
      L.MinEnd = Least[S];
      L.MaxEnd = Greatest[S];
    }
  }
  if (Winding != 0) return 0;
  for (int32_t K = 0; K + 1 < Out.Count; ++K)
    if (Out.Layers[K].MaxEnd >> Shift >= Out.Layers[K + 1].MinStart >> Shift) return 0;
  EndRowsAt(Last);
  return Out.Count;
}

namespace {

// An edge's keys are a short run (a small shape's edge spans a few dozen sub-scanlines): copied
// inline, since a library call costs more than such a copy where the C library copies with plain
// loops.
void CopyKeys(const int32_t* From, size_t Count, int32_t* To) {
  if (Count > 64) {
    CopyWords(reinterpret_cast<uint32_t*>(To), reinterpret_cast<const uint32_t*>(From), Count);
    return;
  }
  for (; Count >= 4; Count -= 4, From += 4, To += 4) std::memcpy(To, From, 4 * sizeof(int32_t));
  for (; Count > 0; --Count) *To++ = *From++;
}

}  // namespace

bool TEdgeList::PairedChains(int32_t Shift, bool NonZero, int32_t& FirstRow, int32_t& RowCount,
                             const int32_t*& ChainA, const int32_t*& ChainB) {
  if (FEdges.empty()) return false;
  // Edges in order of their first scanline, each continuing a chain that ends on the scanline
  // before, or starting an empty one: two crossings on every scanline leave no other choice.
  constexpr int32_t None = INT32_MIN;
  int32_t Start[2] = {None, None}, End[2] = {None, None};
  FSlots.resize(FEdges.size());
  for (size_t I = 0; I < FEdges.size(); ++I) {
    const TEdge& E = FEdges[I];
    int S = 0;
    if (End[0] != None && End[0] + 1 == E.Top)
      S = 0;
    else if (End[1] != None && End[1] + 1 == E.Top)
      S = 1;
    else if (End[0] == None)
      S = 0;
    else if (End[1] == None)
      S = 1;
    else
      return false;
    if (Start[S] == None) Start[S] = E.Top;
    End[S] = E.Bottom;
    FSlots[I] = static_cast<uint8_t>(S);
  }
  if (Start[0] != Start[1] || End[0] != End[1]) return false;
  if (NonZero) {
    // The edges of the two chains side by side: every scanline's pair of opposite directions.
    size_t I = 0, J = 0;
    const auto Next = [&](size_t K, int S) {
      while (K < FEdges.size() && FSlots[K] != S) ++K;
      return K;
    };
    I = Next(0, 0);
    J = Next(0, 1);
    while (I < FEdges.size() && J < FEdges.size()) {
      if (FEdges[I].Upward == FEdges[J].Upward) return false;
      if (FEdges[I].Bottom <= FEdges[J].Bottom) {
        const bool Both = FEdges[I].Bottom == FEdges[J].Bottom;
        I = Next(I + 1, 0);
        if (Both) J = Next(J + 1, 1);
      } else {
        J = Next(J + 1, 1);
      }
    }
  }
  // The rows that hold the run; scanlines of theirs outside it get the run's first or last key.
  FirstRow = Start[0] >> Shift;
  RowCount = (End[0] >> Shift) - FirstRow + 1;
  const int32_t Base = FirstRow << Shift;
  const size_t Length = static_cast<size_t>(RowCount) << Shift;
  // Grown only: every key of the run is written below, so there is nothing to clear.
  for (int S = 0; S < 2; ++S)
    if (FChains[S].size() < Length) FChains[S].resize(Length);
  for (size_t I = 0; I < FEdges.size(); ++I) {
    const TEdge& E = FEdges[I];
    CopyKeys(E.Keys(FKeys, E.Top), static_cast<size_t>(E.Bottom - E.Top + 1), FChains[FSlots[I]].data() + (E.Top - Base));
  }
  const int32_t Head = Start[0] - Base, Tail = End[0] - Base;
  for (int S = 0; S < 2; ++S) {
    std::fill_n(FChains[S].data(), Head, FChains[0][static_cast<size_t>(Head)]);
    std::fill_n(FChains[S].data() + Tail + 1, Length - static_cast<size_t>(Tail) - 1,
                FChains[0][static_cast<size_t>(Tail)]);
  }
  ChainA = FChains[0].data();
  ChainB = FChains[1].data();
  return true;
}

bool TEdgeList::Chains(std::vector<TEdgeChain>& Out) {
  Out.clear();
  if (FEdges.empty()) return false;
  // Which chain each edge continues, and every chain's length; then the keys of each chain laid
  // out in one run.
  std::vector<uint8_t>& ChainOf = FSlots;
  ChainOf.resize(FEdges.size());
  size_t Length = 0;
  for (size_t I = 0; I < FEdges.size(); ++I) {
    const TEdge& E = FEdges[I];
    size_t C = 0;
    while (C < Out.size() && !(Out[C].Bottom + 1 == E.Top && Out[C].Upward == (E.Upward != 0))) ++C;
    if (C == Out.size()) {
      if (Out.size() == MaxChains) return false;
      Out.push_back({E.Top, E.Top - 1, E.Upward != 0, nullptr});
    }
    Out[C].Bottom = E.Bottom;
    ChainOf[I] = static_cast<uint8_t>(C);
    Length += static_cast<size_t>(E.Bottom - E.Top) + 1;
  }
  if (FChainKeys.size() < Length) FChainKeys.resize(Length);
  size_t At = 0;
  size_t Offsets[MaxChains];
  for (size_t C = 0; C < Out.size(); ++C) {
    Offsets[C] = At;
    At += static_cast<size_t>(Out[C].Bottom - Out[C].Top) + 1;
  }
  for (size_t I = 0; I < FEdges.size(); ++I) {
    const TEdge& E = FEdges[I];
    const TEdgeChain& C = Out[ChainOf[I]];
    CopyKeys(E.Keys(FKeys, E.Top), static_cast<size_t>(E.Bottom - E.Top + 1),
             FChainKeys.data() + Offsets[ChainOf[I]] + (E.Top - C.Top));
  }
  for (size_t C = 0; C < Out.size(); ++C) Out[C].Keys = FChainKeys.data() + Offsets[C];
  return true;
}

int32_t TEdgeList::PairedRows(int32_t First, int32_t MaxY, int32_t Shift, bool NonZero, const int32_t*& KeysA,
                              const int32_t*& KeysB) {
  Activate(First);
  if (FActive.size() != 2) return 0;
  const TEdge& A = FActive[0];
  const TEdge& B = FActive[1];
  if (NonZero && A.Upward == B.Upward) return 0;
  int32_t Last = std::min({A.Bottom, B.Bottom, MaxY});
  if (FNext < FEdges.size()) Last = std::min(Last, FEdges[FNext].Top - 1);
  const int64_t Rows = (int64_t{Last} - First + 1) >> Shift;
  if (Rows <= 0) return 0;
  KeysA = A.Keys(FKeys, First);
  KeysB = B.Keys(FKeys, First);
  return static_cast<int32_t>(Rows);
}

void TEdgeList::EndRowsAt(int32_t Last) {
  std::erase_if(FActive, [Last](const TEdge& E) { return E.Bottom <= Last; });
}

}  // namespace quillet
