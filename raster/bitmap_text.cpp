// Text output on the surface through the installed text engine.
#include "raster/bitmap32.h"

#include <algorithm>
#include <cstdint>

namespace quillet {

void TBitmap32::SelectTextFont() {
  // The engine is handed the font on every call; selection only records that the current font
  // properties are in force until the font changes.
  FFontSelected = true;
}

void TBitmap32::DeselectTextFont() { FFontSelected = false; }

TTextExtent TBitmap32::MeasureText(std::string_view Text) {
  SelectTextFont();
  ITextEngine* Engine = GetTextEngine();
  return Engine ? Engine->Measure(FTextFont, Text) : TTextExtent{};
}

void TBitmap32::DrawText(int32_t X, int32_t Y, std::string_view Text) {
  SelectTextFont();
  ITextEngine* Engine = GetTextEngine();
  if (!FMeasureOnly && Engine && !IsEmpty()) {
    const TTextTarget Target{Pixels, FWidth, FHeight};
    const uint32_t Color = ToGdiColor(FromGdiColor(FTextFont.Color()));
    Engine->Draw(Target, X, Y, FTextFont, Color, FIsClipped ? &FClipBounds : nullptr, Text);
  }
  const TTextExtent Extent = MeasureText(Text);
  // Text far to the right or bottom must not wrap its area round to the other side.
  const auto FarEdge = [](int32_t Start, int32_t Size) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{Start} + Size + 1, INT32_MIN, INT32_MAX));
  };
  const TRect Area{X, Y, FarEdge(X, Extent.cx), FarEdge(Y, Extent.cy)};
  if (!FMeasureOnly && Engine && !IsEmpty()) ReportDamage(Area);
  NotifyAreaChanged(Area, AREAINFO_RECT);
}

}  // namespace quillet
