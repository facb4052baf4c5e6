// Message boxes with the classic flag and result codes.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/message_box_codes.h"

class QWidget;

namespace quillet {

// Shows a modal box with Text (plain text, UTF-8) and Caption and returns the button pressed.
// Escape and the close box answer Cancel where there is one, OK in a box with only OK, and are
// refused otherwise. Returns 0 when the box cannot be shown: no QApplication, or an unknown
// button set.
int ShowMessageBox(std::string_view Text, std::string_view Caption, uint32_t Flags,
                   QWidget* Parent = nullptr);

}  // namespace quillet
