// TPolygon32: one or more point paths with the settings that say how they are drawn, and the
// geometry that turns a polyline into a band: offset copies (Inflate) and forward-and-back copies
// (TwoWayOutline).
#pragma once

#include <cstdint>
#include <memory>

#include "raster/bitmap32.h"
#include "raster/fixed.h"
#include "raster/notifiable.h"
#include "raster/polygon_fill.h"

namespace quillet {

class TPolygon32 : public TThreadPersistent {
 public:
  TPolygon32();
  ~TPolygon32() override;

  bool Antialiased = false;
  bool Closed = true;
  TPolyFillRule FillRule = TPolyFillRule::EvenOdd;
  TAntialiasLevel AntialiasLevel = 2;

  const TArrayOfArrayOfFixedPoint& Points() const { return FPoints; }
  const TArrayOfArrayOfFixedPoint& Normals() const { return FNormals; }

  void AddPoint(const TFixedPoint& P);
  void AddPoints(const TFixedPoint* First, int32_t Count);
  void StartPath();
  void ClearPaths();

  virtual void CopySettingsTo(TPolygon32& Dst) const;
  // Settings, then copies of the normals and the points.
  void AssignTo(TPolygon32& Dst) const;

  void ComputeNormals();
  void DrawPathLines(TBitmap32& Bitmap, TColor32 Color);
  void FillPaths(TBitmap32& Bitmap, TColor32 Color);

  // New polygons owned by the caller; this one changes only in its normals cache.
  std::unique_ptr<TPolygon32> Inflate(TFixed Delta, float CornerSharpness);
  std::unique_ptr<TPolygon32> TwoWayOutline() const;

 private:
  TArrayOfFixedPoint& CurrentPath();

  TArrayOfArrayOfFixedPoint FNormals;
  TArrayOfArrayOfFixedPoint FPoints;
};

}  // namespace quillet
