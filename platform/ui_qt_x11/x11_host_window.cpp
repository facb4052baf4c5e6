// Host windows through XCB, on Qt's connection so that their events arrive with Qt's own.
#include "platform/ui_qt_x11/x11_host_window.h"

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

class ResizeWatcher final : public QObject, public QAbstractNativeEventFilter {
 public:
  ResizeWatcher(QWidget& Owner, xcb_window_t Host, std::function<void(const THostSize&)> OnResize)
      : QObject(&Owner), FHost(Host), FOnResize(std::move(OnResize)) {
    QCoreApplication::instance()->installNativeEventFilter(this);
  }
  ~ResizeWatcher() override {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
  }

  bool nativeEventFilter(const QByteArray& Type, void* Message, qintptr*) override {
    if (Type != "xcb_generic_event_t") return false;
    const auto* Event = static_cast<const xcb_generic_event_t*>(Message);
    if ((Event->response_type & 0x7F) != XCB_CONFIGURE_NOTIFY) return false;
    const auto* Configure = reinterpret_cast<const xcb_configure_notify_event_t*>(Event);
    if (Configure->window != FHost || Configure->event != FHost) return false;
    const THostSize Size{Configure->width, Configure->height, Configure->border_width};
    if (FLast && FLast->Width == Size.Width && FLast->Height == Size.Height &&
        FLast->Border == Size.Border)
      return false;  // moved or restacked only
    FLast = Size;
    // From the event loop, not from inside Qt's event processing.
    QMetaObject::invokeMethod(this, [this, Size] { FOnResize(Size); }, Qt::QueuedConnection);
    return false;
  }

 private:
  xcb_window_t FHost;
  std::function<void(const THostSize&)> FOnResize;
  std::optional<THostSize> FLast;
};

}  // namespace

uint32_t ScreenRootWindow() {
  xcb_connection_t* Connection = x11::QtConnection();
  if (!Connection) return 0;
  const xcb_screen_t* Screen = xcb_setup_roots_iterator(xcb_get_setup(Connection)).data;
  return Screen ? Screen->root : 0;
}

uint32_t VirtualRootWindow(uint32_t Root) {
  xcb_connection_t* Connection = x11::QtConnection();
  if (!Connection) return Root;
  const xcb_atom_t VRoot = x11::InternAtom(Connection, "__SWM_VROOT");
  if (VRoot == XCB_ATOM_NONE) return Root;
  const XcbReply<xcb_query_tree_reply_t> Tree(
      xcb_query_tree_reply(Connection, xcb_query_tree(Connection, Root), nullptr));
  if (!Tree) return Root;
  const xcb_window_t* Children = xcb_query_tree_children(Tree.get());
  for (int I = 0; I < xcb_query_tree_children_length(Tree.get()); ++I) {
    const XcbReply<xcb_get_property_reply_t> Property(xcb_get_property_reply(
        Connection, xcb_get_property(Connection, 0, Children[I], VRoot, XCB_ATOM_WINDOW, 0, 1), nullptr));
    if (Property && Property->type == XCB_ATOM_WINDOW && Property->format == 32 &&
        xcb_get_property_value_length(Property.get()) >= 4) {
      const auto Window = *static_cast<const xcb_window_t*>(xcb_get_property_value(Property.get()));
      if (Window != 0) return Window;
    }
  }
  return Root;
}

std::optional<THostSize> HostWindowSize(uint32_t Window) {
  xcb_connection_t* Connection = x11::QtConnection();
  if (!Connection || Window == 0) return std::nullopt;
  xcb_generic_error_t* Error = nullptr;
  const XcbReply<xcb_get_geometry_reply_t> Geometry(
      xcb_get_geometry_reply(Connection, xcb_get_geometry(Connection, Window), &Error));
  std::free(Error);
  if (!Geometry) return std::nullopt;
  // Geometry also answers for pixmaps; only windows have attributes.
  const XcbReply<xcb_get_window_attributes_reply_t> Attributes(xcb_get_window_attributes_reply(
      Connection, xcb_get_window_attributes(Connection, Window), &Error));
  std::free(Error);
  if (!Attributes) return std::nullopt;
  return THostSize{Geometry->width, Geometry->height, Geometry->border_width};
}

void WhenHostResized(QWidget& Owner, uint32_t Host, std::function<void(const THostSize&)> OnResize) {
  xcb_connection_t* Connection = x11::QtConnection();
  if (!Connection || !OnResize) return;
  // Event masks are per client: keep whatever this connection already selects on the window.
  const XcbReply<xcb_get_window_attributes_reply_t> Attributes(
      xcb_get_window_attributes_reply(Connection, xcb_get_window_attributes(Connection, Host), nullptr));
  if (!Attributes) return;
  new ResizeWatcher(Owner, Host, std::move(OnResize));
  const uint32_t Mask = Attributes->your_event_mask | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(Connection, Host, XCB_CW_EVENT_MASK, &Mask);
  xcb_flush(Connection);
}

}  // namespace quillet
