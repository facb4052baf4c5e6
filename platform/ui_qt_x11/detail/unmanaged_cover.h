// A full-screen window that covers the monitors without the window manager, as a screen locker
// does: Qt is told that it bypasses the manager, so it is mapped at its own bounds and activated
// by setting the focus directly. While it is shown it holds the keyboard and takes the focus back
// whenever none of the program's windows has it. It goes beneath the program's windows that come
// up while it is shown (the dialog a right click opens, a message box), and stays above every other:
// a manager that raises or focuses a window late (the one whose button started the saver) does not
// put it over the cover. Internal to platform/.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <set>

#include "platform/ui_qt_x11/detail/x11_native.h"

class QWidget;
class QWindow;

namespace quillet {

class TUnmanagedCover final : public QObject, public QAbstractNativeEventFilter {
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
  // While active: the root's children as they are mapped and restacked.
  bool nativeEventFilter(const QByteArray& Type, void* Message, qintptr* Result) override;

 private:
  void TakeKeyboard();
  void RetakeFocus();
  // Retakes the focus now and a few times later: a manager hands it on in its own time.
  void RetakeFocusSoon();
  void KeepBeneath(xcb_window_t Other);
  // Back above every window but those the cover goes beneath.
  void RaiseAboveOthers();
  // Looks, once the events at hand are handled, whether a window that may not stands over the
  // cover, and raises it then.
  void CheckStackingSoon();
  void CheckStacking();
  // Watches the root's children (or stops), keeping the events the connection selected before.
  void WatchRoot(bool Watch);
  void SetBypass(bool Bypass);

  QWidget& FWindow;
  bool FActive = false;
  QTimer FGrabRetry;
  int FGrabTries = 0;
  QElapsedTimer FRetakeRound;
  int FRetakes = 0;
  // Other windows shown while active and not yet mapped.
  std::set<xcb_window_t> FShown;
  // The program's windows the cover goes beneath until they hide.
  std::set<xcb_window_t> FAbove;
  // The last right click: the dialog it brings up may come over the cover.
  QElapsedTimer FInvited;
  xcb_window_t FRoot = XCB_WINDOW_NONE;
  uint32_t FRootMaskBefore = 0;
  bool FCheckPending = false;
  // Raises in the current round: a window that keeps coming back over the cover wins after a few.
  QElapsedTimer FRaiseRound;
  int FRaises = 0;
  bool FRoundEndCheckPending = false;  // a look at the stacking when the raises may start again
};

}  // namespace quillet
