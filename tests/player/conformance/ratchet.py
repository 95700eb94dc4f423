#!/usr/bin/env python3
"""Runs the conformance corpus with skrv-play and compares the pass count with the recorded one."""

import argparse
import os
import re
import subprocess
import sys

SKIP = 77


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--corpus", required=True)
    parser.add_argument("--player", required=True)
    parser.add_argument("--expected", required=True)
    parser.add_argument("--jobs", default="2")
    args = parser.parse_args()

    runner = os.path.join(args.corpus, "run")
    if not os.path.isfile(runner):
        print(f"skipped: no conformance corpus at {args.corpus}")
        return SKIP
    with open(args.expected, encoding="utf-8") as handle:
        expected = int(handle.read().split()[0])

    completed = subprocess.run(
        [sys.executable, runner, "--player", args.player, "--hints", "--jobs", args.jobs],
        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, check=False)
    output = completed.stdout
    summary = re.search(r"conformance: (\d+) passed, (\d+) failed", output)
    if not summary:
        print(output[-4000:])
        print("the runner printed no summary line")
        return 1
    passed = int(summary.group(1))
    crashes = [line for line in output.splitlines() if re.search(r"crash|signal|timed? ?out", line, re.I)]
    print(summary.group(0))
    if crashes:
        print("\n".join(crashes))
    if passed < expected:
        print(f"REGRESSION: {passed} passed, {expected} recorded in {args.expected}")
        return 1
    if passed > expected:
        print(f"{passed - expected} more than recorded: raise the count in {args.expected}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
