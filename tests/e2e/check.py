#!/usr/bin/env python3
"""End-to-end run of the gallery in a real X server.

Starts Xvfb on a free display, starts `dialog-gallery --e2e` against it and checks from
outside the process, with the X tools xwininfo and xprop and the screen's own pixels, that the
message box, the notification popup and the float button are on screen where they should be
and look right. Without a compositing manager nothing blends translucent pixels, so the
windows must be clipped to their opaque parts (no black shadow band, no black corners); with
xcompmgr running the shadow must be blended in. The gallery runs twice: started on the bare
display, then xcompmgr starts; started under xcompmgr, then xcompmgr stops. The windows
must follow each change.

The pixels are read from the framebuffer Xvfb keeps in a file (-fbdir), which is what the
screen shows. GetImage on the root window (xwd -root) is not: under the Composite extension it
pastes redirected windows in unblended, so a composited shadow would read black.

Usage: check.py PATH/TO/dialog-gallery
Exit codes: 0 all checks passed, 1 a check failed, 77 Xvfb is not installed (skipped).
"""

import os
import re
import selectors
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

from gallery_run import STARTUP_SECONDS, CheckFailed, die_on_signal, numbers, read_windows, stop

SCREEN = (1280, 800)
# The popup's bottom-right corner keeps this distance to the anchor, left and up.
POPUP_GAP = (20, 40)
# Windows are mapped and painted asynchronously: checks are repeated until they hold.
SETTLE_SECONDS = 5
GALLERY_SECONDS = 25  # the gallery quits by itself even if this script is killed


def start_xvfb(fbdir):
    """Starts Xvfb on a display number it picks itself, its screen kept in fbdir; returns
    (process, display)."""
    read_end, write_end = os.pipe()
    # -wr: a white root, so that a black band is not the root showing through.
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-fbdir", fbdir, "-screen", "0", "%dx%dx24" % SCREEN,
         "-nolisten", "tcp", "-wr"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    os.close(write_end)
    selector = selectors.DefaultSelector()
    selector.register(read_end, selectors.EVENT_READ)
    number = b""
    deadline = time.monotonic() + STARTUP_SECONDS
    while not number.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not selector.select(left):
            break
        chunk = os.read(read_end, 16)
        if not chunk:
            break
        number += chunk
    os.close(read_end)
    if not number.strip().isdigit():
        error = b""
        if server.poll() is not None:
            error = server.stderr.read()
        raise CheckFailed("Xvfb did not report a display number: %s"
                          % error.decode(errors="replace").strip())
    return server, ":" + number.strip().decode()


def color(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def run_tool(display, *args):
    result = subprocess.run(args, env=dict(os.environ, DISPLAY=display), capture_output=True,
                            timeout=10)
    if result.returncode != 0:
        raise CheckFailed("%s failed: %s" % (" ".join(args),
                                               result.stderr.decode(errors="replace").strip()))
    return result.stdout


def window_info(display, wid):
    """Absolute geometry, depth and map state of a window, as xwininfo sees them."""
    text = run_tool(display, "xwininfo", "-id", str(wid)).decode(errors="replace")

    def field(label):
        match = re.search(r"^\s*%s:\s*(\S+)" % re.escape(label), text, re.MULTILINE)
        if not match:
            raise CheckFailed("xwininfo -id %s printed no %r" % (wid, label))
        return match.group(1)

    return {
        "x": int(field("Absolute upper-left X")),
        "y": int(field("Absolute upper-left Y")),
        "width": int(field("Width")),
        "height": int(field("Height")),
        "depth": int(field("Depth")),
        "map": field("Map State"),
    }


def undecorated(display, wid):
    """Whether the window asks window managers for no decorations (frameless)."""
    text = run_tool(display, "xprop", "-id", str(wid), "_MOTIF_WM_HINTS").decode()
    match = re.search(r"=\s*(.*)$", text.strip())
    if not match:
        return False
    hints = [int(value, 0) for value in match.group(1).split(",")]
    # flags bit 1: the decorations field is set; decorations 0: none at all.
    return len(hints) >= 3 and hints[0] & 2 and hints[2] == 0


class Screenshot:
    """The screen in XWD format, as Xvfb keeps it: a header, a colour map and a ZPixmap
    image."""

    def __init__(self, data):
        names = ("header_size version format depth width height xoffset byte_order unit "
                 "bit_order pad bits_per_pixel bytes_per_line visual_class red_mask "
                 "green_mask blue_mask bits_per_rgb map_entries ncolors").split()
        if len(data) < 100:
            raise CheckFailed("the screen file holds %d bytes, not a picture" % len(data))
        header = dict(zip(names, struct.unpack(">20I", data[:80])))
        if header["version"] != 7 or header["format"] != 2:
            raise CheckFailed("the screen file has an unexpected format (version %d, format %d)"
                              % (header["version"], header["format"]))
        if header["bits_per_pixel"] not in (16, 24, 32):
            raise CheckFailed("cannot read %d bits per pixel" % header["bits_per_pixel"])
        self.width = header["width"]
        self.height = header["height"]
        self.bytes_per_pixel = header["bits_per_pixel"] // 8
        self.bytes_per_line = header["bytes_per_line"]
        self.order = "little" if header["byte_order"] == 0 else "big"
        self.masks = (header["red_mask"], header["green_mask"], header["blue_mask"])
        self.pixels = data[header["header_size"] + 12 * header["ncolors"]:]
        if len(self.pixels) < self.bytes_per_line * self.height:
            raise CheckFailed("the screen file is cut short")

    def pixel(self, x, y):
        """(r, g, b) at a screen point, each 0..255."""
        start = y * self.bytes_per_line + x * self.bytes_per_pixel
        value = int.from_bytes(self.pixels[start:start + self.bytes_per_pixel], self.order)
        rgb = []
        for mask in self.masks:
            shift = (mask & -mask).bit_length() - 1
            top = mask >> shift
            rgb.append(((value & mask) >> shift) * 255 // top)
        return tuple(rgb)


def hex_color(rgb):
    return "#%02x%02x%02x" % rgb


def check_windows(display, fbdir, windows, composited):
    """Every failed check, as a list of messages (empty when all hold)."""
    failures = []
    expected = {}
    box, popup = windows["messagebox"], windows["popup"]
    stage, button = windows["stage"], windows["floatbutton"]

    expected["messagebox"] = numbers(box["geometry"])
    anchor_x, anchor_y = numbers(popup["anchor"])
    popup_w, popup_h = numbers(popup["size"])
    expected["popup"] = (anchor_x - POPUP_GAP[0] - popup_w, anchor_y - POPUP_GAP[1] - popup_h,
                         popup_w, popup_h)
    expected["stage"] = numbers(stage["geometry"])
    expected["floatbutton"] = numbers(button["geometry"])

    info = {}
    for name, (x, y, w, h) in expected.items():
        got = window_info(display, windows[name]["wid"])
        info[name] = got
        if got["map"] != "IsViewable":
            failures.append("%s: map state %s, expected IsViewable" % (name, got["map"]))
        actual = (got["x"], got["y"], got["width"], got["height"])
        if actual != (x, y, w, h):
            failures.append("%s: at %d,%d size %dx%d, expected %d,%d size %dx%d"
                            % ((name,) + actual + (x, y, w, h)))

    # The float button hovers over its parent window and is translucent (an ARGB visual).
    bx, by, bw, bh = expected["floatbutton"]
    sx, sy, sw, sh = expected["stage"]
    if not (sx <= bx and sy <= by and bx + bw <= sx + sw and by + bh <= sy + sh):
        failures.append("floatbutton: %s does not lie over its parent %s"
                        % (button["geometry"], stage["geometry"]))
    if button.get("parent") != stage["wid"]:
        failures.append("floatbutton: reported parent %s, the stage is %s"
                        % (button.get("parent"), stage["wid"]))
    for name in ("messagebox", "popup", "floatbutton"):
        if info[name]["depth"] != 32:
            failures.append("%s: depth %d, expected 32 (translucent)" % (name, info[name]["depth"]))
    for name in ("messagebox", "popup", "floatbutton"):
        if not undecorated(display, windows[name]["wid"]):
            failures.append("%s: does not ask for a frameless window (_MOTIF_WM_HINTS)" % name)
    if failures:
        return failures

    with open(os.path.join(fbdir, "Xvfb_screen0"), "rb") as screen:
        shot = Screenshot(screen.read())
    if (shot.width, shot.height) != SCREEN:
        return ["screenshot is %dx%d, expected %dx%d" % ((shot.width, shot.height) + SCREEN)]

    # Client areas: sampled near their four corners, clear of the icon, texts and buttons.
    for name in ("messagebox", "popup"):
        wx, wy = expected[name][:2]
        cx, cy, cw, ch = numbers(windows[name]["client"])
        want = color(windows[name]["background"])
        inset = 3
        for px, py in ((cx + inset, cy + inset), (cx + cw - 1 - inset, cy + inset),
                       (cx + inset, cy + ch - 1 - inset), (cx + cw - 1 - inset, cy + ch - 1 - inset)):
            got = shot.pixel(wx + px, wy + py)
            if got != want:
                failures.append("%s: pixel at %d,%d of the client area is %s, expected %s"
                                % (name, px, py, hex_color(got), hex_color(want)))

    # The shadow band just outside the frame, halfway down the left edge, against the desktop
    # well away from every window. Bare, the window is clipped there and the desktop shows;
    # composited, the shadow darkens the desktop, and neither shows black.
    desktop = shot.pixel(5, SCREEN[1] - 5)
    for name in ("messagebox", "popup"):
        wx, wy, _, wh = expected[name]
        point = (wx + numbers(windows[name]["client"])[0] - 1, wy + wh // 2)
        got = shot.pixel(*point)
        shaded = got != (0, 0, 0) and sum(got) < sum(desktop)
        if composited != shaded or (not composited and got != desktop):
            failures.append("%s: shadow band at %d,%d is %s against the desktop's %s, expected %s"
                            % ((name,) + point + (hex_color(got), hex_color(desktop),
                               "a shade of it" if composited else "the desktop")))

    stage_color = color(stage["background"])
    # The parent shows its own colour beside the button ...
    beside = (bx + bw + 10, by + bh // 2)
    if shot.pixel(*beside) != stage_color:
        failures.append("stage: pixel at %d,%d is %s, expected %s" % (
            beside + (hex_color(shot.pixel(*beside)), stage["background"])))
    # ... and through the button's transparent rounded corner (clipped off, or blended) ...
    if shot.pixel(bx, by) != stage_color:
        failures.append("floatbutton: its corner at %d,%d is %s, expected the parent's %s"
                        % (bx, by, hex_color(shot.pixel(bx, by)), stage["background"]))
    # ... and the button is painted over it: neither the parent shows through nor an
    # untouched transparent pixel.
    for where, point in (("centre", (bx + bw // 2, by + bh // 2)),
                         ("face left of the caption", (bx + 4, by + bh // 2))):
        got = shot.pixel(*point)
        if got in (stage_color, (0, 0, 0)):
            failures.append("floatbutton: its %s at %d,%d is %s: not painted"
                            % ((where,) + point + (hex_color(got),)))
    return failures


def wait_for_compositor(display):
    """Waits until xcompmgr has made its window, which it does as it takes the
    _NET_WM_CM_S0 selection."""
    deadline = time.monotonic() + STARTUP_SECONDS
    while time.monotonic() < deadline:
        tree = run_tool(display, "xwininfo", "-root", "-children").decode(errors="replace")
        if '"xcompmgr"' in tree:
            return
        time.sleep(0.1)
    raise CheckFailed("xcompmgr did not start within %d s" % STARTUP_SECONDS)


class Compositor:
    """xcompmgr on the display, started and stopped on demand."""

    def __init__(self, display, log):
        self.display, self.log, self.process = display, log, None

    def start(self):
        self.process = subprocess.Popen(["xcompmgr"], env=dict(os.environ, DISPLAY=self.display),
                                        stdout=subprocess.DEVNULL, stderr=self.log)
        wait_for_compositor(self.display)

    def stop(self):
        stop(self.process)
        self.process = None

    @property
    def running(self):
        return self.process is not None


def settled(display, fbdir, windows, composited, gallery):
    """The failed checks once they hold or SETTLE_SECONDS have passed."""
    deadline = time.monotonic() + SETTLE_SECONDS
    while True:
        failures = check_windows(display, fbdir, windows, composited)
        if not failures or time.monotonic() > deadline:
            return failures
        if gallery.poll() is not None:
            raise CheckFailed("the gallery exited early (code %s)" % gallery.returncode)
        time.sleep(0.2)


def run_gallery(display, fbdir, log, compositor):
    """One gallery run: checked as started, then again once the compositor has been switched
    the other way. Returns the failed checks, each with the state it was seen in."""
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", OMRA_CONSOLE_LOG="")
    gallery = subprocess.Popen([sys.argv[1], "--e2e", "--e2e-seconds", str(GALLERY_SECONDS)],
                               env=env, stdout=subprocess.PIPE, stderr=log)
    try:
        windows = read_windows(gallery)
        missing = {"messagebox", "popup", "stage", "floatbutton"} - set(windows)
        if missing:
            raise CheckFailed("the gallery reported no window for %s" % ", ".join(sorted(missing)))
        for fields in windows.values():
            print("window %-12s %s" % (fields["window"], " ".join(
                "%s=%s" % item for item in sorted(fields.items()) if item[0] != "window")))

        failures = []
        for switched in (False, True):
            if switched and compositor.running:
                compositor.stop()
            elif switched:
                compositor.start()
            state = ("xcompmgr %s" % ("started" if switched else "running")
                     if compositor.running else
                     "xcompmgr stopped" if switched else "bare display")
            failures += ["(%s) %s" % (state, failure) for failure in
                         settled(display, fbdir, windows, compositor.running, gallery)]
            if failures:
                break
        return failures
    finally:
        stop(gallery)


def main():
    if len(sys.argv) != 2:
        print("usage: check.py PATH/TO/dialog-gallery", file=sys.stderr)
        return 2
    if not shutil.which("Xvfb"):
        print("SKIP: Xvfb is not installed (Debian package xvfb)")
        return 77
    for tool, package in (("xwininfo", "x11-utils"), ("xprop", "x11-utils"),
                          ("xcompmgr", "xcompmgr")):
        if not shutil.which(tool):
            print("FAIL: %s is missing (Debian package %s; scripts/install-deps.sh installs it)"
                  % (tool, package))
            return 1
    signal.signal(signal.SIGTERM, die_on_signal)
    signal.signal(signal.SIGINT, die_on_signal)

    started = time.monotonic()
    server = compositor = None
    log = tempfile.TemporaryFile()
    fbdir = tempfile.TemporaryDirectory()
    failed = True
    try:
        server, display = start_xvfb(fbdir.name)
        compositor = Compositor(display, log)
        # Started bare, then composited; the second run starts as the first one ended.
        for _ in range(2):
            failures = run_gallery(display, fbdir.name, log, compositor)
            for failure in failures:
                print("FAIL %s" % failure)
            if failures:
                return 1
        failed = False
        print("PASS: 4 windows on display %s checked bare, as xcompmgr started, composited and "
              "as it stopped, in %.1f s" % (display, time.monotonic() - started))
        return 0
    except CheckFailed as error:
        print("FAIL: %s" % error)
        return 1
    finally:
        if compositor:
            compositor.stop()
        stop(server)
        fbdir.cleanup()
        if failed:
            log.seek(0)
            output = log.read().decode(errors="replace").strip()
            if output:
                print("error output:\n" + output)
        log.close()


if __name__ == "__main__":
    sys.exit(main())
