// quillet-render for Windows: the same options, output and exit codes as on Linux, with the wipe's
// text drawn by GDI. Arguments and file names are UTF-8 inside, from the wide command line.
#include <fcntl.h>
#include <io.h>

#include <memory>

#include "platform/os_win32/gdi_text_output.h"
#include "platform/program_arguments.h"
#include "tools/detail/render_ticks.h"

using namespace quillet;

int main(int argc, char** argv) {
  // Lines end in "\n" alone, as on Linux.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  return RunRenderer(ProgramArguments(argc, argv), []() -> std::shared_ptr<void> {
    InstallGdiTextOutput();
    return nullptr;
  });
}
