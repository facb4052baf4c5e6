// The start-up of the raster engine: which blend variant, which kernel level.
#include "raster/engine_init.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quillet {

namespace {

constexpr const char* LevelNames[SimdLevelCount] = {"scalar", "sse2", "avx2"};

}  // namespace

SimdLevel ChooseSimdLevel(const char* Requested, SimdLevel Best, std::string& Complaint) {
  Complaint.clear();
  if (Requested == nullptr || *Requested == '\0') return Best;
  const char* BestName = LevelNames[static_cast<int>(Best)];
  for (int L = 0; L < SimdLevelCount; ++L) {
    if (std::strcmp(Requested, LevelNames[L]) != 0) continue;
    if (L <= static_cast<int>(Best)) return static_cast<SimdLevel>(L);
    Complaint = std::string("QUILLET_SIMD=") + Requested + ": this processor does not run it; using " + BestName;
    return Best;
  }
  Complaint = std::string("QUILLET_SIMD=") + Requested + ": unknown (scalar, sse2 or avx2); using " + BestName;
  return Best;
}

void InitRasterEngine() {
  std::string Complaint;
  const SimdLevel Level = ChooseSimdLevel(std::getenv("QUILLET_SIMD"), BestSimdLevel(), Complaint);
  if (!Complaint.empty()) std::fprintf(stderr, "quillet: %s\n", Complaint.c_str());
  InitBlendOps(HasMmx() ? BlendVariant::Packed : BlendVariant::Portable, Level);
}

}  // namespace quillet
