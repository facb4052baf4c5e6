// Catching SIGTERM, SIGINT and SIGHUP from the first moments of the program: each one becomes a
// byte in a pipe that the event loop reads once it runs, so that a signal sent while the program
// still starts ends it as normally as one sent later. No toolkit.
#pragma once

namespace quillet {

// From now on the three signals write one byte each into the pipe instead of ending the process.
// Idempotent. False when the pipe cannot be made; the signals then keep their default action.
bool CatchQuitSignals();

// The pipe's read end (non-blocking), or -1 before CatchQuitSignals succeeded.
int QuitSignalPipe();

}  // namespace quillet
