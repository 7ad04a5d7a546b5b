#!/usr/bin/env python3
"""Runs one script on the virtual board and through kivo-cosim and fails on any difference.

Both runs start in fresh directories holding the script and the files of SCRIPT.in/. They must
end with the same exit code, write the same files byte for byte, and print the same console
once the lines that differ by design are taken out. Those lines are the table between the
console-differences markers of docs/hdl-cosim.md: one place says what is filtered and why.
"""
import argparse
import difflib
import os
import re
import shutil
import subprocess
import sys
import tempfile

# Files of the simulation flow itself, not of the script.
FLOW_FILES = {"kivo.tst", "kivo.out"}


def console_filters(doc):
    text = open(doc, encoding="utf-8").read()
    block = re.search(r"<!-- console-differences -->(.*?)<!-- /console-differences -->", text, re.S)
    if not block:
        sys.exit(f"{doc}: no console-differences table")
    patterns = re.findall(r"^\| `([^`]+)` \|", block.group(1), re.M)
    if not patterns:
        sys.exit(f"{doc}: the console-differences table is empty")
    # A bar inside a table cell is written \| in Markdown.
    return [re.compile(p.replace("\\|", "|")) for p in patterns]


def filtered(console, filters):
    lines = []
    for line in console.decode("latin-1").split("\n"):
        kept = line
        for f in filters:
            kept = f.sub("", kept)
        # A line that only held by-design text goes; an empty line of the script's stays.
        if kept or not line:
            lines.append(kept)
    return lines


def files_of(directory):
    found = {}
    for root, _, names in os.walk(directory):
        for name in names:
            path = os.path.join(root, name)
            rel = os.path.relpath(path, directory)
            if rel not in FLOW_FILES:
                with open(path, "rb") as f:
                    found[rel] = f.read()
    return found


def run(command, cwd, env):
    done = subprocess.run(command, cwd=cwd, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE)
    return done.returncode, done.stdout, done.stderr


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--kivo", required=True)
    parser.add_argument("--cosim", required=True)
    parser.add_argument("--differences", required=True, help="docs/hdl-cosim.md")
    parser.add_argument("--board", default="virtual:xsv300")
    parser.add_argument("--two-pass", action="store_true")
    parser.add_argument("--generic", action="append", default=[], help="NAME=VALUE for the testbench")
    parser.add_argument("script")
    args = parser.parse_args()
    filters = console_filters(args.differences)
    args.kivo, args.cosim = os.path.abspath(args.kivo), os.path.abspath(args.cosim)

    script = os.path.abspath(args.script)
    inputs = os.path.splitext(script)[0] + ".in"
    base = tempfile.mkdtemp(prefix="kivo-hdl-")
    try:
        dirs = {}
        for side in ("board", "simulation"):
            dirs[side] = os.path.join(base, side)
            if os.path.isdir(inputs):
                shutil.copytree(inputs, dirs[side])
            else:
                os.makedirs(dirs[side])
            shutil.copy(script, dirs[side])
        name = os.path.basename(script)
        env = dict(os.environ, LC_ALL="C")
        env.pop("KIVO_RECORD", None)
        board = run([args.kivo, name], dirs["board"], dict(env, KIVO_PORT=args.board))
        cosim_command = [args.cosim, "--kivo", args.kivo] + (["--two-pass"] if args.two_pass else []) + \
            ["-g" + g for g in args.generic] + [name]
        sim = run(cosim_command, dirs["simulation"], env)

        failures = []
        if board[0] != sim[0]:
            failures.append(f"exit codes differ: board {board[0]}, simulation {sim[0]}\n"
                            f"kivo-cosim said:\n{sim[2].decode('latin-1')}")
        board_lines, sim_lines = filtered(board[1], filters), filtered(sim[1], filters)
        if board_lines != sim_lines:
            diff = difflib.unified_diff(board_lines, sim_lines, "board", "simulation", lineterm="")
            failures.append("console differs beyond the listed lines:\n" + "\n".join(diff))
        board_files, sim_files = files_of(dirs["board"]), files_of(dirs["simulation"])
        for rel in sorted(set(board_files) | set(sim_files)):
            if rel not in sim_files:
                failures.append(f"{rel}: written on the board only")
            elif rel not in board_files:
                failures.append(f"{rel}: written in simulation only")
            elif board_files[rel] != sim_files[rel]:
                failures.append(f"{rel}: bytes differ")
        if failures:
            print("\n".join(failures))
            return 1
        print(f"{name}: same exit code, console and {len(board_files)} files on the board and in simulation")
        return 0
    finally:
        shutil.rmtree(base, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
