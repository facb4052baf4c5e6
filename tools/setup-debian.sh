#!/usr/bin/env bash
# Installs what building, testing and running Quillet needs on Debian 12. Silent when all is there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libpng-dev libcairo2-dev libagg-dev
  qt6-base-dev libgl-dev libxcb1-dev libxcb-shm0-dev libxcb-xinerama0-dev fonts-dejavu-core
  xvfb xdotool x11-utils x11-xserver-utils imagemagick openbox icewm man-db strace
  clang-14 libclang-rt-14-dev libfuzzer-14-dev
  xserver-xephyr dpkg-dev lintian
  # Windows: the cross compilers, zlib and GoogleTest's sources for them, the installer builder,
  # zip for the download of both savers, and Wine (its 32-bit half from the i386 architecture) to
  # run what they build.
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest nsis zip unzip
  wine wine64 wine32:i386
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
((${#missing[@]} == 0)) && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
