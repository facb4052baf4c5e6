// Writing a command-line tool's output file so that a failed or interrupted write never leaves a
// partial file or a stray temporary one behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace quillet {

using TOutputSink = std::function<bool(const uint8_t* Data, size_t Size)>;

// Writes the whole content through the sink; false, with Why set, on a failure of its own.
using TOutputProducer = std::function<bool(const TOutputSink& Sink, std::string& Why)>;

// Path is UTF-8. A regular file (or a new one) is written as a temporary file beside Path,
// created exclusively, then moved over Path; a device (NUL, CON) is written directly. False with
// Error set when anything fails (the system's message, or Produce's reason); a regular Path is
// then left as it was and no temporary file remains.
bool WriteOutputFile(const std::string& Path, const TOutputProducer& Produce, std::string& Error);

}  // namespace quillet
