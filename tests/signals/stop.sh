#!/usr/bin/env bash
# SIGTERM asks kivo to stop: commands that run long (an endless calibration wave, a bit wait of
# two billion polls) end at once with code 143 instead of running on.
#   stop.sh KIVO
set -u
kivo=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf 'print start\r\nadc_baseadr 70000000\r\nadc_calibwave 0 C0\r\nprint never\r\n' > wave.txt
printf 'print start\r\nwaitbit1 1 30000000 2147483647\r\nprint never\r\n' > wait.txt
failed=0
# stopped SCRIPT SIGNALS: the run's exit code and how long it took to end after the first signal.
stopped() {
    KIVO_PORT=virtual:xsv300 "$kivo" "$1" </dev/null >out.txt 2>&1 &
    local pid=$! n
    for n in $(seq 50); do grep -q start out.txt && break; sleep 0.1; done
    sleep 0.3
    local begin=$SECONDS
    for n in $(seq "$2"); do kill -TERM $pid; sleep 0.1; done
    wait $pid
    local rc=$?
    echo "$rc $((SECONDS - begin))"
}
for script in wave.txt wait.txt; do
    read -r rc took < <(stopped $script 1)
    if [ "$rc" != 143 ] || [ "$took" -gt 2 ] || grep -q never out.txt; then
        echo "FAIL $script: exit $rc after ${took}s"; cat out.txt; failed=1
    fi
done
exit $failed
