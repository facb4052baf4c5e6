// The monitors come from Xinerama, whose order is the one the request's indices refer to. The
// request is written into the window's property before it is mapped (for managers that read it
// when they take the window) and sent as a message once it is mapped full screen.
#include "platform/fullscreen_span.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <xcb/xinerama.h>

#include "platform/detail/window_keeper.h"
#include "platform/detail/x11_native.h"

namespace quillet {

namespace {

std::vector<QRect> XineramaMonitors(xcb_connection_t* Connection) {
  std::vector<QRect> Monitors;
  const x11::XcbReply<xcb_xinerama_is_active_reply_t> Active(
      xcb_xinerama_is_active_reply(Connection, xcb_xinerama_is_active(Connection), nullptr));
  if (!Active || !Active->state) return Monitors;
  const x11::XcbReply<xcb_xinerama_query_screens_reply_t> Screens(
      xcb_xinerama_query_screens_reply(Connection, xcb_xinerama_query_screens(Connection), nullptr));
  if (!Screens) return Monitors;
  const xcb_xinerama_screen_info_t* Info = xcb_xinerama_query_screens_screen_info(Screens.get());
  const int Count = xcb_xinerama_query_screens_screen_info_length(Screens.get());
  for (int I = 0; I < Count; ++I)
    Monitors.emplace_back(Info[I].x_org, Info[I].y_org, Info[I].width, Info[I].height);
  return Monitors;
}

void RequestSpan(QWidget& Window, bool Mapped) {
  xcb_connection_t* Connection = x11::QtConnection();
  if (!Connection || !(Window.windowState() & Qt::WindowFullScreen)) return;
  const std::optional<TMonitorEdges> Edges = EdgeMonitors(XineramaMonitors(Connection));
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

// The show event comes before the window is mapped: the message waits for the event loop, by
// when the map request has gone out ahead of it.
class SpanKeeper final : public QObject {
 public:
  explicit SpanKeeper(QWidget& Window) : QObject(&Window) {}

 protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Watched != parent()) return false;
    auto& Window = *static_cast<QWidget*>(Watched);
    if (Event->type() == QEvent::Show && !Event->spontaneous()) {
      RequestSpan(Window, false);
      QTimer::singleShot(0, this, [&Window] { if (Window.isVisible()) RequestSpan(Window, true); });
    } else if (Event->type() == QEvent::WindowStateChange && Window.isVisible()) {
      RequestSpan(Window, true);
    }
    return false;
  }
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

void SpanFullScreenOverMonitors(QWidget& Window) {
  if (x11::QtConnection()) InstallKeeperOnce<SpanKeeper>(Window);
}

}  // namespace quillet
