// PNG output through libpng into the stream of an output file.
#include "tools/png_file.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/output_file.h"

namespace quillet {

namespace {

// libpng's complaint, kept for the caller instead of printed; a failed write keeps its errno.
struct TPngFailure {
  std::string Message;
  int SystemError = 0;
};

extern "C" void KeepPngError(png_structp Png, png_const_charp Message) {
  const int SystemError = errno;
  auto* Failure = static_cast<TPngFailure*>(png_get_error_ptr(Png));
  Failure->Message = Message ? Message : "";
  Failure->SystemError = SystemError;
  png_longjmp(Png, 1);
}

extern "C" void IgnorePngWarning(png_structp, png_const_charp) {}

bool Encode(const TBitmap32& Surface, TPngAlpha Alpha, std::FILE* File, std::string& Error) {
  TPngFailure Failure;
  png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &Failure, KeepPngError, IgnorePngWarning);
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
    Error = std::ferror(File) && Failure.SystemError ? std::strerror(Failure.SystemError)
                                                      : "the PNG encoder failed: " + Failure.Message;
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
  return WriteOutputFile(
      Path, [&](std::FILE* File, std::string& Why) { return Encode(Surface, Alpha, File, Why); }, Error);
}

}  // namespace quillet
