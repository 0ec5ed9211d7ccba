#!/usr/bin/python3
"""The window as a screen reader sees it: the real gearpanel on the emulated
keyboard, read and pressed over AT-SPI.

Run inside a session bus of its own (dbus-run-session); starts its own X
server, the accessibility bus and the program in a scratch program folder.

usage: tst_gui_atspi.py PROGRAM STAGED_FOLDER SOURCE_MODULES PRELOAD
"""

import ctypes
import os
import shutil
import subprocess
import sys
import tempfile
import time

TIMEOUT = 30.0


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def wait_for(what, predicate, timeout=TIMEOUT):
    """Polls `predicate` until it returns something true; fails naming `what`."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = predicate()
        if result:
            return result
        time.sleep(0.1)
    fail("timed out waiting for " + what)


def start_x_server():
    read_end, write_end = os.pipe()
    # -noreset: the property set below must outlive the client that set it.
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-noreset",
         "-screen", "0", "1280x1024x24"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    with os.fdopen(read_end, "rb") as pipe:
        while not number.endswith(b"\n"):
            chunk = pipe.read(1)
            if not chunk:
                break
            number += chunk
    if not number.strip():
        server.kill()
        fail("Xvfb did not start")
    return server, ":" + number.decode().strip()


def a11y_bus_address():
    from gi.repository import Gio, GLib
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)

    def ask():
        try:
            reply = bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                  None, GLib.VariantType.new("(s)"), Gio.DBusCallFlags.NONE, 2000, None)
            return reply.unpack()[0]
        except GLib.Error:
            return None

    return wait_for("the accessibility bus", ask)


def publish_bus_on_root_window(display, address):
    """Qt 5 learns the accessibility bus from the root window's AT_SPI_BUS
    property at once; asked over the session bus instead, it registers the
    application before the answer arrives and is never seen. A desktop
    session's bus launcher sets the property; here it is set by hand."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong,
                                    ctypes.c_int, ctypes.c_int, ctypes.c_char_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    dpy = x11.XOpenDisplay(display.encode())
    if not dpy:
        fail("cannot open " + display)
    value = address.encode()
    xa_string = 31
    prop_mode_replace = 0
    x11.XChangeProperty(dpy, x11.XDefaultRootWindow(dpy), x11.XInternAtom(dpy, b"AT_SPI_BUS", 0),
                        xa_string, 8, prop_mode_replace, value, len(value))
    x11.XCloseDisplay(dpy)


def make_program_folder(program, staged, sources):
    """The program with what ships: settings and languages from the sources
    (the staged copies may hold what someone saved while running from the
    build tree), skins and sounds as the build made them."""
    folder = tempfile.mkdtemp(prefix="gearpanel-atspi-")
    shutil.copy2(program, folder)
    font = os.path.join(staged, "Exo-Medium.ttf")
    if os.path.exists(font):
        shutil.copy2(font, folder)
    modules = os.path.join(folder, "modules")
    for sub in ("setting", "i18n"):
        shutil.copytree(os.path.join(sources, sub), os.path.join(modules, sub),
                        ignore=shutil.ignore_patterns("README.md"))
    for sub in ("img", "media"):
        shutil.copytree(os.path.join(staged, "modules", sub), os.path.join(modules, sub))
    for slot in range(4):
        os.makedirs(os.path.join(modules, "macro%d" % slot))
    return folder


def read_config(folder):
    """apConfig.bin's [common] entries as a dict of strings."""
    entries = {}
    try:
        with open(os.path.join(folder, "modules", "setting", "apConfig.bin"), encoding="latin-1") as f:
            for line in f:
                key, sep, value = line.strip().partition("=")
                if sep:
                    entries[key] = value
    except OSError:
        pass
    return entries


class Tree:
    def __init__(self, pyatspi, app):
        self.pyatspi = pyatspi
        self.app = app

    def find_all(self, role, name=None):
        """Every control of that role (and name, when given), in tree order."""
        found = []

        def visit(node, depth):
            if node is None or depth > 40:
                return
            try:
                if node.getRoleName() == role and (name is None or node.name == name):
                    found.append(node)
                for i in range(node.childCount):
                    visit(node.getChildAtIndex(i), depth + 1)
            except Exception:
                # Items come and go while the tree is walked.
                pass

        visit(self.app, 0)
        return found

    def find(self, role, name):
        """The control of that role and name, one that is shown if any."""
        nodes = self.find_all(role, name)
        for node in nodes:
            if self.on_screen(node):
                return node
        return nodes[0] if nodes else None

    def has_state(self, node, state):
        try:
            return node.getState().contains(state)
        except Exception:
            return False

    def on_screen(self, node):
        """Whether the item is shown: only shown items have a place on the
        screen (the component interface)."""
        try:
            # The client library keeps what it learnt of an object; ask anew.
            node.clear_cache()
            return "Component" in node.get_interfaces()
        except Exception:
            return False

    def press(self, node):
        action = node.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if "Press" not in names and "press" not in names:
            fail("%s %r offers no press action (%s)" % (node.getRoleName(), node.name, names))
        index = names.index("Press") if "Press" in names else names.index("press")
        if not action.doAction(index):
            fail("pressing %r was refused" % node.name)


def main():
    if len(sys.argv) != 5:
        fail(__doc__)
    program, staged, sources, preload = sys.argv[1:]
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        fail("needs a session bus: run under dbus-run-session")

    processes = []
    folder = make_program_folder(program, staged, sources)
    try:
        server, display = start_x_server()
        processes.append(server)
        os.environ["DISPLAY"] = display

        launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        processes.append(launcher)
        publish_bus_on_root_window(display, a11y_bus_address())

        env = dict(os.environ)
        env.update({"LD_PRELOAD": preload, "QT_ACCESSIBILITY": "1", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
                    "PHONON_GST_AUDIOSINK": "fake"})
        gearpanel = subprocess.Popen([os.path.join(folder, "gearpanel")], cwd="/", env=env)
        processes.append(gearpanel)

        import pyatspi

        def application():
            desktop = pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
                if app is not None and app.name == "gearpanel":
                    return app
            return None

        tree = Tree(pyatspi, wait_for("gearpanel on the accessibility bus", application))
        settings = wait_for("the Settings button", lambda: tree.find("push button", "Settings"))
        # initUI has run once the language drop-down names a language.
        wait_for("the language list filled from the configuration",
                 lambda: any(node.description == "LANGUAGE" and node.name
                             for node in tree.find_all("combo box")))
        # The key page has an APPLY of its own, hidden until its page is
        # shown: none of them shows yet, the panel's is the one that appears.
        applies = wait_for("APPLY in the settings panel", lambda: tree.find_all("push button", "APPLY"))
        if any(tree.on_screen(button) for button in applies):
            fail("the settings panel shows before it was asked for")
        if any(tree.has_state(button, pyatspi.STATE_SHOWING) for button in applies):
            fail("APPLY says it is showing while the panel is closed")

        # The controls hang under the main window, not under a window of
        # their own that is never shown.
        frames = [tree.app.getChildAtIndex(i) for i in range(tree.app.childCount)]
        if any(frame is not None and frame.name == "Offscreen" for frame in frames):
            fail("the view's offscreen window is listed among the program's windows")
        node, depth = settings, 0
        while node is not None and node.getRoleName() != "application" and depth < 40:
            node, depth = node.parent, depth + 1
        if node is None or node.name != "gearpanel":
            fail("the Settings button does not lead up to the program")

        all_save = wait_for("ALL SAVE", lambda: tree.find("push button", "ALL SAVE"))
        for state, what in ((pyatspi.STATE_SHOWING, "showing"), (pyatspi.STATE_VISIBLE, "visible"),
                            (pyatspi.STATE_SENSITIVE, "sensitive"), (pyatspi.STATE_ENABLED, "enabled")):
            if not tree.has_state(all_save, state):
                fail("ALL SAVE is not %s in the bottom menu" % what)

        # The settings panel slides in.
        tree.press(settings)
        apply_button = wait_for("the panel shown", lambda: next(
            (button for button in tree.find_all("push button", "APPLY") if tree.on_screen(button)), None))
        wait_for("APPLY showing", lambda: tree.has_state(apply_button, pyatspi.STATE_SHOWING))

        # It dims the menus behind it: still shown, but not to be used.
        wait_for("ALL SAVE insensitive while the panel is open",
                 lambda: not tree.has_state(all_save, pyatspi.STATE_SENSITIVE)
                 and not tree.has_state(all_save, pyatspi.STATE_ENABLED))
        if not tree.has_state(all_save, pyatspi.STATE_SHOWING):
            fail("the dimmed ALL SAVE no longer says it is showing")

        # A choice made through the reader is stored by APPLY, which slides
        # the panel out again.
        larger = wait_for("LARGER in the panel", lambda: tree.find("radio button", "LARGER"))
        tree.press(larger)
        wait_for("LARGER checked", lambda: tree.has_state(larger, pyatspi.STATE_CHECKED))
        tree.press(apply_button)
        wait_for("text size 1 stored in apConfig.bin", lambda: read_config(folder).get("7") == "1")
        wait_for("the panel hidden again", lambda: not tree.on_screen(apply_button))
        wait_for("ALL SAVE sensitive again", lambda: tree.has_state(all_save, pyatspi.STATE_SENSITIVE))

        # The key page, opened through the reader: each profile key is named
        # once, by the page's M1..M4, not again by the drawing's keys under them.
        tree.press(wait_for("the KEY entry", lambda: tree.find("page tab", "KEY")))
        wait_for("M1 shown", lambda: any(tree.on_screen(b) for b in tree.find_all("push button", "M1")))
        for name in ("M1", "M2", "M3", "M4"):
            shown = [b for b in tree.find_all("push button", name) if tree.on_screen(b)]
            if len(shown) != 1:
                fail("%d shown buttons are named %s on the key page" % (len(shown), name))

        # Close ends the program normally.
        tree.press(wait_for("the Close button", lambda: tree.find("push button", "Close")))
        try:
            code = gearpanel.wait(timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            fail("gearpanel still runs after Close")
        if code != 0:
            fail("gearpanel exited with %d after Close" % code)
        print("PASS", flush=True)
    finally:
        for process in reversed(processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
