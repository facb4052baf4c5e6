// quillet-render: runs the demo's frame tick headless and writes the surface as a PNG. The client
// area and the surface are both W x H; the generator, object count and clock start as in a fresh
// screen window. Text goes through the same Qt text engine as the window, on the offscreen
// platform, so no display is needed.
#include <QGuiApplication>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui_qt_x11/qt_text_engine.h"
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

}  // namespace

int main(int argc, char** argv) {
  return RunRenderer(std::vector<std::string>(argv + 1, argv + argc), [argv]() -> std::shared_ptr<void> {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    PreviousQtHandler = qInstallMessageHandler(FilterQtMessages);
    // Qt sees only the program name: its own options must not be taken from ours. It keeps the
    // count by reference, so both outlive the application.
    static int QtArgc = 1;
    static char* QtArgv[] = {argv[0], nullptr};
    auto App = std::make_shared<QGuiApplication>(QtArgc, QtArgv);
    InstallQtTextOutput();
    return App;
  });
}
