// The audio playback devices that the kernel's sound layer lists, probed once at start-up.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// The names of the playback devices in a listing in the format of /proc/asound/pcm, one device a
// line: "00-00: id : name : playback 1 : capture 1". Lines without a playback stream are skipped.
std::vector<std::string> ParsePlaybackDevices(std::string_view Listing);

// The playback devices of the running system; none when the listing is absent or unreadable.
std::vector<std::string> ListPlaybackDevices(const std::string& ListingPath = "/proc/asound/pcm");

}  // namespace quillet
