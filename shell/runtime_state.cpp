// Start-up and shutdown of the runtime utilities.
#include "shell/runtime_state.h"

#include "shell/instance_mutex.h"
#include "shell/sys_util.h"

namespace quillet {

namespace {

TRuntimeState& MutableRuntime() {
  static TRuntimeState State;
  return State;
}

}  // namespace

const TRuntimeState& Runtime() { return MutableRuntime(); }

void RuntimeStartup(const TStartupServices& Services) {
  TRuntimeState& State = MutableRuntime();
  State.ProgramBaseName = Services.ProgramBaseName ? Services.ProgramBaseName() : GetProgramBaseName();
  State.DisplayInfo = Services.ReadDisplayInfo ? Services.ReadDisplayInfo() : TDisplayInfo{};
  State.WaveOut = ProbeWaveOut(Services.WaveOut);
  StartTiming();
}

void RuntimeShutdown() { CloseInstanceMutex(); }

}  // namespace quillet
