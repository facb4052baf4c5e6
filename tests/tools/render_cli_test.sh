#!/usr/bin/env bash
# End-to-end check of quillet-render: exit codes, the summary line and the PNG it writes.
set -u
RENDER=$1
DIR=$(mktemp -d)
trap 'rm -rf "$DIR"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$RENDER" --width 0 --out "$DIR/a.png" >/dev/null 2>"$DIR/err"; rc=$?
[ $rc -eq 2 ] || fail "bad width gave exit code $rc"
grep -q usage "$DIR/err" || fail "no usage message on stderr"
HELP=$("$RENDER" --help) || fail "--help failed"
[[ "$HELP" == usage:*--keep-alpha* ]] || fail "--help does not print the usage"
"$RENDER" >/dev/null 2>&1; rc=$?
[ $rc -eq 2 ] || fail "missing --out gave exit code $rc"

"$RENDER" --ticks 3 --out "$DIR/missing/dir/a.png" >/dev/null 2>"$DIR/err"; rc=$?
[ $rc -eq 1 ] || fail "unwritable output gave exit code $rc"
[ -s "$DIR/err" ] || fail "no message for an unwritable output"
[ -z "$(ls -A "$DIR/missing" 2>/dev/null)" ] || fail "partial output left behind"

OUT=$("$RENDER" --width 120 --height 90 --ticks 60 --elapsed-ms 42 --out "$DIR/ok.png") \
  || fail "a good run failed"
[[ "$OUT" =~ ^ticks=60\ pages=1\ width=120\ height=90\ ms=[0-9]+$ ]] || fail "summary line: $OUT"
[ -s "$DIR/ok.png" ] || fail "no PNG written"
# PNG signature, then IHDR: width 120, height 90, 8 bits, colour type 6 (RGBA), no interlace.
HEAD=$(od -An -tx1 -N33 "$DIR/ok.png" | tr -d ' \n')
[ "${HEAD:0:16}" = "89504e470d0a1a0a" ] || fail "not a PNG"
[ "${HEAD:32:16}" = "000000780000005a" ] || fail "wrong size in IHDR: ${HEAD:32:16}"
[ "${HEAD:48:4}" = "0806" ] || fail "not 8-bit RGBA"
[ "${HEAD:56:2}" = "00" ] || fail "interlaced"
echo "quillet-render end-to-end: ok"
