#!/usr/bin/env bash
# The layering check against small trees: a clean one passes; an include from a layer above, and a
# toolkit or system header in a toolkit-free folder, each fail it and are named.
#
#   layers_check_test.sh SOURCE_ROOT
set -u
CHECK=$1/cmake/check_layers.cmake
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quillet-layers-XXXXXX")
trap 'rm -rf "$WORK"' EXIT

tree() {
  rm -rf "$WORK/tree"
  mkdir -p "$WORK/tree/raster/detail" "$WORK/tree/config" "$WORK/tree/shell" "$WORK/tree/platform/ui_qt_x11"
  echo '#include <vector>' >"$WORK/tree/raster/detail/a.h"
  echo '#include "raster/detail/a.h"' >"$WORK/tree/config/b.h"
  printf '#include "config/b.h"\n#include "platform/ui_events.h"\n' >"$WORK/tree/shell/c.cpp"
  printf '#include <QWidget>\n#include "shell/c.h"\n' >"$WORK/tree/platform/ui_qt_x11/d.cpp"
}

tree
cmake -DROOT="$WORK/tree" -P "$CHECK" >"$WORK/out" 2>&1 || { echo "FAIL: a clean tree was refused"; cat "$WORK/out"; exit 1; }

tree
echo '#include "shell/c.h"' >>"$WORK/tree/config/b.h"
echo '  #  include <unistd.h>' >>"$WORK/tree/shell/c.cpp"
echo '#include <windows.h>' >>"$WORK/tree/platform/e.h"
if cmake -DROOT="$WORK/tree" -P "$CHECK" >"$WORK/out" 2>&1; then
  echo "FAIL: a tree that breaks the layers passed"
  exit 1
fi
for expected in "config/b.h includes shell/c.h from a layer above" "shell/c.cpp includes <unistd.h>" \
                "platform/e.h includes <windows.h>"; do
  grep -q "$expected" "$WORK/out" || { echo "FAIL: not named: $expected"; cat "$WORK/out"; exit 1; }
done
echo "PASS"
