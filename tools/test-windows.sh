#!/usr/bin/env bash
# Cross-builds both Windows targets (tools/build-windows.sh) and runs their tests under Wine, on a
# private X server, in one Wine prefix (build/wine-prefix) whose server runs for the whole run.
# Part of tools/test.sh: the pages of quillet-render.exe are compared with those of the Linux
# build in build/release, which must be built first. Last, the zip and the installer are built
# and the installer installs and uninstalls silently (tests/tools/windows_package_test.sh).
#
#   QUILLET_DISPLAYS=FIRST-LAST   the X display numbers to choose from (default 100-899)
set -euo pipefail
cd "$(dirname "$0")/.."
[ -x build/release/tools/quillet-render ] || { echo "build/release is not built" >&2; exit 1; }
tools/build-windows.sh -DQUILLET_LINUX_BUILD="$PWD/build/release"

export WINEPREFIX=$PWD/build/wine-prefix
log=build/wine-tests.log
: >"$log"
xvfb_pid=
cleanup() {
  wineserver -k >>"$log" 2>&1 || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

# A free display number; a server that loses a race for it dies at once and the next is tried.
range=${QUILLET_DISPLAYS:-100-899}
first=${range%-*} last=${range#*-}
for attempt in $(seq 20); do
  number=$((first + RANDOM % (last - first + 1)))
  [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
  Xvfb ":$number" -screen 0 1920x1080x24 -nolisten tcp -noreset >>"$log" 2>&1 &
  xvfb_pid=$!
  sleep 1
  kill -0 "$xvfb_pid" 2>/dev/null && break
  xvfb_pid=
done
[ -n "$xvfb_pid" ] || { echo "no X server could be started for Wine" >&2; exit 1; }
export DISPLAY=:$number

# The prefix is made (about half a minute the first time) and its server started before any test.
# A server left running by an earlier program of this prefix would keep that program's display.
wineserver -k >>"$log" 2>&1 || true
tools/wine-run.sh "$WINEPREFIX" cmd /c exit >>"$log" 2>&1

status=0
for arch in i686 x86_64; do
  echo "Windows $arch under Wine:"
  ctest --test-dir "build/windows-$arch" --output-on-failure -j "$(nproc)" | tee "build/windows-$arch/ctest.out" ||
    status=1
  # A test skips only for want of a tool that tools/setup-debian.sh installs: here that is a failure.
  if grep -q '\*\*\*Skipped' "build/windows-$arch/ctest.out"; then
    echo "Windows $arch: tests skipped (see above); a tool they need is missing" >&2
    status=1
  fi
done

echo "Windows installer and zip under Wine:"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows-x86_64/CMakeCache.txt)
tests/tools/windows_package_test.sh tools/wine-run.sh "$WINEPREFIX" "$version" \
  out/windows/i686 out/windows/x86_64 || status=1
exit $status
