// Input files named on the command line.
#include "platform/input_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet {

bool CanReadRegularFile(const std::string& Path, std::string& Why) {
  struct stat Info{};
  if (::stat(Path.c_str(), &Info) != 0) {
    Why = std::strerror(errno);
    return false;
  }
  if (!S_ISREG(Info.st_mode)) {
    Why = "not a regular file";
    return false;
  }
  // O_NONBLOCK: should the name have turned into a FIFO since, opening must not wait for it.
  const int Fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (Fd < 0) {
    Why = std::strerror(errno);
    return false;
  }
  const bool Regular = ::fstat(Fd, &Info) == 0 && S_ISREG(Info.st_mode);
  ::close(Fd);
  if (!Regular) Why = "not a regular file";
  return Regular;
}

}  // namespace quillet
