// Playback devices come from the sound layer's listing; capture-only devices do not count.
#include <gtest/gtest.h>

#include "platform/audio_devices.h"

namespace quillet {
namespace {

TEST(AudioDevicesTest, CountsPlaybackDevicesAndNamesThem) {
  const char* Listing =
      "00-00: ALC892 Analog : ALC892 Analog : playback 1 : capture 1\n"
      "00-02: ALC892 Alt Analog : ALC892 Alt Analog : capture 1\n"
      "01-03: HDMI 0 : HDMI 0 : playback 1\n"
      "02-00: USB Audio : USB : Audio : playback 1 : capture 1\r\n"
      "03-00: short : playback 2\n"
      "garbage line without fields\n"
      "\n"
      "04-00: x : y : capture 1 : playback 1";
  const std::vector<std::string> Expected{"ALC892 Analog", "HDMI 0", "USB", "short", "y"};
  EXPECT_EQ(ParsePlaybackDevices(Listing), Expected);
  EXPECT_TRUE(ParsePlaybackDevices("").empty());
}

TEST(AudioDevicesTest, AMissingListingMeansNoDevices) {
  EXPECT_TRUE(ListPlaybackDevices("/nonexistent/asound/pcm").empty());
  EXPECT_TRUE(ListPlaybackDevices("/").empty());  // a directory reads as nothing
}

}  // namespace
}  // namespace quillet
