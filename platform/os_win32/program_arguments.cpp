// The arguments from the process's wide command line, split by the system's rules.
#include "platform/program_arguments.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/os_win32/wide_text.h"

namespace quillet {

std::vector<std::string> ProgramArguments(int Argc, char** Argv) {
  std::vector<std::string> Arguments;
  int Count = 0;
  wchar_t** Wide = ::CommandLineToArgvW(::GetCommandLineW(), &Count);
  if (Wide == nullptr) {
    for (int I = 1; I < Argc; ++I) Arguments.emplace_back(Argv[I]);
    return Arguments;
  }
  for (int I = 1; I < Count; ++I) Arguments.push_back(win32::Utf8FromWide(Wide[I]));
  ::LocalFree(Wide);
  return Arguments;
}

}  // namespace quillet
