// Facts about the running process that the shell reads at start-up.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

// The full path of the running program file ("/proc/self/exe"); empty when it cannot be read.
std::string ProgramFilePath();

// The characters that end a directory in that path: "/" here; "\\" and "/" on Windows.
std::string_view ProgramPathSeparators();

}  // namespace quillet
