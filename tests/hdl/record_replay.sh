#!/usr/bin/env bash
# A run recorded on the virtual board (KIVO_RECORD) and what the recording is for: replayed
# with KIVO_PORT=sim it writes the same files and the same trace without a board, and the
# recorded trace carried out by the HDL testbench gets the board's answers from the design.
#   record_replay.sh KIVO KIVOTRACE KIVO_COSIM SCRIPT...
set -euo pipefail
kivo=$1 kivotrace=$2 cosim=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C
for script in "$@"; do
    name=$(basename "$script")
    run=$work/${name%.txt}
    mkdir -p "$run/board" "$run/replay" "$run/design"
    cp "$script" "$run/board/"
    (cd "$run/board" && KIVO_PORT=virtual:xsv300 KIVO_RECORD=../rec "$kivo" "$name" </dev/null >console)

    cp "$script" "$run/rec/kivo.out" "$run/replay/"
    (cd "$run/replay" && KIVO_PORT=sim "$kivo" "$name" </dev/null >console)
    cmp "$run/rec/kivo.tst" "$run/replay/kivo.tst"
    for f in "$run/board"/*; do
        case $(basename "$f") in console | "$name") continue ;; esac
        cmp "$f" "$run/replay/$(basename "$f")"
    done

    (cd "$run/design" && "$cosim" --replay ../rec 2>/dev/null)
    "$kivotrace" diff "$run/rec" "$run/design" >"$run/diff" ||
        { echo "$name: the design answered otherwise than the board:"; cat "$run/diff"; exit 1; }
    echo "$name: replayed without the board, and the design answers as the board: $(cat "$run/diff")"
done
