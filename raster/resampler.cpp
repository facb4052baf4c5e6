// Resampler settings and the registry that finds a resampler class by its name.
#include "raster/resampler.h"

#include <map>

#include "raster/bitmap32.h"

namespace quillet {

namespace {

std::map<std::string, TResamplerFactory>& Registry() {
  static std::map<std::string, TResamplerFactory> Classes = {
      {"TNearestResampler",
       [](TBitmap32* Bitmap) -> TCustomResampler* {
         auto* Resampler = new TNearestResampler(Bitmap);
         Bitmap->SetResampler(Resampler);
         return Resampler;
       }},
  };
  return Classes;
}

}  // namespace

void TCustomResampler::CopySettingsTo(TCustomResampler&) const {}

void TBitmap32Resampler::SetPixelAccessMode(TPixelAccessMode Mode) {
  if (Mode == FPixelAccessMode) return;
  FPixelAccessMode = Mode;
  NotifyChanged();
}

void TBitmap32Resampler::CopySettingsTo(TCustomResampler& Dst) const {
  if (auto* Other = dynamic_cast<TBitmap32Resampler*>(&Dst)) Other->SetPixelAccessMode(FPixelAccessMode);
}

void RegisterResamplerClass(const std::string& ClassName, TResamplerFactory Factory) {
  Registry()[ClassName] = std::move(Factory);
}

const TResamplerFactory* FindResamplerClass(const std::string& ClassName) {
  const auto Found = Registry().find(ClassName);
  return Found == Registry().end() ? nullptr : &Found->second;
}

}  // namespace quillet
