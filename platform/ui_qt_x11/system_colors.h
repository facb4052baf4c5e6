// System colours (by their classic index: 15 button face, 5 window, ...) from the Qt palette.
#pragma once

#include <cstdint>

namespace quillet {

// The colour of system colour Index in the text-output layout 0x00BBGGRR, read from the
// application palette; black for an unknown index or when no application exists.
uint32_t PaletteSystemColor(int32_t Index);

}  // namespace quillet
