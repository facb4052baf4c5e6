// Replacing a file's whole content so that readers see either the old file or the new one, never
// a mixture, whatever fails on the way.
#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace quillet {

// Writes Content to a temporary file in the target's directory, flushes it to disk and renames it
// over the target. A symbolic link is followed, so the link stays and its target is replaced. The
// new file keeps the old one's permission bits (a new file gets the usual ones under the umask).
// Missing parent directories are created. Returns the error of the first call that failed; the
// target is then untouched and the temporary file removed. A signal that ends the process while
// the file is written removes it too (TTemporaryFileGuard); the temporary files of processes that
// ended otherwise (SIGKILL) are removed by the next replacement of the same target once they are
// ten seconds old.
std::error_code ReplaceFileAtomically(const std::filesystem::path& Target, std::string_view Content);

}  // namespace quillet
