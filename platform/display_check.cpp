// A trial connection to the X server.
#include "platform/display_check.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>

namespace quillet {

bool DisplayReachable(std::string& Reason) {
  const char* Platform = std::getenv("QT_QPA_PLATFORM");
  if (Platform && *Platform && std::string_view(Platform).substr(0, 3) != "xcb") return true;
  const char* Display = std::getenv("DISPLAY");
  if (!Display || !*Display) {
    Reason = "no display: DISPLAY is not set";
    return false;
  }
  xcb_connection_t* Connection = xcb_connect(nullptr, nullptr);
  const bool Reached = xcb_connection_has_error(Connection) == 0;
  xcb_disconnect(Connection);
  if (!Reached) Reason = std::string("cannot open display ") + Display;
  return Reached;
}

}  // namespace quillet
