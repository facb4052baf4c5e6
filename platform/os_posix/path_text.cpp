// File names on a system whose file calls take bytes: they pass as they are.
#include "platform/path_text.h"

namespace quillet {

std::filesystem::path PathFromUtf8(std::string_view Name) { return std::filesystem::path(std::string(Name)); }

std::string Utf8FromPath(const std::filesystem::path& Path) { return Path.native(); }

}  // namespace quillet
