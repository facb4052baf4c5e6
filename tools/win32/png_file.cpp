// PNG files on Windows: the zlib encoder written through the safe output file.
#include "tools/png_file.h"

#include "tools/detail/output_file.h"
#include "tools/png_encoder.h"

namespace quillet {

bool WritePng(const TBitmap32& Surface, const std::string& Path, TPngAlpha Alpha, std::string& Error) {
  if (Surface.IsEmpty()) {
    Error = "the surface is empty";
    return false;
  }
  const auto Produce = [&](const TOutputSink& Sink, std::string& Why) {
    return EncodePng(Surface, Alpha, Sink, Why);
  };
  return WriteOutputFile(Path, Produce, Error);
}

}  // namespace quillet
