// Keeping the program's windows off the taskbar.
#pragma once

class QWidget;

namespace quillet {

// Gives Window the _NET_WM_STATE_SKIP_TASKBAR state now and each time it is shown again (a
// window manager drops the states of a window that is hidden). Does nothing off X11.
void KeepOffTaskbar(QWidget& Window);

}  // namespace quillet
