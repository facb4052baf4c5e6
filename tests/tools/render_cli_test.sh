#!/usr/bin/env bash
# End-to-end check of quillet-render: exit codes, the summary line and the PNG it writes.
set -u
RENDER=$(realpath "$1")
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

# A settings file named on the command line must be readable: one line naming it, exit code 2, no
# picture.
mkdir "$DIR/ini.d"
printf '[Config]\nAlpha=64\n' >"$DIR/locked.ini"
chmod 000 "$DIR/locked.ini"
unreadable=("$DIR/none.ini" "$DIR/ini.d" /dev/null)
[ "$(id -u)" -ne 0 ] && unreadable+=("$DIR/locked.ini")  # permissions do not bind root
for ini in "${unreadable[@]}"; do
  "$RENDER" --ticks 3 --ini "$ini" --out "$DIR/ini.png" >"$DIR/out" 2>"$DIR/err"; rc=$?
  [ $rc -eq 2 ] || fail "--ini $ini gave exit code $rc"
  [ "$(wc -l <"$DIR/err")" -eq 1 ] && grep -qF "$ini" "$DIR/err" || fail "--ini $ini: $(cat "$DIR/err")"
  [ ! -e "$DIR/ini.png" ] || fail "--ini $ini wrote a picture"
done
chmod 600 "$DIR/locked.ini"
"$RENDER" --ticks 3 --ini "$DIR/locked.ini" --out "$DIR/ini.png" >/dev/null || fail "a readable --ini failed"

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
# --out never replaces what is not a regular file, and writes nothing but the file it names.
is_png() { [ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" = "89504e470d0a1a0a" ]; }
mkdir "$DIR/targets"
cd "$DIR/targets" || fail "no scratch directory"

# A FIFO is written into, and stays a FIFO.
mkfifo fifo
timeout 20 cat fifo >from-fifo &
"$RENDER" --ticks 3 --out fifo >/dev/null 2>"$DIR/err" || fail "--out FIFO failed: $(cat "$DIR/err")"
wait
[ -p fifo ] || fail "the FIFO was replaced"
is_png from-fifo || fail "nothing came through the FIFO"
# A device node (made only where we may: as root), written to and kept.
if mknod null c 1 3 2>/dev/null; then
  "$RENDER" --ticks 3 --out null >/dev/null 2>"$DIR/err" || fail "--out device failed: $(cat "$DIR/err")"
  [ -c null ] || fail "the device node was replaced"
  rm null
fi
# A link stays a link; the file it leads to is written, also when it does not exist yet.
echo old >real.png
ln -s real.png link.png
ln -s new.png dangling.png
for link in link.png dangling.png; do
  "$RENDER" --ticks 3 --out "$link" >/dev/null 2>"$DIR/err" || fail "--out $link failed: $(cat "$DIR/err")"
  [ -L "$link" ] || fail "$link was replaced by a file"
done
is_png real.png && is_png new.png || fail "the files that the links lead to were not written"
# Standard output: the page there, the summary on stderr.
"$RENDER" --width 20 --height 10 --ticks 3 --out - >stdout.png 2>"$DIR/err" || fail "--out - failed"
is_png stdout.png || fail "--out - wrote no PNG to standard output"
grep -q '^ticks=3 pages=0 width=20 height=10 ms=' "$DIR/err" || fail "--out -: summary: $(cat "$DIR/err")"
# A link planted where a temporary file might go is never written through.
echo victim >victim
bash -c 'for n in $$ $(($$ + 1)); do ln -s victim "planted.png.tmp$n"; done; exec "$0" --ticks 3 --out planted.png' \
  "$RENDER" >/dev/null 2>&1
[ "$(cat victim)" = victim ] || fail "the tool wrote through a planted link"
rm -f planted.png* victim
[ "$(ls -A | sort | tr '\n' ' ')" = "dangling.png fifo from-fifo link.png new.png real.png stdout.png " ] ||
  fail "stray files: $(ls -A)"
cd "$DIR" || fail "no scratch directory"

# A write past the file size limit fails, keeps the old file and leaves no temporary one.
mkdir "$DIR/limit"
echo old >"$DIR/limit/a.png"
(ulimit -f 1; exec "$RENDER" --width 400 --height 300 --ticks 50 --out "$DIR/limit/a.png") >/dev/null 2>"$DIR/err"; rc=$?
[ $rc -eq 1 ] || fail "a write past the file size limit gave exit code $rc"
grep -q 'cannot write .*File too large' "$DIR/err" || fail "file size limit: $(cat "$DIR/err")"
[ "$(cat "$DIR/limit/a.png")" = old ] || fail "a failed write changed the old file"
[ "$(ls -A "$DIR/limit")" = a.png ] || fail "a failed write left $(ls -A "$DIR/limit")"

# A signal while the page is written leaves no temporary file either.
mkdir "$DIR/signal"
"$RENDER" --width 4096 --height 4096 --ticks 0 --out "$DIR/signal/a.png" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 1000); do
  [ -n "$(ls -A "$DIR/signal")" ] || ! kill -0 $pid 2>/dev/null && break
  sleep 0.01
done
kill -TERM $pid 2>/dev/null || fail "the page was written before a signal could be sent"
wait $pid
[ -z "$(ls -A "$DIR/signal")" ] || fail "a signal left $(ls -A "$DIR/signal")"

echo "quillet-render end-to-end: ok"
