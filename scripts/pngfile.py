"""A reader of the PNG files Qt and weston write: 8-bit RGB or RGBA, not interlaced. Used by
the screenshot check and the end-to-end tests, with Python's standard library alone."""

import struct
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
