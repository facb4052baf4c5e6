// Resampler objects of a surface, found by class name. The demo only creates the nearest-neighbour
// one that every surface owns; sampling itself is not used by the system.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "raster/notifiable.h"

namespace quillet {

class TBitmap32;

enum class TPixelAccessMode : uint8_t { pamUnsafe = 0, pamSafe = 1, pamWrap = 2 };

class TCustomSampler : public TNotifiablePersistent {};

class TCustomResampler : public TCustomSampler {
 public:
  virtual const char* ClassName() const = 0;
  // Copies the settings of this resampler to another one (the pixel access mode, where both
  // have it).
  virtual void CopySettingsTo(TCustomResampler& Dst) const;
};

class TBitmap32Resampler : public TCustomResampler {
 public:
  explicit TBitmap32Resampler(TBitmap32* Bitmap) : FBitmap(Bitmap) {}
  TBitmap32* Bitmap() const { return FBitmap; }

  TPixelAccessMode PixelAccessMode() const { return FPixelAccessMode; }
  void SetPixelAccessMode(TPixelAccessMode Mode);
  void CopySettingsTo(TCustomResampler& Dst) const override;

 private:
  TBitmap32* FBitmap;
  TPixelAccessMode FPixelAccessMode = TPixelAccessMode::pamSafe;
};

class TNearestResampler : public TBitmap32Resampler {
 public:
  using TBitmap32Resampler::TBitmap32Resampler;
  const char* ClassName() const override { return "TNearestResampler"; }
};

// Constructs a resampler bound to a surface; it installs itself there through SetResampler.
using TResamplerFactory = std::function<TCustomResampler*(TBitmap32* Bitmap)>;

void RegisterResamplerClass(const std::string& ClassName, TResamplerFactory Factory);
// Null when the name is not registered. Names match exactly.
const TResamplerFactory* FindResamplerClass(const std::string& ClassName);

}  // namespace quillet
