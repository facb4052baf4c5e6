// Checking a file named on the command line before the program relies on it.
#pragma once

#include <string>

namespace quillet {

// True when Path (links followed) is a regular file that this process may open for reading.
// Otherwise false, with Why saying what is wrong ("No such file or directory", "not a regular
// file", ...). Nothing but a regular file is ever opened, so a FIFO or a device is not touched.
bool CanReadRegularFile(const std::string& Path, std::string& Why);

}  // namespace quillet
