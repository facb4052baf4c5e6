// Whether the program can reach a display before the toolkit tries to (the toolkit aborts with
// no display at all), so that a mode that needs one can say so in one line.
#pragma once

#include <string>

namespace quillet {

// True when the X server in $DISPLAY accepts a connection, or when QT_QPA_PLATFORM names a
// platform other than xcb (the toolkit then decides). Otherwise false, with Reason set.
bool DisplayReachable(std::string& Reason);

}  // namespace quillet
