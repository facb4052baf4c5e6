#!/usr/bin/env bash
# Builds Quillet and runs its main job: renders a page of the demo with the headless renderer
# into out/quillet.png (extra arguments go to quillet-render).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)"
mkdir -p out
QT_QPA_PLATFORM=offscreen build/release/tools/quillet-render --ticks 300 --out out/quillet.png "$@"
