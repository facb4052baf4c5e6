// Throughput of the blend procedures over a row of 1024 pixels, in both variants (argument 0 is
// portable, 1 packed), and of the scalar row kernels beside the ones of the installed level.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "raster/blend.h"
#include "raster/detail/blend_kernels.h"

namespace {

using namespace quillet;

constexpr int32_t RowLength = 1024;

// A background of random colours and a foreground whose alphas cover 0..255, as a coverage row
// of the polygon filler does.
struct Rows {
  std::vector<TColor32> Src, Dst;
  Rows() : Src(RowLength), Dst(RowLength) {
    std::mt19937 Random(1);
    for (TColor32& C : Dst) C = Random() | 0xFF000000;
    for (TColor32& C : Src) C = Random();
  }
};

// Runs Body over the rows in the variant of the benchmark's argument. Body reads the procedure
// slots itself, after the variant is installed, once per row.
template <typename TBody>
void RunInVariant(benchmark::State& State, TBody Body) {
  InitBlendOps(State.range(0) == 0 ? BlendVariant::Portable : BlendVariant::Packed);
  State.SetLabel(State.range(0) == 0 ? "portable" : "packed");
  Rows R;
  for (auto _ : State) {
    Body(R);
    benchmark::ClobberMemory();
  }
  State.SetItemsProcessed(State.iterations() * RowLength);
  InitBlendOps(HasMmx() ? BlendVariant::Packed : BlendVariant::Portable);
}

void BM_FillPixels(benchmark::State& State) {
  RunInVariant(State, [](Rows& R) { FillPixels(R.Dst.data(), RowLength, 0xFF102030); });
}

void BM_BlendColors(benchmark::State& State) {
  RunInVariant(State, [](Rows& R) {
    const TBlendColorsProc Blend = BlendColors;
    for (int32_t i = 0; i < RowLength; ++i) R.Dst[i] = Blend(R.Src[i], R.Dst[i]);
  });
}

void BM_BlendColorInto(benchmark::State& State) {
  RunInVariant(State, [](Rows& R) {
    const TColorIntoProc Blend = BlendColorInto;
    for (int32_t i = 0; i < RowLength; ++i) Blend(R.Src[i], R.Dst[i]);
  });
}

void BM_BlendColorIntoMaster(benchmark::State& State) {
  RunInVariant(State, [](Rows& R) {
    const TColorIntoMasterProc Blend = BlendColorIntoMaster;
    for (int32_t i = 0; i < RowLength; ++i) Blend(R.Src[i], R.Dst[i], 200);
  });
}

void BM_CombineColorInto(benchmark::State& State) {
  RunInVariant(State, [](Rows& R) {
    const TCombineColorIntoProc Combine = CombineColorInto;
    for (int32_t i = 0; i < RowLength; ++i) Combine(R.Src[i], R.Dst[i], 100);
  });
}

void BM_BlendRowMaster(benchmark::State& State) {
  RunInVariant(State, [](Rows& R) { BlendRowMaster(R.Src.data(), R.Dst.data(), RowLength, 200); });
}

void BM_BlendColorIntoRow(benchmark::State& State) {
  RunInVariant(State, [](Rows& R) { CombineOpsFor(TCombineMode::cmBlend).ColorIntoRow(0x80FF8040, R.Dst.data(), RowLength); });
}

void BM_CombineColorRow(benchmark::State& State) {
  RunInVariant(State, [](Rows& R) { CombineOpsFor(TCombineMode::cmBlend).RectRow(0xFFFF8040, R.Dst.data(), RowLength, 100); });
}

void BM_MergeRowMaster(benchmark::State& State) {
  RunInVariant(State, [First = true](Rows& R) mutable {
    if (First) {
      for (TColor32& C : R.Dst) C &= 0x80FFFFFF;  // translucent backgrounds take the full path
      First = false;
    }
    MergeRowMaster(R.Src.data(), R.Dst.data(), RowLength, 200);
  });
}

BENCHMARK(BM_FillPixels)->Arg(0)->Arg(1);
BENCHMARK(BM_BlendColors)->Arg(0)->Arg(1);
BENCHMARK(BM_BlendColorInto)->Arg(0)->Arg(1);
BENCHMARK(BM_BlendColorIntoMaster)->Arg(0)->Arg(1);
BENCHMARK(BM_CombineColorInto)->Arg(0)->Arg(1);
BENCHMARK(BM_BlendRowMaster)->Arg(0)->Arg(1);
BENCHMARK(BM_BlendColorIntoRow)->Arg(0)->Arg(1);
BENCHMARK(BM_CombineColorRow)->Arg(0)->Arg(1);
BENCHMARK(BM_MergeRowMaster)->Arg(0)->Arg(1);

// The scalar row kernels, for comparison with the ones of the level the dispatch installs.
const TBlendKernels& ScalarTable(const benchmark::State& State) {
  return KernelTable(State.range(0) == 0 ? BlendVariant::Portable : BlendVariant::Packed, SimdLevel::Scalar);
}

void BM_ScalarBlendRowMaster(benchmark::State& State) {
  Rows R;
  const TRowMasterProc Blend = ScalarTable(State).Modes[0].RowMaster;
  State.SetLabel(State.range(0) == 0 ? "portable scalar" : "packed scalar");
  for (auto _ : State) {
    Blend(R.Src.data(), R.Dst.data(), RowLength, 200);
    benchmark::ClobberMemory();
  }
  State.SetItemsProcessed(State.iterations() * RowLength);
}
BENCHMARK(BM_ScalarBlendRowMaster)->Arg(0)->Arg(1);

void BM_ScalarCombineColorRow(benchmark::State& State) {
  Rows R;
  const TCombineColorRowProc Combine = ScalarTable(State).Modes[0].RectRow;
  State.SetLabel(State.range(0) == 0 ? "portable scalar" : "packed scalar");
  for (auto _ : State) {
    Combine(0xFFFF8040, R.Dst.data(), RowLength, 100);
    benchmark::ClobberMemory();
  }
  State.SetItemsProcessed(State.iterations() * RowLength);
}
BENCHMARK(BM_ScalarCombineColorRow)->Arg(0)->Arg(1);

void BM_ScalarFillPixels(benchmark::State& State) {
  std::vector<TColor32> Row(RowLength);
  State.SetLabel("scalar");
  for (auto _ : State) {
    KernelTable(BlendVariant::Packed, SimdLevel::Scalar).FillPixels(Row.data(), RowLength, 0xFF102030);
    benchmark::ClobberMemory();
  }
  State.SetItemsProcessed(State.iterations() * RowLength);
}
BENCHMARK(BM_ScalarFillPixels);

}  // namespace
