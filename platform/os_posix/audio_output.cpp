// The audio output queries over the sound layer's listing of playback devices.
#include "platform/audio_output.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "platform/audio_devices.h"

namespace quillet {

uint32_t AudioOutputCount() {
  const size_t Count = ListPlaybackDevices().size();
  return static_cast<uint32_t>(std::min<size_t>(Count, std::numeric_limits<int32_t>::max()));
}

uint32_t AudioOutputName(uint32_t Device, std::string& Name) {
  // Read again for each query: a device that went away in between is reported.
  const std::vector<std::string> Names = ListPlaybackDevices();
  if (Device >= Names.size()) return AudioOutputBadDevice;
  Name = Names[Device];
  return AudioOutputOk;
}

std::string AudioOutputErrorText(uint32_t) { return {}; }

}  // namespace quillet
