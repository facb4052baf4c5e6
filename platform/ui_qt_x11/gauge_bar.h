// TGaugeBar: a horizontal gauge with an integer range and a draggable handle.
#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>

namespace quillet {

class TGaugeBar : public QWidget {
 public:
  explicit TGaugeBar(QWidget* Parent = nullptr);

  int32_t Min() const { return FMin; }
  int32_t Max() const { return FMax; }
  int32_t Position() const { return FPosition; }

  // A new bound that passes the other one moves it along. The position is clamped again.
  void SetMin(int32_t Value);
  void SetMax(int32_t Value);
  void SetRange(int32_t NewMin, int32_t NewMax);
  // Clamps Value to Min..Max; repaints and raises OnChange only when the position changes.
  void SetPosition(int32_t Value);

  // Raised after every change of the position, by the program or by the user.
  std::function<void(TGaugeBar* Sender)> OnChange;

  QSize sizeHint() const override;

  // The handle's extent along the bar, in pixels.
  int HandleLeft() const;
  int HandleWidth() const;

 protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void wheelEvent(QWheelEvent* Event) override;

 private:
  // The position whose handle starts at pixel HandleX.
  int32_t PositionAt(int HandleX) const;
  int TrackLength() const;

  int32_t FMin = 0;
  int32_t FMax = 100;
  int32_t FPosition = 0;
  bool FDragging = false;
  int FGrabOffset = 0;  // pointer x minus handle left while dragging
  int FWheelRemainder = 0;
};

}  // namespace quillet
