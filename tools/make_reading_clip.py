#!/usr/bin/env python3
"""Draws the "reading" animation (a turning encoder disc) as an animated GIF.

The clip is made by the project itself; run this script to rebuild File_data/reading.gif.
"""
import math
import struct
import sys

SIZE = 32
FRAMES = 12
PALETTE = [(0xF0, 0xF0, 0xF0), (0x0B, 0x4F, 0x8A), (0xE0, 0x7A, 0x10), (0xFF, 0xFF, 0xFF)]


def frame_pixels(step):
    angle = 2 * math.pi * step / FRAMES
    c = (SIZE - 1) / 2
    pixels = []
    for y in range(SIZE):
        for x in range(SIZE):
            dx, dy = x - c, y - c
            r = math.hypot(dx, dy)
            colour = 0
            if r <= 14:
                colour = 3
            if 12 <= r <= 14.5:
                colour = 1
            # the index mark travelling round the disc
            a = math.atan2(dy, dx)
            diff = (a - angle + math.pi) % (2 * math.pi) - math.pi
            if 4 <= r <= 11 and abs(diff) < 0.35:
                colour = 2
            if r <= 2.5:
                colour = 1
            pixels.append(colour)
    return pixels


def lzw(pixels, min_code_size):
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    table = {(i,): i for i in range(clear)}
    code_size, next_code = min_code_size + 1, end + 1
    out, bits, nbits = bytearray(), 0, 0

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += code_size
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    emit(clear)
    prefix = (pixels[0],)
    for p in pixels[1:]:
        candidate = prefix + (p,)
        if candidate in table:
            prefix = candidate
            continue
        emit(table[prefix])
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << code_size) and code_size < 12:
                code_size += 1
        else:
            emit(clear)
            table = {(i,): i for i in range(clear)}
            code_size, next_code = min_code_size + 1, end + 1
        prefix = (p,)
    emit(table[prefix])
    emit(end)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def main(path):
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", SIZE, SIZE, 0xF1, 0, 0)  # global table of 4 colours
    for rgb in PALETTE:
        data += bytes(rgb)
    data += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    for step in range(FRAMES):
        data += b"\x21\xF9\x04\x00" + struct.pack("<H", 8) + b"\x00\x00"  # 80 ms a frame
        data += b"\x2C" + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0)
        min_code_size = 2
        stream = lzw(frame_pixels(step), min_code_size)
        data.append(min_code_size)
        for i in range(0, len(stream), 255):
            chunk = stream[i:i + 255]
            data.append(len(chunk))
            data += chunk
        data.append(0)
    data.append(0x3B)
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "File_data/reading.gif")
