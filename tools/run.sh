#!/usr/bin/env bash
# Builds Quillet and runs it. With a display: the program itself, with the given arguments (none:
# the settings dialog, from which Test... shows the saver; /s full screen; /c the dialog).
# Without one: a page of the demo rendered headless into out/quillet.png.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)"
if [ -n "${DISPLAY:-}" ]; then
  exec build/release/shell/quillet "$@"
fi
mkdir -p out
QT_QPA_PLATFORM=offscreen build/release/tools/quillet-render --ticks 300 --out out/quillet.png
