// A connection to the X server, proved by a round trip, and a look at the default screen's visual.
#include "platform/display_check.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <ctime>
#include <string_view>

namespace quillet {

namespace {

// A server in the middle of a reset may drop a connection it has just accepted.
constexpr int ConnectAttempts = 5;
constexpr long RetryPauseNs = 50'000'000;

std::string_view VisualClassName(uint8_t Class) {
  switch (Class) {
    case XCB_VISUAL_CLASS_STATIC_GRAY: return "StaticGray";
    case XCB_VISUAL_CLASS_GRAY_SCALE: return "GrayScale";
    case XCB_VISUAL_CLASS_STATIC_COLOR: return "StaticColor";
    case XCB_VISUAL_CLASS_PSEUDO_COLOR: return "PseudoColor";
    case XCB_VISUAL_CLASS_TRUE_COLOR: return "TrueColor";
    default: return "DirectColor";
  }
}

// The toolkit paints windows of the screen's own visual; below 15-bit true colour it paints
// nothing and warns on every frame.
bool ScreenShowsTrueColour(xcb_connection_t* C, int ScreenNumber, std::string& Reason) {
  auto Screen = xcb_setup_roots_iterator(xcb_get_setup(C));
  for (int I = 0; I < ScreenNumber && Screen.rem; ++I) xcb_screen_next(&Screen);
  if (!Screen.rem) return true;  // the toolkit will say what is wrong
  for (auto Depth = xcb_screen_allowed_depths_iterator(Screen.data); Depth.rem; xcb_depth_next(&Depth))
    for (auto V = xcb_depth_visuals_iterator(Depth.data); V.rem; xcb_visualtype_next(&V)) {
      if (V.data->visual_id != Screen.data->root_visual) continue;
      const uint8_t Class = V.data->_class;
      const bool TrueColour = Class == XCB_VISUAL_CLASS_TRUE_COLOR || Class == XCB_VISUAL_CLASS_DIRECT_COLOR;
      if (TrueColour && Depth.data->depth >= 15) return true;
      Reason = "the display shows " + std::to_string(Depth.data->depth) + "-bit " +
               std::string(VisualClassName(Class)) + "; Quillet needs true colour of 15 bits or more";
      return false;
    }
  return true;
}

}  // namespace

bool TDisplayHold::Open(std::string& Reason) {
  Release();
  const char* Platform = std::getenv("QT_QPA_PLATFORM");
  if (Platform && *Platform && std::string_view(Platform).substr(0, 3) != "xcb") return true;
  const char* Display = std::getenv("DISPLAY");
  if (!Display || !*Display) {
    Reason = "no display: DISPLAY is not set";
    return false;
  }
  for (int Attempt = 0; Attempt < ConnectAttempts && !FConnection; ++Attempt) {
    if (Attempt > 0) {
      const timespec Pause{0, RetryPauseNs};
      nanosleep(&Pause, nullptr);
    }
    int ScreenNumber = 0;
    xcb_connection_t* C = xcb_connect(nullptr, &ScreenNumber);
    if (xcb_connection_has_error(C) == 0) {
      xcb_get_input_focus_reply_t* Reply = xcb_get_input_focus_reply(C, xcb_get_input_focus(C), nullptr);
      if (Reply) {
        std::free(Reply);
        if (!ScreenShowsTrueColour(C, ScreenNumber, Reason)) {
          xcb_disconnect(C);
          return false;
        }
        FConnection = C;
        break;
      }
    }
    xcb_disconnect(C);
  }
  if (!FConnection) Reason = std::string("cannot open display ") + Display;
  return FConnection != nullptr;
}

void TDisplayHold::Release() {
  if (!FConnection) return;
  xcb_disconnect(FConnection);
  FConnection = nullptr;
}

}  // namespace quillet
