// Timer wake-ups on time. Linux lets a sleeping thread's timers fire up to 50 µs late so that
// wake-ups can be batched; with a 1 ms timer that slack alone loses several ticks in a hundred.
#pragma once

namespace quillet {

// For the calling thread; harmless where the system has no such slack.
void RequestPreciseWakeups();

}  // namespace quillet
