// A full-screen window that covers the monitors without the window manager, as a screen locker
// does: Qt is told that it bypasses the manager, so it is mapped at its own bounds and activated
// by setting the focus directly. While it is shown it holds the keyboard, takes the focus back
// whenever none of the program's windows has it, and goes beneath the program's other windows
// (the dialog it opens) as they are shown or activated. Internal to platform/.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <set>

#include "platform/detail/x11_native.h"

class QWidget;
class QWindow;

namespace quillet {

class TUnmanagedCover final : public QObject {
 public:
  explicit TUnmanagedCover(QWidget& Window);
  ~TUnmanagedCover() override;

  // Call while the window is shown but not yet mapped (in its show event).
  void Start();
  // Call as it is hidden; also undoes the bypass for the next show.
  void Stop();
  bool Active() const { return FActive; }

 protected:
  // Application-wide while active.
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  void TakeKeyboard();
  void RetakeFocus();
  void KeepBeneath(xcb_window_t Other);
  void SetBypass(bool Bypass);

  QWidget& FWindow;
  bool FActive = false;
  QTimer FGrabRetry;
  int FGrabTries = 0;
  QElapsedTimer FRetakeRound;
  int FRetakes = 0;
  // Other windows shown while active and not yet mapped.
  std::set<xcb_window_t> FShown;
};

}  // namespace quillet
