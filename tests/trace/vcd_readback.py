#!/usr/bin/env python3
"""Reads every VCD that kivotrace writes back with sigrok-cli and compares each sample.

    vcd_readback.py KIVOTRACE CAPTURE_FROM_A_RUN

Captures: the one a run on the virtual board saved, and made-up ones of 8, 32 and 64 bits
(one with a names file). Exit 77 (skipped) when sigrok-cli is not installed.
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile

kivotrace, run_capture = sys.argv[1], sys.argv[2]
if not shutil.which("sigrok-cli"):
    print("sigrok-cli not installed: skipped")
    sys.exit(77)

work = tempfile.mkdtemp(prefix="kivo-vcd-")
failures = 0


def capture(width, count, seed):
    rng = random.Random(seed)
    regs = bytearray(48)
    regs[0], regs[1], regs[2] = 0x4A, 10, width - 1
    # Slowly changing words, so runs without changes (no timestamp in the dump) occur too.
    words, value = [], 0
    for _ in range(count):
        if rng.random() < 0.6:
            value ^= 1 << rng.randrange(width)
        words.append(value)
    data = b"".join(w.to_bytes(width // 8, "little") for w in words)
    return bytes(regs) + data


def read_back(vcd):
    out = subprocess.run(["sigrok-cli", "-I", "vcd", "-i", vcd, "-O", "csv:header=false"],
                         check=True, capture_output=True, text=True).stdout
    rows = [line for line in out.splitlines() if line and line[0] in "01"]
    return [[int(v) for v in row.split(",")] for row in rows]


def check(name, data, names=None, expect_signals=None):
    global failures
    path = os.path.join(work, name + ".bin")
    with open(path, "wb") as f:
        f.write(data)
    vcd = os.path.join(work, name + ".vcd")
    cmd = [kivotrace, "vcd", path, vcd]
    if names:
        names_path = os.path.join(work, name + ".names")
        with open(names_path, "w") as f:
            f.write(names)
        cmd += ["--names", names_path]
    subprocess.run(cmd, check=True, capture_output=True)
    width = (data[2] + 1)
    nbytes = width // 8
    words = [int.from_bytes(data[48 + i:48 + i + nbytes], "little") for i in range(0, len(data) - 48, nbytes)]
    bits = expect_signals or list(range(width))
    rows = read_back(vcd)
    expected = [[(w >> b) & 1 for b in bits] + [1 if i == 0 else 0] for i, w in enumerate(words)]
    if rows != expected:
        failures += 1
        bad = next((i for i, (a, b) in enumerate(zip(rows, expected)) if a != b), min(len(rows), len(expected)))
        print(f"{name}: sample {bad} differs ({len(rows)} read back, {len(expected)} expected)")
        if bad < len(rows) and bad < len(expected):
            print(f"  read back {rows[bad]}\n  expected  {expected[bad]}")
    else:
        print(f"{name}: {len(rows)} samples of {len(bits)} signals read back alike")


with open(run_capture, "rb") as f:
    check("virtual_board", f.read())
check("w8", capture(8, 300, 1))
check("w32", capture(32, 500, 2))
check("w64", capture(64, 256, 3))
check("named", capture(16, 200, 4), names="# bus and two bits\nstate 11:8\nvalid 0\nready 15\n",
      expect_signals=[8, 9, 10, 11, 0, 15])

shutil.rmtree(work)
sys.exit(1 if failures else 0)
