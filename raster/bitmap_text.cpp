// Text output on the surface through the installed text engine.
#include "bitmap32.h"

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
  NotifyAreaChanged({X, Y, X + Extent.cx + 1, Y + Extent.cy + 1}, AREAINFO_RECT);
}

}  // namespace quillet
