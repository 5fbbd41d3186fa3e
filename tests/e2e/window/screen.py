"""The screen of an Xvfb server started with -fbdir: its framebuffer file (XWD format) read as
rows of RGB pixels, cut to a rectangle and written as PNG."""
import struct, zlib


class Screen:
    """One look at the framebuffer: width, height and a pixel(x, y) -> (r, g, b)."""

    def __init__(self, path):
        data = open(path, "rb").read()
        header = struct.unpack(">25I", data[:100])
        header_size, version = header[0], header[1]
        if version != 7:
            raise ValueError("%s: not an XWD file of version 7" % path)
        self.width, self.height = header[4], header[5]
        bits_per_pixel, self.bytes_per_line = header[11], header[12]
        if bits_per_pixel != 32:
            raise ValueError("%s: %d bits a pixel, not 32" % (path, bits_per_pixel))
        colors = header[19]
        self.order = ">" if header[7] else "<"  # byte order of the pixels
        start = header_size + colors * 12
        self.pixels = data[start:start + self.bytes_per_line * self.height]

    def pixel(self, x, y):
        (value,) = struct.unpack_from(self.order + "I", self.pixels, y * self.bytes_per_line + x * 4)
        return (value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF

    def save_png(self, path, left=0, top=0, width=None, height=None):
        width = self.width - left if width is None else width
        height = self.height - top if height is None else height
        rows = bytearray()
        for y in range(top, top + height):
            rows.append(0)
            for x in range(left, left + width):
                rows.extend(self.pixel(x, y))

        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body +
                    struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

        png = (b"\x89PNG\r\n\x1a\n" +
               chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
               chunk(b"IDAT", zlib.compress(bytes(rows), 6)) + chunk(b"IEND", b""))
        with open(path, "wb") as f:
            f.write(png)
