// A fuzz target's own checks: a failed one says what failed on stderr and aborts, which libFuzzer
// reports as a crash, keeping the input.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace quillet::fuzz {

inline void Expect(bool Condition, const char* What) {
  if (Condition) return;
  std::fprintf(stderr, "%s\n", What);
  std::abort();
}

}  // namespace quillet::fuzz
