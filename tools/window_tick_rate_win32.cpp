// quillet-window-rate.exe: how many frame ticks per second the screen window manages on Windows
// (or under Wine), and the frames shown and the program's CPU time per tick; the Windows side of
// quillet-window-rate. The window is a borderless W x H window at the screen's origin.
//
//   quillet-window-rate.exe W H SECONDS [INI]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/demo_settings.h"
#include "config/settings_file.h"
#include "platform/os_win32/gdi_text_output.h"
#include "platform/precise_wakeups.h"
#include "platform/ui_win32/win32_screen_window.h"
#include "raster/engine_init.h"
#include "shell/frame_presenter.h"
#include "tools/render_options.h"

using namespace quillet;

namespace {

double ProcessCpuSeconds() {
  FILETIME Created, Exited, Kernel, User;
  if (!::GetProcessTimes(::GetCurrentProcess(), &Created, &Exited, &Kernel, &User)) return 0;
  const auto Seconds = [](const FILETIME& T) {
    return static_cast<double>((uint64_t{T.dwHighDateTime} << 32) | T.dwLowDateTime) / 1e7;
  };
  return Seconds(Kernel) + Seconds(User);
}

}  // namespace

int main(int argc, char** argv) {
  const int Width = argc >= 4 ? std::atoi(argv[1]) : 0;
  const int Height = argc >= 4 ? std::atoi(argv[2]) : 0;
  const double Seconds = argc >= 4 ? std::atof(argv[3]) : 0;
  if (argc < 4 || argc > 5 || Width < 1 || Height < 1 || Width > MaxRenderSide || Height > MaxRenderSide ||
      !(Seconds > 0) || Seconds > 3600) {
    std::fprintf(stderr, "usage: quillet-window-rate W H SECONDS [INI]\n");
    return 2;
  }
  InitRasterEngine();
  InstallGdiTextOutput();
  RequestPreciseWakeups();
  DemoSettings Settings;
  if (argc == 5) LoadSettings(Settings, argv[4]);

  TWin32StandaloneScreen Screen;
  tScreenForm& Form = Screen.Form();
  Form.SetSettings(&Settings);
  Screen.Window().SetBounds(0, 0, Width, Height);
  Form.Show();

  TWin32EventLoop& Loop = Screen.Loop();
  uint64_t StartTicks = 0, StartFrames = 0;
  int64_t StartTime = 0;
  double StartCpu = 0;
  std::unique_ptr<ITimer> End = Loop.CreateOneShotTimer([&] { Loop.Quit(0); });
  // The first half second lets the window show and settle.
  std::unique_ptr<ITimer> Begin = Loop.CreateOneShotTimer([&] {
    StartTicks = Form.TicksDrawn();
    StartFrames = Form.Presenter().FramesShown();
    StartTime = Loop.NowNanoseconds();
    StartCpu = ProcessCpuSeconds();
    End->Start(static_cast<int32_t>(Seconds * 1000));
  });
  Begin->Start(500);
  Loop.Run();

  const double Elapsed = static_cast<double>(Loop.NowNanoseconds() - StartTime) / 1e9;
  const double Cpu = ProcessCpuSeconds() - StartCpu;
  const uint64_t Ticks = Form.TicksDrawn() - StartTicks;
  const uint64_t Frames = Form.Presenter().FramesShown() - StartFrames;
  std::printf("ticks=%llu seconds=%.3f ticks_per_second=%.1f frames_per_second=%.1f width=%d height=%d "
              "high_resolution_timers=%d program_ms_per_tick=%.4f\n",
              static_cast<unsigned long long>(Ticks), Elapsed, static_cast<double>(Ticks) / Elapsed,
              static_cast<double>(Frames) / Elapsed, Form.DrawSurface().Width(), Form.DrawSurface().Height(),
              Loop.HighResolutionTimers(), Ticks ? Cpu * 1000 / static_cast<double>(Ticks) : 0.0);
  return 0;
}
