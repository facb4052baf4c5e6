// TImage32: a control that shows its surface unscaled, one surface pixel per device pixel from
// its top-left corner, and repaints what the surface reports as changed, or what a presenter
// hands it. On an X server the surface's pixels go straight into the control's own window (from
// memory the server reads, when it has shared memory). An overlay image may stand over the
// bottom-left corner, above the surface and apart from it.
#pragma once

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

#include "raster/bitmap32.h"

namespace quillet {

class TX11ShmSurface;

class TImage32 : public QWidget {
 public:
  explicit TImage32(QWidget* Parent = nullptr);
  ~TImage32() override;

  // The surface, owned by the control. Its size is the caller's to set; the control repaints
  // on its change reports, unless told not to, and on resizes.
  TBitmap32& Bitmap() { return *FBitmap; }
  // Off when a presenter shows the surface's changes by PresentAreas instead.
  void SetRepaintOnReports(bool Repaint) { FRepaintOnReports = Repaint; }

  QSize sizeHint() const override;

  // Shows Rects (surface pixels) of the surface now, after filling Black opaque black: the caller
  // knows the surface is black there, outside Rects.
  void PresentAreas(const std::vector<TRect>& Rects, const std::vector<TRect>& Black = {});
  // Hears every frame before it goes out, for measuring what frames carry; unset normally.
  std::function<void(const std::vector<TRect>& Rects, const std::vector<TRect>& Black)> OnPresent;
  // Whether frames go straight to the X server rather than through the toolkit's painting.
  bool PresentsDirectly() const { return FShm != nullptr; }

  // Shows Overlay over the bottom-left corner from now on, above the surface, until it is set to
  // null; the caller keeps it alive and calls OverlayChanged after drawing into it.
  void SetOverlay(const TBitmap32* Overlay);
  void OverlayChanged();
  // Where the overlay stands, in device pixels; empty without one.
  TRect OverlayArea() const;

  QPaintEngine* paintEngine() const override;

 protected:
  void paintEvent(QPaintEvent* Event) override;

 private:
  void AreaChanged(const TRect& Area, uint32_t Info);
  void RepaintAll();
  // Direct presenting, for a region in logical coordinates; false when the window cannot take it.
  bool PutRegion(const QRegion& Region);
  void StopPresentingDirectly();
  // Rects less the overlay's area, and whether any of them met it.
  std::vector<TRect> OutsideOverlay(const std::vector<TRect>& Rects, bool& Covered) const;
  bool PutOverlay();

  std::shared_ptr<TX11ShmSurface> FShm;
  std::unique_ptr<TBitmap32> FBitmap;
  const TBitmap32* FOverlay = nullptr;
  // A whole repaint is already pending: area reports until the next paint add nothing.
  bool FAllDirty = false;
  bool FRepaintOnReports = true;
};

// The part of the control (in its logical coordinates) that shows the surface pixels of Area
// reported with Info: a rectangle, or a line from (Left, Top) to (Right, Bottom) whose width is
// in the low bits of Info. Clipped to the Width x Height surface; empty when nothing is left.
QRect ChangedViewArea(const TRect& Area, uint32_t Info, int32_t Width, int32_t Height,
                      qreal DevicePixelRatio);

}  // namespace quillet
