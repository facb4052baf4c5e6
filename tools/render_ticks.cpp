// The tick loop shared by the renderers of every platform.
#include "tools/detail/render_ticks.h"

#include <chrono>

#include "demo/frame_tick.h"
#include "shell/sys_util.h"

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

}  // namespace quillet
