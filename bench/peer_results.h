// The measured rates of the peer benchmark and how they are judged and printed.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "peer_workloads.h"

namespace quillet::peer {

// What a column of the report is: a peer engine, Quillet, or one way of storing the pixels whose
// best rate is the store limit.
enum class TRole { Peer, Quillet, Limit };

struct TColumn {
  std::string Name;
  TRole Role;
};

// The share of the store limit that every opaque row should reach.
constexpr double LimitGoal = 0.97;

struct TRowResult {
  const TWorkload* Workload;
  std::vector<double> Rates;  // per column, operations per second, best of the runs; 0 when not drawn

  double Quillet(const std::vector<TColumn>& Columns) const;
  double FastestPeer(const std::vector<TColumn>& Columns) const;
  // The best of the limit columns, 0 where none draws the workload.
  double Limit(const std::vector<TColumn>& Columns) const;
  // The rate Quillet must reach: the ratio to cairo, and at least the fastest peer.
  double Required(const std::vector<TColumn>& Columns) const;
  bool Met(const std::vector<TColumn>& Columns) const { return Quillet(Columns) >= Required(Columns); }
  bool LimitMet(const std::vector<TColumn>& Columns) const {
    return Quillet(Columns) >= LimitGoal * Limit(Columns);
  }
};

// "589k", "1.66M"; pixel rates in G px/s ("6.37"); "-" for 0.
std::string FormatRate(double OpsPerSecond, const TWorkload& W);
// "2.80x cairo" or "fastest peer".
std::string TargetText(const TWorkload& W);

// A Markdown table: the rates, Quillet's ratio to every peer and to the limit, and the goals.
void PrintTable(std::ostream& Out, const std::vector<TColumn>& Columns, const std::vector<TRowResult>& Rows);

}  // namespace quillet::peer
