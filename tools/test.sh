#!/usr/bin/env bash
# Builds Quillet and runs every test twice: in an optimised build, and in a build with
# AddressSanitizer and UndefinedBehaviorSanitizer where any report fails the run. Between the two,
# the Windows builds (32- and 64-bit, cross-compiled) and their tests under Wine. Then a short
# smoke run of every fuzz target, built with clang under the same sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh

jobs=$(nproc)
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

# Both Windows targets, cross-built, their tests under Wine.
tools/test-windows.sh

cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_SANITIZE=ON \
  -DQUILLET_BUILD_BENCH=OFF >/dev/null
cmake --build build/sanitize -j "$jobs"
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build/sanitize --output-on-failure -j "$jobs"

tools/fuzz.sh smoke
