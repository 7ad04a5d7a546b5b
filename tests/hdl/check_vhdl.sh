#!/bin/sh
# The design half of hdl/ must synthesize (no file I/O, no timed waits); the trace model must
# stop on broken traces with the byte offset of the bad record and answer a good one through
# both variants of the testbench.
#   check_vhdl.sh GHDL HDL_DIR
set -u
ghdl=$1
hdl=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
for f in $(grep -v '^#' "$hdl/sources.txt"); do
  "$ghdl" -a --std=08 "$hdl/$f" || exit 1
done
"$ghdl" -e --std=08 kivo_tb || exit 1

failures=0
for top in kivo_design kivo_epp_slave; do
  if ! "$ghdl" --synth --std=08 "$top" > synth.txt 2>&1; then
    echo "FAIL: $top does not synthesize:"; cat synth.txt; failures=$((failures + 1))
  fi
done

# trace BYTES (printf escapes); expect GHDL to fail with TEXT in its output
expect_stop() {
  printf "$1" > kivo.tst
  if "$ghdl" -r --std=08 kivo_tb -gvariant="${3:-bus}" > run.txt 2>&1; then
    echo "FAIL: trace $1 was accepted"; failures=$((failures + 1))
  elif ! grep -qF "$2" run.txt; then
    echo "FAIL: trace $1: expected \"$2\", got:"; cat run.txt; failures=$((failures + 1))
  fi
}

address5='\001\005\001\000\001\000\001\020'   # 1000_0005
expect_stop "$address5\007\377\377\377\377" "kivo.tst, byte offset 8: unknown record code 07"
expect_stop "$address5\007\377\377\377\377" "kivo.tst, byte offset 8: unknown record code 07" epp
expect_stop '\001\005\001' "kivo.tst, byte offset 2: address record cut short at the end of the trace (3 bytes)"
expect_stop "$address5\002" "kivo.tst, byte offset 8: write record cut short"
expect_stop "$address5\003" "kivo.tst, byte offset 9: the trace ends without its end mark FF FF FF FF"
expect_stop '\377\377\000\377' "kivo.tst, byte offset 0: end mark broken: FF followed by 00"
expect_stop '\013\002\020\000\000\140\001\377\377\377\377' "kivo.tst, byte offset 0: bit wait expects state 02, not 0 or 1"
expect_stop '\013\001\020\000\000\140' "kivo.tst, byte offset 0: bit wait record cut short"
expect_stop '\012' "kivo.tst, byte offset 0: wait record cut short"

# Two bytes written at 1000_0005, a wait, a bit wait on the ready register, then the bytes
# read back with the one before them: 00 5A A5. Then a stray address cycle, which replaces only
# the low byte (1000_0005 again: 5A), and a whole address, which the data cycle before it must
# have made start from the low byte again (5A).
good="\\001\\004\\001\\000\\001\\000\\001\\020\\003$address5\\002\\132\\002\\245\\012\\003\\013\\001\\020\\000\\000\\140\\001$address5\\003\\003\\001\\005\\003$address5\\003\\377\\377\\377\\377"
for variant in bus epp; do
  printf "$good" > kivo.tst
  rm -f kivo.out
  if ! "$ghdl" -r --std=08 kivo_tb -gvariant=$variant > run.txt 2>&1; then
    echo "FAIL: good trace ($variant):"; cat run.txt; failures=$((failures + 1))
  elif [ "$(od -An -tx1 kivo.out | tr -d ' \n')" != "005aa55a5a" ]; then
    echo "FAIL: good trace ($variant) answered $(od -An -tx1 kivo.out)"; failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] && echo "all cases pass"
exit "$failures"
