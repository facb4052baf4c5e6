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
#                                                  quillet_rates --passes counts it: neither
#                                                  Wine's start-up nor time spent waiting for a
#                                                  busy machine's processors counts. Each ratio
#                                                  is the median of the rounds' ratios (the
#                                                  builds run one after the other in a round)
#
# TEXT keeps the workloads whose names hold it. Where build/linux-i686 holds a 32-bit Linux build
# (cmake/toolchains/linux-i686.cmake), a last column compares the 32-bit Windows build with it: the
# same instruction set, so what is left is what Windows costs.
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
linux32=build/linux-i686/bench/rates/quillet_rates
if [ -x "$linux32" ]; then
  builds+=(linux32)
fi

# rates BUILD OPTION...: runs that build's quillet_rates.
rates() {
  local build=$1
  shift
  if [ "$build" = linux ]; then
    build/release/bench/rates/quillet_rates "$@"
  elif [ "$build" = linux32 ]; then
    "$linux32" "$@"
  else
    tools/wine-run.sh "$WINEPREFIX" "build/windows-$build/bench/rates/quillet_rates.exe" "$@"
  fi
}

print_table() {  # files $scratch/<build>: workload \t value, larger is faster
  if [ -e "$scratch/linux32" ]; then
    printf '| workload | Linux | Win64 / Linux | Win32 / Linux | Win32 / Linux 32-bit |\n|---|---|---|---|---|\n'
    paste "$scratch/linux" "$scratch/x86_64" "$scratch/i686" "$scratch/linux32" |
      awk -F'\t' '{ printf "| %s | %.4g | %.2f | %.2f | %.2f |\n", $1, $2, $4 / $2, $6 / $2, $6 / $8 }'
  else
    printf '| workload | Linux | Win64 / Linux | Win32 / Linux |\n|---|---|---|---|\n'
    paste "$scratch/linux" "$scratch/x86_64" "$scratch/i686" |
      awk -F'\t' '{ printf "| %s | %.4g | %.2f | %.2f |\n", $1, $2, $4 / $2, $6 / $2 }'
  fi
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
  # meantime weighs on all three alike; a round's ratios compare runs made seconds apart.
  for round in $(seq "$rounds"); do
    for build in "${builds[@]}"; do
      rate=$(rates "$build" --only="$workload" --passes="$passes" 2>>"$scratch/log" |
        awk -F'\t' -v w="$workload" '$1 == w { print $2 }')
      printf '%s\t%s\t%s\t%s\n' "$workload" "$round" "$build" "${rate:-0}" >>"$scratch/runs"
    done
  done
done <"$scratch/workloads"
if [ -x "$linux32" ]; then
  printf '| workload | Linux (passes per processor second, median) | Win64 / Linux | Win32 / Linux | Win32 / Linux 32-bit |\n|---|---|---|---|---|\n'
else
  printf '| workload | Linux (passes per processor second, median) | Win64 / Linux | Win32 / Linux |\n|---|---|---|---|\n'
fi
awk -F'\t' '
  function median(list,   v, n, i, j, t) {
    n = split(list, v, " ")
    for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] + 0 > v[j] + 0; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  { if (!($1 in seen)) { seen[$1] = 1; order[n++] = $1 } rate[$1, $2, $3] = $4; last[$1] = $2; if ($3 == "linux32") with32 = 1 }
  END {
    for (k = 0; k < n; k++) {
      w = order[k]; lin = r64 = r32 = r3232 = ""
      for (r = 1; r <= last[w]; r++) {
        l = rate[w, r, "linux"]
        lin = lin " " l
        if (l > 0) { r64 = r64 " " rate[w, r, "x86_64"] / l; r32 = r32 " " rate[w, r, "i686"] / l }
        l32 = rate[w, r, "linux32"]
        if (l32 > 0) r3232 = r3232 " " rate[w, r, "i686"] / l32
      }
      printf "| %s | %.4g | %.2f | %.2f |", w, median(lin), median(r64), median(r32)
      if (with32) printf " %.2f |", median(r3232)
      printf "\n"
    }
  }' "$scratch/runs"
