#!/usr/bin/python3
"""Reads the dictionary window as a screen reader does, from another process.

It runs itself inside a private D-Bus session (dbus-run-session), starts the
accessibility bus, a virtual X display and the program with accessibility
on, then talks to the program over AT-SPI only: it finds the search box by
its name, types a term through the keyboard, and reads the headword list's
rows and current row and the explanation through its Text interface.

    /usr/bin/python3 read_window.py PROGRAM

Exit 0 when everything read as expected, 1 on a wrong reading, 77 (skipped)
when the accessibility packages are missing.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
# Generous: the program, the display and the buses start on a busy machine.
DEADLINE_SECONDS = 60
XK_DOWN = 0xFF54  # the X key symbol of the Down arrow

try:
    import pyatspi
    from gi.repository import Gio, GLib
except ImportError:
    print("SKIP: python3-pyatspi is not installed (apt-get install python3-pyatspi)")
    sys.exit(SKIP)
if not os.path.exists(BUS_LAUNCHER) or shutil.which("Xvfb") is None:
    print("SKIP: at-spi2-core or xvfb is not installed")
    sys.exit(SKIP)
if os.environ.get("DORVEM_PRIVATE_SESSION") != "1":
    # Never the user's own session: a private one, which ends with the test.
    if shutil.which("dbus-run-session") is None:
        print("SKIP: dbus-run-session is not installed (apt-get install dbus-daemon)")
        sys.exit(SKIP)
    os.environ["DORVEM_PRIVATE_SESSION"] = "1"
    os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable] + sys.argv)


def wait_for(what, probe):
    """Polls an outside process's state until `probe` returns a value."""
    end = time.monotonic() + DEADLINE_SECONDS
    while time.monotonic() < end:
        try:
            value = probe()
        except Exception:  # the accessible tree is still being built
            value = None
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


def find(root, predicate):
    """The first accessible below `root`, breadth first, that `predicate` accepts."""
    level = [root]
    while level:
        below = []
        for node in level:
            for child in node:
                if child is None:
                    continue
                if predicate(child):
                    return child
                below.append(child)
        level = below
    return None


def start_display():
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        raise AssertionError("Xvfb did not start")
    return xvfb, ":" + number


def main():
    program = os.path.abspath(sys.argv[1])
    children = []
    try:
        xvfb, display = start_display()
        children.append(xvfb)
        # The registry sends the keys and clicks it is asked for to the X
        # display it starts on, so the display comes first.
        os.environ["DISPLAY"] = display
        bus = subprocess.Popen([BUS_LAUNCHER, "--launch-immediately"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        children.append(bus)
        # A program that starts before the accessibility bus is there stays
        # off it; wait until the launcher owns its name.
        session = Gio.bus_get_sync(Gio.BusType.SESSION, None)

        def has_owner(name):
            reply = session.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                      "org.freedesktop.DBus", "NameHasOwner",
                                      GLib.Variant("(s)", (name,)), None,
                                      Gio.DBusCallFlags.NONE, -1, None)
            return reply.unpack()[0]

        wait_for("the accessibility bus", lambda: has_owner("org.a11y.Bus"))
        wait_for("the accessibility registry", lambda: pyatspi.Registry.getDesktop(0) is not None)
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                   LANG="C.UTF-8", LC_ALL="C.UTF-8")
        env.pop("WAYLAND_DISPLAY", None)
        env.setdefault("XDG_RUNTIME_DIR", tempfile.mkdtemp(prefix="dorvem-runtime-"))
        dorvem = subprocess.Popen([program], env=env)
        children.append(dorvem)

        desktop = pyatspi.Registry.getDesktop(0)
        app = wait_for("the program on the accessibility bus",
                       lambda: next((a for a in desktop if a and a.name == "dorvem"), None))
        box = wait_for("the search box", lambda: find(
            app, lambda a: a.getRoleName() == "text" and a.name == "Keresett szó"))
        grid = wait_for("the headword list", lambda: find(
            app, lambda a: a.getRole() == pyatspi.ROLE_LIST and a.name == "Címszavak"))
        memo = wait_for("the explanation", lambda: find(
            app, lambda a: a.name == "Magyarázat"))
        print("search box:", repr(box.name), "-", box.description)

        # There is no window manager to give the window the keyboard: click
        # into the box, as a user would, which puts the pointer over the
        # window (the X server then sends it the keys) and the focus there.
        extents = box.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        pyatspi.Registry.generateMouseEvent(extents.x + extents.width // 2,
                                            extents.y + extents.height // 2, "b1c")
        wait_for("the focus in the search box",
                 lambda: box.getState().contains(pyatspi.STATE_FOCUSED))
        for letter in "leg":
            pyatspi.Registry.generateKeyboardEvent(0, letter, pyatspi.KEY_STRING)
        text = box.queryText()
        wait_for("LEG in the search box", lambda: text.getText(0, -1) == "LEG")
        print("typed:", text.getText(0, -1))

        def rows():
            return [row.name for row in grid if row is not None]

        def current():
            return [row.name for row in grid
                    if row is not None and row.getState().contains(pyatspi.STATE_SELECTED)]

        # The demo's headwords that begin with LEG, in the list's order.
        listed = wait_for("the list narrowed to LEG",
                          lambda: rows() if rows()[:2] == ["LEGATO", "LEGGIERO"] else None)
        print("rows:", listed, "current:", current())
        assert current() == ["LEGATO"], current()
        # Down in the box moves to the next headword, and the reader follows.
        pyatspi.Registry.generateKeyboardEvent(XK_DOWN, None, pyatspi.KEY_SYM)
        wait_for("the current row on LEGGIERO", lambda: current() == ["LEGGIERO"])
        print("after Down, current:", current())

        # The demo's explanation of LEGGIERO, as text: its two paragraphs,
        # without a trace of the rich text's control words.
        expected = ("LEGGIERO (ol. 'könnyű')\n"
                    "Könnyedén, finoman, súlytalanul; gyors futamoknál gyakori.")
        explanation = wait_for("the explanation of LEGGIERO", lambda: (
            lambda t: t if t.startswith("LEGGIERO") else None)(memo.queryText().getText(0, -1)))
        print("explanation:", explanation.replace("\n", " / "))
        assert explanation.strip() == expected, repr(explanation)
        print("PASS")
        return 0
    finally:
        for child in reversed(children):
            child.terminate()
            try:
                child.wait(10)
            except subprocess.TimeoutExpired:
                child.kill()


if __name__ == "__main__":
    sys.exit(main())
