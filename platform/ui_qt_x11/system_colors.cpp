// The classic system colour indices mapped onto the roles of the application palette.
#include "platform/ui_qt_x11/system_colors.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>

namespace quillet {

namespace {

struct PaletteSlot {
  QPalette::ColorGroup Group;
  QPalette::ColorRole Role;
};

constexpr QPalette::ColorGroup Active = QPalette::Active;
constexpr QPalette::ColorGroup Inactive = QPalette::Inactive;
constexpr QPalette::ColorGroup Disabled = QPalette::Disabled;

// Index order is fixed by the system colour numbering. There is no desktop colour in a palette;
// the dark shade stands in for it so that text in it stays readable on the button face.
constexpr std::array<PaletteSlot, 31> Slots{{
    {Active, QPalette::Button},            //  0 scroll bar
    {Active, QPalette::Dark},              //  1 desktop background
    {Active, QPalette::Highlight},         //  2 active caption
    {Inactive, QPalette::Highlight},       //  3 inactive caption
    {Active, QPalette::Window},            //  4 menu
    {Active, QPalette::Base},              //  5 window
    {Active, QPalette::Shadow},            //  6 window frame
    {Active, QPalette::WindowText},        //  7 menu text
    {Active, QPalette::Text},              //  8 window text
    {Active, QPalette::HighlightedText},   //  9 caption text
    {Active, QPalette::Button},            // 10 active border
    {Inactive, QPalette::Button},          // 11 inactive border
    {Active, QPalette::Mid},               // 12 application workspace
    {Active, QPalette::Highlight},         // 13 highlight
    {Active, QPalette::HighlightedText},   // 14 highlighted text
    {Active, QPalette::Button},            // 15 button face
    {Active, QPalette::Dark},              // 16 button shadow
    {Disabled, QPalette::Text},            // 17 grey text
    {Active, QPalette::ButtonText},        // 18 button text
    {Inactive, QPalette::HighlightedText}, // 19 inactive caption text
    {Active, QPalette::Light},             // 20 button highlight
    {Active, QPalette::Shadow},            // 21 3-D dark shadow
    {Active, QPalette::Midlight},          // 22 3-D light
    {Active, QPalette::ToolTipText},       // 23 info text
    {Active, QPalette::ToolTipBase},       // 24 info background
    {Active, QPalette::Window},            // 25 unused
    {Active, QPalette::Link},              // 26 hot-tracked item
    {Active, QPalette::Highlight},         // 27 active caption gradient
    {Inactive, QPalette::Highlight},       // 28 inactive caption gradient
    {Active, QPalette::Highlight},         // 29 menu highlight
    {Active, QPalette::Window},            // 30 menu bar
}};

}  // namespace

uint32_t PaletteSystemColor(int32_t Index) {
  if (Index < 0 || Index >= static_cast<int32_t>(Slots.size())) return 0;
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return 0;
  const PaletteSlot& Slot = Slots[static_cast<size_t>(Index)];
  const QColor C = QGuiApplication::palette().color(Slot.Group, Slot.Role);
  return static_cast<uint32_t>(C.blue()) << 16 | static_cast<uint32_t>(C.green()) << 8 |
         static_cast<uint32_t>(C.red());
}

}  // namespace quillet
