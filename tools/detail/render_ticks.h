// The frame ticks of quillet-render: a fresh screen window's state run headless on a surface.
#pragma once

#include <cstdint>

#include "config/demo_settings.h"
#include "raster/bitmap32.h"
#include "tools/render_options.h"

namespace quillet {

struct TRenderRun {
  int64_t Pages = 0;  // ticks that began a new page
  int64_t Ms = 0;     // wall time of the ticks alone
};

// Sizes Surface to the options' page, starts the generator, object count and clock as a new
// screen window does, and runs Options.Ticks ticks with Settings. The clock reads
// Options.ElapsedMs at every wipe when it is given.
TRenderRun RenderTicks(const RenderOptions& Options, const DemoSettings& Settings, TBitmap32& Surface);

}  // namespace quillet
