#!/usr/bin/env bash
# Cross-builds Quillet for 32-bit (i686) and 64-bit (x86-64) Windows with MinGW-w64 and leaves
# what a Windows user runs in out/windows/:
#
#   out/windows/i686/quillet.scr, quillet-render.exe      32-bit Windows (64-bit Windows runs them too)
#   out/windows/x86_64/quillet.scr, quillet-render.exe    64-bit Windows
#
# The builds are build/windows-i686 and build/windows-x86_64; CMAKE_OPTIONs given here are passed
# to both (tools/test-windows.sh names the Linux build that its tests compare pages with).
#
#   tools/build-windows.sh [CMAKE_OPTION...]
#
# Then it packs them (tools/package-windows.sh) into the zip out/windows/quillet-VERSION-windows.zip
# and, with both screen savers built, the installer out/windows/quillet-VERSION-setup.exe.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh

jobs=$(nproc)
for arch in i686 x86_64; do
  build=build/windows-$arch
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-$arch.cmake \
    -DQUILLET_WINEPREFIX="$PWD/build/wine-prefix" "$@" >/dev/null
  cmake --build "$build" -j "$jobs"

  out=out/windows/$arch
  mkdir -p "$out"
  "$arch-w64-mingw32-strip" -o "$out/quillet-render.exe" "$build/tools/quillet-render.exe"
  "$arch-w64-mingw32-strip" -o "$out/quillet.scr" "$build/platform/ui_win32/quillet.scr"
done

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows-x86_64/CMakeCache.txt)
tools/package-windows.sh "$version" out/windows/i686 out/windows/x86_64 out/windows
