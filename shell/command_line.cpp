// Reading the command line into a mode.
#include "command_line.h"

namespace quillet {

namespace {

std::string AsciiUpper(std::string_view S) {
  std::string Result(S);
  for (char& C : Result)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  return Result;
}

// Digits only, no sign or blanks, and within the 32 bits of a window id.
bool ParseWindowId(std::string_view S, uint32_t& Id) {
  if (S.empty()) return false;
  uint64_t Value = 0;
  for (const char C : S) {
    if (C < '0' || C > '9') return false;
    Value = Value * 10 + static_cast<uint64_t>(C - '0');
    if (Value > UINT32_MAX) return false;
  }
  Id = static_cast<uint32_t>(Value);
  return true;
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& Args) {
  TCommandLine Result;
  if (Args.empty()) return Result;
  Result.ModeText = AsciiUpper(Args[0]);
  if (Args.size() >= 2) {
    uint32_t Id = 0;
    if (ParseWindowId(Args[1], Id)) Result.PreviewParent = Id;
  }
  const std::string& T = Result.ModeText;
  if (T.size() < 2 || (T[0] != '-' && T[0] != '/')) return Result;
  switch (T[1]) {
    case 'A': Result.SaverMode = TSaverMode::ModeChangePassword; break;
    case 'C': Result.SaverMode = TSaverMode::ModeConfig; break;
    case 'P': Result.SaverMode = TSaverMode::ModePreview; break;
    case 'S': Result.SaverMode = TSaverMode::ModeSaver; break;
    default: break;
  }
  return Result;
}

std::string InstanceName(std::string_view ProgramBaseName, const std::vector<std::string>& Args) {
  std::string Name(ProgramBaseName);
  if (!Args.empty()) Name += std::string_view(Args[0]).substr(0, 2);
  return Name;
}

}  // namespace quillet
