// The frame tick: every tick draws one random object of every kind that the settings switch on,
// in a fixed order of draws from the one generator, wipes the page when the object count exceeds
// the Objects setting, and notifies the surface once at the end.
//
// The screen window owns a TFrameState, hands it its surface once (SetDrawSurface), and calls
// timer1Timer on every timer event with the live settings and its client size. Pausing sets
// Paused; Restart clears it and starts the count anew (the window wipes the surface itself).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "config/demo_settings.h"
#include "demo/placement.h"
#include "demo/random_generator.h"
#include "demo/raster_ext.h"
#include "demo/raster_gouraud.h"
#include "raster/polygon32.h"

namespace quillet {

class TBitmap32;

// The millisecond clock the wipe reads and restarts. An empty ElapsedMs draws no figure.
struct TTickClock {
  std::function<uint32_t()> ElapsedMs;
  std::function<void()> StartTiming;
};

struct TFrameState {
  TFrameState();
  TFrameState(const TFrameState&) = delete;
  TFrameState& operator=(const TFrameState&) = delete;

  // Sets DrawSurface and makes it the target of the shape and Gouraud routines.
  void SetDrawSurface(TBitmap32* Surface);
  TBitmap32* DrawSurface() const { return FDrawSurface; }

  void Restart() {
    Paused = false;
    ObjectCount = 0;
  }

  TRandomGenerator Rng;       // holds RandSeed
  int32_t ObjectCount = 1;    // objects drawn since the last wipe
  bool Paused = false;
  TPolygon32 ShapePolygon;    // the current random triangle; anti-aliased
  std::unique_ptr<TPolygon32> OutlinePolygon;  // the last thick triangle outline
  TRasterExt Shapes;
  TRasterGouraud Gouraud;

  // The copies of the settings taken at the start of each tick.
  int32_t Size = 0;
  uint8_t Alpha = 0;
  uint8_t Thickness = 0;
  uint8_t Steps = 0;

 private:
  TBitmap32* FDrawSurface = nullptr;
};

enum class TTickOutcome : uint8_t { Skipped, Drawn, Wiped };

// One tick. Skipped when paused or without a surface: nothing is drawn, counted or drawn from the
// generator. Wiped when the tick began a new page.
TTickOutcome timer1Timer(TFrameState& State, const DemoSettings& Settings, int32_t ClientWidth,
                         int32_t ClientHeight, const TTickClock& Clock);

// Four random control points near a random corner, drawn as a closed spline. Ten draws.
void DrawRandomSpline(TFrameState& State, const TPickContext& Ctx, TPlacement& P, bool Antialiased,
                      bool Filled, TColor32 Color);

}  // namespace quillet
