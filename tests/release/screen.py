#!/usr/bin/env python3
"""Screenshots for the desktop test, with the standard library and python3-xlib.
  screen.py shot-x11 OUT.png          the whole X screen ($DISPLAY) as a PNG
  screen.py show DESKTOP A B          passes when A shows a window of at least
                                      640 by 480 pixels over DESKTOP (the same
                                      screen before the player started) and that
                                      window's picture changed between A and B
  screen.py box DESKTOP A             passes when A shows a box over DESKTOP:
                                      at least 200 by 60 pixels of one face
                                      colour with text in a contrasting one
  screen.py centre IMAGE RRGGBB       passes when the middle pixel has that colour
  screen.py window PREFIX             the id of a mapped top-level X window
                                      whose name starts with PREFIX"""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
import png_rows  # noqa: E402


def write_png(path, width, height, rows):
    """rows: bytes of RGB pixels, one row after another."""
    raw = b"".join(b"\0" + rows[y * width * 3:(y + 1) * width * 3] for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def read_png(path):
    """8-bit RGB or RGBA, not interlaced; returns width, height and RGB bytes."""
    try:
        width, height, channels, rows = png_rows.read_png(path)
    except ValueError:
        sys.exit(f"screen: {path}: unsupported PNG")
    out = bytearray()
    for row in rows:
        if channels == 4:
            del row[3::4]
        out += row
    return width, height, bytes(out)


def changed_box(a, b, width, height, step=4):
    """Bounding box of the pixels (sampled every `step`) that differ."""
    xs, ys = [], []
    for y in range(0, height, step):
        row = y * width * 3
        for x in range(0, width, step):
            i = row + x * 3
            if a[i:i + 3] != b[i:i + 3]:
                xs.append(x)
                ys.append(y)
    if not xs:
        return None
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def pixels_in(image, width, box, step=4):
    x0, y0, x1, y1 = box
    for y in range(y0, y1, step):
        for x in range(x0, x1, step):
            i = (y * width + x) * 3
            yield image[i:i + 3]


def shot_x11(path):
    from Xlib import X, display
    d = display.Display()
    root = d.screen().root
    geometry = root.get_geometry()
    width, height = geometry.width, geometry.height
    image = root.get_image(0, 0, width, height, X.ZPixmap, 0xFFFFFFFF)
    data = image.data
    if isinstance(data, str):
        data = data.encode("latin-1")
    # 24-bit depth comes as 32-bit pixels, blue first.
    rgb = bytearray(width * height * 3)
    rgb[0::3], rgb[1::3], rgb[2::3] = data[2::4], data[1::4], data[0::4]
    write_png(path, width, height, bytes(rgb))


def find_window(prefix):
    from Xlib import X, display
    d = display.Display()
    for w in d.screen().root.query_tree().children:
        if w.get_attributes().map_state != X.IsViewable:
            continue
        name = w.get_full_property(d.intern_atom("_NET_WM_NAME"), d.intern_atom("UTF8_STRING"))
        name = name.value.decode() if name else (w.get_wm_name() or "")
        if isinstance(name, bytes):
            name = name.decode("latin-1")
        if name.startswith(prefix):
            print(w.id)
            return
    sys.exit(f"screen: no window named {prefix}...")


def main():
    what = sys.argv[1]
    if what == "shot-x11":
        shot_x11(sys.argv[2])
        return
    if what == "window":
        find_window(sys.argv[2])
        return
    width, height, desktop = read_png(sys.argv[2])
    if what == "centre":
        i = (height // 2 * width + width // 2) * 3
        if desktop[i:i + 3].hex() != sys.argv[3].lower():
            sys.exit(f"screen: the middle of {sys.argv[2]} is {desktop[i:i + 3].hex()}")
        return
    _, _, first = read_png(sys.argv[3])
    box = changed_box(desktop, first, width, height)
    if box is None:
        sys.exit(f"screen: {sys.argv[3]} shows nothing over the desktop")
    size = (box[2] - box[0], box[3] - box[1])
    if what == "box":
        counts = {}
        for p in pixels_in(first, width, box, 1):
            counts[p] = counts.get(p, 0) + 1
        face = max(counts, key=counts.get)
        text = sum(n for p, n in counts.items() if abs(sum(p) - sum(face)) > 3 * 100)
        if size[0] < 200 or size[1] < 60 or text < 100:
            sys.exit(f"screen: no box with text in {sys.argv[3]} ({size[0]}x{size[1]}, "
                     f"{text} text pixels)")
        print(f"screen: a {size[0]}x{size[1]} box with {text} text pixels in {sys.argv[3]}")
        return
    _, _, second = read_png(sys.argv[4])
    if size[0] < 640 or size[1] < 480:
        sys.exit(f"screen: the changed part of {sys.argv[3]} is only {size[0]}x{size[1]}")
    colours = set(pixels_in(first, width, box))
    moving = changed_box(first, second, width, height)
    if len(colours) < 32:
        sys.exit(f"screen: the show in {sys.argv[3]} has only {len(colours)} colours")
    if moving is None:
        sys.exit(f"screen: the show did not move between {sys.argv[3]} and {sys.argv[4]}")
    print(f"screen: a {size[0]}x{size[1]} show window with {len(colours)} colours, moving, in {sys.argv[3]}")


main()
