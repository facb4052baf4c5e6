// The facts that the runtime utilities record once at start-up, before the program's entry code
// runs, and their shutdown.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "shell/wave_out.h"

namespace quillet {

// Only the size is read by the rest of the program.
struct TDisplayInfo {
  int32_t Width = 0;
  int32_t Height = 0;
};

struct TRuntimeState {
  std::string ProgramBaseName;
  TDisplayInfo DisplayInfo;
  TWaveOutProbe WaveOut;
};

const TRuntimeState& Runtime();

struct TStartupServices {
  std::function<std::string()> ProgramBaseName;
  std::function<TDisplayInfo()> ReadDisplayInfo;
  TWaveOutApi WaveOut;
};

// In this order: the base name, the display, the audio probe (which may end the process through
// the error box), then the clock.
void RuntimeStartup(const TStartupServices& Services);
// Releases the instance mutex; safe to call more than once.
void RuntimeShutdown();

}  // namespace quillet
