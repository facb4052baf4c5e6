// Writes a surface's pixels as an 8-bit RGBA PNG, straight alpha, rows top first.
#pragma once

#include <string>

#include "raster/bitmap32.h"

namespace quillet {

// Opaque: alpha 255 with the colour channels unchanged, as the screen shows the surface (it
// ignores alpha). Keep: the surface's alpha as it is.
enum class TPngAlpha { Opaque, Keep };

// Writes the file as WriteOutputFile does (tools/output_file.h): "-" is standard output, a
// failed or interrupted write leaves neither a partial file nor a temporary one, and only the
// named file (or the file its links lead to) is touched. Returns false and sets Error when the
// file cannot be written.
bool WritePng(const TBitmap32& Surface, const std::string& Path, TPngAlpha Alpha, std::string& Error);

}  // namespace quillet
