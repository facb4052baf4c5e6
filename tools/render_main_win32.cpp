// quillet-render for Windows: the same options, output and exit codes as on Linux, with the wipe's
// text drawn by GDI. Arguments and file names are UTF-8 inside, from the wide command line.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "config/settings_file.h"
#include "platform/path_text.h"
#include "platform/program_arguments.h"
#include "platform/os_win32/gdi_text_output.h"
#include "raster/bitmap32.h"
#include "raster/blend.h"
#include "raster/engine_init.h"
#include "platform/input_file.h"
#include "tools/png_file.h"
#include "tools/render_options.h"
#include "tools/detail/render_ticks.h"

using namespace quillet;

namespace {

int Render(int argc, char** argv) {
  InitRasterEngine();
  std::string Error;
  const std::optional<RenderOptions> Options = ParseRenderOptions(ProgramArguments(argc, argv), Error);
  if (!Options) {
    std::fprintf(stderr, "quillet-render: %s\n%s", Error.c_str(), RenderUsage);
    return 2;
  }
  if (Options->Help) {
    std::fputs(RenderUsage, stdout);
    return 0;
  }
  if (!Options->IniPath.empty() && !CanReadRegularFile(Options->IniPath, Error)) {
    std::fprintf(stderr, "quillet-render: cannot read settings file %s: %s\n", Options->IniPath.c_str(),
                 Error.c_str());
    return 2;
  }
  InstallGdiTextOutput();
  if (Options->Portable) InitBlendOps(BlendVariant::Portable);

  DemoSettings Settings;
  if (!Options->IniPath.empty()) LoadSettings(Settings, PathFromUtf8(Options->IniPath));

  TBitmap32 Surface;
  const TRenderRun Run = RenderTicks(*Options, Settings, Surface);

  if (!WritePng(Surface, Options->OutPath, Options->KeepAlpha ? TPngAlpha::Keep : TPngAlpha::Opaque, Error)) {
    std::fprintf(stderr, "quillet-render: cannot write %s: %s\n", Options->OutPath.c_str(), Error.c_str());
    return 1;
  }
  // With the page on standard output, the summary goes beside it.
  std::fprintf(Options->OutPath == "-" ? stderr : stdout, "ticks=%lld pages=%lld width=%d height=%d ms=%lld\n",
               static_cast<long long>(Options->Ticks), static_cast<long long>(Run.Pages), Options->Width,
               Options->Height, static_cast<long long>(Run.Ms));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Lines end in "\n" alone, as on Linux.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  try {
    return Render(argc, argv);
  } catch (const std::exception& E) {
    std::fprintf(stderr, "quillet-render: %s\n", E.what());
    return 1;
  }
}
