// The command line of quillet-render, parsed without any toolkit so that it can be tested alone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillet {

struct RenderOptions {
  int32_t Width = 640;
  int32_t Height = 480;
  int64_t Ticks = 100;
  std::string IniPath;                 // empty: the default settings
  std::optional<uint32_t> ElapsedMs;   // the clock reads this at every wipe
  bool Portable = false;
  bool KeepAlpha = false;              // false: opaque pages, as the screen shows them
  bool Help = false;                   // --help or -h: print the usage, render nothing
  std::string OutPath;
};

constexpr int32_t MaxRenderSide = 16384;
constexpr int64_t MaxRenderTicks = 1000000000;

extern const char RenderUsage[];

// Arguments after the program name. Nullopt with Error set on anything unknown, repeated,
// missing or out of range. --help (or -h) anywhere asks for the usage alone.
std::optional<RenderOptions> ParseRenderOptions(const std::vector<std::string>& Args,
                                                std::string& Error);

}  // namespace quillet
