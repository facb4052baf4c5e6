#!/usr/bin/env bash
# The Debian package, made by CPack from a build directory into a scratch directory and looked at
# without installing it: its name, its control fields (run-time dependencies from
# dpkg-shlibdeps), the files it holds under /usr with their owners and modes, stripped programs
# that run, and lintian's verdict (no errors) where lintian is installed.
#
#   deb_package_test.sh BUILD-DIR VERSION
#
# Exit 0 pass, 1 fail, 77 skip (no cpack or dpkg-deb).
set -u
BUILD=$1
VERSION=$2
command -v cpack >/dev/null && command -v dpkg-deb >/dev/null || { echo "SKIP: cpack or dpkg-deb missing"; exit 77; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$WORK/out" >"$WORK/cpack.log" 2>&1 ||
  { cat "$WORK/cpack.log"; fail "cpack failed"; }
DEB=$WORK/out/quillet_${VERSION}_$(dpkg --print-architecture).deb
[ -f "$DEB" ] || fail "no $(basename "$DEB"): $(ls "$WORK/out")"

field() { dpkg-deb -f "$DEB" "$1"; }
[ "$(field Package)" = quillet ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$VERSION" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = x11 ] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" == *\ \<*@*\> ]] || fail "Maintainer: $(field Maintainer)"
[ "$(field Suggests)" = xscreensaver ] || fail "Suggests: $(field Suggests)"
DEPENDS=$(field Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libxcb1 libxcb-shm0 libxcb-xinerama0 libpng16-16; do
  [[ ", $DEPENDS," == *", $library "* || ", $DEPENDS," == *", $library,"* ]] || fail "Depends lacks $library: $DEPENDS"
done

# Every file under /usr, owned by root, with the usual modes.
dpkg-deb -c "$DEB" >"$WORK/contents" || fail "dpkg-deb -c failed"
awk '{print $6}' "$WORK/contents" | sed 's|/$||' | sort >"$WORK/paths"
sort >"$WORK/expected" <<'LIST'
./usr
./usr/bin
./usr/bin/quillet
./usr/bin/quillet-render
./usr/libexec
./usr/libexec/xscreensaver
./usr/libexec/xscreensaver/quillet
./usr/share
./usr/share/applications
./usr/share/applications/quillet-settings.desktop
./usr/share/doc
./usr/share/doc/quillet
./usr/share/doc/quillet/changelog.gz
./usr/share/doc/quillet/copyright
./usr/share/man
./usr/share/man/man1
./usr/share/man/man1/quillet-render.1.gz
./usr/share/man/man1/quillet.1.gz
./usr/share/xscreensaver
./usr/share/xscreensaver/config
./usr/share/xscreensaver/config/quillet.xml
LIST
diff "$WORK/expected" "$WORK/paths" >"$WORK/diff" || fail "the package's files differ: $(cat "$WORK/diff")"
awk '$2 != "root/root" {print "owner: " $0} $1 ~ /^d/ && $1 != "drwxr-xr-x" {print "mode: " $0}
     $1 ~ /^-/ && $1 != "-rw-r--r--" && $1 != "-rwxr-xr-x" {print "mode: " $0}' "$WORK/contents" >"$WORK/odd"
[ ! -s "$WORK/odd" ] || fail "$(cat "$WORK/odd")"
grep -q '^lrwxrwxrwx .* \./usr/libexec/xscreensaver/quillet -> \.\./\.\./bin/quillet$' "$WORK/contents" ||
  fail "the xscreensaver link: $(grep libexec/xscreensaver/quillet "$WORK/contents")"

# Unpacked (not installed): stripped programs that run, readable pages, a changelog of this version.
dpkg-deb -x "$DEB" "$WORK/root" || fail "dpkg-deb -x failed"
for program in quillet quillet-render; do
  ! readelf -S "$WORK/root/usr/bin/$program" | grep -q '\.symtab' || fail "$program is not stripped"
done
[ "$("$WORK/root/usr/libexec/xscreensaver/quillet" --version)" = "quillet $VERSION" ] || fail "the packed program does not run"
for page in quillet quillet-render; do
  gzip -dc "$WORK/root/usr/share/man/man1/$page.1.gz" | grep -q '^\.SH SYNOPSIS' || fail "manual page $page"
done
gzip -dc "$WORK/root/usr/share/doc/quillet/changelog.gz" | head -n 1 | grep -q "^quillet ($VERSION) " ||
  fail "the changelog's first entry is not $VERSION"

if command -v lintian >/dev/null; then
  lintian --fail-on error "$DEB" >"$WORK/lintian" 2>"$WORK/lintian.err" || fail "lintian: $(cat "$WORK/lintian" "$WORK/lintian.err")"
  ! grep -q '^E:' "$WORK/lintian" || fail "lintian: $(cat "$WORK/lintian")"
fi
echo "Debian package: ok ($(basename "$DEB"))"
