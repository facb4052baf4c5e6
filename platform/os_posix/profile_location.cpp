// Placement of profile files under the XDG base directory rules.
#include "platform/profile_location.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace quillet {

namespace {

// The variable's value when it is set to an absolute path; relative values are ignored.
std::filesystem::path AbsoluteFromEnvironment(const char* Variable) {
  const char* Value = std::getenv(Variable);
  if (Value == nullptr || Value[0] != '/') return {};
  return Value;
}

std::filesystem::path HomeDirectory() {
  std::filesystem::path Home = AbsoluteFromEnvironment("HOME");
  if (!Home.empty()) return Home;
  long Size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> Buffer(Size > 0 ? static_cast<size_t>(Size) : 16384);
  passwd Entry{};
  passwd* Found = nullptr;
  if (::getpwuid_r(::getuid(), &Entry, Buffer.data(), Buffer.size(), &Found) == 0 && Found != nullptr &&
      Found->pw_dir != nullptr && Found->pw_dir[0] == '/')
    return Found->pw_dir;
  return {};
}

}  // namespace

std::filesystem::path ProfileFilePath(std::string_view Name) {
  const std::filesystem::path File{std::string(Name)};
  if (Name.find('/') != std::string_view::npos) return File;
  std::filesystem::path Dir = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
  if (Dir.empty()) {
    const std::filesystem::path Home = HomeDirectory();
    if (!Home.empty()) Dir = Home / ".config";
  }
  return Dir.empty() ? File : Dir / File;
}

std::filesystem::path ProfileReadPath(std::string_view Name) { return ProfileFilePath(Name); }

}  // namespace quillet
