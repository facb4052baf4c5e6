// Ending on SIGTERM, SIGINT and SIGHUP from the event loop: a host stops its saver with a signal
// and expects it to leave promptly, with its normal shutdown and exit code 0.
#pragma once

#include <functional>

namespace quillet {

// From now on the three signals call OnSignal from the event loop instead of ending the process
// at once. Call once, after the application object exists.
void HandleQuitSignals(std::function<void()> OnSignal);

}  // namespace quillet
