// Writing a command-line tool's output file so that a failed or interrupted write never leaves a
// partial file or a stray temporary one behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace quillet {

using TOutputSink = std::function<bool(const uint8_t* Data, size_t Size)>;

// Path is UTF-8. Produce writes the whole content through the sink it is given and returns
// false on a failure of its own. A regular file (or a new one) is written as a temporary file
// beside Path, created exclusively, then moved over Path; a device (NUL, CON) is written
// directly. False with Error set when anything fails; a regular Path is then left as it was.
bool WriteOutputFile(const std::string& Path, const std::function<bool(const TOutputSink&)>& Produce,
                     std::string& Error);

}  // namespace quillet
