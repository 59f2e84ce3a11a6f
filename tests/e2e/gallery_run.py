"""What the end-to-end checks share: reading the report of `dialog-gallery --e2e` (or
`--e2e-anchored`) and stopping the programs they start."""

import os
import selectors
import subprocess
import time

STARTUP_SECONDS = 10


class CheckFailed(Exception):
    pass


def die_on_signal(signum, _frame):
    # Turned into an exception so that the clean-up in main() runs.
    raise SystemExit(128 + signum)


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


def stop(process):
    if process and process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=3)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
