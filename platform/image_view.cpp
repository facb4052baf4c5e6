// The image view: paints the surface as RGB32 (its alpha byte does not show) straight from the
// surface's memory, and turns the surface's area reports into partial repaints.
#include "image_view.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace quillet {

namespace {

// Lines are reported by their end points; anti-aliased pixels reach past the nominal width.
constexpr int64_t LineMargin = 2;

}  // namespace

QRect ChangedViewArea(const TRect& Area, uint32_t Info, int32_t Width, int32_t Height,
                      qreal DevicePixelRatio) {
  int64_t Left = std::min<int64_t>(Area.Left, Area.Right);
  int64_t Right = std::max<int64_t>(Area.Left, Area.Right);
  int64_t Top = std::min<int64_t>(Area.Top, Area.Bottom);
  int64_t Bottom = std::max<int64_t>(Area.Top, Area.Bottom);
  if ((Info & (AREAINFO_RECT | AREAINFO_LINE)) == AREAINFO_LINE) {
    const int64_t Reach = (Info & ~AREAINFO_LINE) / 2 + LineMargin;
    Left -= Reach;
    Top -= Reach;
    Right += Reach + 1;
    Bottom += Reach + 1;
  }
  Left = std::max<int64_t>(Left, 0);
  Top = std::max<int64_t>(Top, 0);
  Right = std::min<int64_t>(Right, Width);
  Bottom = std::min<int64_t>(Bottom, Height);
  if (Right <= Left || Bottom <= Top) return {};
  const qreal Ratio = DevicePixelRatio > 0 ? DevicePixelRatio : 1;
  const int L = static_cast<int>(std::floor(static_cast<double>(Left) / Ratio));
  const int T = static_cast<int>(std::floor(static_cast<double>(Top) / Ratio));
  const int R = static_cast<int>(std::ceil(static_cast<double>(Right) / Ratio));
  const int B = static_cast<int>(std::ceil(static_cast<double>(Bottom) / Ratio));
  return QRect(L, T, R - L, B - T);
}

TImage32::TImage32(QWidget* Parent) : QWidget(Parent), FBitmap(std::make_unique<TBitmap32>()) {
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
  if (FAllDirty) return;
  if (Area.Left <= 0 && Area.Top <= 0 && Area.Right >= FBitmap->Width() &&
      Area.Bottom >= FBitmap->Height() && (Info & AREAINFO_RECT)) {
    RepaintAll();
    return;
  }
  const QRect View =
      ChangedViewArea(Area, Info, FBitmap->Width(), FBitmap->Height(), devicePixelRatioF());
  if (!View.isEmpty()) update(View);
}

void TImage32::paintEvent(QPaintEvent* Event) {
  FAllDirty = false;
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
}

}  // namespace quillet
