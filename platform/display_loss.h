// The toolkit's X11 platform ends the process with exit(1) when the X server goes away (the
// session ends, the display manager restarts), and the exit handlers then destroy objects that
// still talk to the dead connection: a crash. Watched here, a lost server ends the program at once,
// before any exit handler runs, with one line on stderr and exit code 1; and a toolkit that cannot
// start on the display ends it the same way instead of aborting.
#pragma once

namespace quillet {

// Before the application object is made. From now on the toolkit's messages are held back, and a
// fatal one ends the program with "Program: cannot open display ..." and exit code 1.
void WatchToolkitStart(const char* Program);

// Once the application object exists: the held messages go out, and from now on a lost connection
// to the X server ends the program with "Program: lost the connection to display ..." and exit
// code 1. Does nothing more off X11.
void WatchDisplayConnection();

// Before the application object, and its connection with it, is destroyed. Ends the program as
// above when the server turns out to be gone.
void StopWatchingDisplayConnection();

}  // namespace quillet
