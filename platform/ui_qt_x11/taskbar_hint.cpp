// The skip-taskbar state: written into the property of an unmapped window (Qt merges its own
// states into what it finds there when it maps the window), and asked of the window manager
// for a mapped one.
#include "platform/ui_qt_x11/taskbar_hint.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <vector>

#include "platform/ui_qt_x11/detail/window_keeper.h"
#include "platform/ui_qt_x11/detail/x11_native.h"

namespace quillet {

namespace {

constexpr uint32_t NetWmStateAdd = 1;

void ApplySkipTaskbar(QWidget& Window, bool Mapped) {
  xcb_connection_t* Connection = x11::QtConnection();
  if (!Connection) return;
  const auto Own = static_cast<xcb_window_t>(Window.winId());
  const xcb_atom_t State = x11::InternAtom(Connection, "_NET_WM_STATE");
  const xcb_atom_t SkipTaskbar = x11::InternAtom(Connection, "_NET_WM_STATE_SKIP_TASKBAR");
  if (State == XCB_ATOM_NONE || SkipTaskbar == XCB_ATOM_NONE) return;

  if (Mapped) {
    x11::SendToWindowManager(Connection, Own, State, {NetWmStateAdd, SkipTaskbar, 0, x11::SourceApplication, 0});
    return;
  }

  // Into the property, where Qt finds it when it maps the window.
  std::vector<xcb_atom_t> States;
  const x11::XcbReply<xcb_get_property_reply_t> Reply(xcb_get_property_reply(
      Connection, xcb_get_property(Connection, 0, Own, State, XCB_ATOM_ATOM, 0, 1024), nullptr));
  if (Reply && Reply->type == XCB_ATOM_ATOM && Reply->format == 32) {
    const auto* Atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(Reply.get()));
    States.assign(Atoms, Atoms + xcb_get_property_value_length(Reply.get()) / 4);
  }
  if (std::find(States.begin(), States.end(), SkipTaskbar) == States.end()) {
    States.push_back(SkipTaskbar);
    xcb_change_property(Connection, XCB_PROP_MODE_REPLACE, Own, State, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(States.size()), States.data());
  }
  xcb_flush(Connection);
}

// Re-applies the state before every show by the program: that show event comes before the
// window is mapped.
class SkipTaskbarKeeper final : public QObject {
 public:
  explicit SkipTaskbarKeeper(QWidget& Window) : QObject(&Window) {}

 protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() == QEvent::Show && !Event->spontaneous() && Watched == parent())
      ApplySkipTaskbar(*static_cast<QWidget*>(Watched), false);
    return false;
  }
};

}  // namespace

void KeepOffTaskbar(QWidget& Window) {
  if (!x11::QtConnection()) return;
  InstallKeeperOnce<SkipTaskbarKeeper>(Window);
  ApplySkipTaskbar(Window, Window.isVisible());
}

}  // namespace quillet
