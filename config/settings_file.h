// Loading and saving DemoSettings in the settings INI file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "config/demo_settings.h"
#include "config/profile_file.h"

namespace quillet {

// The settings file's name; the platform layer decides its directory.
inline constexpr char SettingsFileName[] = "QUILLET.INI";

// Converts a stored number: blanks first; then "$", "x" or "X" with hexadecimal digits (at most
// 32 bits, taken as a two's-complement pattern), or decimal digits with an optional sign inside
// the 32-bit signed range; the digits must run to the end. A text longer than two characters
// that starts with "0x" or "0X" counts as starting with "$". False when the text is no number.
bool ParseStoredInteger(std::string_view Text, int32_t& Value);

// The key's number, or Default when it is missing or no number.
int32_t ReadStoredInteger(const ProfileDocument& Document, std::string_view Section,
                          std::string_view Key, int32_t Default);
// A switch is a number; anything but 0 is on. Missing or no number gives Default.
bool ReadStoredSwitch(const ProfileDocument& Document, std::string_view Section, std::string_view Key,
                      bool Default);

// Reads every setting from the file at Path (already placed); missing or bad values give the
// defaults, numbers are clamped to their ranges. Never fails.
void LoadSettings(DemoSettings& Settings, const std::filesystem::path& Path);

// Writes all 23 keys, keeping everything else in the file. Throws ProfileWriteError, naming the
// file by its last path component, when the file cannot be written; the file is then unchanged.
void SaveSettings(const DemoSettings& Settings, const std::filesystem::path& Path);

}  // namespace quillet
