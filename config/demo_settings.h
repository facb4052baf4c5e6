// DemoSettings: the five numbers and eighteen switches that steer the demo, and the one
// description of them from which the settings file, the command-line options, the dialog's rows
// and check boxes and the xscreensaver description are all made. The setters clamp to the ranges
// of the dialog's gauges, so the values never leave them; the frame tick reads the record on every
// tick, so every change is seen by the next one.
#pragma once

#include <algorithm>
#include <array>
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
  // The defaults of a missing settings file.
  DemoSettings();

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

  // Family "AntiAliased" (settings file section AntiAliasing).
  bool iLines = false;
  bool iBars = false;
  bool iTriangles = false;
  bool iFillTria = false;
  bool iSplineCurve = false;
  bool iSplineArea = false;
  bool iEllipse = false;
  // Family "AlphaBlending" (section Blend).
  bool bLines = false;
  bool bBars = false;
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

  int32_t FObjects = ObjectsRange.Min;
  int32_t FSize = SizeRange.Min;
  int32_t FAlpha = AlphaRange.Min;
  int32_t FThickness = ThicknessRange.Min;
  int32_t FSteps = StepsRange.Min;
};

// A number: its key in section "Config", its option (--objects), its row in the dialog.
struct TNumberSetting {
  const char* Key;
  const char* Option;
  const char* RowCaption;  // the name label, "Objects:"
  const char* Gauge;       // the control names, "gObjects" and "iObjects"
  const char* ValueLabel;
  TGaugeRange Range;
  int32_t FileDefault;  // when the file has no valid value
  int32_t Designed;     // the gauge's position before the file is read
  int32_t Preset;       // a left click on the value label
  int32_t (DemoSettings::*Get)() const;
  bool (DemoSettings::*Set)(int32_t);
};

// A family of switches: one section of the file, one group of check boxes, one option prefix.
struct TSettingFamily {
  const char* Caption;        // the group's caption, "AntiAliased"
  const char* Section;        // "AntiAliasing"
  const char* OptionPrefix;   // --aa-lines
  const char* ControlPrefix;  // iLines
};

// A switch: key Key in its family's section, check box ControlPrefix + Key captioned Caption,
// options --PREFIX-SHAPE and --no-PREFIX-SHAPE.
struct TSwitchSetting {
  int Family;  // index into SettingFamilies
  const char* Key;
  const char* Caption;
  const char* OptionShape;
  bool DemoSettings::*Field;
  bool FileDefault;
  bool Designed;
};

inline constexpr char NumbersSection[] = "Config";

inline constexpr std::array<TSettingFamily, 4> SettingFamilies{{
    {"AntiAliased", "AntiAliasing", "aa", "i"},
    {"AlphaBlending", "Blend", "blend", "b"},
    {"Gouraud", "Gouraud", "gouraud", "g"},
    {"BlendGouraud", "BlendGouraud", "blend-gouraud", "bg"},
}};

// In the file's order, which is also the order of the dialog's rows.
inline constexpr std::array<TNumberSetting, 5> NumberSettings{{
    {"Objects", "objects", "Objects:", "gObjects", "iObjects", ObjectsRange, 50, 500, 500, &DemoSettings::Objects,
     &DemoSettings::SetObjects},
    {"Size", "size", "Size:", "gSize", "iSize", SizeRange, 80, 55, 55, &DemoSettings::Size, &DemoSettings::SetSize},
    {"Alpha", "alpha", "Alpha:", "gAlpha", "iAlpha", AlphaRange, 127, 127, 127, &DemoSettings::Alpha,
     &DemoSettings::SetAlpha},
    {"Thickness", "thickness", "Thickness:", "gThick", "iThick", ThicknessRange, 1, 1, 5, &DemoSettings::Thickness,
     &DemoSettings::SetThickness},
    {"Steps", "steps", "CurveSteps:", "gSteps", "iSteps", StepsRange, 10, 10, 8, &DemoSettings::Steps,
     &DemoSettings::SetSteps},
}};

// In the file's order: family by family, and in each family from the top check box down.
inline constexpr std::array<TSwitchSetting, 18> SwitchSettings{{
    {0, "Lines", "Lines", "lines", &DemoSettings::iLines, true, true},
    {0, "Bars", "Bars", "bars", &DemoSettings::iBars, false, false},
    {0, "Triangles", "Triangles", "triangles", &DemoSettings::iTriangles, false, false},
    {0, "FillTria", "FillTriangles", "fill-triangles", &DemoSettings::iFillTria, false, false},
    {0, "SplineCurve", "SplineCurve", "spline-curve", &DemoSettings::iSplineCurve, false, false},
    {0, "SplineArea", "SplineArea", "spline-area", &DemoSettings::iSplineArea, false, false},
    {0, "Ellipse", "Ellipse", "ellipse", &DemoSettings::iEllipse, false, false},
    {1, "Lines", "Lines", "lines", &DemoSettings::bLines, false, true},
    {1, "Bars", "Bars", "bars", &DemoSettings::bBars, true, false},
    {1, "Triangles", "Triangles", "triangles", &DemoSettings::bTriangles, false, false},
    {1, "FillTria", "FillTriangles", "fill-triangles", &DemoSettings::bFillTria, false, false},
    {1, "SplineCurve", "SplineCurve", "spline-curve", &DemoSettings::bSplineCurve, false, false},
    {1, "SplineArea", "SplineArea", "spline-area", &DemoSettings::bSplineArea, false, false},
    {1, "EllipseDisk", "Ellipse Disk", "ellipse-disk", &DemoSettings::bEllipseDisk, false, false},
    {2, "Bars", "Bars", "bars", &DemoSettings::gBars, false, false},
    {2, "Triangles", "Triangles", "triangles", &DemoSettings::gTriangles, false, false},
    {3, "Bars", "Bars", "bars", &DemoSettings::bgBars, false, false},
    {3, "Triangles", "Triangles", "triangles", &DemoSettings::bgTriangles, false, false},
}};

inline const TSettingFamily& FamilyOf(const TSwitchSetting& S) {
  return SettingFamilies[static_cast<std::size_t>(S.Family)];
}

inline DemoSettings::DemoSettings() {
  for (const TNumberSetting& N : NumberSettings) (this->*N.Set)(N.FileDefault);
  for (const TSwitchSetting& S : SwitchSettings) this->*S.Field = S.FileDefault;
}

// The record as the dialog's controls stand before the file is read.
inline DemoSettings DesignedSettings() {
  DemoSettings Designed;
  for (const TNumberSetting& N : NumberSettings) (Designed.*N.Set)(N.Designed);
  for (const TSwitchSetting& S : SwitchSettings) Designed.*S.Field = S.Designed;
  return Designed;
}

}  // namespace quillet
