#!/usr/bin/env bash
# Cost of the live coupling between kivo and GHDL, run by hand against a Release build:
#   bench/cosim_bench.sh [path/to/kivo]
# 1. A 64 KiB writeblock and readblock through live co-simulation (kivo-cosim, named pipes),
#    against GHDL replaying the same trace from a regular file: goal, the live run under 3x
#    GHDL's own time. kivo alone on regular files is shown for scale.
# 2. Bus operations per second of a loop of single-byte writebyte/readbyte, live, where every
#    read waits for the simulator's answer, and GHDL's replay of the same trace; also net of
#    the start-up (a script without bus operations, measured the same way).
# Medians of RUNS runs (default 3). Needs: ghdl.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
kivo=$(realpath "${1:-build/release/bin/kivo}")
cosim=$root/hdl/kivo-cosim
runs=${RUNS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CACHE_HOME=$work/cache
cd "$work"

printf 'baseadr 1000_0000\r\nstat= 5AA5C33C\r\nwriteblock 0 FFFF\r\nreadblock "dump.bin" 0 FFFF\r\n' > block.txt
loops=20000
printf 'print nothing on the bus\r\n' > empty.txt
printf 'baseadr 1000_0000\r\n:a\r\nwritebyte 20 5A\r\nreadbyte 20\r\nloop %X a\r\n' $loops > bytes.txt

median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { printf "%.3f", a[int((NR + 1) / 2)] / 1e9 }'; }
now() { date +%s%N; }

# Builds the testbench into the cache and tells how GHDL is run on it.
"$cosim" --kivo "$kivo" block.txt >/dev/null
lib=$(ls -d "$XDG_CACHE_HOME"/kivo-cosim/*/ | head -n 1)
replay=(ghdl -r --std=08 "--workdir=$lib" kivo_tb)
[ -x "$lib/kivo_tb.bin" ] && replay=("$lib/kivo_tb.bin")

# measure SCRIPT: sets live, files (kivo alone, regular files) and ghdl (replay) medians.
measure() {
  local script=$1 l=() f=() g=()
  for ((i = 0; i < runs; i++)); do
    local t0 t1
    rm -f kivo.tst kivo.out
    t0=$(now); "$cosim" --kivo "$kivo" "$script" >/dev/null; t1=$(now); l+=($((t1 - t0)))
    rm -f kivo.tst kivo.out
    t0=$(now); KIVO_PORT=sim "$kivo" "$script" >/dev/null; t1=$(now); f+=($((t1 - t0)))
    t0=$(now); "${replay[@]}" >/dev/null; t1=$(now); g+=($((t1 - t0)))
  done
  live=$(median "${l[@]}")
  files=$(median "${f[@]}")
  ghdl_time=$(median "${g[@]}")
}

measure block.txt
printf '64 KiB writeblock + readblock: trace %d bytes\n' "$(stat -c %s kivo.tst)"
printf '  live co-simulation   %8.3f s\n' "$live"
printf '  GHDL replay alone    %8.3f s\n' "$ghdl_time"
printf '  kivo alone (files)   %8.3f s\n' "$files"
awk -v l="$live" -v g="$ghdl_time" 'BEGIN { r = l / g; printf "  live / GHDL          %8.2fx   (goal < 3x: %s)\n", r, r < 3 ? "met" : "MISSED" }'

measure empty.txt
live0=$live
ghdl0=$ghdl_time
printf 'start-up (no bus operations): live %.3f s, GHDL replay %.3f s\n' "$live0" "$ghdl0"
measure bytes.txt
ops=$((2 * loops))
printf 'single-byte writebyte/readbyte loop: %d bus operations\n' $ops
awk -v n=$ops -v l="$live" -v g="$ghdl_time" -v l0="$live0" -v g0="$ghdl0" 'BEGIN {
  printf "  live co-simulation   %8.3f s  %9.0f operations/s  (%.0f net of start-up)\n", l, n / l, n / (l - l0)
  printf "  GHDL replay alone    %8.3f s  %9.0f operations/s  (%.0f net of start-up)\n", g, n / g, n / (g - g0)
  printf "  live / GHDL          %8.2fx\n", l / g }'
