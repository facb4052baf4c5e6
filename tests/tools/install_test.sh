#!/usr/bin/env bash
# cmake --install into a scratch prefix: the programs, the manual pages, xscreensaver's settings
# file (which must offer every setting option the program knows), the link where xscreensaver
# looks for its programs, and an install manifest that lists them all.
#
#   install_test.sh BUILD-DIR
set -u
BUILD=$1
PREFIX=$(mktemp -d)
trap 'rm -rf "$PREFIX"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$BUILD" --prefix "$PREFIX" >"$PREFIX.log" 2>&1 || { cat "$PREFIX.log"; fail "cmake --install failed"; }
rm -f "$PREFIX.log"
for file in bin/quillet bin/quillet-render share/man/man1/quillet.1 share/man/man1/quillet-render.1 \
            share/xscreensaver/config/quillet.xml; do
  [ -s "$PREFIX/$file" ] || fail "$file is not installed"
done
LINK=$PREFIX/libexec/xscreensaver/quillet
[ -L "$LINK" ] || fail "libexec/xscreensaver/quillet is not a link"
[ "$(readlink "$LINK")" = ../../bin/quillet ] || fail "the link points to $(readlink "$LINK")"
[[ "$("$LINK" --version)" == quillet\ * ]] || fail "the link does not start quillet"

grep -q '@PROJECT_VERSION@' "$PREFIX"/share/man/man1/*.1 && fail "a manual page kept its version placeholder"
if command -v man >/dev/null; then
  for page in quillet quillet-render; do
    text=$(MANPATH="$PREFIX/share/man" MANWIDTH=80 man "$page" 2>&1) || fail "man $page: $text"
    [[ "$text" == *SYNOPSIS* ]] || fail "man $page shows no synopsis"
  done
fi

# Every setting option of --help appears in the settings file, in the form that changes the
# default: --objects %, --no-KIND for kinds drawn by default, --KIND for the others.
XML=$PREFIX/share/xscreensaver/config/quillet.xml
grep -q '<command arg="--root"/>' "$XML" || fail "the settings file does not start the program with --root"
USAGE=$("$PREFIX/bin/quillet" --help)
count=0
for number in $(sed -n 's/^  --\([a-z]*\) N .*/\1/p' <<<"$USAGE"); do
  grep -q "arg=\"--$number %\"" "$XML" || fail "the settings file has no --$number"
  count=$((count + 1))
done
for kind in $(sed -n 's/^  --\[no-\]\([a-z-]*\) .*/\1/p' <<<"$USAGE"); do
  grep -Eq "arg-(set=\"--$kind\"|unset=\"--no-$kind\")" "$XML" || fail "the settings file has no --[no-]$kind"
  count=$((count + 1))
done
[ "$count" = 23 ] || fail "the usage lists $count settings, expected 23"
[ "$(grep -c 'arg-unset=' "$XML")" = 2 ] || fail "only the two kinds drawn by default are on in the settings file"
# The install manifest lists everything installed, the link included: an uninstall by the
# manifest leaves nothing behind.
MANIFEST=$BUILD/install_manifest.txt
grep -qx "$LINK" "$MANIFEST" || fail "the install manifest does not list the link"
while IFS= read -r file || [ -n "$file" ]; do rm -f "$file"; done <"$MANIFEST"
left=$(find "$PREFIX" ! -type d)
[ -z "$left" ] || fail "an uninstall by the manifest left: $left"
echo "install layout: ok"
