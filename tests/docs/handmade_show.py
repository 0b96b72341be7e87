#!/usr/bin/env python3
"""A show made by hand from docs/formats.md alone, without the project's writers.

Writes a scene file, two BMP pictures and a script, packs them into an archive
image, appends the image to a copy of the player behind its trailer, plays that
copy in a capture run from an empty folder and checks the colours of the frames.

usage: handmade_show.py PLAYER [WORKDIR]
Exit status 0 when every check holds; the failures are printed otherwise.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

# The frames are read with the project's PNG reader (a reader, not one of its writers).
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'scripts'))
from png_rows import read_png  # noqa: E402

NONE = 0xFFFFFFFF


# --- Binary fields ---------------------------------------------------------------

def u8(v): return struct.pack('<B', v)
def u16(v): return struct.pack('<H', v)
def u32(v): return struct.pack('<I', v)
def i32(v): return struct.pack('<i', v)
def f32(*vs): return b''.join(struct.pack('<f', v) for v in vs)
def string(text): return u16(len(text)) + text.encode()


# --- Scene file ------------------------------------------------------------------

def chunk(kind, version, index, payload):
    return u16(kind) + u16(version) + u32(index) + u32(len(payload)) + payload


def node_header(parent, name, position=(0, 0, 0), properties='', visibility=1.0):
    return (i32(parent) + string(name) + f32(*position) + f32(0, 0, 0, 1) + f32(1, 1, 1) +
            string(properties) + u8(0) + u8(0) + f32(visibility))


def material(ambient, diffuse_map=NONE):
    return (u32(0xFFFFFFFF) + u32(0xFF000000) + u32(ambient) + u32(0xFF000000) +
            f32(0) + f32(0) + u8(0) + f32(1.0) +
            u32(diffuse_map) + u32(NONE) + u32(NONE) + u32(NONE) + u32(NONE))


def square(x0, x1, z0, z1):
    """Four corners in the y = 0 plane, with first texture coordinates."""
    return [((x0, 0, z0), (0, 1)), ((x0, 0, z1), (0, 0)), ((x1, 0, z1), (1, 0)),
            ((x1, 0, z0), (1, 1))]


def scene():
    # A camera 10 units above the origin with the identity rotation looks down -y,
    # +x to the right and +z up: two squares lie side by side in the y = 0 plane,
    # the red one raised by one unit.
    vertices = square(-4, -0.5, -1, 3) + square(0.5, 4, -2, 2)
    vertex_bytes = b''.join(f32(*p) + f32(*uv) for p, uv in vertices)
    # Clockwise on screen: bottom-left, top-left, top-right; then bottom-left, top-right, bottom-right.
    indices = [0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7]
    # Hidden until 100 ms of scene time, shown from 101 ms.
    appear = ('animations = 1\na0.field = VISTRACK\na0.keyframes = 3\n'
              'a0.kf0 = 0 0\na0.kf1 = 100 0\na0.kf2 = 101 1\n')
    return b''.join([
        chunk(1, 1, 0, u32(0xFFFFFFFF)),                                  # white ambient light
        chunk(2, 2, 1, node_header(-1, 'root', properties='# by hand\n')),
        chunk(2, 2, 2, node_header(1, 'squares', properties=appear)),
        chunk(4, 3, 3, node_header(1, 'eye', position=(0, 10, 0)) +
              f32(0.785398) + f32(1.0) + f32(100.0) + u32(0)),            # no activation list
        chunk(8, 2, 10, material(0xFFFF0000)),                             # red by its ambient colour
        chunk(8, 2, 11, material(0xFFFFFFFF, diffuse_map=20)),
        chunk(9, 1, 20, string('wall.bmp')),
        chunk(6, 1, 30, u32(1) + u32(0x4) + b'\0\0' + u32(len(vertices)) + vertex_bytes),
        chunk(7, 1, 31, u32(len(indices)) + b''.join(u32(i) for i in indices)),
        chunk(3, 1, 40, u32(2) + string('squares') + u32(30) + u32(31) + u16(2) +
              u32(0) + u32(10) + u32(0) + u32(6) + u8(0) +
              u32(6) + u32(11) + u32(0) + u32(6) + u8(0)),
    ])


def bmp(width, height, rgb):
    """An uncompressed 24-bit Windows bitmap of one colour."""
    row = bytes([rgb[2], rgb[1], rgb[0]]) * width
    row += b'\0' * ((4 - len(row) % 4) % 4)
    pixels = row * height
    return (b'BM' + u32(54 + len(pixels)) + u32(0) + u32(54) +
            u32(40) + i32(width) + i32(height) + u16(1) + u16(24) + u32(0) +
            u32(len(pixels)) + u32(2835) + u32(2835) + u32(0) + u32(0) + pixels)


SCRIPT = b"""# A scene with a picture layer over it.
loadscene world.psk world
loadimage badge.bmp badge
playscene world
setlayer badge 1
setlayerpos 1 16 16
waituntil 1000
"""

WALL = (32, 192, 224)
BADGE = (255, 220, 0)


# --- Archive ---------------------------------------------------------------------

def delta(data, word):
    """Each little-endian word minus the one before it; a tail of bytes unchanged."""
    bits = 8 * word
    fmt = {1: 'B', 2: 'H', 4: 'I'}[word]
    count = len(data) // word
    words = struct.unpack('<%d%s' % (count, fmt), data[:count * word])
    out, previous = [], 0
    for w in words:
        out.append((w - previous) % (1 << bits))
        previous = w
    return struct.pack('<%d%s' % (count, fmt), *out) + data[count * word:]


def pack(data, filter_id):
    """The packed bytes of `data` for a compound filter id (delta first, then the compressor)."""
    assert filter_id & 0xFF000000 == 0
    step = (filter_id >> 16) & 0xFF
    if step:
        data = delta(data, {1: 1, 2: 2, 3: 4}[step])
    if filter_id & 0xFFFF == 1:
        data = u32(len(data)) + zlib.compress(data)
    return data


def archive_image(files):
    """files: (name, bytes, filter id). Header, resource blocks, then the directory."""
    body = bytearray(b'CFL3' + u32(0) + u32(0))
    directory = bytearray()
    for name, data, filter_id in files:
        packed = pack(data, filter_id)
        directory += u32(len(data)) + u32(len(body)) + u32(filter_id) + string(name)
        body += u32(len(packed)) + packed
    directory_offset = len(body)
    packed = pack(bytes(directory), 1)
    body += u32(1) + u32(len(packed)) + packed
    body[4:12] = u32(directory_offset) + u32(len(directory))
    return bytes(body)


# --- Reading the captured frames -------------------------------------------------

def pixel(frame, x, y):
    width, height, channels, rows = frame
    return tuple(rows[y][x * channels:x * channels + 3])


# --- The run ---------------------------------------------------------------------

def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    player = os.path.abspath(sys.argv[1])
    work = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp(prefix='handmade-show-')
    if os.path.exists(work):
        shutil.rmtree(work)
    os.makedirs(os.path.join(work, 'empty'))

    image = archive_image([
        ('demo.psc', SCRIPT, 0x00000001),                      # zlib
        ('world.psk', scene(), 0x00030001),                    # 32-bit delta, then zlib
        ('wall.bmp', bmp(8, 8, WALL), 0x00000000),             # stored
        ('badge.bmp', bmp(64, 48, BADGE), 0x00010000),         # 8-bit delta alone
    ])
    show = os.path.join(work, 'handmade-show')
    with open(player, 'rb') as f:
        program = f.read()
    with open(show, 'wb') as f:
        f.write(program + image + u32(len(image) + 8) + b'3CFL')
    shutil.copymode(player, show)

    frames = os.path.join(work, 'frames')
    env = dict(os.environ, SDL_VIDEODRIVER='offscreen', SDL_AUDIODRIVER='dummy')
    run = subprocess.run([show, '--headless', '--capture', frames, '--frames', 'png',
                          '--fps', '30', '--seconds', '0.2'],
                         cwd=os.path.join(work, 'empty'), env=env, capture_output=True,
                         text=True, timeout=240)
    failures = []
    if run.returncode != 0:
        failures.append('the player ended with status %d:\n%s' % (run.returncode, run.stderr))
    else:
        first = read_png(os.path.join(frames, 'frame-000000.png'))
        last = read_png(os.path.join(frames, 'frame-000005.png'))
        if first[:2] != (1024, 768):
            failures.append('frame size %dx%d, not 1024x768' % first[:2])
        else:
            def near(a, b): return all(abs(p - q) <= 2 for p, q in zip(a, b))
            checks = [
                (first, 40, 40, BADGE, 'the picture layer at (16, 16)'),
                (first, 300, 384, (0, 0, 0), 'the red square before its node appears'),
                (last, 40, 40, BADGE, 'the picture layer at (16, 16)'),
                (last, 100, 100, (0, 0, 0), 'the background beside the picture'),
                (last, 300, 384, (255, 0, 0), 'the red square on the left'),
                (last, 300, 150, (255, 0, 0), 'the red square, up to z = 3'),
                (last, 300, 530, (0, 0, 0), 'below the red square, which starts at z = -1'),
                (last, 720, 384, WALL, 'the textured square on the right'),
                (last, 720, 150, (0, 0, 0), 'above the textured square'),
                (last, 512, 384, (0, 0, 0), 'the gap between the squares'),
            ]
            for frame, x, y, want, what in checks:
                got = pixel(frame, x, y)
                if not near(got, want):
                    failures.append('%s: pixel (%d, %d) is %s, not %s' % (what, x, y, got, want))
    for failure in failures:
        print('handmade show: ' + failure, file=sys.stderr)
    if not failures:
        print('handmade show: the scene, the picture and the archive play as documented')
        if len(sys.argv) <= 2:
            shutil.rmtree(work)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
