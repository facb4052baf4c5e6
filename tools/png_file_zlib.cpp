// PNG output through the zlib encoder into the stream of an output file, where there is no libpng.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/output_file.h"
#include "tools/png_encoder.h"
#include "tools/png_file.h"

namespace quillet {

bool WritePng(const TBitmap32& Surface, const std::string& Path, TPngAlpha Alpha, std::string& Error) {
  if (Surface.IsEmpty()) {
    Error = "the surface is empty";
    return false;
  }
  const auto Encode = [&](std::FILE* Stream, std::string& Why) {
    int WriteError = 0;
    const TPngSink Sink = [&](const uint8_t* Data, size_t Size) {
      if (std::fwrite(Data, 1, Size, Stream) == Size) return true;
      WriteError = errno;
      return false;
    };
    if (EncodePng(Surface, Alpha, Sink, Why)) return true;
    if (WriteError != 0) Why = std::strerror(WriteError);
    return false;
  };
  return WriteOutputFile(Path, Encode, Error);
}

}  // namespace quillet
