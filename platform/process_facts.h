// Facts about the running process that the shell reads at start-up.
#pragma once

#include <string>

namespace quillet {

// The full path of the running program file ("/proc/self/exe"); empty when it cannot be read.
std::string ProgramFilePath();

}  // namespace quillet
