// png-same-pixels A.png B.png: exit code 0 when both files hold the same size and the same RGBA
// pixels, 1 (naming the first difference) when they do not, 2 when one cannot be read.
#include <png.h>

#include <cstdio>
#include <vector>

namespace {

bool Read(const char* Path, png_image& Image, std::vector<unsigned char>& Pixels) {
  Image = {};
  Image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&Image, Path)) return false;
  Image.format = PNG_FORMAT_RGBA;
  Pixels.resize(PNG_IMAGE_SIZE(Image));
  return png_image_finish_read(&Image, nullptr, Pixels.data(), 0, nullptr) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: png-same-pixels A.png B.png\n");
    return 2;
  }
  png_image A, B;
  std::vector<unsigned char> PixelsA, PixelsB;
  if (!Read(argv[1], A, PixelsA) || !Read(argv[2], B, PixelsB)) {
    std::fprintf(stderr, "png-same-pixels: cannot read %s or %s\n", argv[1], argv[2]);
    return 2;
  }
  if (A.width != B.width || A.height != B.height) {
    std::fprintf(stderr, "sizes differ: %ux%u and %ux%u\n", A.width, A.height, B.width, B.height);
    return 1;
  }
  for (size_t I = 0; I < PixelsA.size(); ++I)
    if (PixelsA[I] != PixelsB[I]) {
      const size_t Pixel = I / 4;
      std::fprintf(stderr, "first difference at (%zu, %zu)\n", Pixel % A.width, Pixel / A.width);
      return 1;
    }
  return 0;
}
