#!/usr/bin/env bash
# Cost of the progress line, run by hand against a Release build:
#   bench/progress_bench.sh [path/to/kivo]
# A 64 MiB writeblock from a binary file through the virtual XSV300 board (its whole address
# space is memory; the default eppmode 3 drives the EPP handshake by hand, byte by byte), with
# KIVO_PROGRESS=1 (the line drawn to a file, redrawn ten times a second) and KIVO_PROGRESS=0.
# Goal: the two medians within 2% of each other.
set -euo pipefail
cd "$(dirname "$0")/.."
kivo=$(realpath "${1:-build/release/bin/kivo}")
runs=${RUNS:-9}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

head -c $((64 << 20)) /dev/urandom > block.bin
printf 'writeblock block.bin 1000000\r\n' > write.txt

# Runs the two settings alternately $runs times each (so a slow phase of the machine hits both
# alike), taking the wall time and the processor time (user and system) of each run; on a
# machine shared with other work the processor time is the steadier figure.
TIMEFORMAT='%R %U %S'
onWall=() onCpu=() offWall=() offCpu=()
timed() {  # KIVO_PROGRESS value, standard error file
  local t
  t=$( { time KIVO_PORT=virtual:xsv300 KIVO_PROGRESS=$1 "$kivo" write.txt > /dev/null 2> "$2" </dev/null; } 2>&1 )
  read -r wall user sys <<< "$t"
  cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')
}
withLine() { timed 1 progress.err; onWall+=("$wall"); onCpu+=("$cpu"); }
withoutLine() { timed 0 /dev/null; offWall+=("$wall"); offCpu+=("$cpu"); }
for ((i = 0; i < runs; i++)); do
  # Either setting goes first in turn: neither always runs right after the other.
  if ((i % 2 == 0)); then withLine; withoutLine; else withoutLine; withLine; fi
done
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { printf "%.3f", v[int((NR + 1) / 2)] }'; }
drawings=$(tr -cd '\r' < progress.err | wc -c)

echo "writeblock of 64 MiB through virtual:xsv300, eppmode 3 (median of $runs runs each; last run with"
echo "the line: ${drawings} carriage returns on standard error)"
printf '                   wall s   processor s\n'
printf '  KIVO_PROGRESS=1  %6s   %6s\n' "$(median "${onWall[@]}")" "$(median "${onCpu[@]}")"
printf '  KIVO_PROGRESS=0  %6s   %6s\n' "$(median "${offWall[@]}")" "$(median "${offCpu[@]}")"
awk -v a="$(median "${onWall[@]}")" -v b="$(median "${offWall[@]}")" -v c="$(median "${onCpu[@]}")" \
  -v d="$(median "${offCpu[@]}")" 'BEGIN { printf "  ratio on/off     %.4f   %.4f   (goal: within 2%%)\n", a / b, c / d }'

# Instructions do not depend on what else the machine runs: when valgrind is there, a 4 MiB
# writeblock is counted both ways (lackey, about half a minute each).
if command -v valgrind > /dev/null; then
  head -c $((4 << 20)) block.bin > small.bin
  printf 'writeblock small.bin 1000000\r\n' > small.txt
  count() {
    KIVO_PORT=virtual:xsv300 KIVO_PROGRESS=$1 valgrind --tool=lackey --basic-counts=yes "$kivo" small.txt 2>&1 \
      > /dev/null < /dev/null | awk '/guest instrs:/ { gsub(",", "", $NF); print $NF }'
  }
  on=$(count 1)
  off=$(count 0)
  echo "writeblock of 4 MiB, instructions under valgrind"
  echo "  KIVO_PROGRESS=1  $on"
  echo "  KIVO_PROGRESS=0  $off"
  awk -v a="$on" -v b="$off" 'BEGIN { printf "  ratio on/off     %.4f\n", a / b }'
fi
