#!/usr/bin/env bash
# Packs the Windows builds for users: a zip of both targets with a read-me in Windows line ends,
# and the installer of both screen savers (NSIS, tools/windows-package/quillet.nsi).
#
#   tools/package-windows.sh VERSION I686_DIR X86_64_DIR OUT_DIR
#
# Each DIR holds quillet-render.exe and, once built, quillet.scr (both DIRs or neither). Writes
# OUT_DIR/quillet-VERSION-windows.zip, holding README.txt and 32-bit/ and 64-bit/ with what the DIRs
# hold, and, with the savers, OUT_DIR/quillet-VERSION-setup.exe. Each appears only once complete;
# older packages in OUT_DIR are removed, so that none outlives the files it was made from.
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: $0 VERSION I686_DIR X86_64_DIR OUT_DIR" >&2; exit 2; }
version=$1 out=$4
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "$0: version '$version' is not X.Y.Z" >&2; exit 2; }
for file in "$2/quillet-render.exe" "$3/quillet-render.exe"; do
  [ -f "$file" ] || { echo "$0: $file does not exist" >&2; exit 1; }
done
if [ -f "$2/quillet.scr" ] && [ -f "$3/quillet.scr" ]; then
  savers=1
elif [ -f "$2/quillet.scr" ] || [ -f "$3/quillet.scr" ]; then
  echo "$0: quillet.scr of one target only; an installer holds both" >&2
  exit 1
else
  savers=0
fi
i686=$(realpath -- "$2") x86_64=$(realpath -- "$3")
here=$(realpath -- "$(dirname "$0")")

mkdir -p "$out"
out=$(realpath -- "$out")
work=$(mktemp -d "$out/.package.XXXXXX")
trap 'rm -rf "$work"' EXIT

zip=$work/zip
entries=(README.txt)
mkdir -p "$zip/32-bit" "$zip/64-bit"
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$here/windows-package/README.txt" >"$zip/README.txt"
names=(quillet-render.exe)
[ $savers = 0 ] || names=(quillet.scr quillet-render.exe)
for name in "${names[@]}"; do
  cp -- "$i686/$name" "$zip/32-bit/$name"
  cp -- "$x86_64/$name" "$zip/64-bit/$name"
  entries+=("32-bit/$name" "64-bit/$name")
done
# -X: no Unix owners or times beyond the standard ones; -D: no folder entries.
(cd "$zip" && zip -q -X -D "$work/windows.zip" "${entries[@]}")

if [ $savers = 1 ]; then
  kib() { echo $((($(stat -c %s -- "$1") + 1023) / 1024)); }
  makensis -V2 -WX -NOCD -DVERSION="$version" -DSCR_I686="$i686/quillet.scr" \
    -DSCR_X86_64="$x86_64/quillet.scr" -DSIZE_I686_KB="$(kib "$i686/quillet.scr")" \
    -DSIZE_X86_64_KB="$(kib "$x86_64/quillet.scr")" -DREADME="$zip/README.txt" \
    -DOUTFILE="$work/quillet-$version-setup.exe" "$here/windows-package/quillet.nsi" >"$work/makensis.log" 2>&1 ||
    { cat "$work/makensis.log" >&2; echo "$0: makensis failed" >&2; exit 1; }
fi

rm -f -- "$out"/quillet-*-setup.exe "$out"/quillet-*-windows.zip
mv -- "$work/windows.zip" "$out/quillet-$version-windows.zip"
if [ $savers = 1 ]; then
  mv -- "$work/quillet-$version-setup.exe" "$out/"
else
  echo "$0: no installer: neither $2 nor $3 holds quillet.scr" >&2
fi
