#!/usr/bin/env python3
"""Draws Quenby's icons as PNG files (Python standard library only).

    manager/resources/icons/app-32.png   program icon (resources 128 and 139)
    server/dialogs/icons/control-32.png  server module icon (resource 203)

Every pixel is supersampled 8 x 8 from shapes defined by inside tests, then the
layers are composited front over back. Run it again after changing a shape; the
PNG files are committed, the build only embeds them.
"""
import math
import os
import struct
import zlib

SS = 8  # samples per pixel along each axis


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r and x0 <= x <= x1 and y0 <= y <= y1
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_out, r_in, y_max):
    def inside(x, y):
        d = (x - cx) ** 2 + (y - cy) ** 2
        return r_in * r_in <= d <= r_out * r_out and y <= y_max
    return inside


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def vgradient(top, bottom, y0, y1):
    def colour(x, y):
        t = min(max((y - y0) / (y1 - y0), 0.0), 1.0)
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return colour


def solid(rgb):
    return lambda x, y: rgb


def hexrgb(text):
    return tuple(int(text[i:i + 2], 16) / 255.0 for i in (1, 3, 5))


def render(size, layers):
    """layers: (shape, colour function, opacity), back to front."""
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for shape, colour, opacity in layers:
                hits = 0
                sx = sy = 0.0
                for j in range(SS):
                    for i in range(SS):
                        x = px + (i + 0.5) / SS
                        y = py + (j + 0.5) / SS
                        if shape(x, y):
                            hits += 1
                            sx += x
                            sy += y
                if hits == 0:
                    continue
                cover = hits / (SS * SS) * opacity
                cr, cg, cb = colour(sx / hits, sy / hits)
                # premultiplied "over"
                r = cr * cover + r * (1 - cover)
                g = cg * cover + g * (1 - cover)
                b = cb * cover + b * (1 - cover)
                a = cover + a * (1 - cover)
            if a > 0:
                row.append((r / a, g / a, b / a, a))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def write_png(path, pixels):
    size = len(pixels)
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b, a in row:
            raw.extend(int(round(min(max(v, 0.0), 1.0) * 255)) for v in (r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def badge(x0, y0, x1, y1, top, bottom, border):
    """The rounded tile every icon of ours stands on."""
    return [
        (rounded_rect(x0, y0, x1, y1, 6.0), solid(hexrgb(border)), 1.0),
        (rounded_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 5.0), vgradient(hexrgb(top), hexrgb(bottom), y0, y1), 1.0),
        # a soft highlight over the upper half
        (rounded_rect(x0 + 1, y0 + 1, x1 - 1, (y0 + y1) / 2, 5.0), solid((1, 1, 1)), 0.10),
    ]


def app_icon():
    """A blue tile with a filled-in form and a gold padlock: form data, kept locked."""
    white = solid(hexrgb("#FFFFFF"))
    field = solid(hexrgb("#9DB4D6"))
    gold = vgradient(hexrgb("#FFD25E"), hexrgb("#E0A019"), 17, 29)
    layers = badge(1, 1, 31, 31, "#4A8FE7", "#1F5BB5", "#17458A")
    layers += [
        (rounded_rect(6, 6, 22, 25, 1.5), solid(hexrgb("#17458A")), 0.35),  # shadow
        (rounded_rect(5, 5, 21, 24, 1.5), white, 1.0),
        (rect(8, 9, 18, 10.5), field, 1.0),
        (rect(8, 13, 18, 14.5), field, 1.0),
        (rect(8, 17, 14, 18.5), field, 1.0),
        # padlock: shackle, then body
        (ring(23, 19.5, 4.2, 2.4, 19.5), solid(hexrgb("#7A5A12")), 1.0),
        (rounded_rect(17, 18.5, 29, 28.5, 1.8), solid(hexrgb("#8C6414")), 1.0),
        (rounded_rect(18, 19.5, 28, 27.5, 1.2), gold, 1.0),
        (union(circle(23, 22.3, 1.4), rect(22.4, 22.5, 23.6, 25.5)), solid(hexrgb("#6B4C0C")), 1.0),
    ]
    return render(32, layers)


def control_icon():
    """A teal tile with an identity card: the server's identities."""
    white = solid(hexrgb("#FFFFFF"))
    person = solid(hexrgb("#2E8C83"))
    line = solid(hexrgb("#A5C9C5"))
    layers = badge(1, 1, 31, 31, "#39B3A5", "#17786E", "#0F5A52")
    layers += [
        (rounded_rect(4.5, 9.5, 28.5, 25.5, 2.0), solid(hexrgb("#0F5A52")), 0.35),  # shadow
        (rounded_rect(3.5, 8.5, 27.5, 24.5, 2.0), white, 1.0),
        (circle(10.5, 14.2, 2.6), person, 1.0),
        (minus(circle(10.5, 23.5, 5.0), rect(0, 22.5, 32, 32)), person, 1.0),
        (rect(16, 12.5, 25, 14), line, 1.0),
        (rect(16, 16.5, 25, 18), line, 1.0),
        (rect(16, 20.5, 22, 22), line, 1.0),
    ]
    return render(32, layers)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = os.path.normpath(os.path.join(here, "..", "..", ".."))
    write_png(os.path.join(here, "app-32.png"), app_icon())
    write_png(os.path.join(root, "server", "dialogs", "icons", "control-32.png"), control_icon())


if __name__ == "__main__":
    main()
