// The program's entry: start-up, the single-instance check, the windows of each mode, the
// message loop and the exit code.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell/command_line.h"

class QWidget;

namespace quillet {

class tConfigForm;
class tScreenForm;

// The two windows, created once for the whole run (null in a mode that creates none).
extern tScreenForm* ScreenForm;
extern tConfigForm* ConfigForm;

inline constexpr char ApplicationTitle[] = "Quillet";

// Ends the process with exit code 1, showing nothing, when a copy with the same instance name
// runs.
void CheckSingleInstance(const std::vector<std::string>& Args);

// Parses the command line and creates the windows of its mode; returns the main window, or null
// when the mode has none (the change-password request).
QWidget* CreateFormsForMode(const std::vector<std::string>& Args);

// The program's error path for what fails inside the event loop (a surface that cannot be had,
// memory that runs out): the error box, after which the program runs on; hosted and in a host's
// preview, where nobody would see a box, one line on stderr and exit code 1. Nothing is written,
// so the settings file keeps what it had.
void ReportRunError(std::string_view What);

// The whole program; returns its exit code.
int RunProgram(int argc, char** argv);

}  // namespace quillet
