// Embedding through XCB. The re-parenting happens behind Qt's back on purpose: Qt keeps treating
// the window as a top-level one, so closing it and quitting work as for any main window (a
// foreign QWindow as its parent would hold up both), and its geometry, which the server reads
// relative to the parent, places it inside the host.
#include "platform/ui_qt_x11/x11_embedding.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QWidget>

#include <cstdlib>
#include <memory>
#include <utility>

#include "platform/ui_qt_x11/detail/x11_native.h"

namespace quillet {

using x11::XcbReply;

namespace {

// The window's parent, or 0 when it is not an existing window.
xcb_window_t ParentOf(xcb_connection_t* Connection, xcb_window_t Window) {
  xcb_generic_error_t* Error = nullptr;
  const XcbReply<xcb_query_tree_reply_t> Tree(
      xcb_query_tree_reply(Connection, xcb_query_tree(Connection, Window), &Error));
  std::free(Error);
  return Tree ? Tree->parent : 0;
}

// Watches the event stream for the destruction of one window. Qt selects structure events on its
// windows, so the notice arrives for the window itself when its host takes it down.
class DestroyWatcher final : public QObject, public QAbstractNativeEventFilter {
 public:
  DestroyWatcher(QWidget& Window, xcb_window_t Watched, std::function<void()> OnDestroyed)
      : QObject(&Window), FWatched(Watched), FOnDestroyed(std::move(OnDestroyed)) {
    QCoreApplication::instance()->installNativeEventFilter(this);
  }
  ~DestroyWatcher() override {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
  }

  bool nativeEventFilter(const QByteArray& Type, void* Message, qintptr*) override {
    if (Type != "xcb_generic_event_t" || !FOnDestroyed) return false;
    const auto* Event = static_cast<const xcb_generic_event_t*>(Message);
    if ((Event->response_type & 0x7F) != XCB_DESTROY_NOTIFY) return false;
    if (reinterpret_cast<const xcb_destroy_notify_event_t*>(Event)->window != FWatched)
      return false;
    // Once only, and from the event loop rather than from inside Qt's event processing: the
    // handler may well close or delete the widget, and with it this watcher.
    QMetaObject::invokeMethod(this, std::exchange(FOnDestroyed, nullptr), Qt::QueuedConnection);
    return false;
  }

 private:
  xcb_window_t FWatched;
  std::function<void()> FOnDestroyed;
};

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
  if (Own == Host) return 0;
  const xcb_window_t Previous = ParentOf(Connection, Own);
  if (Previous == 0) return 0;

  // Checked, so that a refusal (a host inside this window, a host that just went away) comes
  // back here instead of into Qt's error log.
  xcb_generic_error_t* Error =
      xcb_request_check(Connection, xcb_reparent_window_checked(Connection, Own, Host, 0, 0));
  if (Error) {
    std::free(Error);
    return 0;
  }
  if (ParentOf(Connection, Own) != Host) return 0;
  return Previous;
}

void WhenNativeWindowDestroyed(QWidget& Window, std::function<void()> Handler) {
  if (!x11::QtConnection() || !Handler) return;
  new DestroyWatcher(Window, static_cast<xcb_window_t>(Window.winId()), std::move(Handler));
}

}  // namespace quillet
