#!/usr/bin/env bash
# Speed of the data file tools, run by hand against a Release build:
#   bench/filetools_bench.sh [path/to/kivo]
# On one 64 MiB random file (and its hex form) every kivo tool runs side by side with the tool
# a user would pick instead, alternating, and the script prints the medians and their ratio
# against the goal. Peak memory of each kivo run comes from /usr/bin/time.
# Needs: xxd, objcopy, dd, cmp, od, python3 with numpy (Debian's python3-numpy), GNU time.
set -euo pipefail
cd "$(dirname "$0")/.."
kivo=$(realpath "${1:-build/release/bin/kivo}")
runs=${RUNS:-5}
python=${PYTHON:-/usr/bin/python3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

head -c $((64 << 20)) /dev/urandom > in.bin
printf 'fileconv in.bin in.hex\n' > s_make.txt && "$kivo" s_make.txt > /dev/null

# One script per kivo case.
printf 'fileconv in.bin out.hex\n' > s_hexw.txt
printf 'fileconv in.hex out.bin\n' > s_hexr.txt
printf 'fileconv in.bin out.bin 16\n' > s_swap16.txt
printf 'fileconv in.bin out.bin 32\n' > s_swap32.txt
cp in.bin same.bin
printf 'filecomp in.bin same.bin\n' > s_comp.txt
printf 'file2txt in.bin out.txt 16 1\n' > s_txt.txt
printf 'filehistogram in.bin out.bin 16\n' > s_hist.txt
printf 'filestatistic in.bin 16 4\n' > s_stat.txt
printf 'file2raw in.bin out.raw 2048 512 16 2\n' > s_raw.txt

cat > fromhex.py <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
open(sys.argv[2], 'wb').write(bytes.fromhex(data.decode('ascii')))
PY
cat > hist.py <<'PY'
import numpy as np
a = np.fromfile('in.bin', dtype='>u2')
np.bincount(a, minlength=65536).astype('>u4').tofile('np.bin')
PY
cat > stat.py <<'PY'
import numpy as np
a = np.fromfile('in.bin', dtype='>u2')
a = a[: len(a) // 4 * 4].reshape(-1, 4)
for i in range(4):
    c = a[:, i]
    print("ch%d min= %d, max= %d, max-min= %d, avg= %f" % (i, c.min(), c.max(), int(c.max()) - int(c.min()), c.mean(dtype=np.float64)))
PY
cat > raw.py <<'PY'
import numpy as np
x, y, chan = 2048, 512, 2
a = np.fromfile('in.bin', dtype='>u2')
n = len(a) // chan
a = a[: n * chan].reshape(-1, chan)
img = np.zeros(x * y, dtype=np.uint8)
cols = (np.arange(n, dtype=np.int64) * x) // n
for i in range(chan):
    v = a[:, i].astype(np.int64)
    mn, mx = v.min(), v.max()
    scale = 0 if mx == mn else (y * 4096) // (mx - mn)
    rows = np.minimum((v - mn) * scale // 4096, y - 1)
    img[rows * x + cols] = 255 - i * (255 // (chan + 1))
img.tofile('np.raw')
PY

# Median wall time in seconds of a list of per-run times in nanoseconds.
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { printf "%.4f", a[int((NR + 1) / 2)] / 1e9 }'; }
now() { date +%s%N; }

# compare NAME GOAL_TEXT GOAL_RATIO KIVO_SCRIPT -- REFERENCE COMMAND...
# GOAL_RATIO: the reference time divided by kivo's must reach it (a "within" goal is given as
# its inverse, e.g. 1/1.2).
compare() {
  local name=$1 goal=$2 ratio=$3 script=$4
  shift 5
  local k=() r=()
  for ((i = 0; i < runs; i++)); do
    local t0 t1
    t0=$(now); "$kivo" "$script" > /dev/null < /dev/null; t1=$(now); k+=($((t1 - t0)))
    t0=$(now); "$@" > /dev/null < /dev/null; t1=$(now); r+=($((t1 - t0)))
  done
  local km rm mem
  km=$(median "${k[@]}")
  rm=$(median "${r[@]}")
  mem=$( { /usr/bin/time -f '%M' "$kivo" "$script" > /dev/null < /dev/null; } 2>&1 | tail -1)
  awk -v n="$name" -v k="$km" -v r="$rm" -v g="$goal" -v q="$ratio" -v m="$mem" 'BEGIN {
    printf "%-34s kivo %7.3f s  ref %7.3f s  ref/kivo %5.2f  goal %-14s %s  peak %d MiB\n",
      n, k, r, r / k, g, (r / k >= q ? "ok" : "MISSED"), m / 1024 }'
}

echo "64 MiB random input, median of $runs alternating runs"
compare "hex write vs xxd -p" ">= 4x" 4 s_hexw.txt -- xxd -p in.bin out.xxd
compare "hex write vs objcopy verilog" ">= 2x" 2 s_hexw.txt -- objcopy -I binary -O verilog in.bin out.v
compare "hex read vs xxd -r -p" ">= 6x" 6 s_hexr.txt -- xxd -r -p in.hex out.xxdbin
compare "hex read vs bytes.fromhex" ">= 3x" 3 s_hexr.txt -- "$python" fromhex.py in.hex out.pybin
compare "swap 16 vs dd conv=swab" "<= 1.2 time" 0.8333 s_swap16.txt -- dd if=in.bin of=out.dd conv=swab bs=1M status=none
compare "swap 32 vs objcopy reverse-bytes" ">= 2x" 2 s_swap32.txt -- objcopy -I binary -O binary --reverse-bytes=4 in.bin out.rev
compare "filecomp vs cmp" "<= 1x time" 1 s_comp.txt -- cmp in.bin same.bin
compare "file2txt 16 vs od -tu2" ">= 6x" 6 s_txt.txt -- sh -c 'od -An -tu2 --endian=big -v in.bin > out.od'
compare "filehistogram 16 vs numpy" ">= 3x" 3 s_hist.txt -- "$python" hist.py
compare "filestatistic 16x4 vs numpy" ">= 3x" 3 s_stat.txt -- "$python" stat.py
compare "filestatistic 16x4 vs cat" "<= 3x time" 0.3333 s_stat.txt -- sh -c 'cat in.bin > /dev/null'
compare "file2raw 16x2 2048x512 vs numpy" ">= 3x" 3 s_raw.txt -- "$python" raw.py
