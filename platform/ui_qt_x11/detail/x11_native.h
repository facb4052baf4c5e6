// Access to the X server connection that Qt's xcb platform uses. Internal to platform/.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace quillet::x11 {

// A reply that XCB allocated, freed with free().
struct FreeDeleter {
  void operator()(void* P) const { std::free(P); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

// Qt's connection, or null when the application does not run on X11.
xcb_connection_t* QtConnection();

// The atom of Name, or XCB_ATOM_NONE on failure.
xcb_atom_t InternAtom(xcb_connection_t* Connection, std::string_view Name);

// The source indication of a request to the window manager: an ordinary application.
constexpr uint32_t SourceApplication = 1;

// A request about Window to the window manager: a client message of Type with Data, sent to the
// window's root.
void SendToWindowManager(xcb_connection_t* Connection, xcb_window_t Window, xcb_atom_t Type,
                         const uint32_t (&Data)[5]);

}  // namespace quillet::x11
