#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang, under AddressSanitizer and
# UndefinedBehaviorSanitizer, in build/fuzz, and runs them. See docs/fuzzing.md.
#
#   tools/fuzz.sh smoke               every target over its seed corpus, then a fixed number of
#                                     further inputs (500 to 2000, or $QUILLET_FUZZ_RUNS); for CI
#   tools/fuzz.sh TARGET [OPTION...]  fuzz one target until stopped or until an OPTION such as
#                                     -max_total_time=3600 ends it; its corpus grows in
#                                     build/fuzz/corpus/TARGET
#   tools/fuzz.sh list                the targets
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(ini pixel_data line_span_rect polygon frame_tick options)
# Inputs of the smoke run after the seeds, sized for a few seconds per target.
declare -A smoke_runs=([ini]=2000 [pixel_data]=2000 [line_span_rect]=2000 [polygon]=1000
                       [frame_tick]=500 [options]=2000)

build() {
  tools/setup-debian.sh
  cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++-14 -DQUILLET_FUZZ=ON >/dev/null
  cmake --build build/fuzz --target quillet_fuzzers -j "$(nproc)"
}

export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=1"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}print_stacktrace=1"

case "${1:-}" in
  list)
    printf '%s\n' "${targets[@]}"
    ;;
  smoke)
    build
    scratch=$(mktemp -d "${TMPDIR:-/tmp}/quillet-fuzz-XXXXXX")
    trap 'rm -rf "$scratch"' EXIT
    for target in "${targets[@]}"; do
      # New inputs go to the scratch directory, never into the tree; the seed makes runs repeatable.
      mkdir "$scratch/$target"
      runs=$(($(ls "fuzz/corpus/$target" | wc -l) + ${QUILLET_FUZZ_RUNS:-${smoke_runs[$target]}}))
      if ! build/fuzz/fuzz/"$target"_fuzzer -runs="$runs" -seed=1 -max_len=4096 \
          -artifact_prefix="$scratch/" "$scratch/$target" "fuzz/corpus/$target" \
          >"$scratch/$target.log" 2>&1; then
        tail -n 60 "$scratch/$target.log" >&2
        echo "fuzz smoke run: $target FAILED (input kept as $(ls "$scratch"/crash-* "$scratch"/leak-* \
          "$scratch"/timeout-* 2>/dev/null | head -n 1); rerun with the same seed to reproduce)" >&2
        trap - EXIT
        exit 1
      fi
      echo "fuzz smoke run: $target ok ($(grep -o 'Done [0-9]* runs in [0-9]* second' "$scratch/$target.log"))"
    done
    ;;
  "" | -*)
    sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
    ;;
  *)
    target=$1
    shift
    [[ " ${targets[*]} " == *" $target "* ]] || { echo "unknown target: $target" >&2; exit 2; }
    build
    mkdir -p "build/fuzz/corpus/$target" build/fuzz/artifacts
    exec build/fuzz/fuzz/"$target"_fuzzer -artifact_prefix="build/fuzz/artifacts/$target-" "$@" \
      "build/fuzz/corpus/$target" "fuzz/corpus/$target"
    ;;
esac
