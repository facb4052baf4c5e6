// The zlib PNG encoder, read back by libpng: every size, both alpha modes, pages larger than one
// IDAT chunk, and a sink that refuses.
#include "tools/png_encoder.h"

#include <gtest/gtest.h>
#include <png.h>

#include <random>
#include <vector>

namespace quillet {
namespace {

std::vector<uint8_t> Encode(const TBitmap32& Surface, TPngAlpha Alpha) {
  std::vector<uint8_t> Bytes;
  std::string Error;
  const bool Ok = EncodePng(
      Surface, Alpha,
      [&Bytes](const uint8_t* Data, size_t Size) {
        Bytes.insert(Bytes.end(), Data, Data + Size);
        return true;
      },
      Error);
  EXPECT_TRUE(Ok) << Error;
  return Bytes;
}

// The RGBA bytes libpng reads from a PNG in memory; empty when it refuses the file.
std::vector<uint8_t> Decode(const std::vector<uint8_t>& Png, uint32_t& W, uint32_t& H) {
  png_image Image{};
  Image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&Image, Png.data(), Png.size())) return {};
  Image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> Pixels(PNG_IMAGE_SIZE(Image));
  if (!png_image_finish_read(&Image, nullptr, Pixels.data(), 0, nullptr)) return {};
  W = Image.width;
  H = Image.height;
  return Pixels;
}

TEST(PngEncoder, LibpngReadsBackEveryPixel) {
  std::mt19937 Random(5);
  for (const auto& [W, H] : {std::pair{1, 1}, std::pair{3, 2}, std::pair{17, 1}, std::pair{1, 9}, std::pair{401, 203}}) {
    TBitmap32 Surface;
    Surface.SetDimensions(W, H);
    for (int32_t I = 0; I < W * H; ++I) Surface.PixelPtr()[I] = Random();
    for (const TPngAlpha Alpha : {TPngAlpha::Opaque, TPngAlpha::Keep}) {
      uint32_t DecodedW = 0, DecodedH = 0;
      const std::vector<uint8_t> Rgba = Decode(Encode(Surface, Alpha), DecodedW, DecodedH);
      ASSERT_EQ(Rgba.size(), static_cast<size_t>(W) * H * 4) << W << "x" << H;
      EXPECT_EQ(DecodedW, static_cast<uint32_t>(W));
      EXPECT_EQ(DecodedH, static_cast<uint32_t>(H));
      for (int32_t I = 0; I < W * H; ++I) {
        const TColor32 C = Surface.PixelPtr()[I];
        const TColor32 Read = PackArgb(Rgba[I * 4], Rgba[I * 4 + 1], Rgba[I * 4 + 2], Rgba[I * 4 + 3]);
        ASSERT_EQ(Read, Alpha == TPngAlpha::Keep ? C : (C | 0xFF000000)) << W << "x" << H << " pixel " << I;
      }
    }
  }
}

TEST(PngEncoder, ARefusingSinkOrAnEmptySurfaceFails) {
  TBitmap32 Surface;
  std::string Error;
  const TPngSink Accept = [](const uint8_t*, size_t) { return true; };
  EXPECT_FALSE(EncodePng(Surface, TPngAlpha::Opaque, Accept, Error));
  EXPECT_FALSE(Error.empty());
  Surface.SetDimensions(300, 300);
  std::mt19937 Random(9);
  for (int32_t I = 0; I < 300 * 300; ++I) Surface.PixelPtr()[I] = Random();
  // Refused at the signature, in the middle of the rows, and at the end.
  for (const size_t Limit : {size_t{0}, size_t{100000}, size_t{350000}}) {
    size_t Taken = 0;
    const TPngSink Limited = [&](const uint8_t*, size_t Size) {
      if (Taken + Size > Limit) return false;
      Taken += Size;
      return true;
    };
    Error.clear();
    EXPECT_FALSE(EncodePng(Surface, TPngAlpha::Keep, Limited, Error)) << Limit;
    EXPECT_FALSE(Error.empty());
  }
}

}  // namespace
}  // namespace quillet
