// quillet-window-rate: how many frame ticks per second the screen window manages on the running
// X server, to set beside quillet-render's headless figure at the same size and settings.
//
//   quillet-window-rate W H SECONDS [INI]
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/demo_settings.h"
#include "config/settings_file.h"
#include "platform/qt_text_engine.h"
#include "raster/engine_init.h"
#include "shell/screen_form.h"

using namespace quillet;

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: quillet-window-rate W H SECONDS [INI]\n");
    return 2;
  }
  const int Width = std::atoi(argv[1]);
  const int Height = std::atoi(argv[2]);
  const double Seconds = std::atof(argv[3]);
  if (Width < 1 || Height < 1 || !(Seconds > 0)) {
    std::fprintf(stderr, "quillet-window-rate: bad size or duration\n");
    return 2;
  }
  InitRasterEngine();
  int QtArgc = 1;
  char* QtArgv[] = {argv[0], nullptr};
  QApplication App(QtArgc, QtArgv);
  InstallQtTextOutput();

  DemoSettings Settings;
  if (argc == 5) LoadSettings(Settings, argv[4]);
  tScreenForm Form;
  Form.SetSettings(&Settings);
  Form.setGeometry(0, 0, Width, Height);
  Form.Show();

  QElapsedTimer Clock;
  uint64_t StartTicks = 0;
  // The first half second lets the window map and settle.
  QTimer::singleShot(500, [&] {
    StartTicks = Form.TicksDrawn();
    Clock.start();
    QTimer::singleShot(static_cast<int>(Seconds * 1000), [&] { App.quit(); });
  });
  App.exec();
  const double Elapsed = static_cast<double>(Clock.nsecsElapsed()) / 1e9;
  const uint64_t Ticks = Form.TicksDrawn() - StartTicks;
  std::printf("ticks=%llu seconds=%.3f ticks_per_second=%.1f width=%d height=%d\n",
              static_cast<unsigned long long>(Ticks), Elapsed, static_cast<double>(Ticks) / Elapsed,
              Form.DrawSurface().Width(), Form.DrawSurface().Height());
  return 0;
}
