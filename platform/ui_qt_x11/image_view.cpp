// The image view: paints the surface as RGB32 (its alpha byte does not show) straight from the
// surface's memory, and turns the surface's area reports into partial repaints. Presenting
// directly, the control paints on screen itself: Qt's backing store never holds its pixels.
#include "platform/ui_qt_x11/image_view.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "shell/changed_areas.h"
#include "platform/ui_qt_x11/detail/x11_shm_surface.h"

namespace quillet {

namespace {

// Surface (device) pixels to logical coordinates, rounded outward.
QRect LogicalArea(const TRect& Device, qreal DevicePixelRatio) {
  const qreal Ratio = DevicePixelRatio > 0 ? DevicePixelRatio : 1;
  const int L = static_cast<int>(std::floor(Device.Left / Ratio));
  const int T = static_cast<int>(std::floor(Device.Top / Ratio));
  const int R = static_cast<int>(std::ceil(Device.Right / Ratio));
  const int B = static_cast<int>(std::ceil(Device.Bottom / Ratio));
  return QRect(L, T, R - L, B - T);
}

// Logical coordinates to device pixels, rounded outward.
TRect DeviceArea(const QRect& Logical, qreal DevicePixelRatio) {
  const qreal Ratio = DevicePixelRatio > 0 ? DevicePixelRatio : 1;
  const auto Scale = [Ratio](int V, bool Up) {
    const double D = V * Ratio;
    return static_cast<int32_t>(std::clamp(Up ? std::ceil(D) : std::floor(D), -1e9, 1e9));
  };
  return {Scale(Logical.left(), false), Scale(Logical.top(), false),
          Scale(Logical.left() + Logical.width(), true), Scale(Logical.top() + Logical.height(), true)};
}

}  // namespace

QRect ChangedViewArea(const TRect& Area, uint32_t Info, int32_t Width, int32_t Height,
                      qreal DevicePixelRatio) {
  const TRect Device = ReportedSurfaceArea(Area, Info, Width, Height);
  if (Device.Right <= Device.Left) return {};
  return LogicalArea(Device, DevicePixelRatio);
}

TImage32::TImage32(QWidget* Parent)
    : QWidget(Parent), FShm(TX11ShmSurface::Create()), FBitmap(std::make_unique<TBitmap32>()) {
  if (FShm) {
    FBitmap->SetPixelStore(FShm);
    // A window of its own that Qt leaves to the control to paint.
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
  }
  setAttribute(Qt::WA_OpaquePaintEvent);
  FBitmap->OnAreaChanged = [this](TBitmap32*, const TRect& Area, uint32_t Info) {
    AreaChanged(Area, Info);
  };
  FBitmap->OnResize = [this](TNotifiablePersistent*) {
    updateGeometry();
    RepaintAll();
  };
}

TImage32::~TImage32() {
  FBitmap->OnAreaChanged = nullptr;
  FBitmap->OnResize = nullptr;
}

QSize TImage32::sizeHint() const {
  const qreal Ratio = devicePixelRatioF();
  return QSize(static_cast<int>(std::ceil(FBitmap->Width() / Ratio)),
               static_cast<int>(std::ceil(FBitmap->Height() / Ratio)));
}

void TImage32::RepaintAll() {
  if (FAllDirty) return;
  FAllDirty = true;
  update();
}

void TImage32::AreaChanged(const TRect& Area, uint32_t Info) {
  if (FAllDirty || !FRepaintOnReports) return;
  if (Area.Left <= 0 && Area.Top <= 0 && Area.Right >= FBitmap->Width() &&
      Area.Bottom >= FBitmap->Height() && (Info & AREAINFO_RECT)) {
    RepaintAll();
    return;
  }
  const QRect View =
      ChangedViewArea(Area, Info, FBitmap->Width(), FBitmap->Height(), devicePixelRatioF());
  if (!View.isEmpty()) update(View);
}

QPaintEngine* TImage32::paintEngine() const { return FShm ? nullptr : QWidget::paintEngine(); }

void TImage32::SetOverlay(const TBitmap32* Overlay) {
  if (Overlay == FOverlay) return;
  const TRect Before = OverlayArea();
  FOverlay = Overlay;
  // What the old overlay covered shows the surface again.
  if (Before.Right > Before.Left) update(LogicalArea(Before, devicePixelRatioF()));
  OverlayChanged();
}

TRect TImage32::OverlayArea() const {
  if (!FOverlay || FOverlay->IsEmpty()) return {};
  const int32_t Bottom = static_cast<int32_t>(std::lround(height() * devicePixelRatioF()));
  return {0, Bottom - FOverlay->Height(), FOverlay->Width(), Bottom};
}

void TImage32::OverlayChanged() {
  const TRect Area = OverlayArea();
  if (Area.Right <= Area.Left || !isVisible()) return;
  if (FShm) {
    if (PutOverlay()) return;
    StopPresentingDirectly();
    return;
  }
  repaint(LogicalArea(Area, devicePixelRatioF()));
}

std::vector<TRect> TImage32::OutsideOverlay(const std::vector<TRect>& Rects, bool& Covered) const {
  const TRect Hole = OverlayArea();
  if (Hole.Right <= Hole.Left) return Rects;
  std::vector<TRect> Outside;
  Outside.reserve(Rects.size());
  for (const TRect& R : Rects) Covered |= SubtractRect(R, Hole, Outside);
  return Outside;
}

bool TImage32::PutOverlay() {
  const TRect Area = OverlayArea();
  return FShm->PutImage(static_cast<xcb_window_t>(winId()), *FOverlay, Area.Left, Area.Top);
}

void TImage32::PresentAreas(const std::vector<TRect>& Rects, const std::vector<TRect>& Black) {
  if ((Rects.empty() && Black.empty()) || !isVisible()) return;
  if (OnPresent) OnPresent(Rects, Black);
  if (FShm) {
    // The overlay's pixels are never put twice, once from the surface and once from the overlay:
    // the screen would flicker between the two.
    bool Covered = false;
    const std::vector<TRect> Shown = OutsideOverlay(Rects, Covered);
    const std::vector<TRect> Filled = OutsideOverlay(Black, Covered);
    if (FShm->Put(static_cast<xcb_window_t>(winId()), *FBitmap, Shown, Filled) && (!Covered || PutOverlay()))
      return;
    StopPresentingDirectly();
  }
  QRegion Region;
  for (const TRect& R : Rects) Region += LogicalArea(R, devicePixelRatioF());
  for (const TRect& R : Black) Region += LogicalArea(R, devicePixelRatioF());
  repaint(Region);
}

void TImage32::StopPresentingDirectly() {
  // The window does not keep the surface's pixel layout: Qt paints it from now on.
  FShm.reset();
  FBitmap->SetPixelStore(nullptr);
  setAttribute(Qt::WA_PaintOnScreen, false);
  update();
}

bool TImage32::PutRegion(const QRegion& Region) {
  const qreal Ratio = devicePixelRatioF();
  const TRect Surface = FBitmap->BoundsRect();
  std::vector<TRect> Shown;
  std::vector<TRect> Beyond;  // the control's part that no surface pixel covers
  for (const QRect& Logical : Region) {
    const TRect R = DeviceArea(Logical, Ratio);
    Shown.push_back(R);
    if (R.Right > Surface.Right) Beyond.push_back({std::max(R.Left, Surface.Right), R.Top, R.Right, R.Bottom});
    if (R.Bottom > Surface.Bottom)
      Beyond.push_back({R.Left, std::max(R.Top, Surface.Bottom), std::min(R.Right, Surface.Right), R.Bottom});
  }
  bool Covered = false;
  Shown = OutsideOverlay(Shown, Covered);
  Beyond = OutsideOverlay(Beyond, Covered);
  return FShm->Put(static_cast<xcb_window_t>(winId()), *FBitmap, Shown, Beyond) && (!Covered || PutOverlay());
}

void TImage32::paintEvent(QPaintEvent* Event) {
  FAllDirty = false;
  if (FShm) {
    if (PutRegion(Event->region())) return;
    StopPresentingDirectly();
    return;
  }
  QPainter Painter(this);
  const qreal Ratio = devicePixelRatioF();
  QRegion Uncovered = Event->region();
  if (!FBitmap->IsEmpty()) {
    const QImage Image(reinterpret_cast<const uchar*>(FBitmap->PixelPtr()), FBitmap->Width(),
                       FBitmap->Height(), static_cast<qsizetype>(FBitmap->Width()) * 4,
                       QImage::Format_RGB32);
    if (!Image.isNull()) {
      QImage Scaled = Image;  // shares the pixels; only the ratio differs
      Scaled.setDevicePixelRatio(Ratio);
      Painter.drawImage(QPointF(0, 0), Scaled);
      Uncovered -= QRect(QPoint(0, 0), Scaled.deviceIndependentSize().toSize());
    }
  }
  for (const QRect& R : Uncovered) Painter.fillRect(R, Qt::black);
  const TRect Overlay = OverlayArea();
  if (Overlay.Right > Overlay.Left && Event->region().intersects(LogicalArea(Overlay, Ratio))) {
    QImage Image(reinterpret_cast<const uchar*>(FOverlay->PixelPtr()), FOverlay->Width(), FOverlay->Height(),
                 static_cast<qsizetype>(FOverlay->Width()) * 4, QImage::Format_RGB32);
    Image.setDevicePixelRatio(Ratio);
    Painter.drawImage(QPointF(Overlay.Left / Ratio, Overlay.Top / Ratio), Image);
  }
}

}  // namespace quillet
