#!/usr/bin/python3
"""Writes the demo client's media file: a small uncompressed AVI.

64 x 48 pixels, 24-bit, 10 frames at 10 frames per second, one video stream of
uncompressed DIB frames ('00db'), with an index (idx1). The picture: on the palette's light
blue-grey, an accent-blue square travels from left to right above a progress bar that
fills as it goes. The bytes depend on nothing but this script, so every build writes the
same file. Standard library only:
    /usr/bin/python3 tools/make_demo_avi.py OUTPUT.avi
"""
import os
import struct
import sys

WIDTH = 64
HEIGHT = 48
FRAMES = 10
FRAMES_PER_SECOND = 10

BACKGROUND = (221, 236, 248)  # RGB
ACCENT = (52, 96, 150)
TRACK = (190, 211, 232)  # the empty part of the progress bar

BYTES_PER_PIXEL = 3
ROW_BYTES = (WIDTH * BYTES_PER_PIXEL + 3) & ~3  # DIB rows are padded to four bytes
FRAME_BYTES = ROW_BYTES * HEIGHT

AVIF_HASINDEX = 0x10
AVIIF_KEYFRAME = 0x10

SQUARE = 12
SQUARE_TOP = 12
BAR_TOP, BAR_BOTTOM = 36, 40  # rows, top-down, the bottom one excluded
BAR_LEFT, BAR_RIGHT = 4, WIDTH - 4


def frame_pixels(index):
    """The frame's pixels as rows of RGB tuples, top row first."""
    rows = [[BACKGROUND] * WIDTH for _ in range(HEIGHT)]
    travel = WIDTH - 8 - SQUARE
    left = 4 + travel * index // (FRAMES - 1)
    for y in range(SQUARE_TOP, SQUARE_TOP + SQUARE):
        for x in range(left, left + SQUARE):
            rows[y][x] = ACCENT
    filled = BAR_LEFT + (BAR_RIGHT - BAR_LEFT) * (index + 1) // FRAMES
    for y in range(BAR_TOP, BAR_BOTTOM):
        for x in range(BAR_LEFT, BAR_RIGHT):
            rows[y][x] = ACCENT if x < filled else TRACK
    return rows


def frame_bytes(index):
    """A bottom-up 24-bit DIB: the last row first, each pixel blue, green, red."""
    out = bytearray()
    for row in reversed(frame_pixels(index)):
        for red, green, blue in row:
            out += bytes((blue, green, red))
        out += bytes(ROW_BYTES - WIDTH * BYTES_PER_PIXEL)
    assert len(out) == FRAME_BYTES
    return bytes(out)


def chunk(fourcc, data):
    """A RIFF chunk, padded to an even length."""
    return fourcc + struct.pack("<I", len(data)) + data + (b"\0" if len(data) % 2 else b"")


def riff_list(kind, fourcc, parts):
    return chunk(kind, fourcc + b"".join(parts))


def make_avi():
    frames = [frame_bytes(i) for i in range(FRAMES)]
    avih = struct.pack(
        "<14I",
        1_000_000 // FRAMES_PER_SECOND,  # microseconds per frame
        FRAME_BYTES * FRAMES_PER_SECOND,  # maximum bytes per second
        0,  # padding granularity
        AVIF_HASINDEX,
        FRAMES,  # total frames
        0,  # initial frames
        1,  # streams
        FRAME_BYTES,  # suggested buffer size
        WIDTH,
        HEIGHT,
        0, 0, 0, 0,  # reserved
    )
    strh = struct.pack(
        "<4s4sIHHIIIIIIIIhhhh",
        b"vids",
        b"DIB ",
        0,  # flags
        0,  # priority
        0,  # language
        0,  # initial frames
        1,  # scale: rate / scale = frames per second
        FRAMES_PER_SECOND,  # rate
        0,  # start
        FRAMES,  # length, in frames
        FRAME_BYTES,  # suggested buffer size
        0xFFFFFFFF,  # quality: the default
        0,  # sample size: frames vary in size in general
        0, 0, WIDTH, HEIGHT,  # frame rectangle
    )
    strf = struct.pack(
        "<IiiHHIIiiII",
        40,  # BITMAPINFOHEADER size
        WIDTH,
        HEIGHT,  # positive: bottom-up rows
        1,  # planes
        8 * BYTES_PER_PIXEL,
        0,  # BI_RGB
        FRAME_BYTES,
        0, 0,  # pixels per metre
        0, 0,  # colours used, important
    )
    header = riff_list(b"LIST", b"hdrl", [
        chunk(b"avih", avih),
        riff_list(b"LIST", b"strl", [chunk(b"strh", strh), chunk(b"strf", strf)]),
    ])
    movi_chunks = [chunk(b"00db", frame) for frame in frames]
    movi = riff_list(b"LIST", b"movi", movi_chunks)
    # Index offsets count from the 'movi' identifier: the first chunk sits 4 bytes after it.
    entries = []
    offset = 4
    for data in movi_chunks:
        entries.append(struct.pack("<4sIII", b"00db", AVIIF_KEYFRAME, offset, len(data) - 8))
        offset += len(data)
    index = chunk(b"idx1", b"".join(entries))
    return riff_list(b"RIFF", b"AVI ", [header, movi, index])


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_demo_avi.py OUTPUT.avi")
    output = sys.argv[1]
    data = make_avi()
    folder = os.path.dirname(output)
    if folder:
        os.makedirs(folder, exist_ok=True)
    # Written beside the target and renamed, so that a failed run leaves no partial file.
    temporary = output + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, output)


if __name__ == "__main__":
    main()
