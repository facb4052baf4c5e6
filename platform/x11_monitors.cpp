// Xinerama's heads through XCB.
#include "platform/detail/x11_monitors.h"

#include <xcb/xinerama.h>

namespace quillet::x11 {

std::vector<QRect> XineramaMonitors(xcb_connection_t* Connection) {
  std::vector<QRect> Monitors;
  if (!Connection) return Monitors;
  const XcbReply<xcb_xinerama_is_active_reply_t> Active(
      xcb_xinerama_is_active_reply(Connection, xcb_xinerama_is_active(Connection), nullptr));
  if (!Active || !Active->state) return Monitors;
  const XcbReply<xcb_xinerama_query_screens_reply_t> Screens(
      xcb_xinerama_query_screens_reply(Connection, xcb_xinerama_query_screens(Connection), nullptr));
  if (!Screens) return Monitors;
  const xcb_xinerama_screen_info_t* Info = xcb_xinerama_query_screens_screen_info(Screens.get());
  const int Count = xcb_xinerama_query_screens_screen_info_length(Screens.get());
  for (int I = 0; I < Count; ++I)
    Monitors.emplace_back(Info[I].x_org, Info[I].y_org, Info[I].width, Info[I].height);
  return Monitors;
}

}  // namespace quillet::x11
