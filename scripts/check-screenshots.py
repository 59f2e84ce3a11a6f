#!/usr/bin/env python3
"""Renders the gallery's pictures and compares them with the committed ones.

    check-screenshots.py GALLERY BASELINE OUT [--sizes-only]

GALLERY is the dialog-gallery program, BASELINE the committed folder (docs/screenshots), OUT
a folder of the build. The gallery writes its pictures to OUT/new; each one that differs from
its baseline in pixels gets a difference picture in OUT/diff (differing pixels red, the rest
the new picture faded), one of another size is listed with both sizes. With --sizes-only only the picture sizes are compared: Qt 6 draws glyph
edges a little differently, so its pixels never match the Qt 5 baseline.

An intended change of looks is taken over with `make screenshots`, committed with the change.
"""

import os
import pathlib
import shutil
import struct
import subprocess
import sys
import zlib

from pngfile import SIGNATURE, Png

def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(
            ">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + row for row in rows)
    path.write_bytes(SIGNATURE + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
                     + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def compare_pixels(old, new, diff_path):
    """Counts the differing pixels and writes the difference picture; returns (count, box)."""
    count, box, out = 0, None, []
    for y, (a, b) in enumerate(zip(old.rgba_rows(), new.rgba_rows())):
        row = bytearray(len(b))
        for x in range(0, len(b), 4):
            if a[x:x + 4] != b[x:x + 4]:
                count += 1
                px = x // 4
                box = (px, y, px, y) if box is None else (
                    min(box[0], px), min(box[1], y), max(box[2], px), max(box[3], y))
                row[x:x + 4] = b"\xff\x00\x00\xff"
            else:  # the new picture at a quarter of its strength over white
                row[x:x + 3] = bytes(255 - (255 - v) // 4 for v in b[x:x + 3])
                row[x + 3] = 255
        out.append(bytes(row))
    if count:
        diff_path.parent.mkdir(parents=True, exist_ok=True)
        write_png(diff_path, new.width, new.height, out)
    return count, box


def main(args):
    sizes_only = "--sizes-only" in args
    args = [a for a in args if a != "--sizes-only"]
    if len(args) != 3:
        sys.exit(__doc__)
    gallery, baseline, out = args[0], pathlib.Path(args[1]), pathlib.Path(args[2])
    new_dir, diff_dir = out / "new", out / "diff"
    shutil.rmtree(out, ignore_errors=True)
    env = dict(os.environ, QT_QPA_PLATFORM=os.environ.get("QT_QPA_PLATFORM", "offscreen"))
    run = subprocess.run([gallery, "--screenshots", str(new_dir)], env=env,
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if run.returncode != 0:
        print(run.stdout)
        print(f"the gallery failed to render its pictures (exit code {run.returncode})")
        return 1

    names = sorted({p.relative_to(baseline) for p in baseline.rglob("*.png")}
                   | {p.relative_to(new_dir) for p in new_dir.rglob("*.png")})
    differ = []
    for name in names:
        old_path, new_path = baseline / name, new_dir / name
        if not old_path.exists():
            differ.append(f"{name}: new, not in {baseline}")
            continue
        if not new_path.exists():
            differ.append(f"{name}: no longer rendered")
            continue
        old, new = Png(old_path), Png(new_path)
        if old.size() != new.size():
            differ.append("{}: {}x{}, was {}x{}".format(name, *new.size(), *old.size()))
        elif not sizes_only and old.filtered != new.filtered:
            count, box = compare_pixels(old, new, diff_dir / name)
            if count:  # else the same pixels, only filtered otherwise
                differ.append("{}: {} pixels differ, from ({}, {}) to ({}, {})".format(
                    name, count, *box))

    what = "sizes" if sizes_only else "pixels"
    print(f"{len(names)} screenshots compared with {baseline} ({what}): {len(differ)} differ")
    for line in differ:
        print("  " + line)
    if differ:
        print(f"New pictures: {new_dir}" + ("" if sizes_only else f"; differences: {diff_dir}"))
        print("If the new looks are intended, run `make screenshots` and commit the pictures.")
    return 1 if differ or not names else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
