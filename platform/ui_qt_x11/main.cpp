// quillet on Linux/X11: the screen saver. /s full screen, /c the settings, /p <window id> a
// preview, --root for xscreensaver.
#include <string>
#include <vector>

#include "platform/program_arguments.h"
#include "platform/ui_qt_x11/qt_program_backend.h"

int main(int argc, char** argv) {
  quillet::TQtX11Backend Backend(argv[0]);
  return quillet::RunProgram(Backend, quillet::ProgramArguments(argc, argv));
}
