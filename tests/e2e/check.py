#!/usr/bin/env python3
"""End-to-end run of the gallery in a real X server.

Starts Xvfb on a free display, starts `dialog-gallery --e2e` against it and checks from
outside the process, with the X tools xwininfo, xprop and xwd, that the message box, the
notification popup and the float button are on screen where they should be and look right.
It does so twice: on the bare display, where nothing blends translucent pixels and the
dialogs' shadow bands must not show as black, and with xcompmgr running, where the dialogs
must stay translucent.

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

SCREEN = (1280, 800)
# The popup's bottom-right corner keeps this distance to the anchor, left and up.
POPUP_GAP = (20, 40)
STARTUP_SECONDS = 10
# Windows are mapped and painted asynchronously: checks are repeated until they hold.
SETTLE_SECONDS = 5
GALLERY_SECONDS = 25  # the gallery quits by itself even if this script is killed


class CheckFailed(Exception):
    pass


def die_on_signal(signum, _frame):
    # Turned into an exception so that the clean-up in main() runs.
    raise SystemExit(128 + signum)


def start_xvfb():
    """Starts Xvfb on a display number it picks itself; returns (process, display)."""
    read_end, write_end = os.pipe()
    # -wr: a white root, so that a black band is not the root showing through.
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % SCREEN,
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


def read_windows(gallery):
    """Reads the gallery's report lines up to 'e2e ready'; returns {name: fields}."""
    windows = {}
    selector = selectors.DefaultSelector()
    selector.register(gallery.stdout, selectors.EVENT_READ)
    buffered = b""
    deadline = time.monotonic() + STARTUP_SECONDS
    while True:
        while b"\n" not in buffered:
            left = deadline - time.monotonic()
            if left <= 0 or not selector.select(left):
                raise CheckFailed("the gallery did not report its windows within %d s"
                                  % STARTUP_SECONDS)
            chunk = os.read(gallery.stdout.fileno(), 4096)
            if not chunk:
                raise CheckFailed("the gallery exited (code %s) before reporting its windows"
                                  % gallery.wait())
            buffered += chunk
        line, buffered = buffered.split(b"\n", 1)
        words = line.decode(errors="replace").split()
        if words[:1] != ["e2e"]:
            continue
        if words[1:] == ["ready"]:
            return windows
        fields = dict(word.split("=", 1) for word in words[1:] if "=" in word)
        windows[fields["window"]] = fields


def numbers(text):
    return tuple(int(part) for part in text.split(","))


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
    """The root window as xwd writes it: a header, a colour map and a ZPixmap image."""

    def __init__(self, data):
        names = ("header_size version format depth width height xoffset byte_order unit "
                 "bit_order pad bits_per_pixel bytes_per_line visual_class red_mask "
                 "green_mask blue_mask bits_per_rgb map_entries ncolors").split()
        if len(data) < 100:
            raise CheckFailed("xwd wrote %d bytes, not a picture" % len(data))
        header = dict(zip(names, struct.unpack(">20I", data[:80])))
        if header["version"] != 7 or header["format"] != 2:
            raise CheckFailed("xwd wrote an unexpected format (version %d, format %d)"
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
            raise CheckFailed("xwd picture is cut short")

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


def check_windows(display, windows, composited):
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
    if info["floatbutton"]["depth"] != 32:
        failures.append("floatbutton: depth %d, expected 32 (translucent)"
                        % info["floatbutton"]["depth"])
    for name in ("messagebox", "popup", "floatbutton"):
        if not undecorated(display, windows[name]["wid"]):
            failures.append("%s: does not ask for a frameless window (_MOTIF_WM_HINTS)" % name)
    if failures:
        return failures

    shot = Screenshot(run_tool(display, "xwd", "-root", "-silent"))
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

    # The shadow band just outside the frame, halfway down the left edge: on the bare display
    # it is painted opaque, never left black. With a compositing manager the dialogs stay
    # translucent for it to blend (xcompmgr on Xvfb draws every ARGB window unblended, so
    # that its pixels tell nothing).
    for name in ("messagebox", "popup"):
        wx, wy, _, wh = expected[name]
        point = (wx + numbers(windows[name]["client"])[0] - 1, wy + wh // 2)
        if composited and info[name]["depth"] != 32:
            failures.append("%s: depth %d under a compositing manager, expected 32"
                            % (name, info[name]["depth"]))
        if not composited and shot.pixel(*point) == (0, 0, 0):
            failures.append("%s: shadow band at %d,%d is black" % ((name,) + point))

    stage_color = color(stage["background"])
    # The parent shows its own colour beside the button ...
    beside = (bx + bw + 10, by + bh // 2)
    if shot.pixel(*beside) != stage_color:
        failures.append("stage: pixel at %d,%d is %s, expected %s" % (
            beside + (hex_color(shot.pixel(*beside)), stage["background"])))
    # ... and the button is painted over it: neither the parent shows through nor an
    # untouched transparent pixel (black, as no compositing manager blends it).
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


def run_gallery(display, log, composited):
    """One gallery run on display; returns the failed checks (empty when all hold)."""
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

        deadline = time.monotonic() + SETTLE_SECONDS
        while True:
            failures = check_windows(display, windows, composited)
            if not failures or time.monotonic() > deadline:
                return failures
            if gallery.poll() is not None:
                raise CheckFailed("the gallery exited early (code %s)" % gallery.returncode)
            time.sleep(0.2)
    finally:
        stop(gallery)


def stop(process):
    if process and process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=3)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def main():
    if len(sys.argv) != 2:
        print("usage: check.py PATH/TO/dialog-gallery", file=sys.stderr)
        return 2
    if not shutil.which("Xvfb"):
        print("SKIP: Xvfb is not installed (Debian package xvfb)")
        return 77
    for tool, package in (("xwininfo", "x11-utils"), ("xprop", "x11-utils"), ("xwd", "x11-apps"),
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
    failed = True
    try:
        server, display = start_xvfb()
        for composited in (False, True):
            if composited:
                compositor = subprocess.Popen(["xcompmgr"], env=dict(os.environ, DISPLAY=display),
                                              stdout=subprocess.DEVNULL, stderr=log)
                wait_for_compositor(display)
            failures = run_gallery(display, log, composited)
            for failure in failures:
                print("FAIL (%s): %s" % ("xcompmgr" if composited else "bare display", failure))
            if failures:
                return 1
        failed = False
        print("PASS: 4 windows on display %s checked bare and composited in %.1f s"
              % (display, time.monotonic() - started))
        return 0
    except CheckFailed as error:
        print("FAIL: %s" % error)
        return 1
    finally:
        for process in (compositor, server):
            stop(process)
        if failed:
            log.seek(0)
            output = log.read().decode(errors="replace").strip()
            if output:
                print("error output:\n" + output)
        log.close()


if __name__ == "__main__":
    sys.exit(main())
