// TPolygon32: the path container, its settings, the normals cache and the drawing entry points.
#include "raster/polygon32.h"

#include "raster/detail/batch_scope.h"
#include "raster/detail/reciprocal_length.h"

namespace quillet {

namespace {

// The unit normal of every point of one path; the arithmetic rounds to single exactly where the
// stored normals depend on it.
void PathNormals(const TArrayOfFixedPoint& P, bool Closed, TArrayOfFixedPoint& N) {
  const size_t Count = P.size();
  N.assign(Count, TFixedPoint{});
  if (Count < 2) return;
  float Dx = 0.0f;
  float Dy = 0.0f;
  size_t J = 1;
  for (size_t K = 0; K < Count; ++K, ++J) {
    if (Closed && J >= Count) J = 0;
    if (J < Count) {
      // Differences in extended precision, exact: points at both ends of the range must not wrap
      // into a reversed edge, and 32-bit code converts no 64-bit integer.
      const long double Ix = static_cast<long double>(P[J].X) - static_cast<long double>(P[K].X);
      const long double Iy = static_cast<long double>(P[J].Y) - static_cast<long double>(P[K].Y);
      Dx = static_cast<float>(Ix / 65536.0L);
      Dy = static_cast<float>(Iy / 65536.0L);
    }
    if (Dx != 0.0f || Dy != 0.0f) {
      const float F = ReciprocalLength(Dx, Dy);
      Dx = static_cast<float>(static_cast<long double>(Dx) * F);
      Dy = static_cast<float>(static_cast<long double>(Dy) * F);
    }
    N[K] = {FloatToFixed(Dy), FloatToFixed(-Dx)};
  }
}

}  // namespace

TPolygon32::TPolygon32() { StartPath(); }

TPolygon32::~TPolygon32() { ClearPaths(); }

// A polygon left without any path (by Inflate or TwoWayOutline) gets one rather than an append
// into nothing.
TArrayOfFixedPoint& TPolygon32::CurrentPath() {
  if (FPoints.empty()) FPoints.emplace_back();
  return FPoints.back();
}

void TPolygon32::AddPoint(const TFixedPoint& P) {
  CurrentPath().push_back(P);
  FNormals.clear();
}

void TPolygon32::AddPoints(const TFixedPoint* First, int32_t Count) {
  TArrayOfFixedPoint& Path = CurrentPath();
  if (Count > 0) Path.insert(Path.end(), First, First + Count);
  FNormals.clear();
}

void TPolygon32::StartPath() {
  FPoints.emplace_back();
  FNormals.clear();
}

void TPolygon32::ClearPaths() {
  FPoints.clear();
  FNormals.clear();
  StartPath();
}

void TPolygon32::CopySettingsTo(TPolygon32& Dst) const {
  Dst.Antialiased = Antialiased;
  Dst.AntialiasLevel = AntialiasLevel;
  Dst.Closed = Closed;
  Dst.FillRule = FillRule;
}

void TPolygon32::AssignTo(TPolygon32& Dst) const {
  CopySettingsTo(Dst);
  Dst.FNormals = FNormals;
  Dst.FPoints = FPoints;
}

void TPolygon32::ComputeNormals() {
  if (!FNormals.empty()) return;
  FNormals.resize(FPoints.size());
  for (size_t I = 0; I < FPoints.size(); ++I) PathNormals(FPoints[I], Closed, FNormals[I]);
}

void TPolygon32::DrawPathLines(TBitmap32& Bitmap, TColor32 Color) {
  {
    TBatchScope Batch(Bitmap);
    if (Antialiased)
      DrawPolyPolylineAA(Bitmap, FPoints, Color, Closed);
    else
      DrawPolyPolyline(Bitmap, FPoints, Color, Closed);
  }
  Bitmap.NotifyChanged();
}

void TPolygon32::FillPaths(TBitmap32& Bitmap, TColor32 Color) {
  {
    TBatchScope Batch(Bitmap);
    if (Antialiased)
      FillPolyPolygonAA(Bitmap, FPoints, Color, FillRule, AntialiasLevel);
    else
      FillPolyPolygon(Bitmap, FPoints, Color, FillRule);
  }
  Bitmap.NotifyChanged();
}

}  // namespace quillet
