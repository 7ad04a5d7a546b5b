#!/usr/bin/env bash
# Interpreter speed, run by hand against a Release build:
#   bench/interpreter_bench.sh [path/to/kivo]
# 1. Straight-line script: 1,000,000 "stat+= 1" lines against tclsh running the same work
#    (incr and a puts of the same echo text per line). Goal: kivo at least 4x faster.
# 2. Jump cost: a 1,000,000-pass loop whose label sits in a 10-line script, against the same
#    loop behind 100,000 other lines. Goal: time ratio below 1.2.
set -euo pipefail
cd "$(dirname "$0")/.."
kivo=$(realpath "${1:-build/release/bin/kivo}")
runs=${RUNS:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

awk 'BEGIN { for (i = 0; i < 1000000; i++) print "stat+= 1" }' > straight.txt
awk 'BEGIN { print "set s 0"; for (i = 0; i < 1000000; i++) { print "incr s"; print "puts \"\\tstat+= 1\"" } }' > straight.tcl
{ printf ':top\nloop F4240 top\n'; for i in 1 2 3 4 5 6 7 8; do echo "print x"; done; } > near.txt
{ awk 'BEGIN { for (i = 0; i < 100000; i++) print "// filler line" }'; printf ':top\nloop F4240 top\n'; } > far.txt

# Runs the two commands alternately $runs times each (so a slow phase of the machine hits both
# alike), output to /dev/null; prints the median wall times in seconds of the first and second.
pair() {
  local a=() b=() t0 t1
  for ((i = 0; i < runs; i++)); do
    t0=$(date +%s%N); $1 > /dev/null </dev/null; t1=$(date +%s%N); a+=("$(( t1 - t0 ))")
    t0=$(date +%s%N); $2 > /dev/null </dev/null; t1=$(date +%s%N); b+=("$(( t1 - t0 ))")
  done
  for list in "${a[*]}" "${b[*]}"; do
    printf '%s\n' $list | sort -n | awk '{ v[NR] = $1 } END { printf "%.4f ", v[int((NR + 1) / 2)] / 1e9 }'
  done
  echo
}

read -r kivoStraight tclStraight < <(pair "$kivo straight.txt" "tclsh straight.tcl")
read -r near far < <(pair "$kivo near.txt" "$kivo far.txt")

echo "straight-line script, 1,000,000 stat+= lines (median of $runs runs)"
echo "  kivo   ${kivoStraight} s"
echo "  tclsh  ${tclStraight} s"
awk -v k="$kivoStraight" -v t="$tclStraight" 'BEGIN { printf "  kivo is %.1fx faster than tclsh (goal: at least 4x)\n", t / k }'
echo "loop of 1,000,000 jumps (median of $runs runs)"
echo "  label in a 10-line script          ${near} s"
echo "  label behind 100,000 other lines   ${far} s"
awk -v n="$near" -v f="$far" 'BEGIN { printf "  ratio far/near %.3f (goal: below 1.2)\n", f / n }'
