// File names as text: inside the program every name is UTF-8; the system's own form (bytes here,
// UTF-16 on Windows) is made only where a path meets a file call.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quillet {

// Bytes that are no valid UTF-8 become U+FFFD where the system needs UTF-16; where it takes
// bytes, they pass unchanged.
std::filesystem::path PathFromUtf8(std::string_view Name);
std::string Utf8FromPath(const std::filesystem::path& Path);

}  // namespace quillet
