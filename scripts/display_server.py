"""Drives the display server of a private session (desktop_session.sh, wayland_session.sh)
from outside, as a person at the keyboard would, and reads what any other program there can
read: keys, the PRIMARY selection, the clipboard's formats, the window's size hints,
screenshots, closing the window. X11 through xdotool, xclip, xprop and ImageMagick's import;
Wayland, when WAYLAND_DISPLAY is set, through wtype, wl-paste, grim and swaymsg."""
import json
import os
import subprocess

WAYLAND = bool(os.environ.get("WAYLAND_DISPLAY"))
NAME = "wayland" if WAYLAND else "x11"


def run(*args, check=True):
    return subprocess.run(args, capture_output=True, text=True, timeout=30, check=check).stdout


def type_text(text):
    if WAYLAND:
        # Each call of wtype is a new keyboard: its keymap reaches the window before its keys.
        run("wtype", "-s", "50", "--", text)
    else:
        run("xdotool", "type", "--delay", "1", "--", text)


def keys(*names):
    """Keys in xdotool's notation: "Return", "ctrl+a", "shift+Tab"."""
    if not WAYLAND:
        run("xdotool", "key", *names)
        return
    args = ["-s", "50"]
    for name in names:
        *modifiers, key = name.split("+")
        args += [a for m in modifiers for a in ("-M", m)] + ["-k", key]
        args += [a for m in modifiers for a in ("-m", m)]
    run("wtype", *args)


def primary():
    if WAYLAND:
        return run("wl-paste", "--primary", "--no-newline", check=False)
    return run("xclip", "-o", "-selection", "primary", check=False)


def clipboard_formats():
    if WAYLAND:
        return run("wl-paste", "--list-types", check=False).split()
    return run("xclip", "-o", "-selection", "clipboard", "-t", "TARGETS", check=False).split()


def _sway_window(title):
    def nodes(node):
        yield node
        for child in node.get("nodes", []) + node.get("floating_nodes", []):
            yield from nodes(child)
    return next((n for n in nodes(json.loads(run("swaymsg", "-r", "-t", "get_tree")))
                 if n.get("name") == title and n.get("pid")), None)


def find_window(title):
    """A handle on the visible top-level window of that title, or None."""
    if WAYLAND:
        return title if _sway_window(title) else None
    found = run("xdotool", "search", "--onlyvisible", "--name", f"^{title}$", check=False).split()
    return found[0] if found else None


def fixed_size(window):
    """Whether the window manager holds the window at one size: sway floats a window whose
    least and greatest sizes are one; on X11 the size hints say so."""
    if WAYLAND:
        return _sway_window(window)["type"] == "floating_con"
    hints = run("xprop", "-id", window, "WM_NORMAL_HINTS")
    sizes = [line.split(":")[1].strip() for line in hints.splitlines()
             if "minimum size" in line or "maximum size" in line]
    return len(sizes) == 2 and sizes[0] == sizes[1]


def screenshot(window, window_path, screen_path):
    if WAYLAND:
        node = _sway_window(window)
        outer, inner = node["rect"], node["window_rect"]
        run("grim", "-g", f"{outer['x'] + inner['x']},{outer['y'] + inner['y']} "
            f"{inner['width']}x{inner['height']}", window_path)
        run("grim", screen_path)
    else:
        run("import", "-window", window, window_path)
        run("import", "-window", "root", screen_path)


def close(window):
    if WAYLAND:
        run("swaymsg", f"[title=\"^{window}$\"] kill")
    else:
        run("xdotool", "windowactivate", "--sync", window, "key", "alt+F4")
