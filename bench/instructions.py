#!/usr/bin/env python3
"""Counts the instructions of the first open of a process, ours and Qt's, with callgrind.

CPU time of one fresh process varies by tens of percent between runs on a shared machine; the
instruction count of the same work does not, so it shows whether a change helped. Counted
from the start of the open to the first frame (the bench's openOnce), in the same child
processes the first-open rows time. Skipped, with a note, when valgrind is not installed.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

KINDS = (("", "first open of the process"), (":fonts-ready", "once fontconfig is set up"))


def collected(bench, kind):
    with tempfile.TemporaryDirectory() as scratch:
        result = subprocess.run(
            ["valgrind", "--tool=callgrind", "--toggle-collect=*openOnce*",
             "--callgrind-out-file=" + os.path.join(scratch, "out"), bench,
             "--cold-child=" + kind],
            env=dict(os.environ, QT_QPA_PLATFORM="offscreen"), capture_output=True, text=True)
    found = re.search(r"Collected : (\d+)", result.stderr)
    if result.returncode != 0 or not found:
        sys.exit("callgrind failed for %s:\n%s" % (kind, result.stderr[-2000:]))
    return int(found.group(1))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: instructions.py path/to/dialog-bench")
    if shutil.which("valgrind") is None:
        print("(instructions of the first open: valgrind not installed, not counted)")
        return
    print("Instructions of the first open (callgrind, one run each; the count does not vary)")
    for suffix, label in KINDS:
        ours = collected(sys.argv[1], "CMessageBox" + suffix)
        ref = collected(sys.argv[1], "QMessageBox" + suffix)
        print("  %-40s CMessageBox %6.2f M  QMessageBox %6.2f M  ratio %.2f"
              % (label, ours / 1e6, ref / 1e6, ours / ref))


if __name__ == "__main__":
    main()
