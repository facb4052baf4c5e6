// Where a profile file lives: a bare file name goes into the user's configuration directory.
#pragma once

#include <filesystem>
#include <string_view>

namespace quillet {

// A name with a directory part is used as it stands. A bare name is placed in $XDG_CONFIG_HOME
// when that holds an absolute path, else in ~/.config (the home directory from $HOME, else from
// the user database), else in the current directory.
std::filesystem::path ProfileFilePath(std::string_view Name);

}  // namespace quillet
