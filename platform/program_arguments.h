// The program's arguments after its own path, as UTF-8 text.
#pragma once

#include <string>
#include <vector>

namespace quillet {

// From main's arguments where the system passes them as they were given; on Windows from the
// process's own wide command line (main's narrow copy has lost what the code page cannot hold),
// split by the system's rules, so that a quoted argument keeps its blanks.
std::vector<std::string> ProgramArguments(int Argc, char** Argv);

}  // namespace quillet
