"""Helpers for run_benchmarks.sh: the ratio to the bare loop, mixed input, tool throughput."""
import json
import os
import random
import subprocess
import sys
import time



def luhn_digits(rng, n):
    """n digits beginning with a brand digit; about half pass the Luhn rule."""
    digits = [rng.choice("3456")] + [rng.choice("0123456789") for _ in range(n - 1)]
    return "".join(digits)


def grouped(digits, separator):
    head = len(digits) % 3 or 3
    return separator.join([digits[:head]] + [digits[i:i + 3] for i in range(head, len(digits), 3)])


# Shapes of what people type or paste, by weight: mostly plain numbers, then the other forms
# a user's entry takes, with a tail of long lines up to 200 characters.
MIXED_SHAPES = [
    (40, lambda r, d: d),
    (8, lambda r, d: " " * r.randint(1, 3) + d + " " * r.randint(0, 3)),
    (6, lambda r, d: "0" * r.randint(1, 6) + d),
    (8, lambda r, d: grouped(d, ",")),
    (6, lambda r, d: " ".join(d[i:i + 4] for i in range(0, len(d), 4))),
    (5, lambda r, d: d[0] + "." + d[1:] + "E" + str(len(d) - 1)),
    (4, lambda r, d: d[:-2] + "." + d[-2:]),
    (4, lambda r, d: d + ".00"),
    (4, lambda r, d: r.choice("+-") + d),
    (5, lambda r, d: d[:5] + r.choice("xX-/") + d[6:]),
    (3, lambda r, d: ""),
    (3, lambda r, d: d[:r.randint(1, 12)]),
    (4, lambda r, d: "0" * r.randint(20, 184) + d),
]


def mixed_line(rng, even=False):
    """A line of the mixed corpus; with `even`, every shape as likely as any other, as the
    tests try them, the harder mix."""
    digits = luhn_digits(rng, rng.randint(13, 16))
    weights = [1 if even else w for w, _ in MIXED_SHAPES]
    shape = rng.choices([s for _, s in MIXED_SHAPES], weights)[0]
    return shape(rng, digits)[:200]


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
            out.write(mixed_line(rng, even=kind == "shapes") + "\n")


def timed(program, path):
    """CPU seconds of the process alone (user and system), input from the file, output
    discarded: steadier on a busy machine than the time on the wall."""
    with open(path, "rb") as source:
        process = subprocess.Popen([program], stdin=source, stdout=subprocess.DEVNULL,
                                   env=dict(os.environ, LC_ALL="C"))
        _, status, usage = os.wait4(process.pid, 0)
    if status != 0:
        raise SystemExit(f"{program} failed")
    return usage.ru_utime + usage.ru_stime


def throughput(tool, floor, path, label, runs=21):
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


def startup(tool, floor, runs=51):
    """Paired runs on an empty input: what starting costs."""
    pairs = [(timed(tool, os.devnull), timed(floor, os.devnull)) for _ in range(int(runs))]
    ratios = sorted(t / f for t, f in pairs)
    print(f"zandor-check, empty input: {min(t for t, _ in pairs) * 1000:.2f} ms best, median "
          f"{ratios[len(ratios) // 2]:.2f}x the C floor ({runs} paired runs)")


if __name__ == "__main__":
    {"check": check, "make-lines": make_lines, "throughput": throughput,
     "startup": startup}[sys.argv[1]](*sys.argv[2:])
