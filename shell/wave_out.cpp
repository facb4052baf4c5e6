// The audio device probe over the sound layer's listing of playback devices.
#include "shell/wave_out.h"

#include <limits>
#include <utility>

#include "platform/audio_devices.h"
#include "platform/audio_output.h"
#include "platform/message_box_codes.h"
#include "shell/error_box.h"

namespace quillet {

std::string WaveOutErrorText(uint32_t Code) {
  switch (Code) {
    case MMSYSERR_NOERROR: return "No error.";
    case MMSYSERR_ERROR: return "An unspecified error occurred in the audio output layer.";
    case MMSYSERR_BADDEVICEID: return "The audio output device number is out of range.";
    case MMSYSERR_NODRIVER: return "No audio output driver is present.";
    case MMSYSERR_NOMEM: return "Not enough memory for the audio output query.";
    default: return "Unknown audio output error " + std::to_string(Code) + ".";
  }
}

TWaveOutApi SystemWaveOut(std::string ListingPath) {
  TWaveOutApi Api;
  Api.GetNumDevs = [ListingPath] {
    const size_t Count = ListPlaybackDevices(ListingPath).size();
    return static_cast<uint32_t>(std::min<size_t>(Count, std::numeric_limits<int32_t>::max()));
  };
  // The listing is read again for each query: a device that went away in between is reported.
  Api.GetDevCaps = [ListingPath](uint32_t Device, TWaveOutCaps& Caps) {
    const std::vector<std::string> Names = ListPlaybackDevices(ListingPath);
    if (Device >= Names.size()) return MMSYSERR_BADDEVICEID;
    Caps.Name = Names[Device];
    return MMSYSERR_NOERROR;
  };
  Api.GetErrorText = &WaveOutErrorText;
  return Api;
}

TWaveOutApi PlatformWaveOut() {
  TWaveOutApi Api;
  Api.GetNumDevs = &AudioOutputCount;
  Api.GetDevCaps = [](uint32_t Device, TWaveOutCaps& Caps) { return AudioOutputName(Device, Caps.Name); };
  Api.GetErrorText = [](uint32_t Code) {
    std::string Text = AudioOutputErrorText(Code);
    return Text.empty() ? WaveOutErrorText(Code) : Text;
  };
  return Api;
}

TWaveOutProbe ProbeWaveOut(const TWaveOutApi& Api) {
  TWaveOutProbe Probe;
  const uint32_t Count = Api.GetNumDevs ? Api.GetNumDevs() : 0;
  Probe.WaveOutDeviceCount =
      static_cast<int32_t>(std::min<uint32_t>(Count, std::numeric_limits<int32_t>::max()));
  Probe.HasWaveOut = Probe.WaveOutDeviceCount > 0;
  uint32_t Code = MMSYSERR_NOERROR;
  for (uint32_t Device = 0; Device < 2 && static_cast<int32_t>(Device) < Probe.WaveOutDeviceCount;
       ++Device)
    Code = Api.GetDevCaps ? Api.GetDevCaps(Device, Probe.WaveOutCaps[Device]) : MMSYSERR_NODRIVER;
  CheckMmResult(Code, "WaveOutGetDevCaps", Api);
  return Probe;
}

void CheckMmResult(uint32_t Code, std::string_view Name, const TWaveOutApi& Api) {
  if (Code == MMSYSERR_NOERROR) return;
  std::string Text = Api.GetErrorText ? Api.GetErrorText(Code) : WaveOutErrorText(Code);
  if (Text.size() > 255) Text.resize(255);
  std::string Caption = "SysUtil2: MMSystem.";
  Caption += Name;
  ErrorBox(Caption, Text, MB_ABORTRETRYIGNORE | MB_DEFBUTTON2);
}

}  // namespace quillet
