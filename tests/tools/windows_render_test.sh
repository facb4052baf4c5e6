#!/usr/bin/env bash
# quillet-render.exe under Wine: its pages equal the Linux quillet-render's pixel for pixel, and its
# options, summary line, exit codes and output files behave as on Linux.
#
#   windows_render_test.sh WINE_RUN PREFIX QUILLET_RENDER_EXE LINUX_QUILLET_RENDER PNG_SAME_PIXELS
#
# Pages are compared only where no wipe happens: the wipe's time text is drawn by the platform's own
# text output (GDI here, Qt there). Wine's output always goes to files, never into $( ).
set -u
WINE_RUN=$1 PREFIX=$2 WIN=$3 LINUX=$4 SAME=$5
DIR=$(mktemp -d)
trap 'rm -rf "$DIR"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# The program never ends with 1 without saying why: that is Wine failing to start it, once in
# many runs on a loaded machine, and it is tried once more (and named in the log).
win() {
  local rc
  "$WINE_RUN" "$PREFIX" "$WIN" "$@" >"$DIR/out" 2>"$DIR/err" && return 0
  rc=$?
  [ $rc -eq 1 ] && [ ! -s "$DIR/out" ] && [ ! -s "$DIR/err" ] || return $rc
  echo "Wine ended $(basename "$WIN") $* with 1 and no output; once more" >&2
  "$WINE_RUN" "$PREFIX" "$WIN" "$@" >"$DIR/out" 2>"$DIR/err"
}

every_kind='[Config]
Objects=1000
Size=70
Alpha=90
Thickness=3
Steps=12
[AntiAliasing]
Lines=1
Bars=1
Triangles=1
FillTria=1
SplineCurve=1
SplineArea=1
Ellipse=1
[Blend]
Lines=1
Bars=1
Triangles=1
FillTria=1
SplineCurve=1
SplineArea=1
EllipseDisk=1
[Gouraud]
Bars=1
Triangles=1
[BlendGouraud]
Bars=1
Triangles=1'
printf '%s\n' "$every_kind" >"$DIR/every.ini"
# The extremes of the gauges, thin lines, one kind of each family.
printf '[Config]\r\nObjects=1000\r\nSize=100\r\nAlpha=1\r\nThickness=9\r\nSteps=16\r\n[AntiAliasing]\r\nLines=0\r\nEllipse=1\r\n[Blend]\r\nBars=0\r\nSplineArea=1\r\n[Gouraud]\r\nTriangles=1\r\n[BlendGouraud]\r\nBars=1\r\n' >"$DIR/extremes.ini"
printf '[Config]\nObjects=1000\nSize=10\nAlpha=255\nThickness=1\nSteps=1\n[Blend]\nLines=1\nTriangles=1\nEllipseDisk=1\n' >"$DIR/small.ini"

# name | options (the defaults wipe after 50 ticks)
cases=(
  "defaults|--ticks 50"
  "every-kind|--ini $DIR/every.ini --ticks 150"
  "every-kind-portable|--ini $DIR/every.ini --ticks 150 --portable"
  "every-kind-odd|--ini $DIR/every.ini --ticks 120 --width 333 --height 211"
  "every-kind-alpha|--ini $DIR/every.ini --ticks 60 --width 97 --height 61 --keep-alpha"
  "extremes|--ini $DIR/extremes.ini --ticks 100 --width 200 --height 150"
  "extremes-portable|--ini $DIR/extremes.ini --ticks 100 --width 200 --height 150 --portable"
  "small|--ini $DIR/small.ini --ticks 200 --width 7 --height 3"
  "one-pixel|--ini $DIR/every.ini --ticks 30 --width 1 --height 1"
)
for entry in "${cases[@]}"; do
  name=${entry%%|*}
  read -r -a options <<<"${entry#*|}"
  QT_QPA_PLATFORM=offscreen "$LINUX" "${options[@]}" --out "$DIR/$name-linux.png" >"$DIR/linux-out" 2>&1 ||
    fail "$name: the Linux renderer failed: $(cat "$DIR/linux-out")"
  win "${options[@]}" --out "$DIR/$name.png" || fail "$name: exit code $?: $(cat "$DIR/err")"
  grep -q '^ticks=[0-9]* pages=0 ' "$DIR/out" || fail "$name: a page was wiped: $(cat "$DIR/out")"
  "$SAME" "$DIR/$name.png" "$DIR/$name-linux.png" 2>"$DIR/diff" || fail "$name: pages differ: $(cat "$DIR/diff")"
done
# QUILLET_SIMD reaches the program (an unknown level is named on stderr), and the levels draw the
# same pages.
QUILLET_SIMD=mmx win --ticks 1 --out "$DIR/level.png" || fail "QUILLET_SIMD=mmx: exit code $?"
grep -q 'QUILLET_SIMD=mmx: unknown' "$DIR/err" || fail "QUILLET_SIMD does not reach the program: $(cat "$DIR/err")"
for level in scalar sse2; do
  QUILLET_SIMD=$level win --ini "$DIR/every.ini" --ticks 150 --out "$DIR/$level.png" || fail "$level: exit code $?"
  "$SAME" "$DIR/$level.png" "$DIR/every-kind-linux.png" 2>"$DIR/diff" || fail "$level: pages differ: $(cat "$DIR/diff")"
done

# The summary line, with Linux line ends; a wipe draws its text.
win --width 120 --height 90 --ticks 60 --elapsed-ms 42 --out "$DIR/ok.png" || fail "a good run failed"
grep -qE '^ticks=60 pages=1 width=120 height=90 ms=[0-9]+$' "$DIR/out" || fail "summary line: $(cat "$DIR/out")"
[ "$(wc -l <"$DIR/out")" -eq 1 ] && ! grep -q $'\r' "$DIR/out" || fail "summary line ends: $(od -c "$DIR/out")"
"$SAME" "$DIR/ok.png" "$DIR/ok.png" || fail "the PNG does not read back"

# Usage and exit codes.
win --width 0 --out "$DIR/a.png"; rc=$?
[ $rc -eq 2 ] && grep -q usage "$DIR/err" || fail "bad width gave exit code $rc: $(cat "$DIR/err")"
win; rc=$?
[ $rc -eq 2 ] || fail "missing --out gave exit code $rc"
win --help; rc=$?
[ $rc -eq 0 ] && grep -q -- --keep-alpha "$DIR/out" || fail "--help gave exit code $rc"
for ini in "$DIR/none.ini" "$DIR"; do
  win --ticks 3 --ini "$ini" --out "$DIR/ini.png"; rc=$?
  [ $rc -eq 2 ] && [ "$(wc -l <"$DIR/err")" -eq 1 ] || fail "--ini $ini gave exit code $rc: $(cat "$DIR/err")"
  [ ! -e "$DIR/ini.png" ] || fail "--ini $ini wrote a picture"
done
win --ticks 3 --out "$DIR/missing/dir/a.png"; rc=$?
[ $rc -eq 1 ] && [ -s "$DIR/err" ] || fail "unwritable output gave exit code $rc"
# A folder in the output's place stays, and nothing is left beside it.
mkdir "$DIR/taken.png"
win --ticks 3 --out "$DIR/taken.png"; rc=$?
[ $rc -eq 1 ] && [ -d "$DIR/taken.png" ] || fail "a folder as output gave exit code $rc"
[ -z "$(ls -A "$DIR" | grep -F '.tmp-')" ] || fail "temporary files left: $(ls -A "$DIR")"

# Standard output takes the page byte for byte (no text-mode line ends), the summary goes to stderr.
win --width 7 --height 3 --ini "$DIR/small.ini" --ticks 200 --out -; rc=$?
[ $rc -eq 0 ] && mv "$DIR/out" "$DIR/stdout.png" || fail "--out - gave exit code $rc"
"$SAME" "$DIR/stdout.png" "$DIR/small-linux.png" || fail "--out -: the page differs"
grep -q '^ticks=200 pages=0 width=7 height=3 ms=' "$DIR/err" || fail "--out -: summary: $(cat "$DIR/err")"
# A device is written into, and no file appears.
(cd "$DIR" && win --ticks 3 --out NUL) || fail "--out NUL gave exit code $?: $(cat "$DIR/err")"
[ ! -e "$DIR/NUL" ] || fail "--out NUL made a file"

# Names beyond ASCII, for the settings file and the picture.
cp "$DIR/small.ini" "$DIR/réglages €.ini"
win --ini "$DIR/réglages €.ini" --ticks 200 --width 7 --height 3 --out "$DIR/bild ü.png" ||
  fail "UTF-8 names: exit code $?: $(cat "$DIR/err")"
"$SAME" "$DIR/bild ü.png" "$DIR/small-linux.png" || fail "UTF-8 names: pages differ"
echo "quillet-render.exe under Wine: ok"
