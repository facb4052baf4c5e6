// PNG output through libpng, written to a temporary file and renamed into place.
#include "tools/png_file.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <unistd.h>

namespace quillet {

namespace {

bool Encode(const TBitmap32& Surface, TPngAlpha Alpha, std::FILE* File, std::string& Error) {
  png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop Info = Png ? png_create_info_struct(Png) : nullptr;
  if (!Info) {
    png_destroy_write_struct(&Png, nullptr);
    Error = "out of memory";
    return false;
  }
  const int32_t W = Surface.Width();
  const int32_t H = Surface.Height();
  std::vector<png_byte> Row(static_cast<size_t>(W) * 4);
  if (setjmp(png_jmpbuf(Png))) {
    png_destroy_write_struct(&Png, &Info);
    Error = "the PNG encoder failed";
    return false;
  }
  png_init_io(Png, File);
  png_set_IHDR(Png, Info, static_cast<png_uint_32>(W), static_cast<png_uint_32>(H), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(Png, Info);
  for (int32_t Y = 0; Y < H; ++Y) {
    const TColor32* Source = Surface.RowAddress(Y);
    for (int32_t X = 0; X < W; ++X) {
      const TColor32 C = Source[X];
      Row[X * 4 + 0] = static_cast<png_byte>(RedOf(C));
      Row[X * 4 + 1] = static_cast<png_byte>(GreenOf(C));
      Row[X * 4 + 2] = static_cast<png_byte>(BlueOf(C));
      Row[X * 4 + 3] = Alpha == TPngAlpha::Keep ? static_cast<png_byte>(AlphaOf(C)) : png_byte{255};
    }
    png_write_row(Png, Row.data());
  }
  png_write_end(Png, nullptr);
  png_destroy_write_struct(&Png, &Info);
  return true;
}

}  // namespace

bool WritePng(const TBitmap32& Surface, const std::string& Path, TPngAlpha Alpha, std::string& Error) {
  if (Surface.IsEmpty()) {
    Error = "the surface is empty";
    return false;
  }
  const std::string Temporary = Path + ".tmp" + std::to_string(::getpid());
  std::FILE* File = std::fopen(Temporary.c_str(), "wb");
  if (!File) {
    Error = std::strerror(errno);
    return false;
  }
  bool Ok = Encode(Surface, Alpha, File, Error);
  if (std::fflush(File) != 0 && Ok) {
    Error = std::strerror(errno);
    Ok = false;
  }
  if (std::fclose(File) != 0 && Ok) {
    Error = std::strerror(errno);
    Ok = false;
  }
  if (Ok && std::rename(Temporary.c_str(), Path.c_str()) != 0) {
    Error = std::strerror(errno);
    Ok = false;
  }
  if (!Ok) std::remove(Temporary.c_str());
  return Ok;
}

}  // namespace quillet
