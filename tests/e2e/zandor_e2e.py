"""End-to-end test of the real ZANDOR program, as a person and a screen reader use it, on X11
or Wayland: keys typed into the session, results and focus read through the accessibility
tree."""
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))
import display_server as session  # noqa: E402

PROGRAM, ARTEFACTS = sys.argv[1], sys.argv[2]
failures = []


# What a screen reader hears of: each result announced, and each change of the entry's selection.
heard = []


def on_event(event):
    if event.type.startswith("object:state-changed:showing") and event.detail1 == 1:
        if event.source.getRole() == pyatspi.ROLE_NOTIFICATION:  # Qt 6.4
            heard.append(("announced", event.source.name))
    elif event.type.startswith("object:announcement"):  # Qt 6.8
        heard.append(("announced", event.any_data))
    elif event.type.startswith("object:text-selection-changed"):
        heard.append(("selection", None))


def wait_until(what, condition, timeout=10.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        while GLib.MainContext.default().iteration(False):
            pass
        try:
            value = condition()
            if value:
                return value
        except Exception:  # the tree may be changing under us
            pass
        time.sleep(0.05)
    raise TimeoutError(what)


def settled(node):
    """Every event the program sent before now has arrived: a call there and back, whose answer
    comes after them, then what the queue holds."""
    node.queryText().characterCount
    while GLib.MainContext.default().iteration(False):
        pass


def check(what, actual, expected):
    if actual != expected:
        failures.append(f"{what}: got {actual!r}, expected {expected!r}")


def find_window():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "zandor":
            for window in app:
                if window is not None and window.name == "ZANDOR":
                    return window
    return None


def focused(node):
    return node.getState().contains(pyatspi.STATE_FOCUSED)


def entry_text(entry):
    text = entry.queryText()
    return text.getText(0, text.characterCount)


def traced_writes_and_network(trace_path):
    """Files the program opened for writing and network sockets it made, from strace."""
    found = []
    with open(trace_path) as trace:
        for line in trace:
            if "= -1" in line:
                continue
            opens = ("open(" in line or "openat(" in line) and any(
                flag in line for flag in ("O_WRONLY", "O_RDWR", "O_CREAT"))
            if opens or "creat(" in line or "AF_INET" in line:
                found.append(line.strip())
    return found


# Traced while in use: it must open no file for writing and no network socket.
trace_path = os.path.join(ARTEFACTS, f"zandor-{session.NAME}-trace.txt")
# LeakSanitizer cannot run under ptrace; the window tests cover leaks instead.
environment = dict(os.environ, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")
program = subprocess.Popen(["strace", "-f", "-qq", "-o", trace_path, "-e",
                            "trace=open,openat,creat,socket", PROGRAM], env=environment)
pyatspi.Registry.registerEventListener(on_event, "object:state-changed:showing",
                                       "object:announcement", "object:text-selection-changed")
try:
    window = wait_until("the ZANDOR window in the accessibility tree", find_window)
    controls = [window.getChildAtIndex(i) for i in range(window.childCount)]
    entry = next(c for c in controls if c.getRole() == pyatspi.ROLE_TEXT)
    button = next(c for c in controls if c.getRole() == pyatspi.ROLE_PUSH_BUTTON)
    check("entry box name", entry.name, "Card number")
    # The result line is a notification, so that a screen reader announces each result.
    result = next(c for c in controls if c.getRole() == pyatspi.ROLE_NOTIFICATION)
    wait_until("focus in the entry box at start", lambda: focused(entry))

    shown = wait_until("the window on the screen", lambda: session.find_window("ZANDOR"))
    check("window held at one size", session.fixed_size(shown), True)

    # Enter at once, on the empty entry.
    session.keys("Return")
    wait_until("result for the empty entry", lambda: result.name == "  False", 3)

    rows = [
        ("4111111111111111", "Visa  True"),
        ("5555555555554443", "MC  False"),
        (" 4111111111111111", "  True"),
        ("4,111,111,111,111,111", "Visa  True"),
        ("0000000000000000000000000000004111111111111111", "  True"),
    ]
    for typed, expected in rows:
        # The previous entry is selected whole, so typing replaces it.
        session.type_text(typed)
        wait_until(f"entry text {typed!r}", lambda: entry_text(entry) == typed, 3)
        del heard[:]
        session.keys("Return")
        try:
            wait_until(f"result for {typed!r}", lambda: ("announced", expected) in heard, 3)
        except TimeoutError:
            failures.append(f"result for {typed!r}: got {result.name!r}, expected {expected!r}")
        settled(entry)
        # Announced once per press, after the selection step, which would interrupt it.
        check(f"heard after {typed!r}", [h for h in heard if h[0] == "announced"],
              [("announced", expected)])
        check(f"announced last after {typed!r}", heard[-1:], [("announced", expected)])
        text = entry.queryText()
        check(f"selection after {typed!r}", text.getSelection(0), (0, len(typed)))
        check(f"focus after {typed!r}", focused(entry), True)

    # A screen reader hears of a selection when there is one: typing over the selected entry
    # ends it once, later characters select nothing, and Ctrl+A with the caret at the end does.
    del heard[:]
    session.type_text("4123")
    session.keys("ctrl+a")
    wait_until("selection after Ctrl+A", lambda: heard.count(("selection", None)) >= 2, 3)
    settled(entry)
    check("selection events for typing and Ctrl+A", heard.count(("selection", None)), 2)

    # A selection made in the entry is never offered to other programs as PRIMARY.
    session.keys("End", "shift+Home")
    wait_until("selection by Shift+Home", lambda: entry.queryText().getSelection(0) == (0, 4), 3)
    check("PRIMARY selection", session.primary(), "")
    # A copy is marked secret, so that clipboard managers and histories leave it out.
    session.keys("ctrl+c")
    wait_until("a copy marked secret",
               lambda: "x-kde-passwordManagerHint" in session.clipboard_formats(), 5)
    session.keys("ctrl+a", "BackSpace")

    # Tab to the button, Enter there; Tab back to the entry box.
    session.keys("Tab")
    wait_until("focus on the button after Tab", lambda: focused(button), 3)
    session.keys("Return")
    wait_until("focus back in the entry box after Enter on the button",
               lambda: focused(entry), 3)
    check("result after Enter on the button", result.name, "  False")
    session.keys("Tab")
    wait_until("focus on the button", lambda: focused(button), 3)
    session.keys("shift+Tab")
    wait_until("focus back in the entry box after Shift+Tab", lambda: focused(entry), 3)

    # Escape leaves the window open: the key typed after it is handled too.
    session.keys("Escape", "4")
    wait_until("a key after Escape", lambda: entry_text(entry) == "4", 3)
    check("window open after Escape", program.poll(), None)
    session.keys("BackSpace")

    session.type_text("4111111111111111")
    session.keys("Return")
    wait_until("result before the screenshot", lambda: result.name == "Visa  True", 3)
    session.screenshot(shown, *(os.path.join(ARTEFACTS, f"zandor-{session.NAME}-{what}.png")
                                for what in ("window", "screen")))

    # Closing the window ends the program with status 0.
    session.close(shown)
    try:
        check("exit status", program.wait(timeout=5), 0)
    except subprocess.TimeoutExpired:
        failures.append("program still running after the window was closed")
finally:
    if program.poll() is None:
        program.kill()
        program.wait()
for line in traced_writes_and_network(trace_path):
    failures.append(f"opened for writing or network: {line}")

if failures:
    print("\n".join(f"FAIL: {f}" for f in failures))
    sys.exit(1)
print(f"end-to-end on {session.NAME}: all checks passed")
