"""Pastes a huge entry into the real window and measures how it copes: the time from Enter to
the result line, the slowest answer to a screen reader's queries while the entry is held
(the caret, the whole text, and every boundary type before, at and after the start, the
middle and the end) and the largest piece an answer carried, and the memory added.
Usage: paste.py PROGRAM MIB..."""
import subprocess
import sys
import time

import pyatspi

PROGRAM = sys.argv[1]
BOUNDARIES = [pyatspi.TEXT_BOUNDARY_CHAR, pyatspi.TEXT_BOUNDARY_WORD_START,
              pyatspi.TEXT_BOUNDARY_WORD_END, pyatspi.TEXT_BOUNDARY_SENTENCE_START,
              pyatspi.TEXT_BOUNDARY_SENTENCE_END, pyatspi.TEXT_BOUNDARY_LINE_START,
              pyatspi.TEXT_BOUNDARY_LINE_END]


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
        largest = 0
        text = entry.queryText()
        length = len(entry_text)
        queries = [lambda: text.caretOffset, lambda: text.getText(0, -1)]
        for offset in (0, length // 2, length - 1, length):
            for boundary in BOUNDARIES:
                for ask in (text.getTextBeforeOffset, text.getTextAtOffset, text.getTextAfterOffset):
                    queries.append(lambda ask=ask, offset=offset, boundary=boundary:
                                   ask(offset, boundary)[0])
        for ask in queries:
            query = time.monotonic()
            answer = ask()
            slowest = max(slowest, time.monotonic() - query)
            if isinstance(answer, str):
                largest = max(largest, len(answer))
        start = time.monotonic()
        subprocess.run(["xdotool", "key", "Return"], check=True)
        while result.name != "  True":
            time.sleep(0.005)
        checked = time.monotonic() - start
        added = (peak_kib(program.pid) - before) / 1024
        print(f"{mib} MiB pasted in {pasted:.2f} s; result {checked * 1000:.0f} ms after Enter; "
              f"slowest of {len(queries)} queries {slowest * 1000:.0f} ms, largest answer {largest} "
              f"characters; memory added {added:.0f} MiB "
              f"({added / int(mib):.1f}x the entry)")
    finally:
        program.terminate()
        program.wait()
        clip.kill()
