#!/usr/bin/env bash
# Runs a Windows program under Wine in the prefix PREFIX: the cross builds' test launcher.
#
#   tools/wine-run.sh PREFIX PROGRAM.exe [ARGUMENT...]
#
# The 64-bit prefix (it runs 32-bit programs too) is made on first use. Wine's server and its
# service processes are started here with their output going to PREFIX.log, never to the caller's
# pipes: they outlive the program, and a caller that reads its output would wait for them. The
# server stays 60 s after its last program (tools/test.sh ends it at once with `wineserver -k`).
# The lock that serialises this start-up is never handed to them. The program's own output and
# exit code pass through.
set -euo pipefail
prefix=$(realpath -m -- "$1")
shift
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko prompts while the prefix is made.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
log=$prefix.log
trap 'echo "wine-run.sh: Wine could not be started in $prefix (see $log)" >&2' ERR

mkdir -p "$prefix"
{
  flock 9
  # wineserver exits with 0 when it started, with 2 when one runs already for the prefix.
  server=0
  wineserver -p60 >>"$log" 2>&1 9>&- || server=$?
  if [ ! -f "$prefix/.quillet-prefix" ]; then
    wine wineboot --init >>"$log" 2>&1 9>&-
    # No sound driver: probing for sound hardware that a build machine lacks takes seconds in
    # every program. A crashing program prints its backtrace and ends, with no dialog to wait on.
    wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f >>"$log" 2>&1 9>&-
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$log" 2>&1 9>&-
    touch "$prefix/.quillet-prefix"
  elif [ "$server" -eq 0 ]; then
    wine wineboot >>"$log" 2>&1 9>&-  # starts the service processes
  fi
} 9>>"$log.lock"
trap - ERR

exec wine "$@"
