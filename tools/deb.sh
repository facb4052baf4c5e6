#!/usr/bin/env bash
# Builds Quillet and its Debian package, build/release/quillet_<version>_<arch>.deb (see
# docs/packaging.md).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)"
cd build/release
cpack -G DEB
