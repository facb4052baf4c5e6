// Every single-pixel, span, rectangle and line call of the surface, in any order and with any
// settings: the clipped calls with coordinates from anywhere in the 32-bit range, the unclipped
// ones with the coordinates their callers must keep inside. No pixel outside the clip rectangle
// may change, and while the surface only measures, the spans, rectangles and lines change none.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_surface.h"
#include "raster/bitmap32.h"

using namespace quillet;
using namespace quillet::fuzz;

namespace {

// A point of the clip rectangle at least Near pixels inside its top and left edges and Far pixels
// inside its bottom and right ones; false when the rectangle is too small for that.
bool InsideClip(FuzzedDataProvider& In, const TRect& Clip, int32_t Near, int32_t Far, int32_t& X,
                int32_t& Y) {
  if (Clip.Right - Clip.Left <= Near + Far || Clip.Bottom - Clip.Top <= Near + Far) return false;
  X = In.ConsumeIntegralInRange(Clip.Left + Near, Clip.Right - 1 - Far);
  Y = In.ConsumeIntegralInRange(Clip.Top + Near, Clip.Bottom - 1 - Far);
  return true;
}

void DrawClipped(FuzzedDataProvider& In, TBitmap32& B, int Op) {
  const int32_t W = B.Width(), H = B.Height();
  const auto X = [&] { return Coordinate(In, W); };
  const auto Y = [&] { return Coordinate(In, H); };
  const auto Fx = [&] { return FineCoordinate(In, W); };
  const auto Fy = [&] { return FineCoordinate(In, H); };
  const TColor32 C = AnyColor(In);
  switch (Op) {
    case 0: B.PutPixelClipped(X(), Y(), C); break;
    case 1: B.BlendPixelClipped(X(), Y(), C); break;
    case 2: B.BlendSubpixelClipped(FineCoordinate(In, W, 8), FineCoordinate(In, H, 8), C); break;
    case 3: B.BlendSubpixelFixed(Fx(), Fy(), C); break;
    case 4: B.HorzSpanClipped(X(), Y(), X(), C); break;
    case 5: B.HorzSpanBlendClipped(X(), Y(), X(), C); break;
    case 6: B.VertSpanClipped(X(), Y(), Y(), C); break;
    case 7: B.VertSpanBlendClipped(X(), Y(), Y(), C); break;
    case 8: B.PaintRectClipped(X(), Y(), X(), Y(), C); break;
    case 9: B.BlendRectClipped(X(), Y(), X(), Y(), C); break;
    case 10: B.DrawLineClipped(X(), Y(), X(), Y(), C, In.ConsumeBool()); break;
    case 11: B.DrawLineBlendClipped(X(), Y(), X(), Y(), C, In.ConsumeBool()); break;
    case 12: B.DrawLineAAClipped(X(), Y(), X(), Y(), C, In.ConsumeBool()); break;
    case 13: B.DrawLineFixedClipped(Fx(), Fy(), Fx(), Fy(), C, In.ConsumeBool()); break;
    case 14:
      B.SetLineColor(C);
      B.SetPenPos(X(), Y());
      B.LineToClipped(X(), Y());
      B.LineToBlendClipped(X(), Y());
      break;
    default:
      B.SetPenPosFixed(Fx(), Fy());
      B.LineToFixedClipped(Fx(), Fy());
      B.LineToFixedClipped(Fx(), Fy());
      break;
  }
}

constexpr int ClippedOps = 16;
constexpr int FirstMeasuredOp = 4;

// The unclipped calls, inside the clip rectangle as their callers guarantee.
void DrawInside(FuzzedDataProvider& In, TBitmap32& B, int Op) {
  const TRect Clip = B.ClipBounds();
  const TColor32 C = AnyColor(In);
  int32_t X1, Y1, X2, Y2;
  switch (Op) {
    case 0:
    case 1:
    case 2:
    case 3:
      // Spans: an end before the start is allowed and draws nothing.
      if (!InsideClip(In, Clip, 0, 0, X1, Y1) || !InsideClip(In, Clip, 0, 0, X2, Y2)) return;
      if (Op == 0) B.HorzSpan(X1, Y1, X2, C);
      if (Op == 1) B.HorzSpanBlend(X1, Y1, X2, C);
      if (Op == 2) B.VertSpan(X1, Y1, Y2, C);
      if (Op == 3) B.VertSpanBlend(X1, Y1, Y2, C);
      break;
    case 4:
    case 5: {
      // Half-open rectangles with X1 <= X2 and Y1 <= Y2 anywhere in the clip rectangle.
      if (Clip.Right <= Clip.Left || Clip.Bottom <= Clip.Top) return;
      X1 = In.ConsumeIntegralInRange(Clip.Left, Clip.Right);
      X2 = In.ConsumeIntegralInRange(X1, Clip.Right);
      Y1 = In.ConsumeIntegralInRange(Clip.Top, Clip.Bottom);
      Y2 = In.ConsumeIntegralInRange(Y1, Clip.Bottom);
      if (Op == 4)
        B.PaintRect(X1, Y1, X2, Y2, C);
      else
        B.BlendRect(X1, Y1, X2, Y2, C);
      break;
    }
    case 6:
      // The 2 x 2 dot covers the pixel to the right and below.
      if (!InsideClip(In, Clip, 0, 1, X1, Y1)) return;
      B.BlendSubpixel(X1 * 256 + In.ConsumeIntegralInRange(0, 255),
                      Y1 * 256 + In.ConsumeIntegralInRange(0, 255), C);
      break;
    default: {
      // Where the clipped fixed-point line takes its unclipped path, in 16.16: more than a pixel
      // inside the top and left edges (a long walk drifts a third of a pixel past its end
      // points), more than two inside the right and bottom ones (the dot covers the next pixel).
      const TRect& F = B.ClipBoundsFixed();
      if (Clip.Right >= 32767 || Clip.Bottom >= 32767) return;
      if (int64_t{F.Right} - F.Left < 4 * 65536 || int64_t{F.Bottom} - F.Top < 4 * 65536) return;
      const auto Fx = [&] { return In.ConsumeIntegralInRange(F.Left + 65537, F.Right - 131073); };
      const auto Fy = [&] { return In.ConsumeIntegralInRange(F.Top + 65537, F.Bottom - 131073); };
      const TFixed FX1 = Fx(), FY1 = Fy(), FX2 = Fx(), FY2 = Fy();
      B.DrawLineFixed(FX1, FY1, FX2, FY2, C, In.ConsumeBool());
      break;
    }
  }
}

constexpr int InsideOps = 8;

constexpr const char* CallNames[ClippedOps + InsideOps] = {
    "PutPixelClipped",    "BlendPixelClipped",    "BlendSubpixelClipped", "BlendSubpixelFixed",
    "HorzSpanClipped",    "HorzSpanBlendClipped", "VertSpanClipped",      "VertSpanBlendClipped",
    "PaintRectClipped",   "BlendRectClipped",     "DrawLineClipped",      "DrawLineBlendClipped",
    "DrawLineAAClipped",  "DrawLineFixedClipped", "LineToClipped/LineToBlendClipped",
    "LineToFixedClipped", "HorzSpan",             "HorzSpanBlend",        "VertSpan",
    "VertSpanBlend",      "PaintRect",            "BlendRect",            "BlendSubpixel",
    "DrawLineFixed"};

// Draws what the input says and tells whether every pixel outside the clip rectangle (while
// measuring: every pixel) kept its value. With EachCall, checks after every call and aborts
// naming the first call that wrote where it must not.
bool Run(const uint8_t* Data, size_t Size, bool EachCall) {
  FuzzedDataProvider In(Data, Size);
  TBitmap32 B;
  PrepareSurface(In, B);
  B.SetMasterAlpha(In.ConsumeIntegral<uint8_t>());
  const std::vector<TColor32> Before = Snapshot(B);

  const bool Measuring = In.ConsumeIntegralInRange(0, 7) == 0;
  if (Measuring) B.BeginMeasuring([](TBitmap32*, const TRect&, uint32_t) {});
  const TRect Allowed = Measuring ? TRect{} : B.ClipBounds();

  for (int Calls = 0; Calls < 32 && In.remaining_bytes() > 0; ++Calls) {
    const int Op = In.ConsumeIntegralInRange(0, ClippedOps + InsideOps - 1);
    // Single pixels and dots, and the unclipped calls, draw without looking at the measuring.
    if (Measuring && (Op < FirstMeasuredOp || Op >= ClippedOps)) continue;
    if (Op < ClippedOps)
      DrawClipped(In, B, Op);
    else
      DrawInside(In, B, Op - ClippedOps);
    if (EachCall) ExpectChangesOnlyInside(B, Before, Allowed, CallNames[Op]);
  }
  return !ChangeOutside(B, Before, Allowed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (!Run(Data, Size, false)) {
    Run(Data, Size, true);
    std::abort();
  }
  return 0;
}
