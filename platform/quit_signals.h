// Ending on SIGTERM, SIGINT and SIGHUP from the event loop: a host stops its saver with a signal
// and expects it to leave promptly, with its normal shutdown and exit code 0.
#pragma once

#include <functional>

namespace quillet {

// The three signals call OnSignal from the event loop instead of ending the process at once;
// signals caught before (CatchQuitSignals) are delivered as soon as the loop runs. Call once,
// after the application object exists.
void HandleQuitSignals(std::function<void()> OnSignal);

}  // namespace quillet
