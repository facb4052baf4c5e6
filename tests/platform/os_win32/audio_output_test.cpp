// The multimedia layer's audio output queries and the start-up probe over them. (No windows.h
// here: its MMSYSERR_ macros would clash with the shell's names.)
#include <gtest/gtest.h>

#include <string>

#include "platform/audio_output.h"
#include "shell/error_box.h"
#include "shell/wave_out.h"

namespace quillet {
namespace {

TEST(AudioOutput, AFailedQueryGivesTheSystemsCodeAndText) {
  const uint32_t Count = AudioOutputCount();
  std::string Name = "unchanged";
  const uint32_t Code = AudioOutputName(Count + 3, Name);
  EXPECT_EQ(Code, MMSYSERR_BADDEVICEID);
  EXPECT_EQ(Name, "unchanged");
  EXPECT_FALSE(AudioOutputErrorText(Code).empty());
  EXPECT_EQ(PlatformWaveOut().GetErrorText(Code), AudioOutputErrorText(Code));
  for (uint32_t Device = 0; Device < Count; ++Device) {
    EXPECT_EQ(AudioOutputName(Device, Name), AudioOutputOk);
    EXPECT_FALSE(Name.empty());
  }
}

TEST(AudioOutput, TheStartUpProbeSeesTheSameDevicesWithoutAnError) {
  int Boxes = 0;
  TErrorBoxHooks Hooks;
  Hooks.ShowBox = [&Boxes](std::string_view, std::string_view, uint32_t) {
    ++Boxes;
    return 5;  // Ignore
  };
  SetErrorBoxHooks(Hooks);
  const TWaveOutProbe Probe = ProbeWaveOut(PlatformWaveOut());
  SetErrorBoxHooks({});
  EXPECT_EQ(static_cast<uint32_t>(Probe.WaveOutDeviceCount), AudioOutputCount());
  EXPECT_EQ(Probe.HasWaveOut, AudioOutputCount() > 0);
  EXPECT_EQ(Boxes, 0);
}

}  // namespace
}  // namespace quillet
