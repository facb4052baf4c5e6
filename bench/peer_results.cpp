// Judging and printing the peer benchmark's rates.
#include "peer_results.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace quillet::peer {

const std::array<const char*, EngineCount> EngineNames{"cairo", "AGG", "Quillet"};

namespace {

std::string Printf(const char* Format, double V) {
  char Buffer[64];
  std::snprintf(Buffer, sizeof Buffer, Format, V);
  return Buffer;
}

std::string Ratio(double A, double B) { return B > 0 ? Printf("%.2f", A / B) : "-"; }

}  // namespace

double TRowResult::FastestPeer() const { return std::max(Rates[Cairo], Rates[Agg]); }

double TRowResult::Required() const {
  return std::max(Workload->CairoRatio * Rates[Cairo], FastestPeer());
}

std::string FormatRate(double OpsPerSecond, const TWorkload& W) {
  if (W.PixelRate()) {
    const double PixelsPerOp = static_cast<double>(SurfaceWidth) * SurfaceHeight;
    return Printf("%.2f", OpsPerSecond * PixelsPerOp / 1e9);
  }
  if (OpsPerSecond >= 1e6) return Printf("%.2fM", OpsPerSecond / 1e6);
  if (OpsPerSecond >= 1e5) return Printf("%.0fk", OpsPerSecond / 1e3);
  if (OpsPerSecond >= 1e3) return Printf("%.1fk", OpsPerSecond / 1e3);
  return Printf("%.0f", OpsPerSecond);
}

std::string TargetText(const TWorkload& W) {
  return W.CairoRatio > 0 ? Printf("%.2fx cairo", W.CairoRatio) : "fastest peer";
}

void PrintTable(std::ostream& Out, const std::vector<TRowResult>& Rows) {
  Out << "| workload | cairo | AGG | Quillet | Quillet / cairo | Quillet / AGG | Quillet / fastest "
         "| target | met |\n"
      << "|---|---|---|---|---|---|---|---|---|\n";
  for (const TRowResult& R : Rows) {
    const TWorkload& W = *R.Workload;
    Out << "| " << W.Name << " | " << FormatRate(R.Rates[Cairo], W) << " | " << FormatRate(R.Rates[Agg], W)
        << " | " << FormatRate(R.Rates[Quillet], W) << " | " << Ratio(R.Rates[Quillet], R.Rates[Cairo])
        << " | " << Ratio(R.Rates[Quillet], R.Rates[Agg]) << " | " << Ratio(R.Rates[Quillet], R.FastestPeer())
        << " | " << TargetText(W) << " (" << FormatRate(R.Required(), W) << ") | "
        << (R.Met() ? "yes" : "no") << " |\n";
  }
}

}  // namespace quillet::peer
