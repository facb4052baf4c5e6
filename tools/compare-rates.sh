#!/usr/bin/env bash
# Quillet's rate on every workload of the peer benchmark drawn by the Windows builds under Wine,
# as a ratio to the Linux build on the same machine. The three programs take turns round by round
# (so a change in the machine's load falls on all alike) and each keeps its best rate. Needs
# build/release and the builds of tools/build-windows.sh, and a display for Wine.
#
#   tools/compare-rates.sh [ROUNDS] [quillet_rates OPTION...]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5}
shift || true
prefix=$PWD/build/wine-prefix
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

for round in $(seq "$rounds"); do
  build/release/bench/rates/quillet_rates "$@" >"$scratch/linux.$round"
  for arch in x86_64 i686; do
    tools/wine-run.sh "$prefix" "build/windows-$arch/bench/rates/quillet_rates.exe" "$@" \
      >"$scratch/$arch.$round" 2>>"$scratch/wine.log"
  done
done

# Best of the rounds, per workload and build.
best() { cat "$scratch/$1".* | awk -F'\t' '{ if ($2 > b[$1]) b[$1] = $2; if (!($1 in o)) { o[$1] = n++; k[n - 1] = $1 } }
  END { for (i = 0; i < n; i++) printf "%s\t%s\n", k[i], b[k[i]] }'; }
best linux >"$scratch/linux"
best x86_64 >"$scratch/x86_64"
best i686 >"$scratch/i686"
printf '| workload | Linux | Win64 / Linux | Win32 / Linux |\n|---|---|---|---|\n'
paste "$scratch/linux" "$scratch/x86_64" "$scratch/i686" |
  awk -F'\t' '{ printf "| %s | %.4g | %.2f | %.2f |\n", $1, $2, $4 / $2, $6 / $2 }'
