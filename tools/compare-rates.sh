#!/usr/bin/env bash
# Quillet's rate on every workload of the peer benchmark drawn by the Windows builds under Wine,
# as a ratio to the Linux build on the same machine. Needs build/release, the builds of
# tools/build-windows.sh, and a display for Wine.
#
#   tools/compare-rates.sh [ROUNDS [TEXT]]         wall time: the three programs take turns
#                                                  round by round, each keeps its best rate
#                                                  (quiet machines)
#   tools/compare-rates.sh --cpu [ROUNDS [TEXT]]   processor time of the drawing thread over
#                                                  about a second of passes per workload, as
#                                                  quillet_rates --passes counts it, best of the
#                                                  rounds: neither Wine's start-up nor time spent
#                                                  waiting for a busy machine's processors counts
#
# TEXT keeps the workloads whose names hold it.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=wall
if [ "${1:-}" = --cpu ]; then
  mode=cpu
  shift
fi
rounds=${1:-5}
only=${2:-}
export WINEPREFIX=$PWD/build/wine-prefix
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
builds=(linux x86_64 i686)

# rates BUILD OPTION...: runs that build's quillet_rates.
rates() {
  local build=$1
  shift
  if [ "$build" = linux ]; then
    build/release/bench/rates/quillet_rates "$@"
  else
    tools/wine-run.sh "$WINEPREFIX" "build/windows-$build/bench/rates/quillet_rates.exe" "$@"
  fi
}

print_table() {  # files $scratch/<build>: workload \t value, larger is faster
  printf '| workload | Linux | Win64 / Linux | Win32 / Linux |\n|---|---|---|---|\n'
  paste "$scratch/linux" "$scratch/x86_64" "$scratch/i686" |
    awk -F'\t' '{ printf "| %s | %.4g | %.2f | %.2f |\n", $1, $2, $4 / $2, $6 / $2 }'
}

if [ "$mode" = wall ]; then
  for round in $(seq "$rounds"); do
    for build in "${builds[@]}"; do rates "$build" --only="$only" >"$scratch/$build.$round" 2>>"$scratch/log"; done
  done
  for build in "${builds[@]}"; do
    cat "$scratch/$build".* | awk -F'\t' '{ if (!($1 in b)) k[n++] = $1; if ($2 > b[$1]) b[$1] = $2 }
      END { for (i = 0; i < n; i++) printf "%s\t%s\n", k[i], b[k[i]] }' >"$scratch/$build"
  done
  print_table
  exit 0
fi

# Passes of about a second on a quiet machine.
passes_for() {
  case $1 in
    *"10 px"* | "rectangle 80"*) echo 450 ;;
    *"80 px"*) echo 120 ;;
    *"300 px"*) echo 36 ;;
    *erase*) echo 9000 ;;
    "spline band"* | "Gouraud bar"*) echo 12 ;;
    "ellipse outline"*) echo 18 ;;
    *"ellipse disk"*) echo 90 ;;
    *) echo 900 ;;
  esac
}
rates linux --runs=1 --seconds=0.001 --only="$only" | cut -f1 >"$scratch/workloads"
while IFS= read -r workload; do
  passes=$(passes_for "$workload")
  # Round by round the builds take turns, so that a machine that grows busier or quieter in the
  # meantime weighs on all three alike.
  for round in $(seq "$rounds"); do
    for build in "${builds[@]}"; do
      rates "$build" --only="$workload" --passes="$passes" 2>>"$scratch/log" |
        awk -F'\t' -v w="$workload" '$1 == w' >>"$scratch/$build.all"
    done
  done
done <"$scratch/workloads"
for build in "${builds[@]}"; do
  awk -F'\t' '{ if (!($1 in b)) k[n++] = $1; if ($2 > b[$1]) b[$1] = $2 }
    END { for (i = 0; i < n; i++) printf "%s\t%s\n", k[i], b[k[i]] }' "$scratch/$build.all" >"$scratch/$build"
done
print_table | sed 's/| Linux |/| Linux (passes per processor second) |/'
