#!/usr/bin/env bash
# Packs the two Windows screen savers for users: the installer (NSIS, tools/windows-package/
# quillet.nsi) and a zip of both with a read-me in Windows line ends.
#
#   tools/package-windows.sh VERSION I686_SCR X86_64_SCR OUT_DIR
#
# writes OUT_DIR/quillet-VERSION-setup.exe and OUT_DIR/quillet-VERSION-windows.zip, the zip holding
# README.txt, 32-bit/quillet.scr and 64-bit/quillet.scr. Each appears only once complete; older
# versions' packages in OUT_DIR are removed.
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: $0 VERSION I686_SCR X86_64_SCR OUT_DIR" >&2; exit 2; }
version=$1 out=$4
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "$0: version '$version' is not X.Y.Z" >&2; exit 2; }
for scr in "$2" "$3"; do
  [ -f "$scr" ] || { echo "$0: $scr does not exist" >&2; exit 1; }
done
i686=$(realpath -- "$2") x86_64=$(realpath -- "$3")
here=$(realpath -- "$(dirname "$0")")

mkdir -p "$out"
out=$(realpath -- "$out")
work=$(mktemp -d "$out/.package.XXXXXX")
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/zip/32-bit" "$work/zip/64-bit"
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$here/windows-package/README.txt" >"$work/zip/README.txt"
cp -- "$i686" "$work/zip/32-bit/quillet.scr"
cp -- "$x86_64" "$work/zip/64-bit/quillet.scr"

kib() { echo $((($(stat -c %s -- "$1") + 1023) / 1024)); }
makensis -V2 -WX -NOCD -DVERSION="$version" -DSCR_I686="$i686" -DSCR_X86_64="$x86_64" \
  -DSIZE_I686_KB="$(kib "$i686")" -DSIZE_X86_64_KB="$(kib "$x86_64")" \
  -DREADME="$work/zip/README.txt" -DOUTFILE="$work/quillet-$version-setup.exe" \
  "$here/windows-package/quillet.nsi" >"$work/makensis.log" 2>&1 ||
  { cat "$work/makensis.log" >&2; echo "$0: makensis failed" >&2; exit 1; }
# -X: no Unix owners or times beyond the standard ones; -D: no folder entries.
(cd "$work/zip" && zip -q -X -D "$work/windows.zip" README.txt 32-bit/quillet.scr 64-bit/quillet.scr)

rm -f -- "$out"/quillet-*-setup.exe "$out"/quillet-*-windows.zip
mv -- "$work/quillet-$version-setup.exe" "$out/"
mv -- "$work/windows.zip" "$out/quillet-$version-windows.zip"
