// quillet-render: runs the demo's frame tick headless and writes the surface as a PNG. The client
// area and the surface are both W x H; the generator, object count and clock start as in a fresh
// screen window. Text goes through the same Qt text engine as the window, on the offscreen
// platform, so no display is needed.
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "config/settings_file.h"
#include "platform/input_file.h"
#include "platform/ui_qt_x11/qt_text_engine.h"
#include "tools/png_file.h"
#include "raster/bitmap32.h"
#include "raster/blend.h"
#include "raster/engine_init.h"
#include "tools/render_options.h"
#include "tools/detail/render_ticks.h"

using namespace quillet;

namespace {

// Qt notes a missing XDG_RUNTIME_DIR on stderr; the renderer uses no runtime directory, so that
// note is dropped and every other message passes through.
QtMessageHandler PreviousQtHandler = nullptr;

void FilterQtMessages(QtMsgType Type, const QMessageLogContext& Context, const QString& Message) {
  if (Message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
  if (PreviousQtHandler) PreviousQtHandler(Type, Context, Message);
}

int Render(int argc, char** argv) {
  InitRasterEngine();
  std::string Error;
  const std::optional<RenderOptions> Options =
      ParseRenderOptions(std::vector<std::string>(argv + 1, argv + argc), Error);
  if (!Options) {
    std::fprintf(stderr, "quillet-render: %s\n%s", Error.c_str(), RenderUsage);
    return 2;
  }
  if (Options->Help) {
    std::fputs(RenderUsage, stdout);
    return 0;
  }
  // A settings file named explicitly must be there: falling back to the defaults would render
  // a page the caller did not ask for.
  if (!Options->IniPath.empty() && !CanReadRegularFile(Options->IniPath, Error)) {
    std::fprintf(stderr, "quillet-render: cannot read settings file %s: %s\n",
                 Options->IniPath.c_str(), Error.c_str());
    return 2;
  }

  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  PreviousQtHandler = qInstallMessageHandler(FilterQtMessages);
  // Qt sees only the program name: its own options must not be taken from ours.
  int QtArgc = 1;
  char* QtArgv[] = {argv[0], nullptr};
  QGuiApplication App(QtArgc, QtArgv);
  InstallQtTextOutput();

  if (Options->Portable) InitBlendOps(BlendVariant::Portable);

  DemoSettings Settings;
  if (!Options->IniPath.empty()) LoadSettings(Settings, Options->IniPath);

  TBitmap32 Surface;
  const TRenderRun Run = RenderTicks(*Options, Settings, Surface);

  if (!WritePng(Surface, Options->OutPath, Options->KeepAlpha ? TPngAlpha::Keep : TPngAlpha::Opaque, Error)) {
    std::fprintf(stderr, "quillet-render: cannot write %s: %s\n", Options->OutPath.c_str(),
                 Error.c_str());
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
  // A page too large for the memory at hand, or an unreadable settings file, ends with a message.
  try {
    return Render(argc, argv);
  } catch (const std::exception& E) {
    std::fprintf(stderr, "quillet-render: %s\n", E.what());
    return 1;
  }
}
