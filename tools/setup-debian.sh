#!/usr/bin/env bash
# Installs what building, testing and running Quillet needs on Debian 12. Silent when all is there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libpng-dev libcairo2-dev libagg-dev
  qt6-base-dev libgl-dev libxcb1-dev libxcb-shm0-dev libxcb-xinerama0-dev fonts-dejavu-core
  xvfb xdotool x11-utils x11-xserver-utils openbox icewm man-db strace
  clang-14 libclang-rt-14-dev libfuzzer-14-dev
  xserver-xephyr dpkg-dev lintian
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
((${#missing[@]} == 0)) && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
