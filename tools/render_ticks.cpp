// The tick loop and the run shared by the renderers of every platform.
#include "tools/detail/render_ticks.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <optional>

#include "config/settings_file.h"
#include "demo/frame_tick.h"
#include "platform/input_file.h"
#include "platform/path_text.h"
#include "raster/blend.h"
#include "raster/engine_init.h"
#include "shell/sys_util.h"
#include "tools/png_file.h"

namespace quillet {

TRenderRun RenderTicks(const RenderOptions& Options, const DemoSettings& Settings, TBitmap32& Surface) {
  Surface.SetDimensions(Options.Width, Options.Height);
  Surface.TextFont().SetColor(0x0000FFFF);  // yellow, as the screen window sets it

  TFrameState State;
  State.SetDrawSurface(&Surface);
  SetFixedElapsedMs(Options.ElapsedMs);
  StartTiming();
  const TTickClock Clock{&ElapsedMs, &StartTiming};

  TRenderRun Run;
  const auto Start = std::chrono::steady_clock::now();
  for (int64_t I = 0; I < Options.Ticks; ++I) {
    if (timer1Timer(State, Settings, Options.Width, Options.Height, Clock) == TTickOutcome::Wiped) ++Run.Pages;
  }
  Run.Ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - Start).count();
  return Run;
}

namespace {

int Render(const std::vector<std::string>& Arguments, const std::function<std::shared_ptr<void>()>& StartTextOutput) {
  InitRasterEngine();
  std::string Error;
  const std::optional<RenderOptions> Options = ParseRenderOptions(Arguments, Error);
  if (!Options) {
    std::fprintf(stderr, "quillet-render: %s\n%s", Error.c_str(), RenderUsage);
    return 2;
  }
  if (Options->Help) {
    std::fputs(RenderUsage, stdout);
    return 0;
  }
  // A settings file named explicitly must be there: falling back to the defaults would render
  // a page the caller did not ask for.
  if (!Options->IniPath.empty() && !CanReadRegularFile(Options->IniPath, Error)) {
    std::fprintf(stderr, "quillet-render: cannot read settings file %s: %s\n", Options->IniPath.c_str(),
                 Error.c_str());
    return 2;
  }
  const std::shared_ptr<void> TextOutput = StartTextOutput();
  if (Options->Portable) InitBlendOps(BlendVariant::Portable);

  DemoSettings Settings;
  if (!Options->IniPath.empty()) LoadSettings(Settings, PathFromUtf8(Options->IniPath));

  TBitmap32 Surface;
  const TRenderRun Run = RenderTicks(*Options, Settings, Surface);

  if (!WritePng(Surface, Options->OutPath, Options->KeepAlpha ? TPngAlpha::Keep : TPngAlpha::Opaque, Error)) {
    std::fprintf(stderr, "quillet-render: cannot write %s: %s\n", Options->OutPath.c_str(), Error.c_str());
    return 1;
  }
  // With the page on standard output, the summary goes beside it.
  std::fprintf(Options->OutPath == "-" ? stderr : stdout, "ticks=%lld pages=%lld width=%d height=%d ms=%lld\n",
               static_cast<long long>(Options->Ticks), static_cast<long long>(Run.Pages), Options->Width,
               Options->Height, static_cast<long long>(Run.Ms));
  return 0;
}

}  // namespace

int RunRenderer(const std::vector<std::string>& Arguments,
                const std::function<std::shared_ptr<void>()>& StartTextOutput) {
  // A page too large for the memory at hand, or an unreadable settings file, ends with a message.
  try {
    return Render(Arguments, StartTextOutput);
  } catch (const std::exception& E) {
    std::fprintf(stderr, "quillet-render: %s\n", E.what());
    return 1;
  }
}

}  // namespace quillet
