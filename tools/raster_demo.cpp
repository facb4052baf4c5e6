// quillet-raster-demo: draws a few primitives of the raster engine into a PNG.
//
//   quillet-raster-demo OUT.png
#include <cstdio>
#include <string>

#include "png_file.h"
#include "raster/bitmap32.h"

using namespace quillet;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quillet-raster-demo OUT.png\n");
    return 2;
  }
  TBitmap32 Surface;
  Surface.SetDimensions(320, 200);
  Surface.Erase();
  Surface.PaintRectClipped(-20, 20, 120, 90, 0xFF2060C0);
  Surface.BlendRectClipped(60, 50, 260, 150, 0x80E0A020);
  Surface.SetCombineMode(TCombineMode::cmMerge);
  Surface.BlendRectClipped(200, 100, 340, 230, 0x6020E060);
  for (int i = 0; i < 40; ++i) Surface.HorzSpanBlendClipped(10 + i, 160 + i % 30, 300 - i, 0x40FFFFFF);

  std::string Error;
  if (!WritePng(Surface, argv[1], Error)) {
    std::fprintf(stderr, "quillet-raster-demo: cannot write %s: %s\n", argv[1], Error.c_str());
    return 1;
  }
  std::printf("wrote %s (%dx%d)\n", argv[1], Surface.Width(), Surface.Height());
  return 0;
}
