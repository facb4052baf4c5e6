// The polygon fills, plain and anti-aliased, of one path or of several paths as one region, and
// the bounding rectangles of point arrays.
#include "polygon_fill.h"

#include <algorithm>

#include "batch_scope.h"
#include "crossing_table.h"
#include "span_fill.h"

namespace quillet {

namespace {

// Grid coordinate of the anti-aliased fill, in 64 bits: values near the top of the range must not
// wrap to the other end before the shift.
inline int32_t SubsampleOf(TFixed V, int32_t Shift) {
  return static_cast<int32_t>((static_cast<int64_t>(V) + 2047) >> (16 - Shift));
}

struct TGridPaths {
  TArrayOfArrayOfPoint Paths;
  int32_t MinY;
  int32_t MaxY;
};

// Traces, sorts and writes the grid paths. Returns false, having done nothing, when the Y range
// clamped to the clip rectangle is empty; the caller then reports nothing either.
bool ScanPaths(TBitmap32& Bitmap, const TGridPaths& Grid, TColor32 Color, TPolyFillRule Rule,
               bool Antialiased, TAntialiasLevel Level) {
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
  // Rows end at the last one that can receive crossings, so the table never has more rows than
  // the clip rectangle.
  const int64_t LastRow = std::min<int64_t>(MaxY, Antialiased ? Bottom : Bottom - 1);

  TCrossingTable Table;
  Table.Reset(MinX, static_cast<int32_t>(MinY), MaxX, static_cast<int32_t>(LastRow));
  const bool ScaleX = !Antialiased;
  for (const TArrayOfPoint& Path : Grid.Paths) Table.CountPath(Path, ScaleX);
  Table.Allocate();
  for (const TArrayOfPoint& Path : Grid.Paths) Table.BuildCrossingTable(Path, ScaleX);
  Table.SortCrossings();

  TBatchScope Batch(Bitmap);
  if (Antialiased)
    FillSpansAA(Bitmap, Table, Color, Rule, Level);
  else
    FillSpansSolid(Bitmap, Table, Color, Rule);
  return true;
}

void ReportArea(TBitmap32& Bitmap, const TFixedRect& Bounds) {
  Bitmap.NotifyAreaChanged(RoundFixedRect(Bounds, RectRounding::Outward), AREAINFO_RECT);
}

TArrayOfPoint PixelPath(const TArrayOfFixedPoint& Points, int32_t& MinY, int32_t& MaxY) {
  TArrayOfPoint Path(Points.size());
  for (size_t I = 0; I < Points.size(); ++I) {
    Path[I] = {FixedToIntRound(Points[I].X), FixedToIntRound(Points[I].Y)};
    MinY = std::min(MinY, Path[I].Y);
    MaxY = std::max(MaxY, Path[I].Y);
  }
  return Path;
}

TArrayOfPoint SubsamplePath(const TArrayOfFixedPoint& Points, int32_t Shift, int32_t& MinY, int32_t& MaxY) {
  TArrayOfPoint Path(Points.size());
  for (size_t I = 0; I < Points.size(); ++I) {
    Path[I] = {SubsampleOf(Points[I].X, Shift), SubsampleOf(Points[I].Y, Shift)};
    MinY = std::min(MinY, Path[I].Y);
    MaxY = std::max(MaxY, Path[I].Y);
  }
  return Path;
}

}  // namespace

void FillPolygon(TBitmap32& Bitmap, const TArrayOfFixedPoint& Points, TColor32 Color, TPolyFillRule Rule) {
  if (!Bitmap.MeasureOnly()) {
    if (Points.size() < 3 || AlphaOf(Color) == 0) return;
    TGridPaths Grid{{}, 0x7F000000, -0x7F000000};
    Grid.Paths.push_back(PixelPath(Points, Grid.MinY, Grid.MaxY));
    if (!ScanPaths(Bitmap, Grid, Color, Rule, false, 0)) return;
  }
  ReportArea(Bitmap, FixedPointsBounds(Points));
}

void FillPolygonAA(TBitmap32& Bitmap, const TArrayOfFixedPoint& Points, TColor32 Color, TPolyFillRule Rule,
                   TAntialiasLevel Level) {
  if (!Bitmap.MeasureOnly()) {
    if (Points.size() < 3 || AlphaOf(Color) == 0) return;
    TGridPaths Grid{{}, 0x7F000000, -0x7F000000};
    Grid.Paths.push_back(SubsamplePath(Points, AntialiasGrid(Level).Shift, Grid.MinY, Grid.MaxY));
    if (!ScanPaths(Bitmap, Grid, Color, Rule, true, Level)) return;
  }
  ReportArea(Bitmap, FixedPointsBounds(Points));
}

void FillPolyPolygon(TBitmap32& Bitmap, const TArrayOfArrayOfFixedPoint& Paths, TColor32 Color,
                     TPolyFillRule Rule) {
  if (!Bitmap.MeasureOnly()) {
    // Every point counts for the Y range, also those of paths too short to add crossings.
    TGridPaths Grid{{}, 0x7FFFFFFF, -0x7FFFFFFF};
    Grid.Paths.reserve(Paths.size());
    for (const TArrayOfFixedPoint& Points : Paths) Grid.Paths.push_back(PixelPath(Points, Grid.MinY, Grid.MaxY));
    if (!ScanPaths(Bitmap, Grid, Color, Rule, false, 0)) return;
  }
  ReportArea(Bitmap, FixedPathsBounds(Paths));
}

void FillPolyPolygonAA(TBitmap32& Bitmap, const TArrayOfArrayOfFixedPoint& Paths, TColor32 Color,
                       TPolyFillRule Rule, TAntialiasLevel Level) {
  if (!Bitmap.MeasureOnly()) {
    const int32_t Shift = AntialiasGrid(Level).Shift;
    TGridPaths Grid{{}, 0x7F000000, -0x7F000000};
    Grid.Paths.reserve(Paths.size());
    for (const TArrayOfFixedPoint& Points : Paths) {
      if (Points.size() < 3)
        Grid.Paths.emplace_back();
      else
        Grid.Paths.push_back(SubsamplePath(Points, Shift, Grid.MinY, Grid.MaxY));
    }
    if (!ScanPaths(Bitmap, Grid, Color, Rule, true, Level)) return;
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
