// Where a profile file lives: a bare file name goes into the user's configuration directory.
#pragma once

#include <filesystem>
#include <string_view>

namespace quillet {

// A name with a directory part is used as it stands. A bare name is placed in $XDG_CONFIG_HOME
// when that holds an absolute path, else in ~/.config (the home directory from $HOME, else from
// the user database), else in the current directory.
std::filesystem::path ProfileFilePath(std::string_view Name);

// The file to read the profile Name from: ProfileFilePath(Name), except on a system where such
// files used to live elsewhere (Windows: its own directory) while the placed file does not exist
// yet; the old file then gives the starting values. Saves always go to ProfileFilePath(Name).
std::filesystem::path ProfileReadPath(std::string_view Name);

}  // namespace quillet
