// UTF-8 and UTF-16 conversions through the system's own converters.
#include "platform/os_win32/wide_text.h"

#include <windows.h>

#include <climits>

namespace quillet::win32 {

std::wstring WideFromUtf8(std::string_view Text) {
  // The calls take int lengths; longer texts are converted piece by piece, each cut at a
  // character boundary (never before a continuation byte).
  std::wstring Wide;
  while (!Text.empty()) {
    size_t Take = Text.size() < INT_MAX / 2 ? Text.size() : INT_MAX / 2;
    while (Take < Text.size() && Take > 0 && (static_cast<unsigned char>(Text[Take]) & 0xC0) == 0x80) --Take;
    const int Length = static_cast<int>(Take);
    const int Needed = ::MultiByteToWideChar(CP_UTF8, 0, Text.data(), Length, nullptr, 0);
    if (Needed <= 0) break;
    const size_t Old = Wide.size();
    Wide.resize(Old + static_cast<size_t>(Needed));
    ::MultiByteToWideChar(CP_UTF8, 0, Text.data(), Length, Wide.data() + Old, Needed);
    Text.remove_prefix(Take);
  }
  return Wide;
}

std::string Utf8FromWide(std::wstring_view Text) {
  std::string Narrow;
  while (!Text.empty()) {
    size_t Take = Text.size() < INT_MAX / 4 ? Text.size() : INT_MAX / 4;
    // Never split a surrogate pair.
    if (Take < Text.size() && Take > 0 && Text[Take] >= 0xDC00 && Text[Take] <= 0xDFFF) --Take;
    const int Length = static_cast<int>(Take);
    const int Needed = ::WideCharToMultiByte(CP_UTF8, 0, Text.data(), Length, nullptr, 0, nullptr, nullptr);
    if (Needed <= 0) break;
    const size_t Old = Narrow.size();
    Narrow.resize(Old + static_cast<size_t>(Needed));
    ::WideCharToMultiByte(CP_UTF8, 0, Text.data(), Length, Narrow.data() + Old, Needed, nullptr, nullptr);
    Text.remove_prefix(Take);
  }
  return Narrow;
}

std::string SystemErrorText(unsigned long Code) {
  wchar_t* Buffer = nullptr;
  const DWORD Length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, Code, 0, reinterpret_cast<wchar_t*>(&Buffer), 0, nullptr);
  std::wstring Message = Length > 0 && Buffer ? std::wstring(Buffer, Length) : std::wstring();
  if (Buffer) ::LocalFree(Buffer);
  while (!Message.empty() && (Message.back() == L'\n' || Message.back() == L'\r' || Message.back() == L' '))
    Message.pop_back();
  if (Message.empty()) return "error " + std::to_string(Code);
  return Utf8FromWide(Message);
}

}  // namespace quillet::win32
