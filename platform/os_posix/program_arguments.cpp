// The arguments as main received them.
#include "platform/program_arguments.h"

namespace quillet {

std::vector<std::string> ProgramArguments(int Argc, char** Argv) {
  std::vector<std::string> Arguments;
  for (int I = 1; I < Argc; ++I) Arguments.emplace_back(Argv[I]);
  return Arguments;
}

}  // namespace quillet
