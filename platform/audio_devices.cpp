// Reading the sound layer's device listing.
#include "platform/audio_devices.h"

#include <fstream>
#include <sstream>

namespace quillet {

namespace {

constexpr std::string_view FieldSeparator = " : ";

std::string_view Trim(std::string_view S) {
  while (!S.empty() && (S.front() == ' ' || S.front() == '\t')) S.remove_prefix(1);
  while (!S.empty() && (S.back() == ' ' || S.back() == '\t' || S.back() == '\r')) S.remove_suffix(1);
  return S;
}

}  // namespace

std::vector<std::string> ParsePlaybackDevices(std::string_view Listing) {
  std::vector<std::string> Names;
  while (!Listing.empty()) {
    const size_t End = Listing.find('\n');
    const std::string_view Line = Listing.substr(0, End);
    Listing.remove_prefix(End == std::string_view::npos ? Listing.size() : End + 1);

    std::vector<std::string_view> Fields;
    for (std::string_view Rest = Line;;) {
      const size_t Sep = Rest.find(FieldSeparator);
      Fields.push_back(Trim(Rest.substr(0, Sep)));
      if (Sep == std::string_view::npos) break;
      Rest.remove_prefix(Sep + FieldSeparator.size());
    }
    size_t PlaybackField = 0;
    for (size_t I = 1; I < Fields.size() && PlaybackField == 0; ++I)
      if (Fields[I].starts_with("playback ")) PlaybackField = I;
    if (PlaybackField == 0) continue;
    // The name is the field after the id; a line without one is named by its id.
    std::string_view Name = Fields[1];
    if (PlaybackField == 1) {
      Name = Fields[0];
      const size_t Colon = Name.find(':');
      if (Colon != std::string_view::npos) Name = Trim(Name.substr(Colon + 1));
    }
    Names.emplace_back(Name);
  }
  return Names;
}

std::vector<std::string> ListPlaybackDevices(const std::string& ListingPath) {
  std::ifstream File(ListingPath);
  if (!File) return {};
  std::ostringstream Content;
  Content << File.rdbuf();
  return ParsePlaybackDevices(Content.str());
}

}  // namespace quillet
