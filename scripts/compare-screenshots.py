#!/usr/bin/env python3
"""Compares two folders of gallery screenshots (the Qt 5 and the Qt 6 build's) picture by
picture: the size of each, and, where ImageMagick's `compare` is installed, how many pixels
differ. Exits non-zero when a picture differs in size or is missing on one side."""
import pathlib
import shutil
import struct
import subprocess
import sys


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG file")
    return struct.unpack(">II", head[16:24])


def differing_pixels(compare, a, b):
    # compare prints the count on stderr and exits 1 when the pictures differ.
    run = subprocess.run([compare, "-metric", "AE", str(a), str(b), "null:"],
                         capture_output=True, text=True)
    return int(float(run.stderr.split()[0]))


def main(first, second):
    first, second = pathlib.Path(first), pathlib.Path(second)
    names = sorted({p.relative_to(first) for p in first.rglob("*.png")} |
                   {p.relative_to(second) for p in second.rglob("*.png")})
    compare = shutil.which("compare")
    sized = pixels = missing = 0
    for name in names:
        a, b = first / name, second / name
        if not (a.exists() and b.exists()):
            print(f"{name}: only in {a.parent if a.exists() else b.parent}")
            missing += 1
            continue
        sa, sb = png_size(a), png_size(b)
        if sa != sb:
            print(f"{name}: {sa[0]}x{sa[1]} against {sb[0]}x{sb[1]}")
            sized += 1
        elif compare and (count := differing_pixels(compare, a, b)):
            print(f"{name}: same size {sa[0]}x{sa[1]}, {count} pixels differ")
            pixels += 1
    print(f"{len(names)} screenshots: {sized} differ in size, {pixels} only in pixels, "
          f"{missing} missing on one side")
    return 1 if sized or missing or not names else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: compare-screenshots.py FOLDER FOLDER")
    sys.exit(main(sys.argv[1], sys.argv[2]))
