#!/usr/bin/env python3
"""End-to-end run of the gallery under a real Wayland compositor.

Starts weston headless (pixman renderer, its debug protocol on so that weston-screenshooter
may read the screen) with a private runtime directory and socket, runs
`dialog-gallery --e2e-anchored` on Qt's wayland platform and reads the screen back. Wayland
tells no program where its windows are, so the main window (one known colour) is found in
the screenshot, and the popup's title bar must be where its anchor, given relative to that
window, puts it: 20 pixels left of and 40 above the anchor, less the popup's size, inside
the frame band and its one-pixel outline. The float button must sit over the main window at
its offset. Clicked by the gallery itself, the main window must leave the popup open and the
popup's check box must tick. The gallery's error output must not hold Qt's "requestActivate"
warning, which it prints each time a program asks Wayland to activate a window.

Usage: wayland.py PATH/TO/dialog-gallery
Exit codes: 0 passed, 1 a check failed, 77 weston is missing or cannot start (skipped).
"""

import os
import pathlib
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

from gallery_run import STARTUP_SECONDS, CheckFailed, die_on_signal, numbers, read_windows, stop

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from pngfile import Png  # noqa: E402  (the scripts folder is on the path only from here)

SCREEN = (1024, 640)
POPUP_GAP = (20, 40)
# The title bar's colour starts inside the frame's one-pixel outline.
OUTLINE = 1
TOLERANCE = 3
SETTLE_SECONDS = 5
GALLERY_SECONDS = 25  # the gallery quits by itself even if this script is killed


def skip(message):
    print("SKIP: " + message)
    sys.exit(77)


def start_weston(runtime, name, log):
    """weston on socket `name` in `runtime`, in a process group of its own (it starts its
    shell's helper programs); None if it does not come up."""
    weston = subprocess.Popen(
        ["weston", "--backend=headless-backend.so", "--use-pixman", "--no-config", "--debug",
         "--idle-time=0", "--socket=" + name, "--width=%d" % SCREEN[0],
         "--height=%d" % SCREEN[1]],
        env=dict(os.environ, XDG_RUNTIME_DIR=runtime), stdout=log, stderr=log,
        start_new_session=True)
    path = os.path.join(runtime, name)
    deadline = time.monotonic() + STARTUP_SECONDS
    while time.monotonic() < deadline and weston.poll() is None:
        if os.path.exists(path):
            with socket.socket(socket.AF_UNIX) as probe:
                try:
                    probe.connect(path)
                    return weston
                except OSError:
                    pass
        time.sleep(0.05)
    stop_group(weston)
    return None


def stop_group(process):
    """Stops a process started in a session of its own and whatever it left running."""
    if not process:
        return
    stop(process)
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass


def color(text):
    return bytes(int(text[i:i + 2], 16) for i in (1, 3, 5))


class Screenshot:
    """A PNG as weston-screenshooter writes it, read as RGBA rows."""

    def __init__(self, path):
        try:
            png = Png(pathlib.Path(path))
        except ValueError as error:
            raise CheckFailed(str(error))
        self.width, self.height, self.step = png.width, png.height, 4
        self.rows = png.rgba_rows()

    def pixel(self, x, y):
        start = x * self.step
        return self.rows[y][start:start + 3]

    def bounds(self, rgb):
        """(left, top, right, bottom) of the pixels of exactly this colour, or None."""
        found = None
        for y, row in enumerate(self.rows):
            xs = [x for x in range(self.width) if row[x * self.step:x * self.step + 3] == rgb]
            if xs:
                left, top, right, _ = found or (xs[0], y, xs[-1], y)
                found = (min(left, xs[0]), top, max(right, xs[-1]), y)
        return found


def take_screenshot(runtime, name, folder):
    for old in os.listdir(folder):
        os.remove(os.path.join(folder, old))
    result = subprocess.run(["weston-screenshooter"], cwd=folder, capture_output=True, timeout=10,
                            env=dict(os.environ, XDG_RUNTIME_DIR=runtime, WAYLAND_DISPLAY=name))
    files = os.listdir(folder)
    if result.returncode != 0 or len(files) != 1:
        raise CheckFailed("weston-screenshooter failed: %s"
                          % result.stderr.decode(errors="replace").strip())
    return Screenshot(os.path.join(folder, files[0]))


def check_screen(shot, windows):
    """Every failed check as a message (empty when all hold), and what was measured."""
    stage, popup, button = windows["stage"], windows["popup"], windows["floatbutton"]
    found = shot.bounds(color(stage["background"]))
    if not found:
        return ["the main window's colour %s is nowhere on the screen" % stage["background"]], ""
    sx, sy = found[:2]
    ax, ay = numbers(popup["anchor"])
    pw, ph = numbers(popup["size"])
    inset = int(popup["margin"]) + OUTLINE
    want = (ax - POPUP_GAP[0] - pw + inset, ay - POPUP_GAP[1] - ph + inset)
    title = shot.bounds(color(popup["titlebar"]))
    if not title:
        return ["the popup's title bar (%s) is nowhere on the screen" % popup["titlebar"]], ""
    got = (title[0] - sx, title[1] - sy)
    measured = "popup title bar at %+d,%+d from the main window, expected %+d,%+d" % (got + want)
    failures = []
    if abs(got[0] - want[0]) > TOLERANCE or abs(got[1] - want[1]) > TOLERANCE:
        failures.append(measured)
    if (popup["shown"], popup["checked"]) != ("1", "1"):
        failures.append("popup: shown %s, check box ticked %s after a click on the main window "
                        "and one on the box; expected 1, 1" % (popup["shown"], popup["checked"]))

    bx, by = numbers(button["offset"])
    bw, bh = numbers(button["size"])
    for what, point, rgb in (("its face", (bx + 4, by + bh // 2), button["face"]),
                             ("the main window beside it", (bx + bw + 10, by + bh // 2),
                              stage["background"])):
        x, y = sx + point[0], sy + point[1]
        if not (0 <= x < shot.width and 0 <= y < shot.height) or shot.pixel(x, y) != color(rgb):
            failures.append("float button: %s should show %s at %+d,%+d from the main window"
                            % ((what, rgb) + point))
    return failures, measured


def main():
    if len(sys.argv) != 2:
        print("usage: wayland.py PATH/TO/dialog-gallery", file=sys.stderr)
        return 2
    for tool in ("weston", "weston-screenshooter"):
        if not shutil.which(tool):
            skip("%s is not installed (Debian package weston)" % tool)
    signal.signal(signal.SIGTERM, die_on_signal)
    signal.signal(signal.SIGINT, die_on_signal)

    started = time.monotonic()
    weston = gallery = None
    runtime = tempfile.TemporaryDirectory(prefix="dialog-wayland-")
    os.chmod(runtime.name, 0o700)
    shots = tempfile.TemporaryDirectory(prefix="dialog-wayland-shots-")
    weston_log, gallery_log = tempfile.TemporaryFile(), tempfile.TemporaryFile()
    name = "wayland-e2e-%d" % os.getpid()
    failed = True
    try:
        weston = start_weston(runtime.name, name, weston_log)
        if not weston:
            failed = False
            weston_log.seek(0)
            skip("weston did not start: %s"
                 % weston_log.read().decode(errors="replace").strip()[-800:])
        env = {key: value for key, value in os.environ.items() if key != "DISPLAY"}
        env.update(QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=name, XDG_RUNTIME_DIR=runtime.name,
                   OMRA_CONSOLE_LOG="")
        gallery = subprocess.Popen(
            [sys.argv[1], "--e2e-anchored", "--e2e-seconds", str(GALLERY_SECONDS)],
            env=env, stdout=subprocess.PIPE, stderr=gallery_log)
        windows = read_windows(gallery)
        missing = {"stage", "popup", "floatbutton"} - set(windows)
        if missing:
            raise CheckFailed("the gallery reported no window for %s" % ", ".join(sorted(missing)))

        deadline = time.monotonic() + SETTLE_SECONDS
        while True:
            failures, measured = check_screen(take_screenshot(runtime.name, name, shots.name),
                                              windows)
            if not failures or time.monotonic() > deadline:
                break
            if gallery.poll() is not None:
                raise CheckFailed("the gallery exited early (code %s)" % gallery.returncode)
            time.sleep(0.2)
        gallery_log.seek(0)
        warnings = [line for line in gallery_log.read().decode(errors="replace").splitlines()
                    if "requestActivate" in line]
        failures += ["the gallery printed: %s" % line for line in warnings]
        for failure in failures:
            print("FAIL %s" % failure)
        if failures:
            return 1
        failed = False
        print("PASS: %s; float button over the main window; no activation warnings; %.1f s"
              % (measured, time.monotonic() - started))
        return 0
    except CheckFailed as error:
        print("FAIL: %s" % error)
        return 1
    finally:
        stop(gallery)
        stop_group(weston)
        if failed:
            for what, log in (("gallery", gallery_log), ("weston", weston_log)):
                log.seek(0)
                output = log.read().decode(errors="replace").strip()
                if output:
                    print("%s error output:\n%s" % (what, output[-2000:]))
        weston_log.close()
        gallery_log.close()
        shots.cleanup()
        runtime.cleanup()


if __name__ == "__main__":
    sys.exit(main())
