// A small stroke font for labelling pictures without a text engine: capitals, digits and a few
// signs, each glyph a set of strokes filled as anti-aliased polygons. Lower-case letters are drawn
// as small capitals.
#pragma once

#include <string_view>

#include "raster/bitmap32.h"

namespace quillet {

// Draws Text with the top of its capitals at (X, Y), capitals Height pixels tall.
void DrawStrokeText(TBitmap32& Surface, double X, double Y, double Height, std::string_view Text,
                    TColor32 Color);

// The advance of Text in pixels.
double StrokeTextWidth(double Height, std::string_view Text);

}  // namespace quillet
