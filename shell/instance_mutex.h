// The single-instance mutex: a system-wide named lock held for the life of the process.
#pragma once

#include <string_view>

namespace quillet {

// Takes the lock Name and keeps it. True exactly when another holder of that name already
// existed; a lock that cannot be made at all gives false, so the program runs.
bool CreateInstanceMutex(std::string_view Name);
// Releases the lock if one is held.
void CloseInstanceMutex();

}  // namespace quillet
