// quillet.scr: the screen saver on Windows. /s full screen, /c the settings (/c:HWND owned by that
// window), /p HWND a preview inside that window, /a ends at once; without an argument the settings.
#include "platform/program_arguments.h"
#include "platform/ui_win32/win32_program_backend.h"
#include "platform/ui_win32/win32_services.h"

int main(int argc, char** argv) {
  quillet::win32::ConnectParentConsole();
  quillet::TWin32Backend Backend;
  return quillet::RunProgram(Backend, quillet::ProgramArguments(argc, argv));
}
