// Keepers: event filters that a window owns as a child and that re-apply some window-manager
// request whenever the window is shown. Internal to platform/.
#pragma once

#include <QObject>
#include <QWidget>

namespace quillet {

// Installs a Keeper (a QObject made from the window, filtering it) unless the window has one.
// Keepers have no meta-object of their own, so findChild could not tell them from other children.
template <class Keeper>
void InstallKeeperOnce(QWidget& Window) {
  for (QObject* Child : Window.children())
    if (dynamic_cast<Keeper*>(Child)) return;
  Window.installEventFilter(new Keeper(Window));
}

}  // namespace quillet
