// DemoSettings: the five numbers and eighteen switches that steer the demo. The setters clamp to
// the ranges of the dialog's gauges, so the values never leave them; the frame tick reads the
// record on every tick, so every change is seen by the next one.
#pragma once

#include <algorithm>
#include <cstdint>

namespace quillet {

struct TGaugeRange {
  int32_t Min;
  int32_t Max;
  constexpr int32_t Clamp(int32_t V) const { return std::clamp(V, Min, Max); }
};

constexpr TGaugeRange ObjectsRange{10, 1000};
constexpr TGaugeRange SizeRange{10, 100};
constexpr TGaugeRange AlphaRange{1, 255};
constexpr TGaugeRange ThicknessRange{1, 9};
constexpr TGaugeRange StepsRange{1, 16};

class DemoSettings {
 public:
  int32_t Objects() const { return FObjects; }
  int32_t Size() const { return FSize; }
  int32_t Alpha() const { return FAlpha; }
  int32_t Thickness() const { return FThickness; }
  int32_t Steps() const { return FSteps; }

  // Each returns true when the stored value changed.
  bool SetObjects(int32_t V) { return Store(FObjects, ObjectsRange.Clamp(V)); }
  bool SetSize(int32_t V) { return Store(FSize, SizeRange.Clamp(V)); }
  bool SetAlpha(int32_t V) { return Store(FAlpha, AlphaRange.Clamp(V)); }
  bool SetThickness(int32_t V) { return Store(FThickness, ThicknessRange.Clamp(V)); }
  bool SetSteps(int32_t V) { return Store(FSteps, StepsRange.Clamp(V)); }

  // Family "AntiAliased" (INI section AntiAliasing).
  bool iLines = true;
  bool iBars = false;
  bool iTriangles = false;
  bool iFillTria = false;
  bool iSplineCurve = false;
  bool iSplineArea = false;
  bool iEllipse = false;
  // Family "AlphaBlending" (INI section Blend).
  bool bLines = false;
  bool bBars = true;
  bool bTriangles = false;
  bool bFillTria = false;
  bool bSplineCurve = false;
  bool bSplineArea = false;
  bool bEllipseDisk = false;
  // Family "Gouraud".
  bool gBars = false;
  bool gTriangles = false;
  // Family "BlendGouraud".
  bool bgBars = false;
  bool bgTriangles = false;

  bool operator==(const DemoSettings&) const = default;

 private:
  static bool Store(int32_t& Field, int32_t V) {
    if (Field == V) return false;
    Field = V;
    return true;
  }

  // The defaults of a missing INI file.
  int32_t FObjects = 50;
  int32_t FSize = 80;
  int32_t FAlpha = 127;
  int32_t FThickness = 1;
  int32_t FSteps = 10;
};

}  // namespace quillet
