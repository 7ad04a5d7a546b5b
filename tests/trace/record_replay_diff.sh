#!/usr/bin/env bash
# The golden cases record a run on the virtual board (scripts/record/record_run), replay it
# from its answers (replay) and record the same script on a board whose writes fail
# (record_bad_echo). Here kivotrace compares them: the replay is the recorded run, operation for
# operation, and the failing board parts from it at the first read of the written block.
#   record_replay_diff.sh KIVOTRACE CASES_DIR
set -euo pipefail
kivotrace=$1
cases=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/replay"
cp "$cases/replay.expect/kivo.tst" "$cases/replay.files/kivo.out" "$work/replay/"

cmp "$cases/record_run.expect/rec/kivo.tst" "$work/replay/kivo.tst"
"$kivotrace" diff "$cases/record_run.expect/rec" "$work/replay" > "$work/same.txt"
grep -q '^bez roznic: ' "$work/same.txt"

rc=0
"$kivotrace" diff "$cases/record_run.expect/rec" "$cases/record_bad_echo.expect/rec" > "$work/diff.txt" || rc=$?
[ "$rc" -eq 1 ] || { echo "diff of different runs: exit $rc, expected 1"; exit 1; }
grep -q '^pierwsza roznica: operacja 22, adres 0000_1000$' "$work/diff.txt" || { cat "$work/diff.txt"; exit 1; }
echo "record, replay and diff agree"
