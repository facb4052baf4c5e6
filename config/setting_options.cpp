// Setting options: the settings tables read as options, by the parser and the usage text.
#include "config/setting_options.h"

#include <algorithm>

namespace quillet {

std::string SwitchOptionName(const TSwitchSetting& Switch) {
  return std::string(FamilyOf(Switch).OptionPrefix) + '-' + Switch.OptionShape;
}

std::string NumberCaption(const TNumberSetting& Number) {
  std::string Caption = Number.RowCaption;
  if (!Caption.empty() && Caption.back() == ':') Caption.pop_back();
  return Caption;
}

std::string SwitchCaption(const TSwitchSetting& Switch) {
  return std::string(FamilyOf(Switch).Caption) + ' ' + Switch.Caption;
}

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
  for (size_t I = 0; I < NumberSettings.size(); ++I)
    if (Numbers[I]) (Settings.*NumberSettings[I].Set)(*Numbers[I]);
  for (size_t I = 0; I < SwitchSettings.size(); ++I)
    if (Switches[I]) Settings.*SwitchSettings[I].Field = *Switches[I];
}

int TakeSettingOption(const std::vector<std::string>& Args, size_t Index, TSettingOverrides& Into,
                      std::string& Error) {
  if (Index >= Args.size()) return 0;
  std::string_view Arg = Args[Index];
  if (Arg.substr(0, 2) != "--") return 0;
  Arg.remove_prefix(2);

  const size_t Equals = Arg.find('=');
  const std::string_view Name = Arg.substr(0, Equals);
  for (size_t I = 0; I < NumberSettings.size(); ++I) {
    if (Name != NumberSettings[I].Option) continue;
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
    if (!ParseClampedNumber(Value, NumberSettings[I].Range, Number)) {
      Error = "--" + std::string(Name) + " needs a whole number, not '" + std::string(Value) + "'";
      return -1;
    }
    Into.Numbers[I] = Number;
    return Taken;
  }

  if (Equals != std::string_view::npos) return 0;
  const bool Off = Name.substr(0, 3) == "no-";
  const std::string_view Kind = Off ? Name.substr(3) : Name;
  for (size_t I = 0; I < SwitchSettings.size(); ++I) {
    if (Kind != SwitchOptionName(SwitchSettings[I])) continue;
    Into.Switches[I] = !Off;
    return 1;
  }
  return 0;
}

std::string SettingOptionsUsage() {
  std::string Text;
  for (const TNumberSetting& N : NumberSettings) {
    std::string Line = "  --" + std::string(N.Option) + " N";
    Line.resize(std::max<size_t>(Line.size() + 1, 34), ' ');
    Text += Line + NumberCaption(N) + ", " + std::to_string(N.Range.Min) + " to " + std::to_string(N.Range.Max) + '\n';
  }
  for (const TSwitchSetting& S : SwitchSettings) {
    std::string Line = "  --[no-]" + SwitchOptionName(S);
    Line.resize(std::max<size_t>(Line.size() + 1, 34), ' ');
    Text += Line + SwitchCaption(S) + " on or off\n";
  }
  return Text;
}

}  // namespace quillet
