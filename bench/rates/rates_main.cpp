// quillet_rates: Quillet's rate on every workload of the peer benchmark, measured as the peer
// benchmark measures it (whole batches for S seconds, best of N runs), one line per workload:
//
//   quillet_rates [--seconds=S] [--runs=N] [--only=TEXT]
//   <workload name>\t<operations (erase: pixels) per second>
//
// With --passes=P it instead draws exactly P passes over each workload's shapes and prints passes
// per second of the drawing thread's processor time: a fixed amount of work, which neither the
// start-up (Wine's included) nor a busy machine's other programs count in, and which a profiler
// can count cycles of.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "peer_engine.h"
#include "raster/engine_init.h"

namespace {

using namespace quillet;
using namespace quillet::peer;

// Measured as the peer benchmark measures it; the erase in pixels per second.
double Rate(TPeerEngine& Engine, const TWorkload& W, double Seconds) {
  const double Ops = TimeRun(Engine, W, Seconds);
  return W.PixelRate() ? Ops * SurfaceWidth * SurfaceHeight : Ops;
}

// The calling thread's processor time (MinGW provides the same clock over the Windows one).
double ThreadSeconds() {
  timespec T{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &T);
  return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_nsec) * 1e-9;
}

}  // namespace

int main(int Argc, char** Argv) {
  double Seconds = 0.2;
  int Runs = 5;
  std::string Only;
  long Passes = 0;
  for (int I = 1; I < Argc; ++I) {
    const std::string_view A = Argv[I];
    if (A.starts_with("--seconds="))
      Seconds = std::clamp(std::atof(Argv[I] + 10), 0.001, 60.0);
    else if (A.starts_with("--runs="))
      Runs = std::clamp(std::atoi(Argv[I] + 7), 1, 100);
    else if (A.starts_with("--only="))
      Only = A.substr(7);
    else if (A.starts_with("--passes="))
      Passes = std::clamp(std::atol(Argv[I] + 9), 1L, 1000000L);
    else {
      std::fprintf(stderr, "usage: %s [--seconds=S] [--runs=N] [--only=TEXT] [--passes=P]\n", Argv[0]);
      return 2;
    }
  }
  InitRasterEngine();
  TBitmap32 Surface;
  Surface.SetDimensions(SurfaceWidth, SurfaceHeight);
  const auto Engine = MakeQuilletEngine(Surface);
  for (const TWorkload& W : MakeWorkloads()) {
    if (!Only.empty() && W.Name.find(Only) == std::string::npos) continue;
    Engine->Prepare(W);
    if (Passes > 0) {
      const double Start = ThreadSeconds();
      for (long Pass = 0; Pass < Passes; ++Pass) Engine->Draw(W, 0, W.Count());
      Engine->Finish();
      const double Used = ThreadSeconds() - Start;
      std::printf("%s\t%.6g\n", W.Name.c_str(), Used > 0 ? static_cast<double>(Passes) / Used : 0.0);
      std::fflush(stdout);
      continue;
    }
    double Best = 0;
    for (int Run = 0; Run < Runs; ++Run) {
      Surface.Erase();
      Best = std::max(Best, Rate(*Engine, W, Seconds));
    }
    std::printf("%s\t%.6g\n", W.Name.c_str(), Best);
    std::fflush(stdout);
  }
  return 0;
}
