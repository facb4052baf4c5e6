#!/usr/bin/env bash
# No aligned 256-bit move may touch the stack. Windows aligns stacks to 16 bytes (Win64) or only 4
# (32-bit callbacks), so a 32-byte aligned spill or reload there faults on the first call that
# lands on an odd address; unaligned moves (vmovdqu, vmovups) are what the compiler must emit.
# OBJDUMP names the target's objdump. MinGW's .gcc_except_table (data placed in .text) is skipped.
set -euo pipefail
status=0
for binary in "$@"; do
  offenders=$("${OBJDUMP:-objdump}" -d --no-show-raw-insn -C "$binary" |
    awk '/^[0-9a-f]+ <.*>:$/ { fn = $0; data = fn ~ /<\.gcc_except_table>/; next }
         !data && $2 ~ /^vmov(dqa|aps|apd|ntdq|ntps|ntpd|ntdqa)$/ && /%ymm/ && /\(%(r|e)(sp|bp)/ { print fn ": " $0 }' |
    sort -u || true)
  if [ -n "$offenders" ]; then
    echo "$binary: aligned 256-bit moves on the stack:"
    echo "$offenders"
    status=1
  fi
done
exit $status
