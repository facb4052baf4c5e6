// Embedding through XCB checks and Qt's own re-parenting, so that Qt knows the window's new
// parent and places it relative to the host.
#include "x11_embedding.h"

#include <QWidget>
#include <QWindow>

#include <cstdlib>
#include <memory>

#include "x11_native.h"

namespace quillet {

namespace {

struct FreeDeleter {
  void operator()(void* P) const { std::free(P); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

// The window's parent, or 0 when it is not an existing window.
xcb_window_t ParentOf(xcb_connection_t* Connection, xcb_window_t Window) {
  xcb_generic_error_t* Error = nullptr;
  const XcbReply<xcb_query_tree_reply_t> Tree(
      xcb_query_tree_reply(Connection, xcb_query_tree(Connection, Window), &Error));
  std::free(Error);
  return Tree ? Tree->parent : 0;
}

}  // namespace

std::optional<TRect> HostWindowRect(uint32_t Host) {
  xcb_connection_t* Connection = x11::QtConnection();
  if (!Connection) return std::nullopt;
  return HostWindowRect(Connection, Host);
}

std::optional<TRect> HostWindowRect(xcb_connection_t* Connection, uint32_t Host) {
  if (!Connection || Host == 0) return std::nullopt;
  xcb_generic_error_t* Error = nullptr;
  const XcbReply<xcb_get_geometry_reply_t> Geometry(
      xcb_get_geometry_reply(Connection, xcb_get_geometry(Connection, Host), &Error));
  std::free(Error);
  if (!Geometry) return std::nullopt;
  // Geometry also answers for pixmaps; translating coordinates succeeds only for windows.
  Error = nullptr;
  const XcbReply<xcb_translate_coordinates_reply_t> Origin(xcb_translate_coordinates_reply(
      Connection, xcb_translate_coordinates(Connection, Host, Geometry->root, 0, 0), &Error));
  std::free(Error);
  if (!Origin) return std::nullopt;
  // The translated point is the inside origin; the outer corner lies one border width out.
  const int32_t Border = Geometry->border_width;
  const int32_t Left = Origin->dst_x - Border;
  const int32_t Top = Origin->dst_y - Border;
  return TRect{Left, Top, Left + Geometry->width + 2 * Border,
               Top + Geometry->height + 2 * Border};
}

uint32_t ReparentIntoHost(QWidget& Window, uint32_t Host) {
  xcb_connection_t* Connection = x11::QtConnection();
  if (!Connection || !HostWindowRect(Connection, Host)) return 0;
  const auto Own = static_cast<xcb_window_t>(Window.winId());
  QWindow* Handle = Window.windowHandle();
  if (!Handle || Own == Host) return 0;
  const xcb_window_t Previous = ParentOf(Connection, Own);
  if (Previous == 0) return 0;

  // The wrapper only stands for the host; deleting it leaves the foreign window alone. It lives
  // as long as the widget, whose window is its child from now on.
  QWindow* HostWindow = QWindow::fromWinId(Host);
  if (!HostWindow) return 0;
  QObject::connect(&Window, &QObject::destroyed, [HostWindow] { delete HostWindow; });
  Handle->setParent(HostWindow);
  Handle->setPosition(0, 0);
  // The reply comes after the server has handled Qt's re-parenting, so it tells whether it
  // took: it is refused for a host inside this window, or a host that just went away.
  if (ParentOf(Connection, Own) != Host) {
    Handle->setParent(nullptr);
    return 0;
  }
  return Previous;
}

}  // namespace quillet
