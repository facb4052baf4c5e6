// Stored pixel data from hostile bytes: a read either fails with the surface left empty, or takes
// exactly the header and the pixels it announces, and writing the surface back gives those bytes.
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz_expect.h"
#include "raster/bitmap32.h"
#include "raster/engine_init.h"

using namespace quillet;
using quillet::fuzz::Expect;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InitRasterEngine();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string Bytes(reinterpret_cast<const char*>(Data), Size);
  std::istringstream In(Bytes);
  TBitmap32 B;
  B.SetDimensions(3, 2);  // a read replaces whatever was there
  int Changes = 0;
  B.OnChange = [&Changes](TNotifiablePersistent*) { ++Changes; };
  try {
    B.ReadPixelData(In);
  } catch (const EBitmapError&) {
    Expect(B.Width() == 0 && B.Height() == 0 && B.IsEmpty(), "a failed read left pixels");
    Expect(Changes > 0, "a failed read was not notified");
    return 0;
  }
  Expect(Changes > 0, "a read was not notified");
  const size_t Pixels = size_t{static_cast<uint32_t>(B.Width())} * static_cast<uint32_t>(B.Height());
  const size_t Taken = 8 + 4 * Pixels;
  Expect(Taken <= Size, "more pixels than bytes");
  Expect(In.tellg() == static_cast<std::streamoff>(Taken), "the read did not stop after the pixels");

  std::ostringstream Out;
  B.WritePixelData(Out);
  const std::string Written = Out.str();
  Expect(Written.size() == Taken, "the write-back has the wrong length");
  Expect(Bytes.compare(0, Written.size(), Written) == 0, "the write-back differs from the input");
  return 0;
}
