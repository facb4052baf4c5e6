// Writing a tool's output file so that nothing but the named file is touched and a failed or
// interrupted run leaves neither a partial file nor a temporary one. Each platform has its own
// implementation (output_file_posix.cpp here).
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace quillet {

// Fills Stream; false, with Error set, when the content cannot be produced.
using TOutputWriter = std::function<bool(std::FILE* Stream, std::string& Error)>;

// Writes what Write produces to Path:
// - "-" is standard output.
// - Symbolic links are followed: the file they lead to is written, and the links stay.
// - An existing file that is not a regular one (a device, a FIFO) is opened and written as it is,
//   never replaced. A directory is refused.
// - Otherwise the content goes to a new file, created exclusively beside the target (never through
//   an existing name) with the target's permission bits (a new target's under the umask), and is
//   renamed over the target once complete. Until then the target is untouched; a failure, a write
//   past the file size limit, or a signal that ends the process removes the new file again.
// Returns false with Error set (the system's words) when anything fails.
bool WriteOutputFile(const std::string& Path, const TOutputWriter& Write, std::string& Error);

}  // namespace quillet
