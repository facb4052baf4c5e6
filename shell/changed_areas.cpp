// Gathering changed areas: each new area joins the rectangle that grows least by it when that
// adds few unchanged pixels or the list is full, and stands alone otherwise.
#include "shell/changed_areas.h"

#include <algorithm>
#include <limits>

#include "raster/bitmap32.h"

namespace quillet {

namespace {

// Anti-aliased line pixels reach past the nominal width.
constexpr int64_t LineMargin = 2;

int64_t AreaOf(const TRect& R) {
  return (int64_t{R.Right} - R.Left) * (int64_t{R.Bottom} - R.Top);
}

TRect Union(const TRect& A, const TRect& B) {
  return {std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
          std::max(A.Bottom, B.Bottom)};
}

bool Contains(const TRect& Outer, const TRect& Inner) {
  return Outer.Left <= Inner.Left && Outer.Top <= Inner.Top && Outer.Right >= Inner.Right &&
         Outer.Bottom >= Inner.Bottom;
}

}  // namespace

TRect ReportedSurfaceArea(const TRect& Area, uint32_t Info, int32_t Width, int32_t Height) {
  int64_t Left = std::min(Area.Left, Area.Right);
  int64_t Right = std::max(Area.Left, Area.Right);
  int64_t Top = std::min(Area.Top, Area.Bottom);
  int64_t Bottom = std::max(Area.Top, Area.Bottom);
  if ((Info & (AREAINFO_RECT | AREAINFO_LINE)) == AREAINFO_LINE) {
    const int64_t Reach = (Info & ~AREAINFO_LINE) / 2 + LineMargin;
    Left -= Reach;
    Top -= Reach;
    Right += Reach + 1;
    Bottom += Reach + 1;
  }
  Left = std::max<int64_t>(Left, 0);
  Top = std::max<int64_t>(Top, 0);
  Right = std::min<int64_t>(Right, Width);
  Bottom = std::min<int64_t>(Bottom, Height);
  if (Right <= Left || Bottom <= Top) return {};
  return {static_cast<int32_t>(Left), static_cast<int32_t>(Top), static_cast<int32_t>(Right),
          static_cast<int32_t>(Bottom)};
}

void TChangedAreas::SetBounds(int32_t Width, int32_t Height) {
  Width = std::max(Width, 0);
  Height = std::max(Height, 0);
  if (Width == FWidth && Height == FHeight) return;
  FWidth = Width;
  FHeight = Height;
  Clear();
  AddWhole();
}

void TChangedAreas::Add(const TRect& Area) {
  const TRect R{std::max(Area.Left, 0), std::max(Area.Top, 0), std::min(Area.Right, FWidth),
                std::min(Area.Bottom, FHeight)};
  if (R.Right <= R.Left || R.Bottom <= R.Top) return;
  // Unchanged pixels a merge adds beyond what it may: at most 0 for a merge that pays.
  const auto Growth = [&R](const TRect& E) {
    const int64_t Parts = AreaOf(E) + AreaOf(R);
    return AreaOf(Union(E, R)) - Parts - std::min(MergeFloor + Parts / MergeShare, MergeSlack);
  };
  if (FLast < FRects.size()) {
    if (Contains(FRects[FLast], R)) return;
    if (Growth(FRects[FLast]) <= 0) return MergeInto(FLast, R);
  }
  // Areas come shape by shape: the rectangles that take one lie among the latest. Only a full list
  // looks at all of them.
  const auto BestOf = [&](size_t Begin, size_t& Best) {
    int64_t BestGrowth = std::numeric_limits<int64_t>::max();
    for (size_t I = Begin; I < FRects.size(); ++I) {
      if (Contains(FRects[I], R)) return std::numeric_limits<int64_t>::min();
      const int64_t G = Growth(FRects[I]);
      if (G < BestGrowth) {
        BestGrowth = G;
        Best = I;
      }
    }
    return BestGrowth;
  };
  size_t Best = 0;
  const int64_t BestGrowth = BestOf(RecentBegin(), Best);
  if (BestGrowth == std::numeric_limits<int64_t>::min()) return;
  if (BestGrowth <= 0) return MergeInto(Best, R);
  if (FRects.size() >= MaxRects) {
    if (BestOf(0, Best) == std::numeric_limits<int64_t>::min()) return;
    return MergeInto(Best, R);
  }
  FRects.push_back(R);
  FPixels += AreaOf(R);
  AbsorbInto(FRects.size() - 1);
}

size_t TChangedAreas::RecentBegin() const { return FRects.size() > RecentRects ? FRects.size() - RecentRects : 0; }

void TChangedAreas::MergeInto(size_t Index, const TRect& Area) {
  const TRect Merged = Union(FRects[Index], Area);
  FPixels += AreaOf(Merged) - AreaOf(FRects[Index]);
  FRects[Index] = Merged;
  AbsorbInto(Index);
}

// Among the few latest rectangles and those after Index: rectangles a merge covers are mostly
// its neighbours in the list, and one left over elsewhere is only copied twice.
void TChangedAreas::AbsorbInto(size_t Index) {
  const TRect Keeper = FRects[Index];
  const size_t Begin = std::min(Index, FRects.size() > AbsorbRects ? FRects.size() - AbsorbRects : 0);
  size_t Kept = Begin;
  for (size_t I = Begin; I < FRects.size(); ++I) {
    if (I == Index) FLast = Kept;
    if (I == Index || !Contains(Keeper, FRects[I]))
      FRects[Kept++] = FRects[I];
    else
      FPixels -= AreaOf(FRects[I]);
  }
  FRects.resize(Kept);
  if (FPixels * 100 > AreaOf(Bounds()) * WholeAbovePercent && FRects.size() > 1) {
    FRects.assign(1, Bounds());
    FPixels = AreaOf(Bounds());
    FLast = 0;
  }
}

bool SubtractRect(const TRect& From, const TRect& Hole, std::vector<TRect>& Out) {
  if (From.Right <= From.Left || From.Bottom <= From.Top) return false;
  const TRect Cut{std::max(From.Left, Hole.Left), std::max(From.Top, Hole.Top), std::min(From.Right, Hole.Right),
                  std::min(From.Bottom, Hole.Bottom)};
  if (Cut.Right <= Cut.Left || Cut.Bottom <= Cut.Top) {
    Out.push_back(From);
    return false;
  }
  // Full-width bands above and below, and the two sides of the cut's own rows.
  if (From.Top < Cut.Top) Out.push_back({From.Left, From.Top, From.Right, Cut.Top});
  if (From.Left < Cut.Left) Out.push_back({From.Left, Cut.Top, Cut.Left, Cut.Bottom});
  if (Cut.Right < From.Right) Out.push_back({Cut.Right, Cut.Top, From.Right, Cut.Bottom});
  if (Cut.Bottom < From.Bottom) Out.push_back({From.Left, Cut.Bottom, From.Right, From.Bottom});
  return true;
}

}  // namespace quillet
