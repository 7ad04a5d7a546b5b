#!/usr/bin/env bash
# Long work run twice, with the progress line forced on (standard error kept apart) and turned
# off: standard output and every file written must be the same bytes, standard error must hold
# progress lines of the work, and the last thing on it must be the erasing of the line.
#   same_output.sh KIVO
set -euo pipefail
kivo=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# A case: its name, the board, the script (lines joined with CR LF), the labels the progress
# must have shown. The input files are made in the case's directory first.
check() {
  local name=$1 board=$2 script=$3
  shift 3
  mkdir -p "$work/$name"
  (cd "$work/$name" && inputs)
  printf '%s' "$script" | sed 's/$/\r/' > "$work/$name/run.txt"
  cp -r "$work/$name" "$work/$name.on"
  mv "$work/$name" "$work/$name.off"
  local rcOn=0 rcOff=0
  (cd "$work/$name.on" && KIVO_PORT=$board KIVO_PROGRESS=1 "$kivo" run.txt > ../$name.on.out 2> ../$name.on.err < /dev/null) || rcOn=$?
  (cd "$work/$name.off" && KIVO_PORT=$board KIVO_PROGRESS=0 "$kivo" run.txt > ../$name.off.out 2> ../$name.off.err < /dev/null) || rcOff=$?
  local problem=""
  [ "$rcOn" = "$rcOff" ] || problem+=" exit codes $rcOn and $rcOff;"
  cmp -s "$work/$name.on.out" "$work/$name.off.out" || problem+=" standard output differs;"
  diff -r "$work/$name.on" "$work/$name.off" > /dev/null || problem+=" files differ;"
  [ ! -s "$work/$name.off.err" ] || problem+=" standard error written with KIVO_PROGRESS=0;"
  for label in "$@"; do
    tr '\r' '\n' < "$work/$name.on.err" | grep -q "^$label .*%" || problem+=" no progress of $label;"
  done
  # The erasing: a carriage return, blanks only, and a carriage return at the very end.
  local err
  err=$(cat "$work/$name.on.err"; echo .)
  err=${err%.}
  [[ "$err" =~ $'\r'\ +$'\r'$ ]] || problem+=" standard error does not end with the erased line;"
  if [ -n "$problem" ]; then
    echo "$name:$problem"
    failed=1
  else
    echo "$name: same output with and without progress (exit $rcOn)"
  fi
}

inputs() {
  head -c 218976 /dev/zero | tr '\0' '\125' > top.cfg
  awk 'BEGIN { for (i = 0; i < 300000; i++) printf "%c", i % 251 }' > block.bin
}
check epp virtual:xsv300 'config top
writeblock block.bin 100000
readblock back.hex 100000 1493DF
filecomp block.bin back.hex
file2txt block.bin block.txt 16 8
filehistogram block.bin histogram.bin 8
labaseadr 20000000
latvalue 1234
latcare FFFF
lacectr 0
la_start 1
la_read
adc_baseadr 70000000
adc_membaseadr 70010000
adc_memhighadr 7001FFFF
adc_calibshow show.bin 0 40' config writeblock readblock filecomp file2txt filehistogram laread adc_calibshow

inputs() {
  head -c 234456 /dev/zero | tr '\0' '\252' > top.cfg
  awk 'BEGIN { for (i = 0; i < 20000; i++) printf "%c", i % 253 }' > block.bin
}
check nibble virtual:xsb 'config top 1000
writeblock block.bin 0
readblock back.bin 0 4E1F' config writeblock readblock

# A run that fails in the middle of the work leaves only its failure on the screen.
inputs() { head -c 218976 /dev/zero > top.cfg; }
check failure virtual:xsv300,done-never 'config top' config
exit $failed
