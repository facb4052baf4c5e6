// The monitors come from Xinerama, whose order is the one the request's indices refer to. The
// request is written into the window's property before it is mapped (for managers that read it
// when they take the window) and sent as a message once it is mapped full screen.
//
// Whether the window manager can be asked is read from its announcement each time the window is
// shown full screen; a window shown managed that then goes full screen is mapped anew to become
// unmanaged.
#include "platform/fullscreen_span.h"

#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#include <algorithm>

#include "platform/detail/unmanaged_cover.h"
#include "platform/detail/window_keeper.h"
#include "platform/detail/x11_monitors.h"
#include "platform/detail/x11_native.h"
#include "platform/monitor_layout.h"

namespace quillet {

namespace {

constexpr int RemapPollMs = 10;
constexpr int RemapPolls = 50;

void RequestSpan(QWidget& Window, bool Mapped) {
  xcb_connection_t* Connection = x11::QtConnection();
  if (!Connection || !(Window.windowState() & Qt::WindowFullScreen)) return;
  const std::optional<TMonitorEdges> Edges = EdgeMonitors(x11::XineramaMonitors(Connection));
  if (!Edges) return;
  const xcb_atom_t Request = x11::InternAtom(Connection, "_NET_WM_FULLSCREEN_MONITORS");
  if (Request == XCB_ATOM_NONE) return;
  const auto Own = static_cast<xcb_window_t>(Window.winId());
  if (Mapped) {
    x11::SendToWindowManager(Connection, Own, Request,
                             {Edges->Top, Edges->Bottom, Edges->Left, Edges->Right, x11::SourceApplication});
    return;
  }
  const uint32_t List[4] = {Edges->Top, Edges->Bottom, Edges->Left, Edges->Right};
  xcb_change_property(Connection, XCB_PROP_MODE_REPLACE, Own, Request, XCB_ATOM_CARDINAL, 32, 4, List);
  xcb_flush(Connection);
}

xcb_window_t RootOf(xcb_connection_t* Connection, xcb_window_t Window) {
  const x11::XcbReply<xcb_get_geometry_reply_t> Geometry(
      xcb_get_geometry_reply(Connection, xcb_get_geometry(Connection, Window), nullptr));
  return Geometry ? Geometry->root : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
}

// The single window that Window's property Name holds, or none.
xcb_window_t WindowProperty(xcb_connection_t* Connection, xcb_window_t Window, xcb_atom_t Name) {
  const x11::XcbReply<xcb_get_property_reply_t> Reply(xcb_get_property_reply(
      Connection, xcb_get_property(Connection, 0, Window, Name, XCB_ATOM_WINDOW, 0, 1), nullptr));
  if (!Reply || Reply->type != XCB_ATOM_WINDOW || Reply->format != 32 ||
      xcb_get_property_value_length(Reply.get()) < 4)
    return XCB_WINDOW_NONE;
  return *static_cast<const xcb_window_t*>(xcb_get_property_value(Reply.get()));
}

TManagerSupport ReadManagerSupport(xcb_connection_t* Connection, xcb_window_t Root) {
  TManagerSupport Support;
  // Managing windows means redirecting the root's substructure, which one client at a time can.
  const x11::XcbReply<xcb_get_window_attributes_reply_t> Attributes(xcb_get_window_attributes_reply(
      Connection, xcb_get_window_attributes(Connection, Root), nullptr));
  Support.Present = Attributes && (Attributes->all_event_masks & XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT);
  if (!Support.Present) return Support;

  // The announcement counts only while its check window names itself: a manager that has gone
  // leaves its properties behind.
  const xcb_atom_t Check = x11::InternAtom(Connection, "_NET_SUPPORTING_WM_CHECK");
  const xcb_window_t CheckWindow = WindowProperty(Connection, Root, Check);
  if (CheckWindow == XCB_WINDOW_NONE || WindowProperty(Connection, CheckWindow, Check) != CheckWindow)
    return Support;
  const x11::XcbReply<xcb_get_property_reply_t> Supported(xcb_get_property_reply(
      Connection,
      xcb_get_property(Connection, 0, Root, x11::InternAtom(Connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 0,
                       4096),
      nullptr));
  if (!Supported || Supported->type != XCB_ATOM_ATOM || Supported->format != 32) return Support;
  const auto* Atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(Supported.get()));
  const auto* End = Atoms + xcb_get_property_value_length(Supported.get()) / 4;
  const auto Has = [&](const char* Name) {
    const xcb_atom_t Atom = x11::InternAtom(Connection, Name);
    return Atom != XCB_ATOM_NONE && std::find(Atoms, End, Atom) != End;
  };
  Support.FullScreen = Has("_NET_WM_STATE_FULLSCREEN");
  Support.Span = Has("_NET_WM_FULLSCREEN_MONITORS");
  return Support;
}

size_t MonitorCount(xcb_connection_t* Connection) {
  const size_t Heads = x11::XineramaMonitors(Connection).size();
  return Heads > 0 ? Heads : static_cast<size_t>(QGuiApplication::screens().size());
}

class SpanKeeper final : public QObject {
 public:
  explicit SpanKeeper(QWidget& Window) : QObject(&Window), FWindow(Window), FCover(new TUnmanagedCover(Window)) {
    connect(&FRemapWait, &QTimer::timeout, this, [this] { FinishRemap(); });
  }

 protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Watched != parent()) return false;
    // The show and hide events of the program's own requests come before the map and unmap.
    const bool Requested = !Event->spontaneous();
    if (Event->type() == QEvent::Show && Requested)
      Shown();
    else if (Event->type() == QEvent::Hide && Requested)
      FCover->Stop();
    else if (Event->type() == QEvent::WindowStateChange)
      StateChanged();
    return false;
  }

 private:
  bool CoverNeeded() const {
    xcb_connection_t* Connection = x11::QtConnection();
    if (!Connection || !(FWindow.windowState() & Qt::WindowFullScreen)) return false;
    const xcb_window_t Root = RootOf(Connection, static_cast<xcb_window_t>(FWindow.winId()));
    return Root != XCB_WINDOW_NONE && NeedsOwnCover(ReadManagerSupport(Connection, Root), MonitorCount(Connection));
  }

  // Before the window is mapped.
  void Shown() {
    if (CoverNeeded()) {
      FCover->Start();
      return;
    }
    RequestSpan(FWindow, false);
    // The message waits for the event loop, by when the map request has gone out ahead of it.
    QTimer::singleShot(0, this, [this] { if (FWindow.isVisible()) RequestSpan(FWindow, true); });
  }

  // A state change is often one of several steps (bounds, then full screen): it is looked at once
  // they are done.
  void StateChanged() {
    if (!FWindow.isVisible() || FReconsidering || FRemapWait.isActive()) return;
    FReconsidering = true;
    QTimer::singleShot(0, this, [this] {
      FReconsidering = false;
      if (!FWindow.isVisible() || FCover->Active()) return;
      if (!(FWindow.windowState() & Qt::WindowFullScreen) || !CoverNeeded()) {
        RequestSpan(FWindow, true);
        return;
      }
      // A window shown managed that goes full screen: whether the manager may take a window is
      // settled when it is mapped, so it is mapped anew once the manager has let it go (and has
      // handed the focus on, as it does then).
      FWindow.hide();
      FRemapWaits = 0;
      FRemapWait.start(RemapPollMs);
    });
  }

  void FinishRemap() {
    xcb_connection_t* Connection = x11::QtConnection();
    if (Connection && ++FRemapWaits < RemapPolls) {
      const x11::XcbReply<xcb_query_tree_reply_t> Tree(xcb_query_tree_reply(
          Connection, xcb_query_tree(Connection, static_cast<xcb_window_t>(FWindow.winId())), nullptr));
      if (Tree && Tree->parent != Tree->root) return;
    }
    FRemapWait.stop();
    if (FWindow.isVisible()) return;
    // Bounds first: setting them drops the full-screen state.
    const QRect Display = MonitorsBoundingRect();
    if (!Display.isEmpty()) FWindow.setGeometry(Display);
    FWindow.setWindowState(Qt::WindowFullScreen);
    FWindow.show();
    FWindow.raise();
    FWindow.activateWindow();
  }

  QWidget& FWindow;
  TUnmanagedCover* FCover;  // a child of the window
  QTimer FRemapWait;
  int FRemapWaits = 0;
  bool FReconsidering = false;
};

}  // namespace

std::optional<TMonitorEdges> EdgeMonitors(const std::vector<QRect>& Monitors) {
  if (Monitors.size() < 2) return std::nullopt;
  TMonitorEdges Edges;
  for (uint32_t I = 1; I < Monitors.size(); ++I) {
    const QRect& M = Monitors[I];
    if (M.top() < Monitors[Edges.Top].top()) Edges.Top = I;
    if (M.bottom() > Monitors[Edges.Bottom].bottom()) Edges.Bottom = I;
    if (M.left() < Monitors[Edges.Left].left()) Edges.Left = I;
    if (M.right() > Monitors[Edges.Right].right()) Edges.Right = I;
  }
  return Edges;
}

bool NeedsOwnCover(const TManagerSupport& Manager, size_t Monitors) {
  if (!Manager.Present) return false;
  return !Manager.FullScreen || (Monitors > 1 && !Manager.Span);
}

void SpanFullScreenOverMonitors(QWidget& Window) {
  if (x11::QtConnection()) InstallKeeperOnce<SpanKeeper>(Window);
}

}  // namespace quillet
