// Message boxes with the classic flag and result codes.
#pragma once

#include <cstdint>
#include <string_view>

class QWidget;

namespace quillet {

// Buttons (low four bits).
constexpr uint32_t MB_OK = 0x0;
constexpr uint32_t MB_OKCANCEL = 0x1;
constexpr uint32_t MB_ABORTRETRYIGNORE = 0x2;
constexpr uint32_t MB_YESNOCANCEL = 0x3;
constexpr uint32_t MB_YESNO = 0x4;
constexpr uint32_t MB_RETRYCANCEL = 0x5;
// Icon.
constexpr uint32_t MB_ICONHAND = 0x10;
constexpr uint32_t MB_ICONQUESTION = 0x20;
constexpr uint32_t MB_ICONEXCLAMATION = 0x30;
constexpr uint32_t MB_ICONASTERISK = 0x40;
// Default button (first when absent or beyond the last button).
constexpr uint32_t MB_DEFBUTTON1 = 0x000;
constexpr uint32_t MB_DEFBUTTON2 = 0x100;
constexpr uint32_t MB_DEFBUTTON3 = 0x200;

// The button pressed.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows a modal box with Text (plain text, UTF-8) and Caption and returns the button pressed.
// Escape and the close box answer Cancel where there is one, OK in a box with only OK, and are
// refused otherwise. Returns 0 when the box cannot be shown: no QApplication, or an unknown
// button set.
int ShowMessageBox(std::string_view Text, std::string_view Caption, uint32_t Flags,
                   QWidget* Parent = nullptr);

}  // namespace quillet
