// The settings as command-line options, for hosts that start the saver with them: --objects N,
// --size N, --alpha N, --thickness N, --steps N, and --KIND / --no-KIND for each of the eighteen
// kinds of shapes, KIND being the family (aa, blend, gouraud, blend-gouraud) and the shape, as in
// --aa-lines or --no-blend-ellipse-disk. Values given here replace those of the settings file and
// are clamped to the dialog's ranges. The options are those of the settings tables. Plain C++, so
// that the parser can be tested and fuzzed alone.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/demo_settings.h"

namespace quillet {

// "--" + this is the switch's on form; "--no-" + this its off form: "aa-lines".
std::string SwitchOptionName(const TSwitchSetting& Switch);
// What the settings are called outside the dialog: "CurveSteps", "AlphaBlending Ellipse Disk".
std::string NumberCaption(const TNumberSetting& Number);
std::string SwitchCaption(const TSwitchSetting& Switch);

// The values the command line gives; the rest keep what the settings file says.
struct TSettingOverrides {
  std::array<std::optional<int32_t>, NumberSettings.size()> Numbers;
  std::array<std::optional<bool>, SwitchSettings.size()> Switches;

  void ApplyTo(DemoSettings& Settings) const;
  bool operator==(const TSettingOverrides&) const = default;
};

// Reads the option at Args[Index] when it names a setting. Returns how many arguments it took
// (2 for "--size 40", 1 for "--size=40" and for switches), 0 when Args[Index] names no setting,
// and -1 with Error set when a number is missing or malformed. A number is decimal with an
// optional sign; one outside the setting's range, however large, is clamped to it. A later
// option of the same setting wins.
int TakeSettingOption(const std::vector<std::string>& Args, size_t Index, TSettingOverrides& Into,
                      std::string& Error);

// One line per option, for the program's --help.
std::string SettingOptionsUsage();

}  // namespace quillet
