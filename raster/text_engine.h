// The text output that the surface reaches through the platform, which installs an engine at
// start-up. Without one, text measures (0, 0) and draws nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "raster/color.h"
#include "raster/fixed.h"

namespace quillet {

// The surface's font. Color is a text-output colour (0x00BBGGRR) or a negative system colour.
class TTextFont {
 public:
  const std::string& Name() const { return FName; }
  int32_t Size() const { return FSize; }  // points
  int32_t Color() const { return FColor; }

  void SetName(std::string Name);
  void SetSize(int32_t Points);
  void SetColor(int32_t Color);

  // Called after every change of a property.
  std::function<void()> OnChange;

 private:
  void Changed();

  std::string FName = "Sans Serif";
  int32_t FSize = 8;
  int32_t FColor = 0;  // black
};

struct TTextExtent {
  int32_t cx = 0;
  int32_t cy = 0;
  friend constexpr bool operator==(const TTextExtent&, const TTextExtent&) = default;
};

// A view of the pixels that text is drawn into: Width x Height TColor32, rows top first.
struct TTextTarget {
  TColor32* Pixels = nullptr;
  int32_t Width = 0;
  int32_t Height = 0;
};

class ITextEngine {
 public:
  virtual ~ITextEngine() = default;
  virtual TTextExtent Measure(const TTextFont& Font, std::string_view Text) = 0;
  // Draws Text with its top-left corner at (X, Y) in Color (0x00BBGGRR), on a transparent
  // background, clipped to Clip when it is not null.
  virtual void Draw(const TTextTarget& Target, int32_t X, int32_t Y, const TTextFont& Font,
                    uint32_t Color, const TRect* Clip, std::string_view Text) = 0;
};

void SetTextEngine(ITextEngine* Engine);
ITextEngine* GetTextEngine();

}  // namespace quillet
