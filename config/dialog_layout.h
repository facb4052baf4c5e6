// Where the configuration dialog's controls stand, in pixels of its client area (or of the group
// that holds them): one description for every toolkit's dialog. The controls themselves, their
// captions and ranges come from the settings tables (config/demo_settings.h) and tConfigForm.
#pragma once

#include <array>
#include <cstddef>

#include "config/config_view.h"

namespace quillet::dialog_layout {

struct TBox {
  int X, Y, W, H;
};

inline constexpr int ClientWidth = 497;
inline constexpr int ClientHeight = 292;

// The hint's strip along the top edge, in the window colour, and the hint inside it.
inline constexpr TBox Panel1{0, 0, ClientWidth, 20};
inline constexpr TBox Label6{0, 2, 498, 18};
inline constexpr int HintFontPixels = 11;
inline constexpr char HintFontFace[] = "Verdana";

struct TGroupDesign {
  TBox Box;
  int Top, Step;  // of the check boxes inside, from the group's top edge
};

// The four families' groups, in the order of SettingFamilies.
inline constexpr std::array<TGroupDesign, 4> FamilyGroups{{
    {{6, 24, 115, 169}, 18, 20},
    {{128, 24, 121, 169}, 18, 20},
    {{6, 208, 115, 78}, 24, 24},
    {{128, 208, 121, 78}, 24, 24},
}};

// A check box in its group: Slot counts from the top.
constexpr TBox CheckBoxIn(const TGroupDesign& Group, int Slot) {
  return {8, Group.Top + Slot * Group.Step, Group.Box.W - 12, 18};
}

// The group of the five numbers, without a caption, and its rows (in the group's pixels).
inline constexpr TBox GroupBox3{256, 24, 233, 145};
constexpr int RowTop(std::size_t Row) { return 10 + 26 * static_cast<int>(Row); }
constexpr TBox NameLabelIn(std::size_t Row) { return {8, RowTop(Row), 72, 18}; }
constexpr TBox ValueLabelIn(std::size_t Row) { return {80, RowTop(Row), 30, 18}; }
constexpr TBox GaugeIn(std::size_t Row) { return {114, RowTop(Row) + 1, 116, 16}; }

// The push buttons, in the order of TDialogButton.
inline constexpr std::array<TBox, DialogButtonCount> Buttons{{
    {264, 180, 112, 27}, {264, 220, 112, 27}, {263, 260, 57, 27}, {328, 260, 48, 27}, {392, 228, 96, 27},
    {392, 260, 96, 27},
}};

// The version labels, in the desktop's colour.
inline constexpr TBox LabelVersion{392, 175, 96, 16};
inline constexpr TBox LabelEngineVersion{392, 199, 96, 16};
inline constexpr int DesktopColorIndex = 1;

}  // namespace quillet::dialog_layout
