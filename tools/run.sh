#!/usr/bin/env bash
# Builds Quillet and runs its main job: draws a picture with the raster engine into out/.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)"
mkdir -p out
build/release/tools/quillet-raster-demo out/quillet.png
