#!/usr/bin/env bash
# The Windows packages of tools/package-windows.sh: the zip holds both targets' programs and a
# read-me in Windows line ends; the installer installs and uninstalls silently under Wine (64-bit
# prefix): the savers in System32 and SysWOW64, the Add/Remove Programs entry, the active-saver
# setting only when asked, and nothing left afterwards, another saver's setting included.
#
#   windows_package_test.sh WINE_RUN PREFIX VERSION I686_DIR X86_64_DIR
#
# Each DIR holds quillet-render.exe and quillet.scr.
# The prefix is shared with other tests: whatever this test changes there is put back on exit.
# Wine's output always goes to files, never into $( ).
set -u
WINE_RUN=$1 PREFIX=$(realpath -m -- "$2") VERSION=$3
PACKAGE=$(dirname "$0")/../../tools/package-windows.sh
DIR=$(mktemp -d)
fail() { echo "FAIL: $*" >&2; exit 1; }
in_wine() { "$WINE_RUN" "$PREFIX" "$@" >"$DIR/wine.out" 2>&1; }

# The inputs, copied: DIR/in/ARCH with both programs, DIR/bare/ARCH with the renderer alone.
for arch in i686 x86_64; do
  from=$4; [ $arch = x86_64 ] && from=$5
  saver=$from/quillet.scr
  mkdir -p "$DIR/in/$arch" "$DIR/bare/$arch"
  cp "$from/quillet-render.exe" "$DIR/bare/$arch/" || fail "no $from/quillet-render.exe"
  cp "$from/quillet-render.exe" "$DIR/in/$arch/"
  cp "$saver" "$DIR/in/$arch/quillet.scr" || fail "no saver $saver"
done
I686=$DIR/in/i686/quillet.scr X86_64=$DIR/in/x86_64/quillet.scr

SYSTEM32=$PREFIX/drive_c/windows/system32
SYSWOW64=$PREFIX/drive_c/windows/syswow64
INSTDIR=$PREFIX/drive_c/Program\ Files/Quillet
DESKTOP='HKCU\Control Panel\Desktop'
ENTRY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillet'
OTHER_SAVER='C:\windows\system32\other.scr'

# reg_value KEY NAME: prints the value's data (64-bit view); fails when there is no such value.
reg_value() {
  in_wine reg query "$1" /v "$2" /reg:64 || return 1
  tr -d '\r' <"$DIR/wine.out" | sed -n "s/^    $2    REG_[A-Z_]*    //p"
}
reg_set() { in_wine reg add "$DESKTOP" /v "$1" /d "$2" /f || fail "reg add $1: $(cat "$DIR/wine.out")"; }
reg_unset() { in_wine reg delete "$DESKTOP" /v "$1" /f; }

saved_saver=$(reg_value "$DESKTOP" SCRNSAVE.EXE) && had_saver=1 || had_saver=0
saved_active=$(reg_value "$DESKTOP" ScreenSaveActive) && had_active=1 || had_active=0
cleanup() {
  rm -rf "$SYSTEM32/quillet.scr" "$SYSWOW64/quillet.scr" "$INSTDIR" "$PREFIX/drive_c/windows/temp/quillet-uninstall.exe"
  in_wine reg delete "$ENTRY" /f /reg:64
  in_wine reg delete "$ENTRY" /f /reg:32
  if [ $had_saver = 1 ]; then in_wine reg add "$DESKTOP" /v SCRNSAVE.EXE /d "$saved_saver" /f; else reg_unset SCRNSAVE.EXE; fi
  if [ $had_active = 1 ]; then in_wine reg add "$DESKTOP" /v ScreenSaveActive /d "$saved_active" /f; else reg_unset ScreenSaveActive; fi
  rm -rf "$DIR"
}
trap cleanup EXIT

# --- The packages, and the packaging script's refusals.
# zip_holds ZIP ENTRY...: the zip holds exactly these entries, each equal to DIR/in/ARCH's file.
zip_holds() {
  local zip=$1 entry; shift
  unzip -Z1 "$zip" | sort >"$DIR/entries" || fail "$zip does not read"
  [ "$(cat "$DIR/entries")" = "$(printf '%s\n' "$@" | sort)" ] || fail "${zip##*/} holds: $(cat "$DIR/entries")"
  rm -rf "$DIR/zip" && unzip -q "$zip" -d "$DIR/zip" || fail "$zip does not unpack"
  for entry in "$@"; do
    case $entry in
      32-bit/*) cmp -s "$DIR/zip/$entry" "$DIR/in/i686/${entry#*/}" || fail "$entry is not the i686 one" ;;
      64-bit/*) cmp -s "$DIR/zip/$entry" "$DIR/in/x86_64/${entry#*/}" || fail "$entry is not the x86-64 one" ;;
    esac
  done
}

mkdir "$DIR/one"; cp "$DIR/bare/i686/quillet-render.exe" "$DIR/one/"; cp "$I686" "$DIR/one/"
"$PACKAGE" "$VERSION" "$DIR/one" "$DIR/bare/x86_64" "$DIR/none" 2>"$DIR/err" && fail "one saver without the other was packed"
"$PACKAGE" "$VERSION" "$DIR/in/i686" "$DIR/missing" "$DIR/none" 2>"$DIR/err" && fail "a missing renderer was packed"
[ ! -e "$DIR/none" ] || fail "a refused packaging left $(ls -A "$DIR/none")"

# Without savers: the zip of the renderers, no installer, and an older installer removed.
mkdir "$DIR/out" && touch "$DIR/out/quillet-0.0.1-setup.exe"
"$PACKAGE" "$VERSION" "$DIR/bare/i686" "$DIR/bare/x86_64" "$DIR/out" >"$DIR/package.log" 2>&1 ||
  fail "packaging the renderers: $(cat "$DIR/package.log")"
grep -q 'no installer' "$DIR/package.log" || fail "no word of the missing installer: $(cat "$DIR/package.log")"
[ "$(ls -A "$DIR/out")" = "quillet-$VERSION-windows.zip" ] || fail "packaging the renderers wrote: $(ls -A "$DIR/out")"
zip_holds "$DIR/out/quillet-$VERSION-windows.zip" README.txt 32-bit/quillet-render.exe 64-bit/quillet-render.exe

"$PACKAGE" "$VERSION" "$DIR/in/i686" "$DIR/in/x86_64" "$DIR/out" >"$DIR/package.log" 2>&1 || fail "packaging: $(cat "$DIR/package.log")"
SETUP=$DIR/out/quillet-$VERSION-setup.exe ZIP=$DIR/out/quillet-$VERSION-windows.zip
[ "$(ls -A "$DIR/out")" = "$(printf '%s\n' "${SETUP##*/}" "${ZIP##*/}")" ] || fail "packaging wrote: $(ls -A "$DIR/out")"
zip_holds "$ZIP" README.txt 32-bit/quillet.scr 64-bit/quillet.scr 32-bit/quillet-render.exe 64-bit/quillet-render.exe
README=$DIR/zip/README.txt
[ "$(grep -c $'\r$' "$README")" = "$(wc -l <"$README")" ] && [ -z "$(tail -c1 "$README" | tr -d '\n')" ] ||
  fail "the read-me has lines without Windows line ends"
for text in "Quillet $VERSION" "quillet-$VERSION-setup.exe" 'choose' 'Install' '%APPDATA%\Quillet\QUILLET.INI' 'quillet-render.exe'; do
  grep -qF "$text" "$README" || fail "the read-me does not say '$text'"
done
grep -q '@' "$README" && fail "the read-me kept a placeholder"

# --- Installing and uninstalling, silently.
install() { in_wine "$SETUP" /S "$@"; }
# The registered uninstaller, run as NSIS runs it (a copy outside the folder it removes, _?= naming
# that folder) so that it can be waited for.
uninstall() {
  [ -f "$INSTDIR/uninstall.exe" ] || fail "no uninstaller: $(ls -A "$INSTDIR" 2>&1)"
  cp "$INSTDIR/uninstall.exe" "$PREFIX/drive_c/windows/temp/quillet-uninstall.exe"
  in_wine cmd /c 'C:\windows\temp\quillet-uninstall.exe /S _?=C:\Program Files\Quillet' ||
    fail "the uninstaller failed: $(cat "$DIR/wine.out")"
  rm -f "$PREFIX/drive_c/windows/temp/quillet-uninstall.exe"
}
installed() {
  cmp -s "$SYSTEM32/quillet.scr" "$X86_64" || fail "$1: System32 has no 64-bit quillet.scr"
  cmp -s "$SYSWOW64/quillet.scr" "$I686" || fail "$1: SysWOW64 has no 32-bit quillet.scr"
  [ "$(ls "$INSTDIR")" = "$(printf '%s\n' README.txt uninstall.exe)" ] || fail "$1: the folder holds $(ls "$INSTDIR")"
  cmp -s "$INSTDIR/README.txt" "$README" || fail "$1: README.txt differs from the zip's"
  [ "$(reg_value "$ENTRY" DisplayVersion)" = "$VERSION" ] || fail "$1: no uninstall entry of version $VERSION"
  [ "$(reg_value "$ENTRY" QuietUninstallString)" = '"C:\Program Files\Quillet\uninstall.exe" /S' ] ||
    fail "$1: quiet uninstall: $(cat "$DIR/wine.out")"
  in_wine reg query "$ENTRY" /reg:32 && fail "$1: an uninstall entry in the 32-bit registry"
  return 0
}
removed() {
  for file in "$SYSTEM32/quillet.scr" "$SYSWOW64/quillet.scr" "$INSTDIR"; do
    [ ! -e "$file" ] || fail "$1: $file is left"
  done
  in_wine reg query "$ENTRY" /reg:64 && fail "$1: the uninstall entry is left"
  return 0
}
# active_saver WHAT EXPECTED [ACTIVE]: SCRNSAVE.EXE is EXPECTED ("" for none), ScreenSaveActive ACTIVE.
active_saver() {
  local saver active
  saver=$(reg_value "$DESKTOP" SCRNSAVE.EXE) || saver=
  [ "${saver,,}" = "${2,,}" ] || fail "$1: SCRNSAVE.EXE is '$saver', expected '$2'"
  if [ $# -gt 2 ]; then
    active=$(reg_value "$DESKTOP" ScreenSaveActive)
    [ "$active" = "$3" ] || fail "$1: ScreenSaveActive is '$active', expected '$3'"
  fi
}

# Without /ACTIVE the saver chosen before stays.
reg_set SCRNSAVE.EXE "$OTHER_SAVER"
reg_set ScreenSaveActive 1
install || fail "silent install: exit code $?"
installed "silent install"
active_saver "silent install" "$OTHER_SAVER" 1
uninstall
removed "uninstall"
active_saver "uninstall" "$OTHER_SAVER" 1

# /ACTIVE (again over an installed copy) chooses Quillet; the uninstaller takes the choice back.
reg_unset SCRNSAVE.EXE
reg_set ScreenSaveActive 0
install /ACTIVE || fail "install /ACTIVE: exit code $?"
install /active || fail "install /active over an installed copy: exit code $?"
installed "install /ACTIVE"
active_saver "install /ACTIVE" 'C:\windows\System32\quillet.scr' 1
uninstall
removed "uninstall after /ACTIVE"
active_saver "uninstall after /ACTIVE" "" 0

# A saver chosen since the install is not Quillet's to clear.
install /ACTIVE || fail "install /ACTIVE: exit code $?"
reg_set SCRNSAVE.EXE "$OTHER_SAVER"
uninstall
removed "uninstall after another saver was chosen"
active_saver "uninstall after another saver was chosen" "$OTHER_SAVER" 1

# A saver file that cannot be written fails the install (exit code 2), and the uninstaller
# registered first removes what was written.
mkdir "$SYSWOW64/quillet.scr"
install; rc=$?
[ $rc = 2 ] || fail "an unwritable saver gave exit code $rc"
[ -f "$SYSTEM32/quillet.scr" ] || fail "the failed install wrote no 64-bit saver for the uninstaller to remove"
uninstall
rmdir "$SYSWOW64/quillet.scr"
removed "uninstall after a failed install"
echo "Windows installer and zip: ok"
