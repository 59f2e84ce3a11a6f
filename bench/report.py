#!/usr/bin/env python3
"""Prints the dialog benchmarks as one table: the medians from Google Benchmark's JSON
output, the ratio to the Qt counterpart measured in the same run, and whether each target
is met."""

import json
import os
import re
import sys

# (label, benchmark, reference benchmark or None, target) where target is one of
#   ("ratio", limit)   value / reference at most limit
#   ("below", ns)      value under an absolute time, in nanoseconds
#   ("below_ms", ms)   a counter in milliseconds under the limit
#   ("paired", limit)  the median of the per-repetition ratios of one benchmark that timed
#                      ours and the reference in turns (counters ours_ns, ref_ns, ratio) at
#                      most limit; a limit of None shows the ratio without a target
#   ("o1", ns, big, small)  under the limit, and the big-queue figure at most twice the
#                      small-queue one
#   None               no target; the ratio is shown for orientation
FLOORS = [
    ("CMessageBox", "3 labels, 3 buttons"),
    ("CSimpleInputDialog", "label, line edit, 2 buttons"),
    ("CCountDownDialog", "5 labels, 2 buttons"),
    ("CChangePasswordDialog", "5 labels, 3 edits, 3 buttons"),
    ("CCheckVersionDialog", "5 labels, 3 buttons"),
    ("CMultiMessageDialog", "2 labels, 2 buttons"),
    ("CGlobalMessageDialog", "4 labels, 3 buttons, 2 checks"),
    ("CFloatButton", "one push button window"),
]

ROWS = [
    ("First open of the process (fresh process, paired runs)", None, None, None),
    ("  CMessageBox vs QMessageBox", "cold/firstOpen", None, ("paired", 0.85)),
    ("  the same once fontconfig is set up", "cold/firstOpenFontsReady", None, ("paired", None)),
    ("Open to first frame", None, None, None),
    ("  QMessageBox (yardstick)", "open/QMessageBox", None, None),
    ("  CMessageBox vs QMessageBox", "open/CMessageBox", "open/QMessageBox", ("ratio", 0.5)),
    ("  QInputDialog", "open/QInputDialog", None, None),
    ("  CSimpleInputDialog vs QInputDialog", "open/CSimpleInputDialog", "open/QInputDialog",
     ("ratio", 0.5)),
    ("  CCountDownDialog vs QMessageBox", "open/CCountDownDialog", "open/QMessageBox", None),
    ("  CChangePasswordDialog vs QMessageBox", "open/CChangePasswordDialog", "open/QMessageBox",
     None),
    ("  CCheckVersionDialog vs QMessageBox", "open/CCheckVersionDialog", "open/QMessageBox", None),
    ("  CMultiMessageDialog vs QMessageBox", "open/CMultiMessageDialog", "open/QMessageBox", None),
    ("  CGlobalMessageDialog vs QMessageBox", "open/CGlobalMessageDialog", "open/QMessageBox",
     None),
    ("  CFloatButton vs QMessageBox", "open/CFloatButton", "open/QMessageBox", None),
    ("Open vs the plain-Qt floor (frameless QDialog of the same kinds of widgets, in turns)",
     None, None, None),
] + [("  %s vs %s" % (name, floor), "floor/" + name, None, ("paired", 1.0))
     for name, floor in FLOORS] + [
    ("Popup message replaced in place (per call)", "popup/showSingleMessage", None,
     ("below", 100e3)),
    ("updateMessage, 1,000 queued (per call)", "multi/updateMessage/1000", None, None),
    ("updateMessage, 100,000 queued (per call)", "multi/updateMessage/100000",
     "multi/updateMessage/1000", ("o1", 1e3)),
    ("Multi-message timer step, 100,000 queued", "multi/timerStep", None, None),
    ("Theme look-up (per call)", None, None, None),
    ("  getColor hit", "theme/getColor/hit", None, ("below", 50)),
    ("  getColor miss", "theme/getColor/miss", None, ("below", 50)),
    ("  getFont hit", "theme/getFont/hit", None, ("below", 50)),
    ("  getFont miss", "theme/getFont/miss", None, ("below", 50)),
    ("  getSize hit", "theme/getSize/hit", None, ("below", 50)),
    ("  getSize miss", "theme/getSize/miss", None, ("below", 50)),
    ("  getPixmap hit", "theme/getPixmap/hit", None, ("below", 50)),
    ("  getPixmap miss", "theme/getPixmap/miss", None, ("below", 50)),
    ("  getSize hit, key from a C string", "theme/getSize/hit_cstring", None, None),
    ("Float button repaint 100 x 40", "floatbutton/repaint_100x40", None, None),
    ("Resident memory per open box (100 shown)", None, None, None),
    ("  QMessageBox", "memory/QMessageBox", None, None),
    ("  CMessageBox vs QMessageBox", "memory/CMessageBox", "memory/QMessageBox", ("ratio", 1.0)),
    ("  QMessageBox, constructed, not shown", "memory/hidden/QMessageBox", None, None),
    ("  CMessageBox, constructed, not shown", "memory/hidden/CMessageBox",
     "memory/hidden/QMessageBox", None),
    ("First theme look-up, fresh process", "startup/firstLookup", None, ("below_ms", 20)),
]

UNIT_NS = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}


def base_name(run_name):
    # Drops the option parts Google Benchmark appends ("min_time:0.150", "iterations:1").
    return "/".join(p for p in run_name.split("/") if ":" not in p)


def load(path):
    with open(path) as f:
        data = json.load(f)
    medians = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        medians[base_name(b.get("run_name", b["name"]))] = b
    return data.get("context", {}), medians


def value_of(entry):
    """(number, kind): CPU time in ns, or a counter with its own kind."""
    if "kib_per_box" in entry:
        return entry["kib_per_box"], "kib"
    if "ours_ns" in entry:
        return entry["ours_ns"], "ns"
    if "cpu_ms" in entry:
        return entry["cpu_ms"] * 1e6, "ns"
    return entry["cpu_time"] * UNIT_NS[entry.get("time_unit", "ns")], "ns"


def fmt(value, kind):
    if kind == "kib":
        return "%.0f KiB" % value
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("us", 1e3)):
        if value >= scale:
            return "%.3g %s" % (value / scale, unit)
    return "%.3g ns" % value


def target_text(target):
    kind = target[0]
    if kind == "ratio":
        return "ratio <= %g" % target[1]
    if kind == "paired":
        return "median ratio <= %g" % target[1]
    if kind in ("below", "o1"):
        text = "< " + fmt(target[1], "ns")
        return text + ", O(1)" if kind == "o1" else text
    if kind == "below_ms":
        return "< %g ms" % target[1]
    return ""


def machine():
    model = "unknown CPU"
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    model = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    return "%d cores, %s" % (os.cpu_count() or 0, re.sub(r"\s+", " ", model))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: report.py bench.json")
    context, medians = load(sys.argv[1])
    counts = [b.get("repetitions", 0) for b in medians.values()]
    reps = max(set(counts), key=counts.count) if counts else 0
    print("Dialog benchmarks: medians of %d runs (CPU time), offscreen platform, %s"
          % (reps, machine()))
    header = ("Measurement", "Value", "Reference", "Ratio", "Target", "Met")
    widths = (58, 10, 10, 6, 20, 4)
    line = "  ".join(h.ljust(w) for h, w in zip(header, widths))
    print(line.rstrip())
    print("-" * len(line))
    missing = []
    unmet = 0
    for label, name, ref, target in ROWS:
        if name is None:
            print(label)
            continue
        if name not in medians:
            missing.append(name)
            print("  ".join([label.ljust(widths[0]), "(not run)"]))
            continue
        value, kind = value_of(medians[name])
        cells = [label, fmt(value, kind), "", "", "", ""]
        ratio = None
        if target and target[0] == "paired":
            cells[2] = fmt(medians[name]["ref_ns"], "ns")
            ratio = medians[name]["ratio"]
            cells[3] = "%.2f" % ratio
        if ref and ref in medians:
            ref_value, ref_kind = value_of(medians[ref])
            cells[2] = fmt(ref_value, ref_kind)
            if ref_value > 0:
                ratio = value / ref_value
                cells[3] = "%.2f" % ratio
        if target and target[1] is not None:
            cells[4] = target_text(target)
            kind_t = target[0]
            if kind_t in ("ratio", "paired"):
                met = ratio is not None and ratio <= target[1]
            elif kind_t == "below":
                met = value < target[1]
            elif kind_t == "below_ms":
                met = value < target[1] * 1e6
            else:  # "o1"
                met = value < target[1] and ratio is not None and ratio <= 2.0
            cells[5] = "yes" if met else "NO"
            unmet += 0 if met else 1
        print("  ".join(c.ljust(w) for c, w in zip(cells, widths)).rstrip())
    if "startup/firstLookup" in medians:
        print("(first look-up wall time: %s)" % fmt(medians["startup/firstLookup"]["wall_ms"] * 1e6,
                                                     "ns"))
    if "cold/firstOpen" in medians:
        cold = medians["cold/firstOpen"]
        print("(first open: medians of %d pairs of fresh processes, CPU time from the "
              "application object to the first frame)" % cold.get("repetitions", 0))
    if missing:
        print("not in this run: " + ", ".join(missing))
    print("targets not met: %d" % unmet)


if __name__ == "__main__":
    main()
