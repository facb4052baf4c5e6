// The edge list's walk in closed form, many steps at once, held against the walk step by step:
// every scanline's crossings must come out the same, for edges of every slope regime, running up
// or down, starting above the scanline range or inside it, and reaching past the clamp bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "raster/blend.h"
#include "raster/detail/blend_kernels.h"
#include "raster/detail/edge_list.h"

namespace quillet {
namespace {

std::vector<std::vector<uint32_t>> Crossings(const TArrayOfArrayOfPoint& Paths, int32_t MinX, int32_t MinY,
                                             int32_t MaxX, int32_t MaxY, TEdgeStepsProc Steps) {
  TEdgeList Edges;
  Edges.Build(Paths.begin(), Paths.end(), MinX, MinY, MaxX, MaxY, Steps);
  const int32_t Stride = Edges.MaxCrossings();
  std::vector<std::vector<uint32_t>> Out;
  std::vector<uint32_t> Lists(static_cast<size_t>(32 * std::max(Stride, 1)));
  int32_t Counts[32];
  for (int32_t First = MinY; First <= MaxY; First += 32) {
    const int32_t Last = std::min(First + 31, MaxY);
    Edges.Rows(First, Last, Lists.data(), Stride, Counts);
    for (int32_t I = 0; I <= Last - First; ++I) {
      const uint32_t* List = Lists.data() + I * Stride;
      Out.emplace_back(List, List + Counts[I]);
      std::sort(Out.back().begin(), Out.back().end());  // equal keys may come in any order
    }
  }
  return Out;
}

TEST(EdgeSteps, KernelsWalkEveryEdgeAsTheStepwiseWalk) {
  std::mt19937 Rng(99);
  const auto U = [&](int32_t N) { return static_cast<int32_t>(Rng() % static_cast<uint32_t>(N)); };
  // Around the regime boundaries (Dx = 2 Dy, 4 Dy) and far from them.
  const int32_t Ratios[] = {0, 1, 2, 3, 4, 5, 9, 60};
  int Compared = 0;
  for (int L = 1; L < SimdLevelCount; ++L) {
    const SimdLevel Level = static_cast<SimdLevel>(L);
    const TEdgeStepsProc Steps = KernelTable(BlendVariant::Packed, Level).Modes[0].EdgeSteps;
    if (!SimdLevelSupported(Level) || Steps == nullptr) continue;
    EXPECT_EQ(Steps, KernelTable(BlendVariant::Portable, Level).Modes[1].EdgeSteps);
    for (int Trial = 0; Trial < 4000; ++Trial) {
      TArrayOfArrayOfPoint Paths(1);
      const int32_t Cx = U(4000) - 2000, Cy = U(4000) - 2000;
      for (int P = 0; P < 3 + U(3); ++P) {
        const int32_t Dy = U(3) == 0 ? U(40) : U(1500);
        const int32_t Dx = Ratios[U(8)] * Dy + U(Dy + 1) - Dy / 2;
        Paths[0].push_back({Cx + (U(2) ? Dx : -Dx), Cy + (U(2) ? Dy : -Dy)});
      }
      if (U(10) == 0) Paths[0].push_back({Cx + (1 << 29) + U(1 << 20), Cy + U(3000)});  // beyond the step bounds
      const int32_t MinY = Cy - U(2000), MaxY = MinY + U(2500);
      const int32_t MinX = U(3) == 0 ? Cx - U(800) : 0, MaxX = U(3) == 0 ? Cx + U(800) : 0x7FFFFFFF;
      if (MinX < 0 || MaxX < MinX) continue;
      ASSERT_EQ(Crossings(Paths, MinX, MinY, MaxX, MaxY, Steps), Crossings(Paths, MinX, MinY, MaxX, MaxY, nullptr))
          << "level " << L << " trial " << Trial;
      ++Compared;
    }
  }
  if (Compared == 0) GTEST_SKIP() << "no level with an edge step kernel on this processor";
}

// The kernel on its own: every run length around its eight-lane steps, both directions, with
// guards on both sides of the run that must stay as they were.
TEST(EdgeSteps, KernelsWriteTheRunAndNothingBesideIt) {
  std::mt19937 Rng(7);
  int Compared = 0;
  for (int L = 1; L < SimdLevelCount; ++L) {
    const SimdLevel Level = static_cast<SimdLevel>(L);
    const TEdgeStepsProc Steps = KernelTable(BlendVariant::Packed, Level).Modes[0].EdgeSteps;
    if (!SimdLevelSupported(Level) || Steps == nullptr) continue;
    for (int Trial = 0; Trial < 3000; ++Trial) {
      TEdgeStepRun R{};
      R.Dy = static_cast<int32_t>(Rng() % 1000) + 1;
      R.Q1 = static_cast<int32_t>(Rng() % 5);
      R.R1 = static_cast<int32_t>(Rng() % static_cast<uint32_t>(R.Dy));
      // The term lies in (0, Dy] below the limit Dy, in (-Dy, 0] below the limit 0.
      R.Limit = Trial % 2 ? R.Dy : 0;
      const int32_t Term = static_cast<int32_t>(Rng() % static_cast<uint32_t>(R.Dy));
      R.E = R.Limit == 0 ? -Term : Term + 1;
      R.Sx = Trial % 3 ? 1 : -1;
      R.X = 5000 + static_cast<int32_t>(Rng() % 100);
      R.MinX = 4900;
      R.MaxX = 5100;
      R.Count = 16 + Trial % 40;
      R.Reverse = Trial % 4 < 2;
      std::vector<int32_t> Want(static_cast<size_t>(R.Count));
      int32_t X = R.X, E = R.E;
      for (int32_t I = 0; I < R.Count; ++I) {
        Want[static_cast<size_t>(R.Reverse ? R.Count - 1 - I : I)] = std::clamp(X, R.MinX, R.MaxX);
        E += R.R1;
        X += R.Sx * R.Q1;
        if (E > R.Limit) {
          E -= R.Dy;
          X += R.Sx;
        }
      }
      std::vector<int32_t> Got(static_cast<size_t>(R.Count) + 16, -7);
      Steps(R, Got.data() + 8);
      ASSERT_EQ(std::vector<int32_t>(Got.begin() + 8, Got.end() - 8), Want) << "count " << R.Count;
      for (int I = 0; I < 8; ++I) ASSERT_TRUE(Got[static_cast<size_t>(I)] == -7 && Got[Got.size() - 1 - I] == -7);
      ++Compared;
    }
  }
  if (Compared == 0) GTEST_SKIP() << "no level with an edge step kernel on this processor";
}

}  // namespace
}  // namespace quillet
