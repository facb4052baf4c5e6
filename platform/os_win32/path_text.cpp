// File names on Windows: UTF-16 paths, made from and read back into UTF-8.
#include "platform/path_text.h"

#include "platform/os_win32/wide_text.h"

namespace quillet {

std::filesystem::path PathFromUtf8(std::string_view Name) {
  return std::filesystem::path(win32::WideFromUtf8(Name));
}

std::string Utf8FromPath(const std::filesystem::path& Path) { return win32::Utf8FromWide(Path.native()); }

}  // namespace quillet
