// Reading the command line into a mode.
#include "shell/command_line.h"

namespace quillet {

namespace {

std::string AsciiUpper(std::string_view S) {
  std::string Result(S);
  for (char& C : Result)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  return Result;
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& Args, TCommandLineDialect Dialect) {
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
  // "/p:HWND" and "/c:HWND": the colon directly after the letter, then a window id.
  uint32_t AfterColon = 0;
  if (Dialect.WindowAfterColon && T.size() > 3 && T[2] == ':' &&
      ParseWindowId(std::string_view(T).substr(3), AfterColon)) {
    if (Result.SaverMode == TSaverMode::ModePreview) Result.PreviewParent = AfterColon;
    if (Result.SaverMode == TSaverMode::ModeConfig) Result.DialogOwner = AfterColon;
  }
  return Result;
}

bool ParseWindowId(std::string_view S, uint32_t& Id) {
  uint32_t Base = 10;
  if (S.size() > 2 && S[0] == '0' && (S[1] == 'x' || S[1] == 'X')) {
    Base = 16;
    S.remove_prefix(2);
  }
  if (S.empty()) return false;
  uint64_t Value = 0;
  for (const char C : S) {
    uint32_t Digit;
    if (C >= '0' && C <= '9')
      Digit = static_cast<uint32_t>(C - '0');
    else if (Base == 16 && C >= 'a' && C <= 'f')
      Digit = static_cast<uint32_t>(C - 'a' + 10);
    else if (Base == 16 && C >= 'A' && C <= 'F')
      Digit = static_cast<uint32_t>(C - 'A' + 10);
    else
      return false;
    Value = Value * Base + Digit;
    if (Value > UINT32_MAX) return false;
  }
  Id = static_cast<uint32_t>(Value);
  return true;
}

std::string InstanceName(std::string_view ProgramBaseName, const std::vector<std::string>& Args) {
  std::string Name(ProgramBaseName);
  if (!Args.empty()) Name += std::string_view(Args[0]).substr(0, 2);
  return Name;
}

std::string DisplaySession(std::string_view Display) {
  const size_t Colon = Display.rfind(':');
  if (Colon == std::string_view::npos) return std::string(Display);
  std::string_view Host = Display.substr(0, Colon);
  std::string_view Number = Display.substr(Colon + 1);
  const auto AllDigits = [](std::string_view S) {
    return !S.empty() && S.find_first_not_of("0123456789") == std::string_view::npos;
  };
  const size_t Dot = Number.find('.');
  if (Dot != std::string_view::npos && AllDigits(Number.substr(Dot + 1))) Number = Number.substr(0, Dot);
  if (!AllDigits(Number)) return std::string(Display);
  if (Host == "unix") Host = {};
  return std::string(Host) + ':' + std::string(Number);
}

std::string SessionInstanceName(std::string_view ProgramBaseName, const std::vector<std::string>& Args,
                                std::string_view Display) {
  const std::string Session = DisplaySession(Display);
  return Session.empty() ? InstanceName(ProgramBaseName, Args) : InstanceName(ProgramBaseName, Args) + '@' + Session;
}

}  // namespace quillet
