"""Times a program from its start to its first window being mapped, and reads its peak
resident memory, under an X display without a window manager (so the client window is a
child of the root). Usage: startup.py RUNS PROGRAM [PROGRAM ...]"""
import os
import statistics
import subprocess
import sys
import time

from Xlib import X, display


def measure(program):
    screen = display.Display()
    root = screen.screen().root
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    screen.sync()
    start = time.perf_counter()
    process = subprocess.Popen([program], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        while True:
            event = screen.next_event()
            if event.type == X.MapNotify:
                mapped = time.perf_counter() - start
                break
        time.sleep(0.5)  # let it settle: first paint, fonts, accessibility
        with open(f"/proc/{process.pid}/status") as status:
            peak_kib = next(int(line.split()[1]) for line in status if line.startswith("VmHWM:"))
    finally:
        process.terminate()
        process.wait()
        screen.close()
    return mapped, peak_kib


def main():
    runs = int(sys.argv[1])
    programs = sys.argv[2:]
    results = {}
    for program in programs:
        measure(program)  # warm the caches
    for _ in range(runs):
        for program in programs:  # interleaved, so both see the same machine
            results.setdefault(program, []).append(measure(program))
    medians = {}
    for program, samples in results.items():
        start_ms = statistics.median(s[0] for s in samples) * 1000
        peak_mib = statistics.median(s[1] for s in samples) / 1024
        medians[program] = (start_ms, peak_mib)
        print(f"{os.path.basename(program):16s} start to mapped {start_ms:7.1f} ms   "
              f"peak memory {peak_mib:6.1f} MiB   (median of {runs})")
    if len(programs) == 2:
        # Each run of the first program against the run of the second right after it.
        pairs = list(zip(results[programs[0]], results[programs[1]]))
        start = statistics.median(a[0] / b[0] for a, b in pairs)
        memory = statistics.median(a[1] / b[1] for a, b in pairs)
        print(f"ratio {os.path.basename(programs[0])} / {os.path.basename(programs[1])}, "
              f"median of {len(pairs)} pairs: start-up {start:.2f}x, memory {memory:.2f}x")


if __name__ == "__main__":
    main()
