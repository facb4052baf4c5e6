// The X server connection shared with Qt.
#include "platform/ui_qt_x11/detail/x11_native.h"

#include <QGuiApplication>


namespace quillet::x11 {

xcb_connection_t* QtConnection() {
  auto* App = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (!App) return nullptr;
  auto* X11 = App->nativeInterface<QNativeInterface::QX11Application>();
  return X11 ? X11->connection() : nullptr;
}

xcb_atom_t InternAtom(xcb_connection_t* Connection, std::string_view Name) {
  const xcb_intern_atom_cookie_t Cookie =
      xcb_intern_atom(Connection, 0, static_cast<uint16_t>(Name.size()), Name.data());
  const XcbReply<xcb_intern_atom_reply_t> Reply(xcb_intern_atom_reply(Connection, Cookie, nullptr));
  return Reply ? Reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

void SendToWindowManager(xcb_connection_t* Connection, xcb_window_t Window, xcb_atom_t Type,
                         const uint32_t (&Data)[5]) {
  // The error is taken here, not left for the toolkit to report.
  xcb_generic_error_t* Error = nullptr;
  const XcbReply<xcb_get_geometry_reply_t> Geometry(
      xcb_get_geometry_reply(Connection, xcb_get_geometry(Connection, Window), &Error));
  const XcbReply<xcb_generic_error_t> Failure(Error);
  if (!Geometry) return;
  xcb_client_message_event_t Message{};
  Message.response_type = XCB_CLIENT_MESSAGE;
  Message.format = 32;
  Message.window = Window;
  Message.type = Type;
  for (int I = 0; I < 5; ++I) Message.data.data32[I] = Data[I];
  xcb_send_event(Connection, 0, Geometry->root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&Message));
  xcb_flush(Connection);
}

}  // namespace quillet::x11
