// The peer benchmark's result as a bar chart, drawn with Quillet's own engine and written as PNG.
#pragma once

#include <string>
#include <vector>

#include "peer_results.h"

namespace quillet::peer {

// One group of bars per workload (every peer, Quillet, and the store limit), each scaled to its
// group's largest rate, with Quillet's target marked. False with Error set when the file cannot be
// written.
bool WritePeerChart(const std::vector<TColumn>& Columns, const std::vector<TRowResult>& Rows, int Runs,
                    const std::string& Path, std::string& Error);

}  // namespace quillet::peer
