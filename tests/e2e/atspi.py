#!/usr/bin/env python3
"""The gallery read and driven by a real assistive-technology client, over AT-SPI.

Starts Xvfb, a D-Bus session bus and the AT-SPI bus launcher, then either
  atspi.py gallery PATH/TO/dialog-gallery
    runs `dialog-gallery --e2e` and, through pyatspi as a screen reader would, finds its
    message box, reads its title, text and buttons, presses a button through the action
    interface and waits for the box to go; or
  atspi.py run COMMAND [ARGS...]
    runs a command (a test program) with Qt's accessibility bridge switched on.

Qt 5.15's bridge learns the accessibility bus's address from the session bus
asynchronously but registers with the registry before the answer arrives ("Error in
contacting registry ... Not connected to D-Bus server") and never tries again. It reads the
X root window's AT_SPI_BUS property synchronously, so the address is put there first;
Debian's bus launcher does not set it. Xvfb runs with -noreset, or the property would go
with the server reset that follows the last client's disconnect. AT_SPI_BUS_ADDRESS is not
set for the program: Qt 6.4's bridge, given the address that way, connects before it listens
for its own "enabled" signal and so never registers.

Exit codes: 0 passed, 1 failed, 77 a tool or package is missing (skipped).
"""

import os
import selectors
import shutil
import subprocess
import sys
import time

LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
SYSTEM_PYTHON = "/usr/bin/python3"
STARTUP_SECONDS = 10
SETTLE_SECONDS = 10
GALLERY_SECONDS = 40


class CheckFailed(Exception):
    pass


def skip(message):
    print("atspi: skipped: " + message)
    sys.exit(77)


def have_pyatspi():
    try:
        import pyatspi  # noqa: F401
        return True
    except ImportError:
        return False


def read_line(stream, what):
    selector = selectors.DefaultSelector()
    selector.register(stream, selectors.EVENT_READ)
    data = b""
    deadline = time.monotonic() + STARTUP_SECONDS
    while not data.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not selector.select(left):
            raise CheckFailed("%s did not start within %d s" % (what, STARTUP_SECONDS))
        chunk = os.read(stream.fileno(), 4096)
        if not chunk:
            raise CheckFailed("%s exited before it started" % what)
        data += chunk
    return data.decode().strip()


def start_environment(processes):
    """Xvfb, session bus, accessibility bus; returns the environment for clients."""
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1280x800x24",
                             "-nolisten", "tcp", "-noreset"],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    processes.append(xvfb)
    env = dict(os.environ, DISPLAY=":" + read_line(xvfb.stdout, "Xvfb"))

    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env)
    processes.append(bus)
    env["DBUS_SESSION_BUS_ADDRESS"] = read_line(bus.stdout, "dbus-daemon")

    processes.append(subprocess.Popen([LAUNCHER, "--launch-immediately", "--a11y=1"],
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                      env=env))
    address = ""
    deadline = time.monotonic() + STARTUP_SECONDS
    while not address and time.monotonic() < deadline:
        reply = subprocess.run(["dbus-send", "--session", "--print-reply=literal",
                                "--dest=org.a11y.Bus", "/org/a11y/bus",
                                "org.a11y.Bus.GetAddress"],
                               env=env, capture_output=True, timeout=STARTUP_SECONDS)
        address = reply.stdout.decode().strip() if reply.returncode == 0 else ""
        if not address:
            time.sleep(0.1)
    if not address:
        raise CheckFailed("the accessibility bus did not come up")
    subprocess.run(["xprop", "-root", "-f", "AT_SPI_BUS", "8s", "-set", "AT_SPI_BUS", address],
                   env=env, check=True, timeout=STARTUP_SECONDS)
    env.update(QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    return env


def poll(what, find):
    deadline = time.monotonic() + SETTLE_SECONDS
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.1)
    raise CheckFailed("no %s within %d s" % (what, SETTLE_SECONDS))


def check_gallery(gallery, env):
    os.environ.update(env)  # pyatspi finds the bus through these
    import pyatspi

    app_name = os.path.basename(gallery)

    def application():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == app_name:
                return app
        return None

    def box():
        app = application()
        for window in app or []:
            if window.getRole() == pyatspi.ROLE_DIALOG and window.name == "提示":
                return window
        return None

    def walk(node):
        yield node
        for child in node:
            yield from walk(child)

    dialog = poll("dialog named 提示 in %s" % app_name, box)
    texts = [n.name for n in walk(dialog) if n.getRole() == pyatspi.ROLE_LABEL]
    buttons = {n.name: n for n in walk(dialog) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON}
    print("atspi: dialog %r, texts %r, buttons %r" % (dialog.name, texts, sorted(buttons)))
    if "委托已提交。" not in texts:
        raise CheckFailed("the message is not readable: %r" % texts)
    if "确定" not in buttons or "关闭" not in buttons:
        raise CheckFailed("buttons missing: %r" % sorted(buttons))

    action = buttons["确定"].queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        raise CheckFailed("确定 offers no press action: %r" % names)
    action.doAction(names.index("Press"))

    def gone():
        dialog = box()
        return dialog is None or not dialog.getState().contains(pyatspi.STATE_SHOWING)

    poll("closing of the message box after 确定 was pressed", gone)
    print("atspi: pressed 确定, the message box went")


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in ("gallery", "run"):
        print(__doc__)
        return 2
    mode = sys.argv[1]
    if mode == "gallery" and not have_pyatspi():
        # An interpreter of its own (a virtualenv, pyenv) may not see Debian's bindings.
        if os.path.exists(SYSTEM_PYTHON) and os.path.realpath(sys.executable) != SYSTEM_PYTHON:
            os.execv(SYSTEM_PYTHON, [SYSTEM_PYTHON, os.path.abspath(__file__)] + sys.argv[1:])
        skip("pyatspi is not installed (python3-pyatspi)")
    for tool in ("Xvfb", "dbus-daemon", "dbus-send", "xprop"):
        if not shutil.which(tool):
            skip("%s is not installed" % tool)
    if not os.path.exists(LAUNCHER):
        skip("%s is not installed (at-spi2-core)" % LAUNCHER)

    processes = []
    try:
        env = start_environment(processes)
        if mode == "run":
            return subprocess.run(sys.argv[2:], env=env).returncode
        gallery = subprocess.Popen([sys.argv[2], "--e2e", "--e2e-seconds", str(GALLERY_SECONDS)],
                                   env=env, stdout=subprocess.DEVNULL)
        processes.append(gallery)
        check_gallery(sys.argv[2], env)
        return 0
    except (CheckFailed, subprocess.SubprocessError) as error:
        print("atspi: FAILED: %s" % error)
        return 1
    finally:
        for process in reversed(processes):
            process.terminate()
        for process in processes:
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()


if __name__ == "__main__":
    sys.exit(main())
