// Process facts from the module loader.
#include "platform/process_facts.h"

#include <windows.h>

#include <vector>

#include "platform/os_win32/wide_text.h"

namespace quillet {

std::string ProgramFilePath() {
  // Long paths may exceed MAX_PATH: grow the buffer until the name fits (the result then stays
  // below the buffer's size), up to the longest path the system has.
  for (DWORD Size = MAX_PATH; Size <= 32768; Size *= 2) {
    std::vector<wchar_t> Buffer(Size);
    const DWORD Length = ::GetModuleFileNameW(nullptr, Buffer.data(), Size);
    if (Length == 0) return {};
    if (Length < Size) return win32::Utf8FromWide(std::wstring_view(Buffer.data(), Length));
  }
  return {};
}

std::string_view ProgramPathSeparators() { return "\\/"; }

}  // namespace quillet
