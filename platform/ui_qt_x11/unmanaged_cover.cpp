// The cover's keyboard grab, focus and stacking, through Qt's XCB connection.
#include "platform/ui_qt_x11/detail/unmanaged_cover.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace quillet {

namespace {

constexpr int KeyboardGrabTries = 20;
constexpr int KeyboardGrabRetryMs = 100;
constexpr int FocusRetakeDelayMs = 20;
constexpr int FocusRetakeLaterMs[] = {150, 500};
// How long after a right click a window of the program that takes the focus counts as invited.
constexpr int InvitationMs = 2000;
constexpr int FocusRetakesPerRound = 5;
constexpr int FocusRetakeRoundMs = 2000;
constexpr int RaisesPerRound = 10;
constexpr int RaiseRoundMs = 2000;

// Window's ancestor among the root's children (a managed window's frame), or none.
xcb_window_t RootChildOf(xcb_connection_t* Connection, xcb_window_t Window, xcb_window_t& Root) {
  for (int Depth = 0; Window != XCB_WINDOW_NONE && Depth < 64; ++Depth) {
    const x11::XcbReply<xcb_query_tree_reply_t> Tree(
        xcb_query_tree_reply(Connection, xcb_query_tree(Connection, Window), nullptr));
    if (!Tree) return XCB_WINDOW_NONE;
    Root = Tree->root;
    if (Tree->parent == Tree->root) return Window;
    Window = Tree->parent;
  }
  return XCB_WINDOW_NONE;
}

}  // namespace

TUnmanagedCover::TUnmanagedCover(QWidget& Window) : QObject(&Window), FWindow(Window) {
  FGrabRetry.setSingleShot(true);
  connect(&FGrabRetry, &QTimer::timeout, this, [this] { TakeKeyboard(); });
}

// The window is being destroyed: its flags no longer matter.
TUnmanagedCover::~TUnmanagedCover() {
  if (!FActive) return;
  if (qApp) qApp->removeEventFilter(this);
  WatchRoot(false);
  if (xcb_connection_t* Connection = x11::QtConnection()) {
    xcb_ungrab_keyboard(Connection, XCB_CURRENT_TIME);
    xcb_flush(Connection);
  }
}

void TUnmanagedCover::SetBypass(bool Bypass) {
  QWindow* Handle = FWindow.windowHandle();
  // A window that asked to bypass the manager itself keeps doing so.
  if (!Handle || (FWindow.windowFlags() & Qt::X11BypassWindowManagerHint)) return;
  const Qt::WindowFlags Flags = Handle->flags();
  Handle->setFlags(Bypass ? Flags | Qt::X11BypassWindowManagerHint : Flags & ~Qt::X11BypassWindowManagerHint);
}

void TUnmanagedCover::Start() {
  if (!x11::QtConnection()) return;
  SetBypass(true);
  FActive = true;
  FGrabTries = 0;
  FShown.clear();
  FAbove.clear();
  FInvited.invalidate();
  qApp->installEventFilter(this);
  WatchRoot(true);
  // The map request goes out after the show event; the grab needs the window viewable.
  QTimer::singleShot(0, this, [this] { TakeKeyboard(); });
}

void TUnmanagedCover::Stop() {
  if (!FActive) return;
  FActive = false;
  FGrabRetry.stop();
  if (qApp) qApp->removeEventFilter(this);
  WatchRoot(false);
  SetBypass(false);
  if (xcb_connection_t* Connection = x11::QtConnection()) {
    xcb_ungrab_keyboard(Connection, XCB_CURRENT_TIME);
    // A manager drops the states of a window it lets go; nobody managed this one, so its
    // full-screen state would still be there for a manager that takes it when it is next shown
    // as a window. Qt writes the states it wants again as it maps it.
    xcb_delete_property(Connection, static_cast<xcb_window_t>(FWindow.winId()),
                        x11::InternAtom(Connection, "_NET_WM_STATE"));
    xcb_flush(Connection);
  }
}

// Keys reach whichever window of the program has the focus, and the cover otherwise. Qt's own
// grabs (a popup's) end it, so it is taken again when another window hides.
void TUnmanagedCover::TakeKeyboard() {
  xcb_connection_t* Connection = x11::QtConnection();
  if (!FActive || !Connection || !FWindow.isVisible()) return;
  const auto Own = static_cast<xcb_window_t>(FWindow.winId());
  const x11::XcbReply<xcb_grab_keyboard_reply_t> Reply(xcb_grab_keyboard_reply(
      Connection, xcb_grab_keyboard(Connection, 1, Own, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
      nullptr));
  if (Reply && Reply->status == XCB_GRAB_STATUS_SUCCESS) {
    FGrabTries = 0;
    return;
  }
  // Another client may hold the keyboard for a moment (a window manager's key binding).
  if (++FGrabTries < KeyboardGrabTries) FGrabRetry.start(KeyboardGrabRetryMs);
}

// No manager hands the focus back when the window that had it goes away (the dialog closing),
// and a manager may give it to a window of its own: the cover takes it whenever none of the
// program's windows has it. A manager that keeps taking it wins after a few rounds.
void TUnmanagedCover::RetakeFocus() {
  if (!FActive || !FWindow.isVisible() || QGuiApplication::focusWindow()) return;
  if (!FRetakeRound.isValid() || FRetakeRound.elapsed() > FocusRetakeRoundMs) {
    FRetakeRound.start();
    FRetakes = 0;
  }
  if (++FRetakes <= FocusRetakesPerRound) FWindow.activateWindow();
}

void TUnmanagedCover::RetakeFocusSoon() {
  QTimer::singleShot(FocusRetakeDelayMs, this, [this] { RetakeFocus(); });
  for (const int Later : FocusRetakeLaterMs) QTimer::singleShot(Later, this, [this] { RetakeFocus(); });
}

void TUnmanagedCover::RaiseAboveOthers() {
  xcb_connection_t* Connection = x11::QtConnection();
  if (!FActive || !Connection || !FWindow.isVisible()) return;
  const uint32_t Above[] = {XCB_STACK_MODE_ABOVE};
  xcb_configure_window(Connection, static_cast<xcb_window_t>(FWindow.winId()), XCB_CONFIG_WINDOW_STACK_MODE, Above);
  xcb_flush(Connection);
  for (const xcb_window_t Id : FAbove) KeepBeneath(Id);
}

void TUnmanagedCover::WatchRoot(bool Watch) {
  xcb_connection_t* Connection = x11::QtConnection();
  if (!Connection || Watch == (FRoot != XCB_WINDOW_NONE)) return;
  if (!Watch) {
    if (qApp) qApp->removeNativeEventFilter(this);
    const uint32_t Mask[] = {FRootMaskBefore};
    xcb_change_window_attributes(Connection, FRoot, XCB_CW_EVENT_MASK, Mask);
    xcb_flush(Connection);
    FRoot = XCB_WINDOW_NONE;
    return;
  }
  xcb_window_t Root = XCB_WINDOW_NONE;
  RootChildOf(Connection, static_cast<xcb_window_t>(FWindow.winId()), Root);
  if (Root == XCB_WINDOW_NONE) return;
  const x11::XcbReply<xcb_get_window_attributes_reply_t> Attributes(xcb_get_window_attributes_reply(
      Connection, xcb_get_window_attributes(Connection, Root), nullptr));
  if (!Attributes) return;
  FRoot = Root;
  FRootMaskBefore = Attributes->your_event_mask;
  const uint32_t Mask[] = {FRootMaskBefore | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
  xcb_change_window_attributes(Connection, FRoot, XCB_CW_EVENT_MASK, Mask);
  xcb_flush(Connection);
  qApp->installNativeEventFilter(this);
}

bool TUnmanagedCover::nativeEventFilter(const QByteArray& Type, void* Message, qintptr*) {
  if (!FActive || FRoot == XCB_WINDOW_NONE || Type != "xcb_generic_event_t") return false;
  const auto* Event = static_cast<const xcb_generic_event_t*>(Message);
  switch (Event->response_type & 0x7f) {
    case XCB_MAP_NOTIFY:
      if (reinterpret_cast<const xcb_map_notify_event_t*>(Event)->event == FRoot) CheckStackingSoon();
      break;
    case XCB_CONFIGURE_NOTIFY:
      if (reinterpret_cast<const xcb_configure_notify_event_t*>(Event)->event == FRoot) CheckStackingSoon();
      break;
    default:
      break;
  }
  return false;
}

void TUnmanagedCover::CheckStackingSoon() {
  if (FCheckPending) return;
  FCheckPending = true;
  QTimer::singleShot(0, this, [this] {
    FCheckPending = false;
    CheckStacking();
  });
}

// A window the cover does not make way for stands over it: the cover goes back on top. Windows of
// the program that are being shown are not yet known to go above, and are left alone.
void TUnmanagedCover::CheckStacking() {
  xcb_connection_t* Connection = x11::QtConnection();
  if (!FActive || !Connection || !FWindow.isVisible() || FRoot == XCB_WINDOW_NONE) return;
  const auto Own = static_cast<xcb_window_t>(FWindow.winId());
  std::set<xcb_window_t> Allowed;
  xcb_window_t Root = XCB_WINDOW_NONE;
  for (const std::set<xcb_window_t>* Ids : {&FAbove, &FShown})
    for (const xcb_window_t Id : *Ids) Allowed.insert(RootChildOf(Connection, Id, Root));
  const x11::XcbReply<xcb_query_tree_reply_t> Tree(
      xcb_query_tree_reply(Connection, xcb_query_tree(Connection, FRoot), nullptr));
  if (!Tree) return;
  const xcb_window_t* Children = xcb_query_tree_children(Tree.get());
  const xcb_window_t* End = Children + xcb_query_tree_children_length(Tree.get());
  const xcb_window_t* OwnPlace = std::find(Children, End, Own);
  if (OwnPlace == End) return;
  const bool Covered = std::any_of(OwnPlace + 1, End, [&](xcb_window_t Child) {
    if (Allowed.count(Child) > 0) return false;
    const x11::XcbReply<xcb_get_window_attributes_reply_t> Attributes(xcb_get_window_attributes_reply(
        Connection, xcb_get_window_attributes(Connection, Child), nullptr));
    return Attributes && Attributes->map_state == XCB_MAP_STATE_VIEWABLE;
  });
  if (!Covered) return;
  if (!FRaiseRound.isValid() || FRaiseRound.elapsed() > RaiseRoundMs) {
    FRaiseRound.start();
    FRaises = 0;
  }
  if (++FRaises <= RaisesPerRound) {
    RaiseAboveOthers();
  } else if (!FRoundEndCheckPending) {
    // Out of raises for this round: look again when it ends, or a window that went above in the
    // meantime would stay there until something else moved.
    FRoundEndCheckPending = true;
    const int Left = static_cast<int>(std::max<qint64>(0, RaiseRoundMs - FRaiseRound.elapsed()));
    QTimer::singleShot(Left + 1, this, [this] {
      FRoundEndCheckPending = false;
      CheckStacking();
    });
  }
}

void TUnmanagedCover::KeepBeneath(xcb_window_t Other) {
  xcb_connection_t* Connection = x11::QtConnection();
  if (!FActive || !Connection || !FWindow.isVisible()) return;
  const auto Own = static_cast<xcb_window_t>(FWindow.winId());
  xcb_window_t Root = XCB_WINDOW_NONE;
  const xcb_window_t OtherTop = RootChildOf(Connection, Other, Root);
  if (OtherTop == XCB_WINDOW_NONE || OtherTop == Own) return;
  const x11::XcbReply<xcb_query_tree_reply_t> Tree(
      xcb_query_tree_reply(Connection, xcb_query_tree(Connection, Root), nullptr));
  if (!Tree) return;
  // Bottom to top: only a window below the cover needs it to move.
  const xcb_window_t* Children = xcb_query_tree_children(Tree.get());
  const xcb_window_t* End = Children + xcb_query_tree_children_length(Tree.get());
  const xcb_window_t* OwnPlace = std::find(Children, End, Own);
  if (OwnPlace == End || std::find(Children, OwnPlace, OtherTop) == OwnPlace) return;
  const uint32_t Values[] = {OtherTop, XCB_STACK_MODE_BELOW};
  xcb_configure_window(Connection, Own, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, Values);
  xcb_flush(Connection);
}

bool TUnmanagedCover::eventFilter(QObject* Watched, QEvent* Event) {
  const QEvent::Type Type = Event->type();
  if (Type == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(Event)->button() == Qt::RightButton)
    FInvited.start();
  if (Watched == &FWindow) {
    if (Type == QEvent::WindowDeactivate) QTimer::singleShot(FocusRetakeDelayMs, this, [this] { RetakeFocus(); });
    return false;
  }
  auto* Other = qobject_cast<QWindow*>(Watched);
  // Asking a window without its native one for its id would make one.
  if (!Other || !Other->handle() || Other == FWindow.windowHandle() || !Other->isTopLevel()) return false;
  const auto Id = static_cast<xcb_window_t>(Other->winId());
  const auto Beneath = [this, Id] {
    FAbove.insert(Id);
    QTimer::singleShot(0, this, [this, Id] { KeepBeneath(Id); });
  };
  switch (Type) {
    case QEvent::Show:
      FShown.insert(Id);
      break;
    case QEvent::Expose:
      // Newly shown, now mapped: by then its manager has framed it.
      if (Other->isExposed() && FShown.erase(Id) > 0) Beneath();
      break;
    case QEvent::FocusIn:
      // A window that came up while the cover is shown, or one a right click brought up, may be
      // over it; one the manager focuses on its own (it had the focus before) goes back beneath.
      if (FAbove.count(Id) > 0 || (FInvited.isValid() && FInvited.elapsed() < InvitationMs)) {
        Beneath();
      } else {
        QTimer::singleShot(0, this, [this] {
          RaiseAboveOthers();
          if (FActive && FWindow.isVisible()) FWindow.activateWindow();
        });
      }
      break;
    case QEvent::Hide:
      FShown.erase(Id);
      FAbove.erase(Id);
      QTimer::singleShot(0, this, [this] { TakeKeyboard(); });
      RetakeFocusSoon();
      break;
    default:
      break;
  }
  return false;
}

}  // namespace quillet
