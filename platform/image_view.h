// TImage32: a control that shows its surface unscaled, one surface pixel per device pixel from
// its top-left corner, and repaints what the surface reports as changed.
#pragma once

#include <QWidget>

#include <memory>

#include "raster/bitmap32.h"

namespace quillet {

class TImage32 : public QWidget {
 public:
  explicit TImage32(QWidget* Parent = nullptr);
  ~TImage32() override;

  // The surface, owned by the control. Its size is the caller's to set; the control repaints
  // on its change reports and on resizes.
  TBitmap32& Bitmap() { return *FBitmap; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* Event) override;

 private:
  void AreaChanged(const TRect& Area, uint32_t Info);
  void RepaintAll();

  std::unique_ptr<TBitmap32> FBitmap;
  // A whole repaint is already pending: area reports until the next paint add nothing.
  bool FAllDirty = false;
};

// The part of the control (in its logical coordinates) that shows the surface pixels of Area
// reported with Info: a rectangle, or a line from (Left, Top) to (Right, Bottom) whose width is
// in the low bits of Info. Clipped to the Width x Height surface; empty when nothing is left.
QRect ChangedViewArea(const TRect& Area, uint32_t Info, int32_t Width, int32_t Height,
                      qreal DevicePixelRatio);

}  // namespace quillet
