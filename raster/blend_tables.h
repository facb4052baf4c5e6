// Builders of the blend and coverage tables (declared in blend.h).
#pragma once

namespace quillet {

void BuildBlendTables();
void BuildCoverageGammaTable();

}  // namespace quillet
