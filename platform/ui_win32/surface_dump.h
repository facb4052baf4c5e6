// A copy of the screen window's surface in a file, for tests that cannot read the window's pixels
// (a preview inside another program's window, which Wine does not show). When the environment
// variable QUILLET_SURFACE_DUMP names a file, the surface is written there as a binary PPM
// (P6, opaque RGB) at most every 200 ms while frames are shown, and once more 200 ms after the
// last frame, so that the file ends with what the window shows. It is replaced atomically:
// a reader sees a whole picture or the one before.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "raster/bitmap32.h"
#include "shell/event_loop.h"

namespace quillet {

class TSurfaceDump {
 public:
  static constexpr int32_t IntervalMs = 200;

  TSurfaceDump(std::filesystem::path File, const TBitmap32& Surface, IEventLoop& Loop);
  // The file that QUILLET_SURFACE_DUMP names; none when it is not set.
  static std::optional<std::filesystem::path> RequestedFile();

  // A frame has been shown.
  void FrameShown();
  // Writes the surface now.
  void Write();

 private:
  std::filesystem::path FFile;
  const TBitmap32& FSurface;
  IEventLoop& FLoop;
  std::unique_ptr<ITimer> FLater;
  int64_t FLastWritten = INT64_MIN / 2;
};

// The surface as a binary PPM: "P6 W H 255" and the rows from the top, red, green, blue.
std::string SurfaceAsPpm(const TBitmap32& Surface);

}  // namespace quillet
