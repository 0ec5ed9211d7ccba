#!/usr/bin/python3
"""The firmware update end to end on one shared emulated keyboard: the real
gearpanel starts the real romwriter from its UPDATE button, romwriter updates
the keyboard to 02.03 through its boot loader, and gearpanel, which opened
nothing meanwhile, finds the keyboard again and hides UPDATE. Both programs
are pressed over AT-SPI, as a screen reader would.

Run inside a session bus of its own (dbus-run-session).

usage: tst_gui_update.py PROGRAM STAGED_FOLDER SOURCE_MODULES PRELOAD IMAGEWRITER SHAREDWRITER
"""

import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tst_gui_atspi as atspi  # noqa: E402

fail = atspi.fail
wait_for = atspi.wait_for


def main():
    if len(sys.argv) != 7:
        fail(__doc__)
    program, staged, sources, preload, imagewriter, sharedwriter = sys.argv[1:]
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        fail("needs a session bus: run under dbus-run-session")

    processes = []
    folder = atspi.make_program_folder(program, staged, sources)
    try:
        update = os.path.join(folder, "modules", "update")
        shutil.copytree(os.path.join(staged, "modules", "update"), update)
        subprocess.run([imagewriter, "--demo", "0x0203", os.path.join(update, "data.bin")], check=True,
                       stdout=subprocess.DEVNULL)

        # The keyboard both programs share, and no other.
        os.environ["Q3EMU_STATE"] = os.path.join(folder, "keyboard.state")

        def keyboard():
            """(firmware, plugged) of the shared keyboard, read by a third program."""
            out = subprocess.run([sharedwriter, "show"], capture_output=True, text=True, check=True).stdout.split()
            return out[0], out[2] == "1"

        server, display = atspi.start_x_server()
        processes.append(server)
        os.environ["DISPLAY"] = display
        launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        processes.append(launcher)
        atspi.publish_bus_on_root_window(display, atspi.a11y_bus_address())

        env = dict(os.environ)
        env.update({"LD_PRELOAD": preload, "QT_ACCESSIBILITY": "1", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
                    "PHONON_GST_AUDIOSINK": "fake"})
        gearpanel = subprocess.Popen([os.path.join(folder, "gearpanel")], cwd="/", env=env)
        processes.append(gearpanel)
        if keyboard() != ("0201", True):
            fail("the shared keyboard does not start with firmware 02.01: %s" % (keyboard(),))

        import pyatspi

        def application(name):
            desktop = pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
                if app is not None and app.name == name:
                    return app
            return None

        panel = atspi.Tree(pyatspi, wait_for("gearpanel on the accessibility bus", lambda: application("gearpanel")))
        button = wait_for("UPDATE shown for firmware 02.01",
                          lambda: next((b for b in panel.find_all("push button", "UPDATE") if panel.on_screen(b)),
                                       None))
        panel.press(button)

        writer = atspi.Tree(pyatspi, wait_for("romwriter on the accessibility bus", lambda: application("romwriter")))
        start = wait_for("romwriter's Update button", lambda: writer.find("push button", "Update"))
        wait_for("romwriter connected to the keyboard", lambda: writer.has_state(start, pyatspi.STATE_SENSITIVE))
        # While romwriter has the keyboard, gearpanel says it has none.
        wait_for("gearpanel's no-keyboard text",
                 lambda: any(panel.on_screen(t) for t in panel.find_all("label", "no keyboard connected")))
        writer.press(start)
        wait_for("the keyboard back in normal mode with 02.03", lambda: keyboard() == ("0203", True), timeout=120)
        wait_for("romwriter reporting success",
                 lambda: writer.find_all("label", "Update Success!"), timeout=60)
        writer.press(wait_for("romwriter's Exit button", lambda: writer.find("push button", "Exit")))

        # gearpanel connects again on its own and the button goes.
        wait_for("UPDATE hidden after the update",
                 lambda: not any(panel.on_screen(b) for b in panel.find_all("push button", "UPDATE")))
        wait_for("the no-keyboard text gone",
                 lambda: not any(panel.on_screen(t) for t in panel.find_all("label", "no keyboard connected")))

        panel.press(wait_for("the Close button", lambda: panel.find("push button", "Close")))
        try:
            code = gearpanel.wait(timeout=atspi.TIMEOUT)
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
