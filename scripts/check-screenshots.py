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

SIGNATURE = b"\x89PNG\r\n\x1a\n"
CHANNELS = {2: 3, 6: 4}  # RGB and RGBA, 8 bits each: what Qt writes for the gallery


class Png:
    """The header and the still filtered scan lines of an 8-bit RGB or RGBA PNG file."""

    def __init__(self, path):
        data = path.read_bytes()
        if not data.startswith(SIGNATURE):
            raise ValueError(f"{path}: not a PNG file")
        pos, idat = len(SIGNATURE), []
        while pos < len(data):
            length, kind = struct.unpack(">I4s", data[pos:pos + 8])
            body = data[pos + 8:pos + 8 + length]
            if kind == b"IHDR":
                self.width, self.height, depth, self.color, _, _, interlace = struct.unpack(
                    ">IIBBBBB", body)
                if depth != 8 or self.color not in CHANNELS or interlace:
                    raise ValueError(f"{path}: only 8-bit RGB(A) without interlacing is read")
            elif kind == b"IDAT":
                idat.append(body)
            pos += 12 + length
        self.filtered = zlib.decompress(b"".join(idat))

    def size(self):
        return self.width, self.height

    def rgba_rows(self):
        """The pixels, one bytes object of width x RGBA a row."""
        bpp = CHANNELS[self.color]
        stride = self.width * bpp
        rows, previous = [], bytearray(stride)
        for y in range(self.height):
            start = y * (stride + 1)
            kind, line = self.filtered[start], bytearray(self.filtered[start + 1:start + 1 + stride])
            if kind == 1:
                for x in range(bpp, stride):
                    line[x] = (line[x] + line[x - bpp]) & 0xFF
            elif kind == 2:
                line = bytearray((a + b) & 0xFF for a, b in zip(line, previous))
            elif kind == 3:
                for x in range(stride):
                    left = line[x - bpp] if x >= bpp else 0
                    line[x] = (line[x] + ((left + previous[x]) >> 1)) & 0xFF
            elif kind == 4:
                for x in range(stride):
                    a = line[x - bpp] if x >= bpp else 0
                    b = previous[x]
                    c = previous[x - bpp] if x >= bpp else 0
                    pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                    line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
            previous = line
            if bpp == 3:
                rgba = bytearray(self.width * 4)
                rgba[0::4], rgba[1::4], rgba[2::4] = line[0::3], line[1::3], line[2::3]
                rgba[3::4] = b"\xff" * self.width
                line = rgba
            rows.append(bytes(line))
        return rows


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
