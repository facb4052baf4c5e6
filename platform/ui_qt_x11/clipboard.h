// Plain text on the system clipboard.
#pragma once

#include <string_view>

namespace quillet {

// Puts Text (UTF-8) on the clipboard; false when no application object exists. On X11 the text
// stays available after the program ends only if a clipboard manager takes it over, which Qt
// arranges when the application object is destroyed.
bool SetClipboardText(std::string_view Text);

}  // namespace quillet
