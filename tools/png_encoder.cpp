// PNG encoding: signature, IHDR, the deflated rows in IDAT chunks of at most 64 KiB, IEND. Every
// row is stored with filter type 0 (none).
#include "tools/png_encoder.h"

#include <zlib.h>

#include <array>
#include <vector>

namespace quillet {

namespace {

constexpr size_t ChunkLimit = 64 * 1024;

void PutBigEndian(uint8_t* Out, uint32_t Value) {
  Out[0] = static_cast<uint8_t>(Value >> 24);
  Out[1] = static_cast<uint8_t>(Value >> 16);
  Out[2] = static_cast<uint8_t>(Value >> 8);
  Out[3] = static_cast<uint8_t>(Value);
}

// Length, type, data and the CRC of type and data.
bool WriteChunk(const TPngSink& Sink, const char (&Type)[5], const uint8_t* Data, size_t Size) {
  std::array<uint8_t, 8> Head{};
  PutBigEndian(Head.data(), static_cast<uint32_t>(Size));
  for (int I = 0; I < 4; ++I) Head[4 + I] = static_cast<uint8_t>(Type[I]);
  uLong Crc = ::crc32(0L, Head.data() + 4, 4);
  if (Size > 0) Crc = ::crc32(Crc, Data, static_cast<uInt>(Size));
  std::array<uint8_t, 4> Tail{};
  PutBigEndian(Tail.data(), static_cast<uint32_t>(Crc));
  return Sink(Head.data(), Head.size()) && (Size == 0 || Sink(Data, Size)) && Sink(Tail.data(), Tail.size());
}

class TDeflater {
 public:
  explicit TDeflater(const TPngSink& Sink) : FSink(Sink), FOut(ChunkLimit) {
    FOk = ::deflateInit(&FStream, Z_DEFAULT_COMPRESSION) == Z_OK;
  }
  ~TDeflater() {
    if (FOk) ::deflateEnd(&FStream);
  }
  TDeflater(const TDeflater&) = delete;
  TDeflater& operator=(const TDeflater&) = delete;

  bool Ok() const { return FOk; }

  // Feeds Size bytes (less than 4 GiB); Finish ends the stream.
  bool Feed(const uint8_t* Data, size_t Size) { return Run(Data, Size, Z_NO_FLUSH); }
  bool Finish() { return Run(nullptr, 0, Z_FINISH); }

 private:
  bool Run(const uint8_t* Data, size_t Size, int Flush) {
    FStream.next_in = const_cast<Bytef*>(Data);
    FStream.avail_in = static_cast<uInt>(Size);
    for (;;) {
      FStream.next_out = FOut.data();
      FStream.avail_out = static_cast<uInt>(FOut.size());
      const int Status = ::deflate(&FStream, Flush);
      if (Status == Z_STREAM_ERROR) return false;
      const size_t Made = FOut.size() - FStream.avail_out;
      if (Made > 0 && !WriteChunk(FSink, "IDAT", FOut.data(), Made)) return false;
      if (Flush == Z_FINISH ? Status == Z_STREAM_END : FStream.avail_out != 0) return true;
    }
  }

  const TPngSink& FSink;
  z_stream FStream{};
  std::vector<uint8_t> FOut;
  bool FOk = false;
};

}  // namespace

bool EncodePng(const TBitmap32& Surface, TPngAlpha Alpha, const TPngSink& Sink, std::string& Error) {
  if (Surface.IsEmpty()) {
    Error = "the surface is empty";
    return false;
  }
  const int32_t W = Surface.Width();
  const int32_t H = Surface.Height();
  static constexpr uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::array<uint8_t, 13> Header{};
  PutBigEndian(&Header[0], static_cast<uint32_t>(W));
  PutBigEndian(&Header[4], static_cast<uint32_t>(H));
  Header[8] = 8;  // bits per channel
  Header[9] = 6;  // RGBA; compression, filter and interlace methods 0
  Error = "cannot write the file";
  if (!Sink(Signature, sizeof Signature) || !WriteChunk(Sink, "IHDR", Header.data(), Header.size()))
    return false;

  TDeflater Deflater(Sink);
  if (!Deflater.Ok()) {
    Error = "the PNG encoder failed";
    return false;
  }
  std::vector<uint8_t> Row(1 + static_cast<size_t>(W) * 4);
  for (int32_t Y = 0; Y < H; ++Y) {
    const TColor32* Source = Surface.RowAddress(Y);
    uint8_t* Out = Row.data() + 1;  // Row[0]: filter type none
    for (int32_t X = 0; X < W; ++X, Out += 4) {
      const TColor32 C = Source[X];
      Out[0] = static_cast<uint8_t>(RedOf(C));
      Out[1] = static_cast<uint8_t>(GreenOf(C));
      Out[2] = static_cast<uint8_t>(BlueOf(C));
      Out[3] = Alpha == TPngAlpha::Keep ? static_cast<uint8_t>(AlphaOf(C)) : uint8_t{255};
    }
    if (!Deflater.Feed(Row.data(), Row.size())) return false;
  }
  if (!Deflater.Finish() || !WriteChunk(Sink, "IEND", nullptr, 0)) return false;
  Error.clear();
  return true;
}

}  // namespace quillet
