// The gauge bar: a patterned track with a raised, gripped handle. Clicking the track moves the
// handle under the pointer and starts a drag; arrows, page keys, Home, End and the wheel step it.
#include "platform/ui_qt_x11/gauge_bar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace quillet {

namespace {
constexpr int PreferredHandleWidth = 12;
constexpr int WheelStep = 120;
}  // namespace

TGaugeBar::TGaugeBar(QWidget* Parent) : QWidget(Parent) {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize TGaugeBar::sizeHint() const { return QSize(116, 16); }

void TGaugeBar::SetMin(int32_t Value) { SetRange(Value, std::max(Value, FMax)); }

void TGaugeBar::SetMax(int32_t Value) { SetRange(std::min(Value, FMin), Value); }

void TGaugeBar::SetRange(int32_t NewMin, int32_t NewMax) {
  FMin = NewMin;
  FMax = std::max(NewMin, NewMax);
  update();
  SetPosition(FPosition);
}

void TGaugeBar::SetPosition(int32_t Value) {
  Value = std::clamp(Value, FMin, FMax);
  if (Value == FPosition) return;
  FPosition = Value;
  update();
  if (OnChange) OnChange(this);
}

int TGaugeBar::HandleWidth() const { return std::clamp(width() / 4, 1, PreferredHandleWidth); }

int TGaugeBar::TrackLength() const { return std::max(0, width() - HandleWidth()); }

int TGaugeBar::HandleLeft() const {
  const int64_t Span = static_cast<int64_t>(FMax) - FMin;
  if (Span == 0) return 0;
  return static_cast<int>((static_cast<int64_t>(FPosition) - FMin) * TrackLength() / Span);
}

int32_t TGaugeBar::PositionAt(int HandleX) const {
  const int Track = TrackLength();
  if (Track == 0) return FPosition;
  const int64_t Span = static_cast<int64_t>(FMax) - FMin;
  const int64_t X = std::clamp(HandleX, 0, Track);
  // Nearest position, halves up.
  const int64_t Offset = (X * Span * 2 + Track) / (2 * static_cast<int64_t>(Track));
  return static_cast<int32_t>(FMin + Offset);
}

void TGaugeBar::paintEvent(QPaintEvent*) {
  QPainter Painter(this);
  const QPalette& Pal = palette();
  const QRect Track = rect();
  Painter.fillRect(Track, Pal.color(QPalette::Button));
  Painter.fillRect(Track, QBrush(Pal.color(QPalette::Dark), Qt::Dense4Pattern));
  Painter.setPen(Pal.color(QPalette::Shadow));
  Painter.drawRect(Track.adjusted(0, 0, -1, -1));

  const QRect Handle(HandleLeft(), 0, HandleWidth(), height());
  Painter.fillRect(Handle, Pal.color(isEnabled() ? QPalette::Button : QPalette::Window));
  Painter.setPen(Pal.color(QPalette::Light));
  Painter.drawLine(Handle.topLeft(), Handle.topRight());
  Painter.drawLine(Handle.topLeft(), Handle.bottomLeft());
  Painter.setPen(Pal.color(QPalette::Shadow));
  Painter.drawLine(Handle.bottomLeft(), Handle.bottomRight());
  Painter.drawLine(Handle.topRight(), Handle.bottomRight());

  // The grip: three short grooves across the middle of the handle.
  const int CenterX = Handle.center().x();
  const int GripTop = Handle.top() + height() / 4;
  const int GripBottom = Handle.bottom() - height() / 4;
  if (Handle.width() >= 7 && GripBottom > GripTop) {
    for (int Dx = -2; Dx <= 2; Dx += 2) {
      Painter.setPen(Pal.color(QPalette::Dark));
      Painter.drawLine(CenterX + Dx, GripTop, CenterX + Dx, GripBottom);
      Painter.setPen(Pal.color(QPalette::Light));
      Painter.drawLine(CenterX + Dx + 1, GripTop, CenterX + Dx + 1, GripBottom);
    }
  }
  if (hasFocus()) {
    Painter.setPen(QPen(Pal.color(QPalette::Highlight), 1, Qt::DotLine));
    Painter.drawRect(Track.adjusted(1, 1, -2, -2));
  }
}

void TGaugeBar::mousePressEvent(QMouseEvent* Event) {
  if (Event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(Event);
    return;
  }
  const int X = static_cast<int>(Event->position().x());
  const int Left = HandleLeft();
  if (X >= Left && X < Left + HandleWidth()) {
    FGrabOffset = X - Left;
  } else {
    FGrabOffset = HandleWidth() / 2;
    SetPosition(PositionAt(X - FGrabOffset));
  }
  FDragging = true;
  Event->accept();
}

void TGaugeBar::mouseMoveEvent(QMouseEvent* Event) {
  if (!FDragging) {
    QWidget::mouseMoveEvent(Event);
    return;
  }
  SetPosition(PositionAt(static_cast<int>(Event->position().x()) - FGrabOffset));
  Event->accept();
}

void TGaugeBar::mouseReleaseEvent(QMouseEvent* Event) {
  if (Event->button() == Qt::LeftButton && FDragging) {
    FDragging = false;
    Event->accept();
    return;
  }
  QWidget::mouseReleaseEvent(Event);
}

void TGaugeBar::keyPressEvent(QKeyEvent* Event) {
  const int64_t Page = std::max<int64_t>(1, (static_cast<int64_t>(FMax) - FMin) / 10);
  int64_t Target = FPosition;
  switch (Event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down: Target -= 1; break;
    case Qt::Key_Right:
    case Qt::Key_Up: Target += 1; break;
    case Qt::Key_PageDown: Target -= Page; break;
    case Qt::Key_PageUp: Target += Page; break;
    case Qt::Key_Home: Target = FMin; break;
    case Qt::Key_End: Target = FMax; break;
    default: QWidget::keyPressEvent(Event); return;
  }
  SetPosition(static_cast<int32_t>(std::clamp<int64_t>(Target, FMin, FMax)));
  Event->accept();
}

void TGaugeBar::wheelEvent(QWheelEvent* Event) {
  const QPoint Delta = Event->angleDelta();
  FWheelRemainder += Delta.y() != 0 ? Delta.y() : Delta.x();
  const int Steps = FWheelRemainder / WheelStep;
  FWheelRemainder -= Steps * WheelStep;
  if (Steps != 0)
    SetPosition(static_cast<int32_t>(
        std::clamp<int64_t>(static_cast<int64_t>(FPosition) + Steps, FMin, FMax)));
  Event->accept();
}

}  // namespace quillet
