// The installed text engine and the surface font's properties.
#include "raster/text_engine.h"

#include <utility>

namespace quillet {

namespace {
ITextEngine* InstalledEngine = nullptr;
}

void SetTextEngine(ITextEngine* Engine) { InstalledEngine = Engine; }
ITextEngine* GetTextEngine() { return InstalledEngine; }

void TTextFont::Changed() {
  if (OnChange) OnChange();
}

void TTextFont::SetName(std::string Name) {
  FName = std::move(Name);
  Changed();
}

void TTextFont::SetSize(int32_t Points) {
  FSize = Points;
  Changed();
}

void TTextFont::SetColor(int32_t Color) {
  FColor = Color;
  Changed();
}

}  // namespace quillet
