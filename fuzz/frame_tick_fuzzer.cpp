// The frame tick with any settings the gauges allow, any switches, client sizes from anywhere in
// the 32-bit range on surfaces from empty to very wide or tall, pauses and restarts in between.
// Besides the sanitizers' checks, the same run again with the scalar kernels must give the same
// pixels: nothing may read memory that the run did not set, and no faster kernel may differ.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

#include "config/demo_settings.h"
#include "config/setting_options.h"
#include "demo/frame_tick.h"
#include "fuzz_expect.h"
#include "fuzz_surface.h"
#include "raster/bitmap32.h"
#include "raster/blend.h"

using namespace quillet;
using namespace quillet::fuzz;

namespace {

int32_t AnySetting(FuzzedDataProvider& In, const TGaugeRange& Range) {
  return In.ConsumeBool() ? In.ConsumeIntegral<int32_t>()
                          : In.ConsumeIntegralInRange(Range.Min - 1, Range.Max + 1);
}

void ChangeSettings(FuzzedDataProvider& In, DemoSettings& S) {
  for (const TNumberSetting& O : NumberSettings) (S.*O.Set)(AnySetting(In, O.Range));
  for (const TSwitchSetting& O : SwitchSettings) S.*O.Field = In.ConsumeBool();
}

int32_t ClientSide(FuzzedDataProvider& In, int32_t SurfaceSide) {
  return In.ConsumeBool() ? SurfaceSide : Coordinate(In, SurfaceSide);
}

// Runs the ticks the input describes on a fresh surface and returns its pixels; Scalar keeps the
// input's blend variant but uses the reference kernels.
std::vector<TColor32> Run(const uint8_t* Data, size_t Size, bool Scalar) {
  FuzzedDataProvider In(Data, Size);
  ChooseBlendKernels(In);
  if (Scalar) InitBlendOps(ActiveBlendVariant(), SimdLevel::Scalar);
  TBitmap32 Surface;
  SizeSurface(In, Surface);
  TFrameState State;
  State.SetDrawSurface(&Surface);
  State.Rng.RandSeed = In.ConsumeIntegral<uint32_t>();
  DemoSettings Settings;
  ChangeSettings(In, Settings);
  const uint32_t Elapsed = In.ConsumeIntegral<uint32_t>();
  const TTickClock Clock{[Elapsed] { return Elapsed; }, [] {}};

  int32_t ClientWidth = ClientSide(In, Surface.Width());
  int32_t ClientHeight = ClientSide(In, Surface.Height());
  for (int Ticks = 0; Ticks < 24 && In.remaining_bytes() > 0; ++Ticks) {
    switch (In.ConsumeIntegralInRange(0, 15)) {
      case 0: ChangeSettings(In, Settings); break;
      case 1: State.Paused = !State.Paused; break;
      case 2:
        State.Restart();
        Surface.Erase();
        break;
      case 3:
        ClientWidth = ClientSide(In, Surface.Width());
        ClientHeight = ClientSide(In, Surface.Height());
        break;
      default: break;
    }
    timer1Timer(State, Settings, ClientWidth, ClientHeight, Clock);
  }
  return Snapshot(Surface);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  Expect(Run(Data, Size, false) == Run(Data, Size, true), "the same ticks drew different pixels");
  return 0;
}
