// Setting options: one table per kind of setting, shared by the parser and the usage text.
#include "config/setting_options.h"

#include <algorithm>

namespace quillet {

const std::array<TNumberOption, 5> NumberOptions{{
    {"objects", "Objects", ObjectsRange, &DemoSettings::SetObjects},
    {"size", "Size", SizeRange, &DemoSettings::SetSize},
    {"alpha", "Alpha", AlphaRange, &DemoSettings::SetAlpha},
    {"thickness", "Thickness", ThicknessRange, &DemoSettings::SetThickness},
    {"steps", "CurveSteps", StepsRange, &DemoSettings::SetSteps},
}};

const std::array<TSwitchOption, 18> SwitchOptions{{
    {"aa-lines", "AntiAliased Lines", &DemoSettings::iLines},
    {"aa-bars", "AntiAliased Bars", &DemoSettings::iBars},
    {"aa-triangles", "AntiAliased Triangles", &DemoSettings::iTriangles},
    {"aa-fill-triangles", "AntiAliased FillTriangles", &DemoSettings::iFillTria},
    {"aa-spline-curve", "AntiAliased SplineCurve", &DemoSettings::iSplineCurve},
    {"aa-spline-area", "AntiAliased SplineArea", &DemoSettings::iSplineArea},
    {"aa-ellipse", "AntiAliased Ellipse", &DemoSettings::iEllipse},
    {"blend-lines", "AlphaBlending Lines", &DemoSettings::bLines},
    {"blend-bars", "AlphaBlending Bars", &DemoSettings::bBars},
    {"blend-triangles", "AlphaBlending Triangles", &DemoSettings::bTriangles},
    {"blend-fill-triangles", "AlphaBlending FillTriangles", &DemoSettings::bFillTria},
    {"blend-spline-curve", "AlphaBlending SplineCurve", &DemoSettings::bSplineCurve},
    {"blend-spline-area", "AlphaBlending SplineArea", &DemoSettings::bSplineArea},
    {"blend-ellipse-disk", "AlphaBlending Ellipse Disk", &DemoSettings::bEllipseDisk},
    {"gouraud-bars", "Gouraud Bars", &DemoSettings::gBars},
    {"gouraud-triangles", "Gouraud Triangles", &DemoSettings::gTriangles},
    {"blend-gouraud-bars", "BlendGouraud Bars", &DemoSettings::bgBars},
    {"blend-gouraud-triangles", "BlendGouraud Triangles", &DemoSettings::bgTriangles},
}};

namespace {

// Decimal with an optional sign; saturates far outside any range so that clamping still works.
bool ParseClampedNumber(std::string_view Text, const TGaugeRange& Range, int32_t& Value) {
  bool Negative = false;
  if (!Text.empty() && (Text[0] == '-' || Text[0] == '+')) {
    Negative = Text[0] == '-';
    Text.remove_prefix(1);
  }
  if (Text.empty()) return false;
  int64_t Magnitude = 0;
  for (const char C : Text) {
    if (C < '0' || C > '9') return false;
    if (Magnitude < INT64_C(1) << 40) Magnitude = Magnitude * 10 + (C - '0');
  }
  Value = Range.Clamp(static_cast<int32_t>(std::clamp<int64_t>(Negative ? -Magnitude : Magnitude,
                                                               INT32_MIN, INT32_MAX)));
  return true;
}

}  // namespace

void TSettingOverrides::ApplyTo(DemoSettings& Settings) const {
  for (size_t I = 0; I < NumberOptions.size(); ++I)
    if (Numbers[I]) (Settings.*NumberOptions[I].Set)(*Numbers[I]);
  for (size_t I = 0; I < SwitchOptions.size(); ++I)
    if (Switches[I]) Settings.*SwitchOptions[I].Field = *Switches[I];
}

int TakeSettingOption(const std::vector<std::string>& Args, size_t Index, TSettingOverrides& Into,
                      std::string& Error) {
  if (Index >= Args.size()) return 0;
  std::string_view Arg = Args[Index];
  if (Arg.substr(0, 2) != "--") return 0;
  Arg.remove_prefix(2);

  const size_t Equals = Arg.find('=');
  const std::string_view Name = Arg.substr(0, Equals);
  for (size_t I = 0; I < NumberOptions.size(); ++I) {
    if (Name != NumberOptions[I].Name) continue;
    int Taken = 1;
    std::string_view Value;
    if (Equals != std::string_view::npos) {
      Value = Arg.substr(Equals + 1);
    } else if (Index + 1 < Args.size()) {
      Value = Args[Index + 1];
      Taken = 2;
    } else {
      Error = "missing number after --" + std::string(Name);
      return -1;
    }
    int32_t Number = 0;
    if (!ParseClampedNumber(Value, NumberOptions[I].Range, Number)) {
      Error = "--" + std::string(Name) + " needs a whole number, not '" + std::string(Value) + "'";
      return -1;
    }
    Into.Numbers[I] = Number;
    return Taken;
  }

  if (Equals != std::string_view::npos) return 0;
  const bool Off = Name.substr(0, 3) == "no-";
  const std::string_view Kind = Off ? Name.substr(3) : Name;
  for (size_t I = 0; I < SwitchOptions.size(); ++I) {
    if (Kind != SwitchOptions[I].Name) continue;
    Into.Switches[I] = !Off;
    return 1;
  }
  return 0;
}

std::string SettingOptionsUsage() {
  std::string Text;
  for (const TNumberOption& N : NumberOptions) {
    std::string Line = "  --" + std::string(N.Name) + " N";
    Line.resize(std::max<size_t>(Line.size() + 1, 34), ' ');
    Text += Line + N.Caption + ", " + std::to_string(N.Range.Min) + " to " + std::to_string(N.Range.Max) + '\n';
  }
  for (const TSwitchOption& S : SwitchOptions) {
    std::string Line = "  --[no-]" + std::string(S.Name);
    Line.resize(std::max<size_t>(Line.size() + 1, 34), ' ');
    Text += Line + S.Caption + " on or off\n";
  }
  return Text;
}

}  // namespace quillet
