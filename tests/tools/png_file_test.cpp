// The PNG writer: opaque pages keep their colours and get alpha 255; kept alpha stays as drawn.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "tools/png_file.h"

namespace quillet {
namespace {

// The RGBA bytes of a PNG that the writer produced.
std::vector<uint8_t> ReadRgba(const std::string& Path, uint32_t& W, uint32_t& H) {
  png_image Image{};
  Image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&Image, Path.c_str())) return {};
  Image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> Pixels(PNG_IMAGE_SIZE(Image));
  if (!png_image_finish_read(&Image, nullptr, Pixels.data(), 0, nullptr)) return {};
  W = Image.width;
  H = Image.height;
  return Pixels;
}

TEST(WritePng, OpaquePagesKeepTheColourChannelsAndKeptAlphaStaysAsDrawn) {
  TBitmap32 Surface;
  Surface.SetDimensions(3, 2);
  const TColor32 Colors[6] = {0x00000000, 0x7F102030, 0xFF405060, 0x01FFFFFF, 0x80FF0000, 0xFF000000};
  for (int I = 0; I < 6; ++I) Surface.PixelPtr()[I] = Colors[I];
  const std::string Path =
      (std::filesystem::temp_directory_path() / ("quillet-png-" + std::to_string(::getpid()) + ".png")).string();

  for (const TPngAlpha Alpha : {TPngAlpha::Opaque, TPngAlpha::Keep}) {
    std::string Error;
    ASSERT_TRUE(WritePng(Surface, Path, Alpha, Error)) << Error;
    uint32_t W = 0, H = 0;
    const std::vector<uint8_t> Rgba = ReadRgba(Path, W, H);
    ASSERT_EQ(Rgba.size(), 24u);
    EXPECT_EQ(W, 3u);
    EXPECT_EQ(H, 2u);
    for (int I = 0; I < 6; ++I) {
      const TColor32 C = Colors[I];
      EXPECT_EQ(Rgba[I * 4 + 0], (C >> 16) & 0xFF) << I;
      EXPECT_EQ(Rgba[I * 4 + 1], (C >> 8) & 0xFF) << I;
      EXPECT_EQ(Rgba[I * 4 + 2], C & 0xFF) << I;
      EXPECT_EQ(Rgba[I * 4 + 3], Alpha == TPngAlpha::Keep ? C >> 24 : 255u) << I;
    }
  }
  std::filesystem::remove(Path);
}

}  // namespace
}  // namespace quillet
