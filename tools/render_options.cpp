// Strict parsing: whole decimal numbers in range, every option at most once, --out required.
#include "tools/render_options.h"

#include <charconv>
#include <set>

namespace quillet {

const char RenderUsage[] =
    "usage: quillet-render [--width W] [--height H] [--ticks N] [--ini FILE] [--elapsed-ms MS]\n"
    "                      [--portable] [--keep-alpha] --out FILE.png\n"
    "       quillet-render --help\n"
    "  --width, --height  client and surface size, 1 to 16384 (default 640 x 480)\n"
    "  --ticks            number of frame ticks, 0 to 1000000000 (default 100)\n"
    "  --ini              settings file to read (default: the built-in defaults)\n"
    "  --elapsed-ms       the time printed at every wipe, 0 to 4294967295\n"
    "  --portable         use the portable blend procedures\n"
    "  --keep-alpha       write the surface's alpha channel (default: opaque, as on the screen)\n"
    "  --out              the PNG to write; - for standard output (the summary then goes to stderr)\n"
    "prints: ticks=N pages=P width=W height=H ms=T (P the number of wipes, T the ticks' wall time)\n";

namespace {

bool ParseNumber(const std::string& Text, int64_t Lo, int64_t Hi, int64_t& Value) {
  if (Text.empty()) return false;
  const char* End = Text.data() + Text.size();
  const auto [Ptr, Ec] = std::from_chars(Text.data(), End, Value);
  return Ec == std::errc() && Ptr == End && Value >= Lo && Value <= Hi;
}

}  // namespace

std::optional<RenderOptions> ParseRenderOptions(const std::vector<std::string>& Args,
                                                std::string& Error) {
  RenderOptions O;
  for (const std::string& Arg : Args) {
    if (Arg == "--help" || Arg == "-h") {
      O.Help = true;
      return O;
    }
  }
  std::set<std::string> Seen;
  for (size_t I = 0; I < Args.size(); ++I) {
    const std::string& Name = Args[I];
    if (!Seen.insert(Name).second) {
      Error = "option given twice: " + Name;
      return std::nullopt;
    }
    if (Name == "--portable" || Name == "--keep-alpha") {
      (Name == "--portable" ? O.Portable : O.KeepAlpha) = true;
      continue;
    }
    const bool Known = Name == "--width" || Name == "--height" || Name == "--ticks" ||
                       Name == "--ini" || Name == "--elapsed-ms" || Name == "--out";
    if (!Known) {
      Error = "unknown argument: " + Name;
      return std::nullopt;
    }
    if (I + 1 >= Args.size()) {
      Error = "missing value after " + Name;
      return std::nullopt;
    }
    const std::string& Value = Args[++I];
    int64_t N = 0;
    bool Ok = true;
    if (Name == "--width") {
      Ok = ParseNumber(Value, 1, MaxRenderSide, N);
      O.Width = static_cast<int32_t>(N);
    } else if (Name == "--height") {
      Ok = ParseNumber(Value, 1, MaxRenderSide, N);
      O.Height = static_cast<int32_t>(N);
    } else if (Name == "--ticks") {
      Ok = ParseNumber(Value, 0, MaxRenderTicks, N);
      O.Ticks = N;
    } else if (Name == "--elapsed-ms") {
      Ok = ParseNumber(Value, 0, UINT32_MAX, N);
      O.ElapsedMs = static_cast<uint32_t>(N);
    } else if (Name == "--ini") {
      Ok = !Value.empty();
      O.IniPath = Value;
    } else {
      Ok = !Value.empty();
      O.OutPath = Value;
    }
    if (!Ok) {
      Error = "bad value for " + Name + ": " + Value;
      return std::nullopt;
    }
  }
  if (O.OutPath.empty()) {
    Error = "--out is required";
    return std::nullopt;
  }
  return O;
}

}  // namespace quillet
