// quillet_peer_bench: the peer workloads drawn by cairo, AGG, Blend2D (where the build has it) and
// Quillet into one 1920 x 1080 surface in one process, beside the store limit of the opaque ones.
// Prints operations per second (best of the runs) with Quillet's ratios and targets, and writes the
// same as a bar chart PNG.
//
//   quillet_peer_bench [--seconds=S] [--runs=N] [--only=TEXT] [--engines=A,B] [--out=FILE.png]
//                      [--pictures=DIR]
//
// --only keeps the workloads whose name holds TEXT; --engines the columns named (for profiling one
// engine at a time).
//
// --pictures writes what each engine draws of one pass over each workload's shapes, as
// DIR/<workload>-<engine>.png, to see that the engines do the same work.
// Each run of a workload draws its shapes over and over for S seconds (default 0.2); the engines
// take turns run by run, so a change in the machine's load falls on all of them alike.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "peer_chart.h"
#include "peer_engine.h"
#include "peer_results.h"
#include "raster/engine_init.h"
#include "tools/png_file.h"

namespace {

using namespace quillet;
using namespace quillet::peer;

struct TOptions {
  double Seconds = 0.2;
  int Runs = 5;
  std::string Only;
  std::string Engines;
  std::string Out = "peer_bench.png";
  std::string Pictures;
};

bool ParseOptions(int Argc, char** Argv, TOptions& O) {
  for (int I = 1; I < Argc; ++I) {
    const std::string_view A = Argv[I];
    const auto Value = [&](std::string_view Name, std::string& Out) {
      if (A.substr(0, Name.size()) != Name) return false;
      Out = std::string(A.substr(Name.size()));
      return true;
    };
    std::string V;
    if (Value("--seconds=", V)) {
      char* End = nullptr;
      O.Seconds = std::strtod(V.c_str(), &End);
      if (*End != '\0' || !(O.Seconds > 0) || O.Seconds > 60) return false;
    } else if (Value("--runs=", V)) {
      char* End = nullptr;
      const long N = std::strtol(V.c_str(), &End, 10);
      if (*End != '\0' || N < 1 || N > 100) return false;
      O.Runs = static_cast<int>(N);
    } else if (Value("--only=", V)) {
      O.Only = V;
    } else if (Value("--engines=", V)) {
      O.Engines = "," + V + ",";
    } else if (Value("--pictures=", V)) {
      if (V.empty()) return false;
      O.Pictures = V;
    } else if (Value("--out=", V)) {
      if (V.empty()) return false;
      O.Out = V;
    } else {
      return false;
    }
  }
  return true;
}

// "AA triangle 10 px, opaque" -> "aa-triangle-10-px-opaque".
std::string FileStem(const std::string& Name) {
  std::string Stem;
  for (char C : Name) {
    if (std::isalnum(static_cast<unsigned char>(C)))
      Stem += static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    else if (!Stem.empty() && Stem.back() != '-')
      Stem += '-';
  }
  while (!Stem.empty() && Stem.back() == '-') Stem.pop_back();
  return Stem;
}

bool WritePicture(TBitmap32& Surface, TPeerEngine& Engine, const std::string& EngineName, const TWorkload& W,
                  const std::string& Dir) {
  Surface.Erase();
  Engine.Draw(W, 0, W.Count());
  Engine.Finish();
  const std::string Path = Dir + "/" + FileStem(W.Name) + "-" + FileStem(EngineName) + ".png";
  std::string Error;
  if (WritePng(Surface, Path, TPngAlpha::Opaque, Error)) return true;
  std::cerr << "cannot write " << Path << ": " << Error << "\n";
  return false;
}

}  // namespace

int main(int Argc, char** Argv) {
  InitRasterEngine();
  TOptions Options;
  if (!ParseOptions(Argc, Argv, Options)) {
    std::cerr << "usage: " << Argv[0]
              << " [--seconds=S] [--runs=N] [--only=TEXT] [--engines=A,B] [--out=FILE.png] [--pictures=DIR]\n";
    return 2;
  }

  TBitmap32 Surface;
  Surface.SetDimensions(SurfaceWidth, SurfaceHeight);
  // The columns of the report, each drawn by the engine of the same index.
  std::vector<TColumn> Columns;
  std::vector<std::unique_ptr<TPeerEngine>> Engines;
  const auto Add = [&](std::string Name, TRole Role, std::unique_ptr<TPeerEngine> Engine) {
    if (!Options.Engines.empty() && Options.Engines.find("," + Name + ",") == std::string::npos) return;
    Columns.push_back({std::move(Name), Role});
    Engines.push_back(std::move(Engine));
  };
  Add("cairo", TRole::Peer, MakeCairoEngine(Surface));
  Add("AGG", TRole::Peer, MakeAggEngine(Surface));
#if QUILLET_PEER_BLEND2D
  Add("Blend2D", TRole::Peer, MakeBlend2DEngine(Surface));
#endif
  Add("Quillet", TRole::Quillet, MakeQuilletEngine(Surface));
  Add("limit stores", TRole::Limit, MakeLimitEngine(Surface, TLimitStores::Plain));
  Add("limit streaming", TRole::Limit, MakeLimitEngine(Surface, TLimitStores::Streaming));

  const std::vector<TWorkload> Workloads = MakeWorkloads();
  std::vector<TRowResult> Rows;
  for (const TWorkload& W : Workloads) {
    if (!Options.Only.empty() && W.Name.find(Options.Only) == std::string::npos) continue;
    TRowResult Row{&W, std::vector<double>(Engines.size(), 0.0)};
    for (auto& Engine : Engines)
      if (Engine->Draws(W)) Engine->Prepare(W);
    for (int Run = 0; Run < Options.Runs; ++Run) {
      for (size_t E = 0; E < Engines.size(); ++E) {
        if (!Engines[E]->Draws(W)) continue;
        Surface.Erase();
        Row.Rates[E] = std::max(Row.Rates[E], TimeRun(*Engines[E], W, Options.Seconds));
      }
    }
    if (!Options.Pictures.empty())
      for (size_t E = 0; E < Engines.size(); ++E)
        if (Engines[E]->Draws(W) && !WritePicture(Surface, *Engines[E], Columns[E].Name, W, Options.Pictures))
          return 1;
    Rows.push_back(Row);
    std::cerr << W.Name << " done\n";
  }

  PrintTable(std::cout, Columns, Rows);
  std::string Error;
  if (!WritePeerChart(Columns, Rows, Options.Runs, Options.Out, Error)) {
    std::cerr << "cannot write " << Options.Out << ": " << Error << "\n";
    return 1;
  }
  std::cout << "chart: " << Options.Out << "\n";
  return 0;
}
