// Input files of the command-line tools on Windows, checked through the standard file system
// calls on the UTF-16 path.
#include "platform/input_file.h"

#include <filesystem>
#include <fstream>

#include "platform/path_text.h"

namespace quillet {

bool CanReadRegularFile(const std::string& Path, std::string& Why) {
  const std::filesystem::path File = PathFromUtf8(Path);
  std::error_code Error;
  const std::filesystem::file_status Status = std::filesystem::status(File, Error);
  if (Error) {
    Why = Error.message();
    return false;
  }
  if (Status.type() == std::filesystem::file_type::not_found) {
    Why = "No such file or directory";
    return false;
  }
  if (Status.type() != std::filesystem::file_type::regular) {
    Why = "not a regular file";
    return false;
  }
  if (!std::ifstream(File, std::ios::binary)) {
    Why = "Permission denied";
    return false;
  }
  return true;
}

}  // namespace quillet
