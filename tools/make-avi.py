#!/usr/bin/env python3
"""Writes a busy animation: a small uncompressed AVI (24-bit DIB frames) of a block sweeping
along a bar, orange for the download window, green for the upload panel.
Usage: make-avi.py OUT.avi [upload]"""
import struct
import sys

WIDTH, HEIGHT, FRAMES, FPS = 96, 24, 12, 12


def chunk(fourcc, data):
    pad = b"\0" if len(data) % 2 else b""
    return fourcc + struct.pack("<I", len(data)) + data + pad


def lst(kind, data):
    return chunk(b"LIST", kind + data)


BLOCK = (200, 120, 40)  # blue, green, red


def frame(n):
    stride = (WIDTH * 3 + 3) & ~3
    rows = []
    block = (n * (WIDTH - 16)) // (FRAMES - 1)
    for y in range(HEIGHT):  # bottom-up rows
        row = bytearray()
        for x in range(WIDTH):
            border = y in (0, HEIGHT - 1) or x in (0, WIDTH - 1)
            inside = block <= x < block + 16 and 3 <= y < HEIGHT - 3
            row += bytes((128, 128, 128) if border else BLOCK if inside else (236, 236, 236))
        rows.append(bytes(row) + b"\0" * (stride - WIDTH * 3))
    return b"".join(rows)


def main(out):
    frames = [frame(n) for n in range(FRAMES)]
    size = len(frames[0])
    avih = struct.pack("<14I", 1000000 // FPS, size * FPS, 0, 0x10, FRAMES, 0, 1, size, WIDTH, HEIGHT, 0, 0, 0, 0)
    strh = b"vids" + b"DIB " + struct.pack("<IHHIIIIIIiI4h", 0, 0, 0, 0, 1, FPS, 0, FRAMES, size, -1, 0, 0, 0, WIDTH, HEIGHT)
    strf = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, size, 0, 0, 0, 0)
    hdrl = lst(b"hdrl", chunk(b"avih", avih) + lst(b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))
    movi_body = b""
    index = b""
    for f in frames:
        index += b"00db" + struct.pack("<III", 0x10, 4 + len(movi_body), len(f))
        movi_body += chunk(b"00db", f)
    movi = lst(b"movi", movi_body)
    riff = chunk(b"RIFF", b"AVI " + hdrl + movi + chunk(b"idx1", index))
    with open(out, "wb") as fh:
        fh.write(riff)


if __name__ == "__main__":
    if len(sys.argv) > 2 and sys.argv[2] == "upload":
        BLOCK = (60, 170, 60)
    main(sys.argv[1])
