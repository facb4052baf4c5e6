// The measured rates of the peer benchmark and how they are judged and printed.
#pragma once

#include <array>
#include <iosfwd>
#include <string>
#include <vector>

#include "peer_workloads.h"

namespace quillet::peer {

// Engines in the order of the report.
enum TEngineIndex { Cairo = 0, Agg = 1, Quillet = 2, EngineCount = 3 };
extern const std::array<const char*, EngineCount> EngineNames;

struct TRowResult {
  const TWorkload* Workload;
  std::array<double, EngineCount> Rates;  // operations per second, best of the runs

  double FastestPeer() const;
  // The rate Quillet must reach: the ratio to cairo, and at least the fastest peer.
  double Required() const;
  bool Met() const { return Rates[Quillet] >= Required(); }
};

// "589k", "1.66M"; pixel rates in G px/s ("6.37").
std::string FormatRate(double OpsPerSecond, const TWorkload& W);
// "2.80x cairo" or "fastest peer".
std::string TargetText(const TWorkload& W);

void PrintTable(std::ostream& Out, const std::vector<TRowResult>& Rows);

}  // namespace quillet::peer
