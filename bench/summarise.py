"""Helpers for run_benchmarks.sh: the ratio to the bare loop, mixed input, tool throughput."""
import json
import os
import random
import subprocess
import sys
import time

MIXED_ENTRIES = [
    "4111111111111111", "  5555555555554444 ", "4,111,111,111,111,111",
    "4.111111111111111E15", "378282246310005", "6011111111111117", "4111 1111 1111 1111",
    "-4111111111111111", "0004222222222222", "x", "", "123", "1E999999999",
]


def check(path):
    with open(path) as f:
        rows = {b["run_name"]: b for b in json.load(f)["benchmarks"] if b.get("aggregate_name") == "median"}
    bare = rows["BM_BareLuhn"]["real_time"]
    print(f"\nbare Luhn loop, 16 digits: {bare:.1f} ns (median)")
    for name, row in rows.items():
        if name.startswith("check/") and row["time_unit"] == "ns":
            print(f"{name:24s} {row['real_time']:8.1f} ns  {row['real_time'] / bare:5.2f}x the bare loop")
    mib = rows["check/entry_1MiB"]
    print(f"{'check/entry_1MiB':24s} {mib['real_time']:8.3f} {mib['time_unit']}")


def make_lines(count):
    rng = random.Random(1)
    out = sys.stdout
    for _ in range(int(count)):
        out.write(rng.choice(MIXED_ENTRIES) + "\n")


def throughput(tool, path):
    count = sum(1 for _ in open(path, "rb"))
    best = float("inf")
    env = dict(os.environ, LC_ALL="C")
    for _ in range(5):
        with open(path, "rb") as stdin, open(os.devnull, "wb") as stdout:
            start = time.perf_counter()
            subprocess.run([tool], stdin=stdin, stdout=stdout, env=env, check=True)
            best = min(best, time.perf_counter() - start)
    print(f"zandor-check: {count} lines in {best * 1000:.0f} ms (best of 5, process start included): "
          f"{count / best / 1e6:.1f} million lines per second")


if __name__ == "__main__":
    {"check": check, "make-lines": make_lines, "throughput": throughput}[sys.argv[1]](*sys.argv[2:])
