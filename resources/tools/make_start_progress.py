#!/usr/bin/env python3
"""Draws the login animation StartProgress.gif: twelve dots on a ring, one bright dot running
round with a fading tail. Standard library only (the GIF encoder is below)."""
import math
import struct
import sys

SIZE = 64
FRAMES = 12
DOTS = 12
RING = 22.0
DOT_RADIUS = 4.2
BACKGROUND = (236, 242, 250)
BRIGHT = (21, 66, 139)
SCALE = 4  # supersampling for smooth edges


def palette():
    # Index 0 is the (transparent) background; 1..63 blend towards the bright colour.
    colours = []
    for i in range(64):
        t = i / 63.0
        colours.append(tuple(round(b + (f - b) * t) for b, f in zip(BACKGROUND, BRIGHT)))
    return colours


def frame(number):
    pixels = bytearray(SIZE * SIZE)
    centre = SIZE / 2.0
    for y in range(SIZE):
        for x in range(SIZE):
            best = 0.0
            for dot in range(DOTS):
                angle = 2 * math.pi * dot / DOTS - math.pi / 2
                dx, dy = centre + RING * math.cos(angle), centre + RING * math.sin(angle)
                age = (number - dot) % DOTS
                strength = max(0.18, 1.0 - age / 7.0)
                cover = 0
                for sy in range(SCALE):
                    for sx in range(SCALE):
                        px = x + (sx + 0.5) / SCALE
                        py = y + (sy + 0.5) / SCALE
                        if (px - dx) ** 2 + (py - dy) ** 2 <= DOT_RADIUS ** 2:
                            cover += 1
                best = max(best, strength * cover / (SCALE * SCALE))
            pixels[y * SIZE + x] = round(best * 63)
    return bytes(pixels)


def lzw(data, min_code_size=6):
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    table = {bytes([i]): i for i in range(clear)}
    next_code, code_size = end + 1, min_code_size + 1
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
    current = b""
    for value in data:
        candidate = current + bytes([value])
        if candidate in table:
            current = candidate
            continue
        emit(table[current])
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << code_size) and code_size < 12:
                code_size += 1
        else:
            emit(clear)
            table = {bytes([i]): i for i in range(clear)}
            next_code, code_size = end + 1, min_code_size + 1
        current = bytes([value])
    if current:
        emit(table[current])
    emit(end)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def main(path):
    gif = bytearray(b"GIF89a")
    gif += struct.pack("<HHBBB", SIZE, SIZE, 0xF5, 0, 0)  # global table of 64 colours
    for colour in palette():
        gif += bytes(colour)
    gif += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    for number in range(FRAMES):
        gif += b"\x21\xF9\x04\x09" + struct.pack("<H", 8) + b"\x00\x00"  # 80 ms, transparent 0
        gif += b"\x2C" + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0)
        gif += b"\x06" + blocks(lzw(frame(number)))
    gif += b"\x3B"
    with open(path, "wb") as out:
        out.write(gif)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "StartProgress.gif")
