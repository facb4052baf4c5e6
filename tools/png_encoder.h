// A surface encoded as an 8-bit RGBA PNG (straight alpha, rows top first) with zlib alone, for
// platforms without libpng. The bytes go to a sink as they are made, so no second copy of a
// large page is ever held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "raster/bitmap32.h"
#include "tools/png_file.h"

namespace quillet {

// Takes the next bytes of the file; false stops the encoding.
using TPngSink = std::function<bool(const uint8_t* Data, size_t Size)>;

// False with Error set when the surface is empty, zlib fails or the sink refuses.
bool EncodePng(const TBitmap32& Surface, TPngAlpha Alpha, const TPngSink& Sink, std::string& Error);

}  // namespace quillet
