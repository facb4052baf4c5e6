// The frame ticks of quillet-render: a fresh screen window's state run headless on a surface, and
// the renderer's whole run around them, shared by every platform's main.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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

// Reads the options (Arguments, UTF-8, without the program's name), the settings file, runs the
// ticks and writes the page and its summary line; returns the exit code, with every failure named
// on stderr. StartTextOutput runs once the options are good, before any text is drawn; what it
// returns is kept until the page is written.
int RunRenderer(const std::vector<std::string>& Arguments,
                const std::function<std::shared_ptr<void>()>& StartTextOutput);

}  // namespace quillet
