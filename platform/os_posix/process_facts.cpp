// Process facts read from the kernel.
#include "platform/process_facts.h"

#include <climits>

#include <unistd.h>

namespace quillet {

std::string ProgramFilePath() {
  char Buffer[PATH_MAX];
  const ssize_t Length = ::readlink("/proc/self/exe", Buffer, sizeof Buffer);
  if (Length <= 0 || Length >= static_cast<ssize_t>(sizeof Buffer)) return {};
  return std::string(Buffer, static_cast<size_t>(Length));
}

std::string_view ProgramPathSeparators() { return "/"; }

}  // namespace quillet
