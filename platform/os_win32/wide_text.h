// Text at the Windows API: UTF-8 inside the program, UTF-16 in the wide (W) calls.
#pragma once

#include <string>
#include <string_view>

namespace quillet::win32 {

// Invalid UTF-8 becomes U+FFFD; embedded zero characters are kept.
std::wstring WideFromUtf8(std::string_view Text);
// Unpaired surrogates become U+FFFD.
std::string Utf8FromWide(std::wstring_view Text);

// The system's message for a Windows error code, without its line end; "error N" when it has none.
std::string SystemErrorText(unsigned long Code);

}  // namespace quillet::win32
