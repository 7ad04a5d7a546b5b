#!/usr/bin/env bash
# Speed and memory of kivotrace on a 100 MB trace, run by hand against a Release build:
#   bench/trace_bench.sh [path/to/kivotrace]
# The trace mixes what scripts do (block reads and writes, single bytes, bit waits, pauses);
# `dump` and `diff` (against a copy with one answer changed near the end) run side by side
# with xxd on the same trace, alternating, and the script prints the medians, their ratio and
# each kivotrace run's peak memory. Goals: at least as fast as xxd, peak under 64 MiB.
# Needs: xxd, python3, GNU time.
set -euo pipefail
cd "$(dirname "$0")/.."
kivotrace=$(realpath "${1:-build/release/bin/kivotrace}")
runs=${RUNS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

python3 - <<'PY'
import random, os
rng = random.Random(1)
def addr(a):
    return b"".join(bytes([1, (a >> (8 * i)) & 255]) for i in range(4))
trace, answers = bytearray(), bytearray()
chunk, chunk_answers = bytearray(), bytearray()
a = 0x10000
for _ in range(40):
    chunk += addr(a) + b"\x03" * 4096; chunk_answers += os.urandom(4096)
    block = os.urandom(1024)
    chunk += addr(a + 0x2000) + b"".join(bytes([2, x]) for x in block)
    for k in range(64):
        chunk += addr(0x20000008) + bytes([2, k]) + addr(0x20000008) + b"\x03"
        chunk_answers += bytes([k])
    chunk += b"\x0B\x01\x08\x00\x00\x20\x40" + b"\x0A\x01"
    a += 0x4000
while len(trace) < 100_000_000:
    trace += chunk; answers += chunk_answers
trace += b"\xFF" * 4
os.makedirs("a"); os.makedirs("b")
open("a/kivo.tst", "wb").write(trace); open("a/kivo.out", "wb").write(answers)
open("b/kivo.tst", "wb").write(trace)
answers[-10] ^= 0xFF
open("b/kivo.out", "wb").write(answers)
PY
ls -l a/kivo.tst a/kivo.out | awk '{ printf "%s %d bytes\n", $9, $5 }'

median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { printf "%.4f", a[int((NR + 1) / 2)] / 1e9 }'; }
now() { date +%s%N; }

# compare NAME -- KIVOTRACE ARGS...  (against xxd on the same trace)
compare() {
  local name=$1
  shift 2
  local k=() r=()
  for ((i = 0; i < runs; i++)); do
    local t0 t1
    t0=$(now); "$kivotrace" "$@" > /dev/null < /dev/null || [ $? -eq 1 ]; t1=$(now); k+=($((t1 - t0)))
    t0=$(now); xxd a/kivo.tst > /dev/null; t1=$(now); r+=($((t1 - t0)))
  done
  local km rm mem
  km=$(median "${k[@]}")
  rm=$(median "${r[@]}")
  mem=$( { /usr/bin/time -f '%M' "$kivotrace" "$@" > /dev/null < /dev/null || true; } 2>&1 | tail -1)
  awk -v n="$name" -v k="$km" -v r="$rm" -v m="$mem" 'BEGIN {
    printf "%-24s kivotrace %7.3f s  xxd %7.3f s  xxd/kivotrace %5.2f %s  peak %d MiB %s\n",
      n, k, r, r / k, (r / k >= 1 ? "ok" : "MISSED"), m / 1024, (m < 65536 ? "ok" : "MISSED") }'
}

echo "median of $runs alternating runs"
compare "dump" -- dump a/kivo.tst a/kivo.out
compare "dump, no responses" -- dump a/kivo.tst
compare "diff" -- diff a b
"$kivotrace" diff a b || true
