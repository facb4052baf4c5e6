// The audio output devices, probed once at start-up, and the check of a multimedia result code.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quillet {

// Multimedia result codes.
inline constexpr uint32_t MMSYSERR_NOERROR = 0;
inline constexpr uint32_t MMSYSERR_ERROR = 1;
inline constexpr uint32_t MMSYSERR_BADDEVICEID = 2;
inline constexpr uint32_t MMSYSERR_NODRIVER = 6;
inline constexpr uint32_t MMSYSERR_NOMEM = 7;

// What is known of a device: its name in the sound layer's listing.
struct TWaveOutCaps {
  std::string Name;
};

// The three services the probe uses; SystemWaveOut reads the kernel's listing.
struct TWaveOutApi {
  std::function<uint32_t()> GetNumDevs;
  std::function<uint32_t(uint32_t Device, TWaveOutCaps& Caps)> GetDevCaps;
  std::function<std::string(uint32_t Code)> GetErrorText;
};

TWaveOutApi SystemWaveOut(std::string ListingPath = "/proc/asound/pcm");

// The platform's own audio output queries (platform/audio_output.h): on Windows the multimedia
// layer's, whose error texts they also give.
TWaveOutApi PlatformWaveOut();

// The text of a result code, at most 255 characters.
std::string WaveOutErrorText(uint32_t Code);

struct TWaveOutProbe {
  int32_t WaveOutDeviceCount = 0;
  bool HasWaveOut = false;
  std::array<TWaveOutCaps, 2> WaveOutCaps{};
};

// Counts the devices, reads the capabilities of devices 0 and 1 where they exist, and checks the
// code of the last query (0 when none was made) with CheckMmResult.
TWaveOutProbe ProbeWaveOut(const TWaveOutApi& Api);

// Nothing for 0; otherwise ErrorBox with the caption "SysUtil2: MMSystem." followed by Name, the
// code's text and Abort/Retry/Ignore with Retry as default. Retry and Ignore both go on.
void CheckMmResult(uint32_t Code, std::string_view Name, const TWaveOutApi& Api);

}  // namespace quillet
