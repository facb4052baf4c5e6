#!/usr/bin/env bash
# Only the AVX2 kernels may hold AVX instructions. A copy of a shared inline function built in an
# AVX2 file, kept by the linker for every caller, would fault on a processor without AVX2; this
# finds any function that uses VEX-encoded instructions or wide registers and is neither one of
# the avx2 kernels nor a helper private to a kernel file (an anonymous namespace, which no other
# file can share). MinGW places .gcc_except_table (data) in .text, where objdump reads it as
# instructions: it is skipped.
set -euo pipefail
status=0
for binary in "$@"; do
  offenders=$("${OBJDUMP:-objdump}" -d --no-show-raw-insn -C "$binary" |
    awk '/^[0-9a-f]+ <.*>:$/ { fn = $0; data = fn ~ /<\.gcc_except_table>/; next }
         !data && ($2 ~ /^v[a-z]/ || /%ymm|%zmm/) { print fn }' |
    sort -u | grep -v -e 'avx2::' -e '(anonymous namespace)::' || true)
  if [ -n "$offenders" ]; then
    echo "$binary: AVX instructions outside the AVX2 kernels:"
    echo "$offenders"
    status=1
  fi
done
exit $status
