// Judging and printing the peer benchmark's rates.
#include "peer_results.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace quillet::peer {

namespace {

std::string Printf(const char* Format, double V) {
  char Buffer[64];
  std::snprintf(Buffer, sizeof Buffer, Format, V);
  return Buffer;
}

std::string Ratio(double A, double B) { return A > 0 && B > 0 ? Printf("%.2f", A / B) : "-"; }

double Best(const std::vector<TColumn>& Columns, const std::vector<double>& Rates, TRole Role) {
  double Rate = 0;
  for (size_t C = 0; C < Columns.size(); ++C)
    if (Columns[C].Role == Role) Rate = std::max(Rate, Rates[C]);
  return Rate;
}

double Named(const std::vector<TColumn>& Columns, const std::vector<double>& Rates, const std::string& Name) {
  for (size_t C = 0; C < Columns.size(); ++C)
    if (Columns[C].Name == Name) return Rates[C];
  return 0;
}

}  // namespace

double TRowResult::Quillet(const std::vector<TColumn>& Columns) const { return Best(Columns, Rates, TRole::Quillet); }

double TRowResult::FastestPeer(const std::vector<TColumn>& Columns) const {
  return Best(Columns, Rates, TRole::Peer);
}

double TRowResult::Limit(const std::vector<TColumn>& Columns) const { return Best(Columns, Rates, TRole::Limit); }

double TRowResult::Required(const std::vector<TColumn>& Columns) const {
  return std::max(Workload->CairoRatio * Named(Columns, Rates, "cairo"), FastestPeer(Columns));
}

std::string FormatRate(double OpsPerSecond, const TWorkload& W) {
  if (OpsPerSecond <= 0) return "-";
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

void PrintTable(std::ostream& Out, const std::vector<TColumn>& Columns, const std::vector<TRowResult>& Rows) {
  std::vector<size_t> Peers;
  for (size_t C = 0; C < Columns.size(); ++C)
    if (Columns[C].Role == TRole::Peer) Peers.push_back(C);
  Out << "| workload |";
  for (size_t C : Peers) Out << ' ' << Columns[C].Name << " |";
  Out << " Quillet | limit |";
  for (size_t C : Peers) Out << " Q / " << Columns[C].Name << " |";
  Out << " Q / fastest | Q / limit | target | met | limit x" << Printf("%.2f", LimitGoal) << " |\n|---|";
  for (size_t I = 0; I < 2 * Peers.size() + 7; ++I) Out << "---|";
  Out << '\n';
  for (const TRowResult& R : Rows) {
    const TWorkload& W = *R.Workload;
    const double Q = R.Quillet(Columns), Limit = R.Limit(Columns);
    Out << "| " << W.Name << " |";
    for (size_t C : Peers) Out << ' ' << FormatRate(R.Rates[C], W) << " |";
    Out << ' ' << FormatRate(Q, W) << " | " << FormatRate(Limit, W) << " |";
    for (size_t C : Peers) Out << ' ' << Ratio(Q, R.Rates[C]) << " |";
    Out << ' ' << Ratio(Q, R.FastestPeer(Columns)) << " | " << Ratio(Q, Limit) << " | " << TargetText(W) << " ("
        << FormatRate(R.Required(Columns), W) << ") | " << (R.Met(Columns) ? "yes" : "no") << " | "
        << (Limit > 0 ? (R.LimitMet(Columns) ? "yes" : "no") : "-") << " |\n";
  }
}

}  // namespace quillet::peer
