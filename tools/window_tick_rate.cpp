// quillet-window-rate: how many frame ticks per second the screen window manages on an X server,
// and what they cost: the CPU time of this program and of the X server per tick, beside the CPU
// time of the same ticks drawn headless into a surface of the same size.
//
//   quillet-window-rate W H SECONDS [INI] [--xvfb | --server-pid PID] [--headless-ticks N]
//                       [--count-pixels]
//
// --count-pixels also counts, at every frame, the pixels the frame copies and those of them that
// really differ from the frame before (against a copy of the surface kept for it), the pixels a
// wipe fills black and those of them that changed, and the changed pixels a frame neither copies
// nor fills black, which must be none. The comparison costs time: take rates from runs without it.
// --xvfb starts an Xvfb of W x H for the run; otherwise the server of $DISPLAY is measured, found
// through the connection's peer (a local server) or given by its process id.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "config/demo_settings.h"
#include "config/settings_file.h"
#include "demo/frame_tick.h"
#include "platform/ui_qt_x11/image_view.h"
#include "platform/ui_qt_x11/qt_text_engine.h"
#include "raster/engine_init.h"
#include "platform/precise_wakeups.h"
#include "platform/ui_qt_x11/qt_screen_window.h"
#include "shell/screen_form.h"
#include "shell/sys_util.h"
#include "tools/render_options.h"

using namespace quillet;

namespace {

struct Options {
  int Width = 0;
  int Height = 0;
  double Seconds = 0;
  std::string Ini;
  bool StartXvfb = false;
  pid_t ServerPid = 0;
  long HeadlessTicks = 4000;
  bool CountPixels = false;
};

int Usage() {
  std::fprintf(stderr,
               "usage: quillet-window-rate W H SECONDS [INI] [--xvfb | --server-pid PID] "
               "[--headless-ticks N] [--count-pixels]\n");
  return 2;
}

std::optional<Options> Parse(int argc, char** argv) {
  Options O;
  int Positional = 0;
  for (int I = 1; I < argc; ++I) {
    const std::string A = argv[I];
    if (A == "--xvfb") {
      O.StartXvfb = true;
    } else if (A == "--count-pixels") {
      O.CountPixels = true;
    } else if ((A == "--server-pid" || A == "--headless-ticks") && I + 1 < argc) {
      const long V = std::atol(argv[++I]);
      if (V <= 0) return std::nullopt;
      if (A == "--server-pid")
        O.ServerPid = static_cast<pid_t>(V);
      else
        O.HeadlessTicks = V;
    } else if (Positional == 0) {
      O.Width = std::atoi(argv[I]), ++Positional;
    } else if (Positional == 1) {
      O.Height = std::atoi(argv[I]), ++Positional;
    } else if (Positional == 2) {
      O.Seconds = std::atof(argv[I]), ++Positional;
    } else if (Positional == 3) {
      O.Ini = A, ++Positional;
    } else {
      return std::nullopt;
    }
  }
  if (Positional < 3 || O.Width < 1 || O.Height < 1 || O.Width > MaxRenderSide || O.Height > MaxRenderSide ||
      !(O.Seconds > 0) || (O.StartXvfb && O.ServerPid))
    return std::nullopt;
  return O;
}

// Starts Xvfb on a display it picks itself and points DISPLAY at it; its pid, or 0.
pid_t StartXvfb(int Width, int Height) {
  int Pipe[2];
  if (pipe(Pipe) != 0) return 0;
  const pid_t Pid = fork();
  if (Pid < 0) return 0;
  if (Pid == 0) {
    close(Pipe[0]);
    const std::string Fd = std::to_string(Pipe[1]);
    const std::string Screen = std::to_string(Width) + "x" + std::to_string(Height) + "x24";
    std::freopen("/dev/null", "w", stderr);
    execlp("Xvfb", "Xvfb", "-displayfd", Fd.c_str(), "-screen", "0", Screen.c_str(), "-nolisten",
           "tcp", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(Pipe[1]);
  std::string Number;
  char C;
  while (read(Pipe[0], &C, 1) == 1 && C != '\n') Number += C;
  close(Pipe[0]);
  if (Number.empty()) {
    kill(Pid, SIGTERM);
    waitpid(Pid, nullptr, 0);
    return 0;
  }
  setenv("DISPLAY", (":" + Number).c_str(), 1);
  return Pid;
}

// The process at the other end of the application's X connection, when it is local.
pid_t ServerOfConnection() {
  auto* X11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!X11 || !X11->connection()) return 0;
  ucred Peer{};
  socklen_t Size = sizeof Peer;
  if (getsockopt(xcb_get_file_descriptor(X11->connection()), SOL_SOCKET, SO_PEERCRED, &Peer, &Size) != 0)
    return 0;
  return Peer.pid;
}

// User and system time of a process from /proc, in seconds; negative when it cannot be read.
double ProcessCpuSeconds(pid_t Pid) {
  std::ifstream File("/proc/" + std::to_string(Pid) + "/stat");
  std::string Line;
  if (!std::getline(File, Line)) return -1;
  // The command name may hold blanks; the fields after it are counted from its closing bracket.
  const size_t Close = Line.rfind(')');
  if (Close == std::string::npos) return -1;
  std::istringstream Fields(Line.substr(Close + 2));
  std::string Field;
  unsigned long long User = 0, System = 0;
  for (int I = 3; I <= 15 && Fields >> Field; ++I) {
    if (I == 14) User = std::stoull(Field);
    if (I == 15) System = std::stoull(Field);
  }
  return static_cast<double>(User + System) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double ClockSeconds(clockid_t Clock) {
  timespec T{};
  clock_gettime(Clock, &T);
  return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_nsec) / 1e9;
}

// CPU milliseconds per tick of the frame tick drawing into a plain W x H surface.
double HeadlessMsPerTick(const Options& O, const DemoSettings& Settings) {
  TBitmap32 Surface;
  Surface.SetDimensions(O.Width, O.Height);
  Surface.TextFont().SetColor(0x0000FFFF);
  TFrameState State;
  State.SetDrawSurface(&Surface);
  const TTickClock Clock{&ElapsedMs, &StartTiming};
  const double Start = ClockSeconds(CLOCK_THREAD_CPUTIME_ID);
  for (long I = 0; I < O.HeadlessTicks; ++I) timer1Timer(State, Settings, O.Width, O.Height, Clock);
  return (ClockSeconds(CLOCK_THREAD_CPUTIME_ID) - Start) * 1000 / static_cast<double>(O.HeadlessTicks);
}

// What the frames carried against what changed between them.
class TFrameCounter {
 public:
  void Frame(const TBitmap32& Surface, const std::vector<TRect>& Copy, const std::vector<TRect>& Black) {
    const int32_t W = Surface.Width(), H = Surface.Height();
    const size_t Size = static_cast<size_t>(W) * static_cast<size_t>(H);
    if (FShown.size() != Size || FWidth != W) {
      // A new size: everything is new, and nothing is known of what was shown.
      FShown.assign(Surface.PixelPtr(), Surface.PixelPtr() + Size);
      FWidth = W;
      return;
    }
    // 1: copied; 2: filled black, and not copied.
    FInCopy.assign(Size, 0);
    const auto Mark = [&](const TRect& R, uint8_t Value) {
      for (int32_t Y = std::max(R.Top, 0); Y < std::min(R.Bottom, H); ++Y)
        for (int32_t X = std::max(R.Left, 0); X < std::min(R.Right, W); ++X) {
          uint8_t& M = FInCopy[size_t(Y) * size_t(W) + size_t(X)];
          if (M == 0) {
            M = Value;
            if (Value == 1) ++CopiedOnce;
          }
        }
    };
    for (const TRect& R : Copy) {
      Copied += int64_t{R.Right - R.Left} * (R.Bottom - R.Top);
      Mark(R, 1);
    }
    for (const TRect& R : Black) {
      Filled += int64_t{R.Right - R.Left} * (R.Bottom - R.Top);
      Mark(R, 2);
    }
    const TColor32* P = Surface.PixelPtr();
    // Most of the surface is as it was: compare blocks first, pixels only where a block differs.
    constexpr size_t Block = 16;
    for (size_t Start = 0; Start < Size; Start += Block) {
      const size_t End = std::min(Start + Block, Size);
      if (std::memcmp(P + Start, FShown.data() + Start, (End - Start) * sizeof(TColor32)) == 0) continue;
      for (size_t I = Start; I < End; ++I)
        if (P[I] != FShown[I]) {
          // A pixel the wipe's black fill shows needs no copy.
          if (FInCopy[I] == 1)
            ++Changed;
          else if (FInCopy[I] == 2 && P[I] == clBlack32)
            ++Wiped;
          else
            ++Missed;
          FShown[I] = P[I];
        }
    }
    ++Frames;
  }
  int64_t Copied = 0, CopiedOnce = 0, Changed = 0, Filled = 0, Wiped = 0, Missed = 0, Frames = 0;

 private:
  std::vector<TColor32> FShown;
  std::vector<uint8_t> FInCopy;
  int32_t FWidth = 0;
};

int Measure(const Options& O, pid_t ServerPid, char* Program) {
  InitRasterEngine();
  int QtArgc = 1;
  char* QtArgv[] = {Program, nullptr};
  QApplication App(QtArgc, QtArgv);
  InstallQtTextOutput();
  if (ServerPid == 0) ServerPid = ServerOfConnection();

  DemoSettings Settings;
  if (!O.Ini.empty()) LoadSettings(Settings, O.Ini);
  // The window's thread wakes on time, as the program's does.
  RequestPreciseWakeups();
  TStandaloneScreen Screen;
  tScreenForm& Form = Screen.Form();
  Form.SetSettings(&Settings);
  Screen.Window().setGeometry(0, 0, O.Width, O.Height);
  TFrameCounter Counter;
  bool Counting = false;
  if (O.CountPixels)
    Screen.Window().View().OnPresent = [&](const std::vector<TRect>& Copy, const std::vector<TRect>& Black) {
      if (!Counting) Counter = TFrameCounter();
      Counter.Frame(Form.DrawSurface(), Copy, Black);
    };
  Form.Show();

  QElapsedTimer Clock;
  uint64_t StartTicks = 0, StartFrames = 0;
  double StartCpu = 0, StartServerCpu = 0;
  // The first half second lets the window map and settle.
  QTimer::singleShot(500, [&] {
    StartTicks = Form.TicksDrawn();
    StartFrames = Form.Presenter().FramesShown();
    StartCpu = ClockSeconds(CLOCK_PROCESS_CPUTIME_ID);
    StartServerCpu = ServerPid ? ProcessCpuSeconds(ServerPid) : -1;
    Counting = true;
    Clock.start();
    QTimer::singleShot(static_cast<int>(O.Seconds * 1000), [&] { App.quit(); });
  });
  App.exec();
  const double Elapsed = static_cast<double>(Clock.nsecsElapsed()) / 1e9;
  const double Cpu = ClockSeconds(CLOCK_PROCESS_CPUTIME_ID) - StartCpu;
  const double ServerCpu = ServerPid && StartServerCpu >= 0 ? ProcessCpuSeconds(ServerPid) - StartServerCpu : -1;
  const uint64_t Ticks = Form.TicksDrawn() - StartTicks;
  const uint64_t Frames = Form.Presenter().FramesShown() - StartFrames;
  const bool Direct = Screen.Window().View().PresentsDirectly();
  const int SurfaceWidth = Form.DrawSurface().Width();
  const int SurfaceHeight = Form.DrawSurface().Height();
  Screen.Window().hide();

  const double PerTick = Ticks ? 1000 / static_cast<double>(Ticks) : 0;
  const double Headless = HeadlessMsPerTick(O, Settings);
  std::printf("ticks=%llu seconds=%.3f ticks_per_second=%.1f frames_per_second=%.1f width=%d height=%d direct=%d\n",
              static_cast<unsigned long long>(Ticks), Elapsed, static_cast<double>(Ticks) / Elapsed,
              static_cast<double>(Frames) / Elapsed, SurfaceWidth, SurfaceHeight, Direct ? 1 : 0);
  if (ServerCpu >= 0)
    std::printf("program_ms_per_tick=%.4f server_ms_per_tick=%.4f window_ms_per_tick=%.4f ", Cpu * PerTick,
                ServerCpu * PerTick, (Cpu + ServerCpu) * PerTick);
  else
    std::printf("program_ms_per_tick=%.4f server_ms_per_tick=unknown ", Cpu * PerTick);
  std::printf("headless_ms_per_tick=%.4f goal_ms_per_tick=%.4f\n", Headless, 1.5 * Headless + 0.1);
  if (O.CountPixels && Counter.Frames > 0)
    std::printf("counted_frames=%lld copied_per_frame=%.0f copied_once_per_frame=%.0f changed_per_frame=%.0f "
                "copied_per_changed=%.3f black_per_frame=%.0f wiped_per_frame=%.0f missed=%lld\n",
                static_cast<long long>(Counter.Frames), static_cast<double>(Counter.Copied) / double(Counter.Frames),
                static_cast<double>(Counter.CopiedOnce) / double(Counter.Frames),
                static_cast<double>(Counter.Changed) / double(Counter.Frames),
                Counter.Changed ? static_cast<double>(Counter.Copied) / double(Counter.Changed) : 0.0,
                static_cast<double>(Counter.Filled) / double(Counter.Frames),
                static_cast<double>(Counter.Wiped) / double(Counter.Frames), static_cast<long long>(Counter.Missed));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> O = Parse(argc, argv);
  if (!O) return Usage();
  pid_t Xvfb = 0;
  if (O->StartXvfb) {
    Xvfb = StartXvfb(O->Width, O->Height);
    if (!Xvfb) {
      std::fprintf(stderr, "quillet-window-rate: Xvfb could not be started\n");
      return 1;
    }
  }
  const int Result = Measure(*O, Xvfb ? Xvfb : O->ServerPid, argv[0]);
  if (Xvfb) {
    kill(Xvfb, SIGTERM);
    waitpid(Xvfb, nullptr, 0);
  }
  return Result;
}
