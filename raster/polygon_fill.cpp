// The polygon fills, plain and anti-aliased, of one path or of several paths as one region, and
// the bounding rectangles of point arrays.
#include "raster/polygon_fill.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <optional>

#include "raster/detail/batch_scope.h"
#include "raster/detail/compiler_facts.h"
#include "raster/detail/crossing_table.h"
#include "raster/detail/edge_list.h"
#include "raster/detail/line_damage.h"
#include "raster/detail/span_fill.h"

namespace quillet {

namespace {

// Grid coordinate of the anti-aliased fill, in 64 bits: values near the top of the range must not
// wrap to the other end before the shift.
inline int32_t SubsampleOf(TFixed V, int32_t Shift) {
  return static_cast<int32_t>((static_cast<int64_t>(V) + 2047) >> (16 - Shift));
}

// The buffers of a fill, kept from one call to the next, so that a small polygon allocates nothing
// once the first has been drawn.
struct TFillScratch {
  TArrayOfArrayOfPoint Paths;  // the grid paths; only the first PathCount are in use
  size_t PathCount = 0;
  int32_t MinY = 0;
  int32_t MaxY = 0;
  TCrossingTable Table;
  TEdgeList Edges;
  TSpanScratchAA Spans;

  // Starts the grid paths of one fill with the Y range inverted at the given values.
  void StartPaths(int32_t InitialMinY, int32_t InitialMaxY) {
    PathCount = 0;
    MinY = InitialMinY;
    MaxY = InitialMaxY;
  }
  // The next grid path, with room for Count points.
  TArrayOfPoint& AddPath(size_t Count) {
    if (Paths.size() <= PathCount) Paths.emplace_back();
    TArrayOfPoint& Path = Paths[PathCount++];
    Path.resize(Count);
    return Path;
  }
  // Buffers grown by one exceptionally large fill are not kept.
  void Trim() {
    constexpr size_t KeptBytes = size_t{4} << 20;
    if (Spans.Crossings.capacity() * sizeof(uint32_t) > KeptBytes) Spans.Crossings = {};
    if (Spans.Cells.capacity() * sizeof(int32_t) > KeptBytes) Spans.Cells = {};
    if (Spans.Colors.capacity() * sizeof(TColor32) > KeptBytes) Spans.Colors = {};
    Edges.Trim(KeptBytes);
    Table.Trim(KeptBytes);
  }
};

// The kept buffers go to whichever fill finds them free, on any thread; a fill that finds them
// taken (by another thread, or by one still running on this thread) gets buffers of its own. Not
// thread-local: MinGW emulates that with a library call on every access.
class TScratchLease {
 public:
  TScratchLease()
      : FShared(!Taken.exchange(true, std::memory_order_acquire)), FScratch(FShared ? Kept() : FOwn.emplace()) {}
  ~TScratchLease() {
    FScratch.Trim();
    if (FShared) Taken.store(false, std::memory_order_release);
  }
  TScratchLease(const TScratchLease&) = delete;
  TScratchLease& operator=(const TScratchLease&) = delete;
  TFillScratch& operator*() { return FScratch; }
  TFillScratch* operator->() { return &FScratch; }

 private:
  static TFillScratch& Kept() {
    static TFillScratch Scratch;
    return Scratch;
  }
  static inline std::atomic<bool> Taken{false};
  const bool FShared;
  std::optional<TFillScratch> FOwn;
  TFillScratch& FScratch;
};

// The pixel rows an anti-aliased fill of the grid paths may write, sub-scanlines MinY to LastRow:
// each from the leftmost to the rightmost crossing an edge can make in it, with a sub-sample more
// either way for the crossings' rounding, and at the clip rectangle's edge where the crossing lies
// beyond it. The inside between them counts whole.
void ReportAAFillRows(TBitmap32& Bitmap, const TFillScratch& Grid, int64_t MinY, int64_t LastRow, int32_t Shift) {
  TDamageRows& Rows = ScratchDamageRows();
  const int64_t FirstPy = MinY >> Shift, LastPy = LastRow >> Shift;
  Rows.Start(Bitmap.ClipBounds(), FirstPy, LastPy);
  const int64_t Sub = int64_t{1} << Shift;
  const int64_t ClipLeft = Bitmap.ClipBounds().Left, ClipRight = Bitmap.ClipBounds().Right;
  for (size_t I = 0; I < Grid.PathCount; ++I) {
    const TArrayOfPoint& Path = Grid.Paths[I];
    for (size_t J = 0; J < Path.size(); ++J) {
      const TPoint A = Path[J], B = Path[J + 1 < Path.size() ? J + 1 : 0];
      if (A.Y == B.Y) continue;
      const int64_t Ya = A.Y, Yb = B.Y;
      const double Slope = (double(B.X) - A.X) / double(Yb - Ya);
      // Y lies between the edge's ends, so within 32 bits: its difference from Ya is exact in a
      // double either way, and 32-bit x87 code loads a 32-bit integer without a stall.
      const auto XAt = [&](int64_t Y) { return A.X + (double(static_cast<int32_t>(Y)) - double(A.Y)) * Slope; };
      const int64_t Low = std::min(Ya, Yb), High = std::max(Ya, Yb);
      const int64_t From = std::max(Low >> Shift, FirstPy), To = std::min(High >> Shift, LastPy);
      for (int64_t Py = From; Py <= To; ++Py) {
        const double X1 = XAt(std::max(Low, Py * Sub)), X2 = XAt(std::min(High, (Py + 1) * Sub));
        const int64_t Left = FloorToInt64(std::min(X1, X2)) - 1;
        const int64_t Right = CeilToInt64(std::max(X1, X2)) + 1;
        // Crossings beyond the clip rectangle are drawn at its edge.
        const int64_t PixelLeft = std::clamp<int64_t>(Left >> Shift, ClipLeft, ClipRight - 1);
        const int64_t PixelRight = std::clamp<int64_t>((Right >> Shift) + 1, ClipLeft + 1, ClipRight);
        Rows.Span(Py, PixelLeft, PixelRight);
      }
    }
  }
  Rows.Report(Bitmap);
}

// Traces, sorts and writes the grid paths. Returns false, having done nothing, when the Y range
// clamped to the clip rectangle is empty; the caller then reports nothing either.
bool ScanPaths(TBitmap32& Bitmap, TFillScratch& Grid, TColor32 Color, TPolyFillRule Rule, bool Antialiased,
               TAntialiasLevel Level) {
  const TRect& Clip = Bitmap.ClipBounds();
  if (Clip.Top >= Clip.Bottom) return false;
  const int32_t Shift = Antialiased ? AntialiasGrid(Level).Shift : 0;
  // Plain fills work on pixel rows; the anti-aliased ones on sub-scanlines.
  const int64_t Top = Antialiased ? int64_t{Clip.Top} << Shift : Clip.Top;
  const int64_t Bottom = Antialiased ? (int64_t{Clip.Bottom} << Shift) - 1 : Clip.Bottom;
  const int64_t MinY = std::clamp<int64_t>(Grid.MinY, Top, Bottom);
  const int64_t MaxY = std::clamp<int64_t>(Grid.MaxY, Top, Bottom);
  if (MinY >= MaxY) return false;

  // Nothing can be written into a clip rectangle without width, nor where its left edge lies
  // beyond the 31 bits of a crossing position.
  const int32_t XShift = Antialiased ? Shift : 8;
  if (Clip.Left >= Clip.Right || (int64_t{Clip.Left} << XShift) > CrossingKeyMask) return true;
  const int32_t MinX = Clip.Left << XShift;
  // Past 31 bits the right edge stops at the last position a crossing can hold.
  const int32_t MaxX = static_cast<int32_t>(std::min<int64_t>((int64_t{Clip.Right} << XShift) - 1, CrossingKeyMask));
  // Rows end at the last one that can receive crossings, so there are never more rows than the
  // clip rectangle has.
  const int32_t LastRow = static_cast<int32_t>(std::min<int64_t>(MaxY, Antialiased ? Bottom : Bottom - 1));
  const TArrayOfArrayOfPoint& Paths = Grid.Paths;
  const auto InUse = Paths.begin() + static_cast<ptrdiff_t>(Grid.PathCount);

  if (Antialiased) {
    Grid.Edges.Build(Paths.begin(), InUse, MinX, static_cast<int32_t>(MinY), MaxX, LastRow,
                     CombineOpsFor(Bitmap.CombineMode()).EdgeSteps);
    TBatchScope Batch(Bitmap);
    FillSpansAA(Bitmap, Grid.Edges, static_cast<int32_t>(MinY), LastRow, Color, Rule, Level, Grid.Spans);
    if (Bitmap.DamageSink()) ReportAAFillRows(Bitmap, Grid, MinY, LastRow, Shift);
    return true;
  }

  TCrossingTable& Table = Grid.Table;
  Table.Reset(MinX, static_cast<int32_t>(MinY), MaxX, LastRow);
  for (auto Path = Paths.begin(); Path != InUse; ++Path) Table.CountPath(*Path, true);
  Table.Allocate();
  for (auto Path = Paths.begin(); Path != InUse; ++Path) Table.BuildCrossingTable(*Path, true);
  Table.SortCrossings();
  TBatchScope Batch(Bitmap);
  FillSpansSolid(Bitmap, Table, Color, Rule);
  return true;
}

void ReportArea(TBitmap32& Bitmap, const TFixedRect& Bounds) {
  Bitmap.NotifyAreaChanged(RoundFixedRect(Bounds, RectRounding::Outward), AREAINFO_RECT);
}

void AddPixelPath(TFillScratch& Grid, const TArrayOfFixedPoint& Points) {
  TArrayOfPoint& Path = Grid.AddPath(Points.size());
  for (size_t I = 0; I < Points.size(); ++I) {
    Path[I] = {FixedToIntRound(Points[I].X), FixedToIntRound(Points[I].Y)};
    Grid.MinY = std::min(Grid.MinY, Path[I].Y);
    Grid.MaxY = std::max(Grid.MaxY, Path[I].Y);
  }
}

void AddSubsamplePath(TFillScratch& Grid, const TArrayOfFixedPoint& Points, int32_t Shift) {
  TArrayOfPoint& Path = Grid.AddPath(Points.size());
  for (size_t I = 0; I < Points.size(); ++I) {
    Path[I] = {SubsampleOf(Points[I].X, Shift), SubsampleOf(Points[I].Y, Shift)};
    Grid.MinY = std::min(Grid.MinY, Path[I].Y);
    Grid.MaxY = std::max(Grid.MaxY, Path[I].Y);
  }
}

}  // namespace

void FillPolygon(TBitmap32& Bitmap, const TArrayOfFixedPoint& Points, TColor32 Color, TPolyFillRule Rule) {
  if (!Bitmap.MeasureOnly()) {
    if (Points.size() < 3 || AlphaOf(Color) == 0) return;
    TScratchLease Grid;
    Grid->StartPaths(0x7F000000, -0x7F000000);
    AddPixelPath(*Grid, Points);
    if (!ScanPaths(Bitmap, *Grid, Color, Rule, false, 0)) return;
  }
  ReportArea(Bitmap, FixedPointsBounds(Points));
}

void FillPolygonAA(TBitmap32& Bitmap, const TArrayOfFixedPoint& Points, TColor32 Color, TPolyFillRule Rule,
                   TAntialiasLevel Level) {
  if (!Bitmap.MeasureOnly()) {
    if (Points.size() < 3 || AlphaOf(Color) == 0) return;
    TScratchLease Grid;
    Grid->StartPaths(0x7F000000, -0x7F000000);
    AddSubsamplePath(*Grid, Points, AntialiasGrid(Level).Shift);
    if (!ScanPaths(Bitmap, *Grid, Color, Rule, true, Level)) return;
  }
  ReportArea(Bitmap, FixedPointsBounds(Points));
}

void FillPolyPolygon(TBitmap32& Bitmap, const TArrayOfArrayOfFixedPoint& Paths, TColor32 Color,
                     TPolyFillRule Rule) {
  if (!Bitmap.MeasureOnly()) {
    // Every point counts for the Y range, also those of paths too short to add crossings.
    TScratchLease Grid;
    Grid->StartPaths(0x7FFFFFFF, -0x7FFFFFFF);
    for (const TArrayOfFixedPoint& Points : Paths) AddPixelPath(*Grid, Points);
    if (!ScanPaths(Bitmap, *Grid, Color, Rule, false, 0)) return;
  }
  ReportArea(Bitmap, FixedPathsBounds(Paths));
}

void FillPolyPolygonAA(TBitmap32& Bitmap, const TArrayOfArrayOfFixedPoint& Paths, TColor32 Color,
                       TPolyFillRule Rule, TAntialiasLevel Level) {
  if (!Bitmap.MeasureOnly()) {
    const int32_t Shift = AntialiasGrid(Level).Shift;
    TScratchLease Grid;
    Grid->StartPaths(0x7F000000, -0x7F000000);
    // A path too short to add crossings does not count for the Y range either.
    for (const TArrayOfFixedPoint& Points : Paths)
      if (Points.size() >= 3) AddSubsamplePath(*Grid, Points, Shift);
    if (!ScanPaths(Bitmap, *Grid, Color, Rule, true, Level)) return;
  }
  ReportArea(Bitmap, FixedPathsBounds(Paths));
}

namespace {

// Starts inverted, so that no points give that rectangle back.
constexpr TFixedRect EmptyBounds{0x7F000000, 0x7F000000, -0x7F000000, -0x7F000000};

void IncludePoints(TFixedRect& R, const TArrayOfFixedPoint& Points) {
  for (const TFixedPoint& P : Points) {
    R.Left = std::min(R.Left, P.X);
    R.Top = std::min(R.Top, P.Y);
    R.Right = std::max(R.Right, P.X);
    R.Bottom = std::max(R.Bottom, P.Y);
  }
}

}  // namespace

TFixedRect FixedPointsBounds(const TArrayOfFixedPoint& Points) {
  TFixedRect R = EmptyBounds;
  IncludePoints(R, Points);
  return R;
}

TFixedRect FixedPathsBounds(const TArrayOfArrayOfFixedPoint& Paths) {
  TFixedRect R = EmptyBounds;
  for (const TArrayOfFixedPoint& Points : Paths) IncludePoints(R, Points);
  return R;
}

}  // namespace quillet
