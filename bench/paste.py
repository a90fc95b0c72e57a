"""Pastes a huge entry into the real window and measures how it copes: the time from Enter to
the result line, the slowest answer to a screen reader's query while the entry is held, and
the memory added. Usage: paste.py PROGRAM MIB..."""
import subprocess
import sys
import time

import pyatspi

PROGRAM = sys.argv[1]


def find(role, timeout=20):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "zandor":
                window = app.getChildAtIndex(0)
                for i in range(window.childCount):
                    child = window.getChildAtIndex(i)
                    if child.getRole() == role:
                        return child
        time.sleep(0.05)
    raise TimeoutError("window")


def peak_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        return next(int(line.split()[1]) for line in status if line.startswith("VmHWM:"))


for mib in sys.argv[2:]:
    entry_text = "0" * (int(mib) * 1024 * 1024 - 16) + "4111111111111111"
    clip = subprocess.Popen(["xclip", "-selection", "clipboard", "-loops", "1"],
                            stdin=subprocess.PIPE)
    clip.stdin.write(entry_text.encode())
    clip.stdin.close()
    program = subprocess.Popen([PROGRAM])
    try:
        entry = find(pyatspi.ROLE_TEXT)
        result = find(pyatspi.ROLE_NOTIFICATION)
        before = peak_kib(program.pid)
        start = time.monotonic()
        subprocess.run(["xdotool", "key", "ctrl+v"], check=True)
        while entry.queryText().characterCount != len(entry_text):
            time.sleep(0.01)
        pasted = time.monotonic() - start
        slowest = 0.0
        for _ in range(20):
            query = time.monotonic()
            entry.queryText().caretOffset
            slowest = max(slowest, time.monotonic() - query)
        start = time.monotonic()
        subprocess.run(["xdotool", "key", "Return"], check=True)
        while result.name != "  True":
            time.sleep(0.005)
        checked = time.monotonic() - start
        added = (peak_kib(program.pid) - before) / 1024
        print(f"{mib} MiB pasted in {pasted:.2f} s; result {checked * 1000:.0f} ms after Enter; "
              f"slowest query {slowest * 1000:.0f} ms; memory added {added:.0f} MiB "
              f"({added / int(mib):.1f}x the entry)")
    finally:
        program.terminate()
        program.wait()
        clip.kill()
