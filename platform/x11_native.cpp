// The X server connection shared with Qt.
#include "x11_native.h"

#include <QGuiApplication>

#include <cstdlib>

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
  xcb_intern_atom_reply_t* Reply = xcb_intern_atom_reply(Connection, Cookie, nullptr);
  if (!Reply) return XCB_ATOM_NONE;
  const xcb_atom_t Atom = Reply->atom;
  std::free(Reply);
  return Atom;
}

}  // namespace quillet::x11
