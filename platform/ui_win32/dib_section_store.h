// Where the screen window's surface keeps its pixels: the pages of a section object, which GDI
// takes as a DIB section of the surface's size, so that a frame is one BitBlt per changed
// rectangle straight from the surface's own memory. Top-down 32-bit BGRX is the surface's own
// layout; the alpha byte does not show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/ui_win32/win32_handles.h"
#include "raster/bitmap32.h"

namespace quillet {

class TDibSectionStore : public TPixelStore {
 public:
  TDibSectionStore() = default;
  ~TDibSectionStore() override;
  TDibSectionStore(const TDibSectionStore&) = delete;
  TDibSectionStore& operator=(const TDibSectionStore&) = delete;

  void* Allocate(size_t Bytes) override;
  void Release(void* Memory, size_t Bytes) override;

  // Copies Rects of Surface (clipped to it) onto Target at the same places. Pixels that are not
  // this store's go through SetDIBitsToDevice.
  void Put(win32::DeviceContext Target, const TBitmap32& Surface, const std::vector<TRect>& Rects);
  // Whether Surface's pixels are shown from a DIB section (after the first Put).
  bool ShowsFromSection(const TBitmap32& Surface) const;

 private:
  struct TBlock {
    void* Memory = nullptr;
    size_t Bytes = 0;
    void* Mapping = nullptr;  // the section object
    win32::BitmapHandle Section = nullptr;  // made at the first Put, at the surface's size
    win32::DeviceContext Dc = nullptr;
    int32_t Width = 0;
    int32_t Height = 0;
    bool SectionFailed = false;
  };
  TBlock* BlockOf(const void* Memory);
  static void DropSection(TBlock& Block);

  std::vector<TBlock> FBlocks;
};

// Copies Rect of a Width x Height top-down 32-bit image onto Target at Left + Rect.Left,
// Top + Rect.Top, with SetDIBitsToDevice. Rect must lie inside the image.
void PutPixels(win32::DeviceContext Target, const TColor32* Pixels, int32_t Width, int32_t Height, const TRect& Rect,
               int32_t Left = 0, int32_t Top = 0);

}  // namespace quillet
