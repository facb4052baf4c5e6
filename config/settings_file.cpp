// Reading and writing DemoSettings in the settings file, key by key in the order of the settings
// tables, and the file's number format.
#include "config/settings_file.h"

#include <array>
#include <string>

namespace quillet {

namespace {

int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

}  // namespace

bool ParseStoredInteger(std::string_view Text, int32_t& Value) {
  std::string Prefixed;
  if (Text.size() > 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X')) {
    Prefixed = '$';
    Prefixed += Text.substr(2);
    Text = Prefixed;
  }
  while (!Text.empty() && (Text.front() == ' ' || Text.front() == '\t')) Text.remove_prefix(1);
  if (Text.empty()) return false;

  // Accumulating in 64 bits and stopping past the limit keeps any number of leading zeros valid.
  if (Text.front() == '$' || Text.front() == 'x' || Text.front() == 'X') {
    Text.remove_prefix(1);
    if (Text.empty()) return false;
    uint64_t Bits = 0;
    for (const char C : Text) {
      const int D = HexDigit(C);
      if (D < 0) return false;
      Bits = Bits * 16 + static_cast<uint64_t>(D);
      if (Bits > 0xFFFFFFFFu) return false;
    }
    Value = static_cast<int32_t>(static_cast<uint32_t>(Bits));
    return true;
  }

  bool Negative = false;
  if (Text.front() == '+' || Text.front() == '-') {
    Negative = Text.front() == '-';
    Text.remove_prefix(1);
  }
  if (Text.empty()) return false;
  const uint64_t Limit = Negative ? 0x80000000u : 0x7FFFFFFFu;
  uint64_t Magnitude = 0;
  for (const char C : Text) {
    if (C < '0' || C > '9') return false;
    Magnitude = Magnitude * 10 + static_cast<uint64_t>(C - '0');
    if (Magnitude > Limit) return false;
  }
  Value = Negative ? static_cast<int32_t>(-static_cast<int64_t>(Magnitude)) : static_cast<int32_t>(Magnitude);
  return true;
}

int32_t ReadStoredInteger(const ProfileDocument& Document, std::string_view Section,
                          std::string_view Key, int32_t Default) {
  int32_t Value = 0;
  return ParseStoredInteger(Document.Get(Section, Key, ""), Value) ? Value : Default;
}

bool ReadStoredSwitch(const ProfileDocument& Document, std::string_view Section, std::string_view Key,
                      bool Default) {
  return ReadStoredInteger(Document, Section, Key, Default ? 1 : 0) != 0;
}

void LoadSettings(DemoSettings& Settings, const std::filesystem::path& Path) {
  const ProfileFile File(Path);
  for (const TNumberSetting& N : NumberSettings)
    (Settings.*N.Set)(ReadStoredInteger(File.Document(), NumbersSection, N.Key, N.FileDefault));
  for (const TSwitchSetting& S : SwitchSettings)
    Settings.*S.Field = ReadStoredSwitch(File.Document(), FamilyOf(S).Section, S.Key, S.FileDefault);
}

void SaveSettings(const DemoSettings& Settings, const std::filesystem::path& Path) {
  ProfileFile File(Path);
  for (const TNumberSetting& N : NumberSettings)
    File.Write(NumbersSection, N.Key, std::to_string((Settings.*N.Get)()));
  for (const TSwitchSetting& S : SwitchSettings) File.Write(FamilyOf(S).Section, S.Key, Settings.*S.Field ? "1" : "0");
  File.Close();
}

}  // namespace quillet
