// The program's command line and the renderer's options from hostile arguments (the input split
// at zero bytes). Switches given the classic way, with "/", must give the mode, the host window
// and the instance name that the rules say; a hosted command line must name a window or the root
// and clamp its settings; options the renderer accepts must give the same options again when
// written out and parsed anew.
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_expect.h"
#include "tools/render_options.h"
#include "shell/command_line.h"
#include "shell/launch_request.h"

using namespace quillet;
using quillet::fuzz::Expect;

namespace {

void CheckCommandLine(const std::vector<std::string>& Args) {
  const TCommandLine Line = ParseCommandLine(Args);
  Expect(InstanceName("quillet", Args) == "quillet" + (Args.empty() ? "" : Args[0].substr(0, 2)),
         "instance name");
  if (Args.empty() || Args[0].empty() || Args[0][0] != '/') return;

  std::string Upper = Args[0];
  for (char& C : Upper)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  Expect(Line.ModeText == Upper, "mode text");
  TSaverMode Mode = TSaverMode::ModeNone;
  if (Upper.size() >= 2) {
    if (Upper[1] == 'A') Mode = TSaverMode::ModeChangePassword;
    if (Upper[1] == 'C') Mode = TSaverMode::ModeConfig;
    if (Upper[1] == 'P') Mode = TSaverMode::ModePreview;
    if (Upper[1] == 'S') Mode = TSaverMode::ModeSaver;
  }
  Expect(Line.SaverMode == Mode, "mode");

  // The host window: decimal digits, or "0x"/"0X" and hexadecimal digits, within 32 bits.
  uint32_t Parent = 0;
  if (Args.size() >= 2) {
    std::string_view Id = Args[1];
    int Base = 10;
    const char* Allowed = "0123456789";
    if (Id.size() > 2 && Id[0] == '0' && (Id[1] == 'x' || Id[1] == 'X')) {
      Id.remove_prefix(2);
      Base = 16;
      Allowed = "0123456789abcdefABCDEF";
    }
    if (!Id.empty() && Id.find_first_not_of(Allowed) == std::string_view::npos) {
      uint32_t Value = 0;
      const auto [Ptr, Ec] = std::from_chars(Id.data(), Id.data() + Id.size(), Value, Base);
      if (Ec == std::errc() && Ptr == Id.data() + Id.size()) Parent = Value;
    }
  }
  Expect(Line.PreviewParent == Parent, "preview parent");
}

void CheckLaunchRequest(const std::vector<std::string>& Args, const char* HostVariable) {
  const TLaunchRequest R = ParseLaunchRequest(Args, HostVariable);
  Expect((R.Action == TLaunchAction::UsageError) == !R.Error.empty(), "error text");
  if (!Args.empty() && (Args[0] == "--help" || Args[0] == "-h"))
    Expect(R.Action == TLaunchAction::Help, "help");
  if (!Args.empty() && Args[0].substr(0, 2) != "--" && Args[0] != "-root" &&
      Args[0] != "-window-id" && Args[0] != "-fps" && Args[0] != "-h")
    Expect(R.Action == TLaunchAction::ScreenSaverMode, "classic switch read as a host option");
  if (R.Action != TLaunchAction::Hosted) return;
  Expect(R.Target == THostTarget::Root || R.HostWindow != 0, "hosted without a window");
  for (size_t I = 0; I < NumberOptions.size(); ++I) {
    const std::optional<int32_t>& Value = R.Overrides.Numbers[I];
    Expect(!Value || (*Value >= NumberOptions[I].Range.Min && *Value <= NumberOptions[I].Range.Max),
           "setting outside its range");
  }
}

void CheckRenderOptions(const std::vector<std::string>& Args) {
  std::string Error;
  const std::optional<RenderOptions> Options = ParseRenderOptions(Args, Error);
  if (!Options || Options->Help) return;
  const RenderOptions& O = *Options;
  Expect(O.Width >= 1 && O.Width <= MaxRenderSide && O.Height >= 1 && O.Height <= MaxRenderSide,
         "page size out of range");
  Expect(O.Ticks >= 0 && O.Ticks <= MaxRenderTicks, "ticks out of range");
  Expect(!O.OutPath.empty(), "no output");

  std::vector<std::string> Again = {"--width", std::to_string(O.Width), "--height",
                                    std::to_string(O.Height), "--ticks", std::to_string(O.Ticks),
                                    "--out", O.OutPath};
  if (!O.IniPath.empty()) Again.insert(Again.end(), {"--ini", O.IniPath});
  if (O.ElapsedMs) Again.insert(Again.end(), {"--elapsed-ms", std::to_string(*O.ElapsedMs)});
  if (O.Portable) Again.push_back("--portable");
  if (O.KeepAlpha) Again.push_back("--keep-alpha");
  const std::optional<RenderOptions> Reparsed = ParseRenderOptions(Again, Error);
  Expect(Reparsed.has_value(), "written-out options were refused");
  Expect(Reparsed->Width == O.Width && Reparsed->Height == O.Height && Reparsed->Ticks == O.Ticks &&
             Reparsed->IniPath == O.IniPath && Reparsed->ElapsedMs == O.ElapsedMs &&
             Reparsed->Portable == O.Portable && Reparsed->KeepAlpha == O.KeepAlpha &&
             Reparsed->OutPath == O.OutPath,
         "written-out options read back differently");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  std::vector<std::string> Args;
  if (Size > 0) Args.emplace_back();
  for (size_t I = 0; I < Size && Args.size() <= 16; ++I) {
    if (Data[I] == 0)
      Args.emplace_back();
    else
      Args.back() += static_cast<char>(Data[I]);
  }
  CheckCommandLine(Args);
  CheckLaunchRequest(Args, nullptr);
  // The host's variable taken from the last argument, which may be anything.
  if (!Args.empty())
    CheckLaunchRequest(std::vector<std::string>(Args.begin(), Args.end() - 1), Args.back().c_str());
  CheckRenderOptions(Args);
  return 0;
}
