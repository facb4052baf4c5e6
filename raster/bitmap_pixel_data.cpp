// The stored pixel format: Width and Height as signed 32-bit little-endian, then the pixels, four
// bytes each (blue first), rows top first.
#include <cstring>
#include <istream>
#include <ostream>
#include <vector>

#include "raster/bitmap32.h"

namespace quillet {

namespace {

// Larger sizes are taken as corrupt data rather than as a request for gigabytes.
constexpr int64_t MaxStoredSide = 65536;
constexpr int64_t MaxStoredPixels = int64_t{1} << 28;

uint32_t ReadLE32(const unsigned char* Bytes) {
  return uint32_t{Bytes[0]} | uint32_t{Bytes[1]} << 8 | uint32_t{Bytes[2]} << 16 | uint32_t{Bytes[3]} << 24;
}

void WriteLE32(std::ostream& Stream, uint32_t Value) {
  const char Bytes[4] = {static_cast<char>(Value), static_cast<char>(Value >> 8),
                         static_cast<char>(Value >> 16), static_cast<char>(Value >> 24)};
  Stream.write(Bytes, 4);
}

// Reads exactly Count bytes, growing the buffer only as data actually arrives.
bool ReadExactly(std::istream& Stream, std::vector<unsigned char>& Buffer, size_t Count) {
  constexpr size_t Chunk = size_t{1} << 20;
  Buffer.clear();
  while (Buffer.size() < Count) {
    const size_t Want = std::min(Chunk, Count - Buffer.size());
    const size_t Old = Buffer.size();
    Buffer.resize(Old + Want);
    Stream.read(reinterpret_cast<char*>(Buffer.data() + Old), static_cast<std::streamsize>(Want));
    if (static_cast<size_t>(Stream.gcount()) != Want) return false;
  }
  return true;
}

}  // namespace

void TBitmap32::ReadPixelData(std::istream& Stream) {
  const auto Fail = [this](const char* Why) {
    SetDimensions(0, 0);
    NotifyChanged();
    throw EBitmapError(std::string("Invalid pixel data: ") + Why);
  };

  unsigned char Header[8];
  Stream.read(reinterpret_cast<char*>(Header), sizeof Header);
  if (Stream.gcount() != static_cast<std::streamsize>(sizeof Header)) Fail("the size is missing");
  const int64_t W = static_cast<int32_t>(ReadLE32(Header));
  const int64_t H = static_cast<int32_t>(ReadLE32(Header + 4));
  if (W < 0 || H < 0) Fail("negative size");
  if (W > MaxStoredSide || H > MaxStoredSide || W * H > MaxStoredPixels) Fail("size out of range");

  std::vector<unsigned char> Bytes;
  if (!ReadExactly(Stream, Bytes, static_cast<size_t>(W * H) * 4)) Fail("the pixels are truncated");

  try {
    SetDimensions(static_cast<int32_t>(W), static_cast<int32_t>(H));
  } catch (const EBitmapError&) {
    NotifyChanged();  // the surface is empty now; listeners learn of it as after any read
    throw;
  }
  if (!IsEmpty()) {
    for (size_t i = 0, n = static_cast<size_t>(W * H); i < n; ++i) Pixels[i] = ReadLE32(&Bytes[i * 4]);
    ReportDamage(BoundsRect());
  }
  NotifyChanged();
}

void TBitmap32::WritePixelData(std::ostream& Stream) const {
  WriteLE32(Stream, static_cast<uint32_t>(FWidth));
  WriteLE32(Stream, static_cast<uint32_t>(FHeight));
  if (IsEmpty()) return;
  std::vector<char> Row(static_cast<size_t>(FWidth) * 4);
  for (int32_t Y = 0; Y < FHeight; ++Y) {
    const TColor32* Source = RowAddress(Y);
    for (int32_t X = 0; X < FWidth; ++X) {
      const TColor32 C = Source[X];
      Row[X * 4 + 0] = static_cast<char>(C);
      Row[X * 4 + 1] = static_cast<char>(C >> 8);
      Row[X * 4 + 2] = static_cast<char>(C >> 16);
      Row[X * 4 + 3] = static_cast<char>(C >> 24);
    }
    Stream.write(Row.data(), static_cast<std::streamsize>(Row.size()));
  }
}

}  // namespace quillet
