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


def make_lines(count, kind="mixed"):
    rng = random.Random(1)
    out = sys.stdout
    for _ in range(int(count)):
        if kind == "plain":
            n = rng.randint(13, 16)
            out.write(rng.choice("3456") + "".join(rng.choice("0123456789") for _ in range(n - 1)) + "\n")
        else:
            out.write(rng.choice(MIXED_ENTRIES) + "\n")


def timed(program, path):
    """Seconds for the whole process, input from the file, output through a pipe."""
    start = time.perf_counter()
    subprocess.run(f"'{program}' < '{path}' | cat > /dev/null", shell=True, check=True,
                   env=dict(os.environ, LC_ALL="C"))
    return time.perf_counter() - start


def throughput(tool, floor, path, label, runs=11):
    """Paired runs of zandor-check and the C floor, alternating which goes first."""
    count = sum(1 for _ in open(path, "rb"))
    ratios, tool_times = [], []
    for run in range(int(runs)):
        if run % 2:
            f, t = timed(floor, path), timed(tool, path)
        else:
            t, f = timed(tool, path), timed(floor, path)
        ratios.append(t / f)
        tool_times.append(t)
    ratios.sort()
    best = min(tool_times)
    print(f"zandor-check, {count} {label} lines: {best * 1000:.0f} ms best, "
          f"{count / best / 1e6:.1f} million lines/s; median {ratios[len(ratios) // 2]:.2f}x the C floor "
          f"(range {ratios[0]:.2f} to {ratios[-1]:.2f}, {runs} paired runs)")


if __name__ == "__main__":
    {"check": check, "make-lines": make_lines, "throughput": throughput}[sys.argv[1]](*sys.argv[2:])
