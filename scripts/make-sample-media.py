#!/usr/bin/env python3
"""Writes the pictures and sounds of the sample knowledge base: small 24-bit BMP drawings
and short 16-bit mono WAV tones, made here from nothing but arithmetic.

    python3 scripts/make-sample-media.py [EXAMPLES_DIR]

The output is committed under examples/GRAFIKA/AUTO and examples/DŹWIĘKI/AUTO; run the
script again only to change them."""
import math
import os
import struct
import sys

W, H = 48, 32


def bmp(path, pixels):
    """pixels[y][x] = (r, g, b), y from the top; BMP rows go bottom-up, padded to 4 bytes."""
    h, w = len(pixels), len(pixels[0])
    row_size = (w * 3 + 3) // 4 * 4
    data = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for r, g, b in pixels[y]:
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def canvas(color):
    return [[color for _ in range(W)] for _ in range(H)]


def rect(p, x0, y0, x1, y1, color):
    for y in range(max(0, y0), min(H, y1)):
        for x in range(max(0, x0), min(W, x1)):
            p[y][x] = color


def disc(p, cx, cy, r, color):
    for y in range(H):
        for x in range(W):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                p[y][x] = color


SKY, DARK, RED, GREEN, WHITE, YELLOW, GREY = (
    (200, 225, 255), (40, 40, 48), (210, 40, 40), (40, 170, 70), (250, 250, 250), (245, 200, 40), (120, 120, 130))


def battery(ok):
    p = canvas(SKY)
    rect(p, 8, 10, 40, 28, DARK)
    rect(p, 12, 6, 18, 10, GREY)
    rect(p, 30, 6, 36, 10, GREY)
    rect(p, 13, 17, 18, 19, WHITE)  # minus
    rect(p, 30, 17, 35, 19, WHITE)  # plus
    rect(p, 31, 15, 33, 21, WHITE)
    # a green bar for a good battery, a red one for a weak battery
    rect(p, 12, 23, 36 if ok else 17, 26, GREEN if ok else RED)
    return p


def voltmeter():
    p = canvas(SKY)
    disc(p, 24, 17, 13, WHITE)
    for i in range(12):
        a = math.pi * (0.15 + 0.7 * i / 11)
        x, y = 24 - int(11 * math.cos(a)), 17 - int(11 * math.sin(a))
        p[y][x] = DARK
    for t in range(11):  # the needle towards the low end
        a = math.pi * 0.3
        x, y = 24 - int(t * math.cos(a)), 17 - int(t * math.sin(a))
        p[y][x] = RED
    rect(p, 18, 24, 30, 27, DARK)
    return p


def tow_truck():
    p = canvas(SKY)
    rect(p, 0, 27, W, H, GREY)  # road
    rect(p, 4, 14, 30, 24, YELLOW)  # body
    rect(p, 30, 10, 42, 24, YELLOW)  # cab
    rect(p, 33, 12, 40, 17, SKY)  # window
    rect(p, 6, 8, 8, 14, DARK)  # crane
    rect(p, 6, 8, 18, 10, DARK)
    disc(p, 11, 25, 3, DARK)
    disc(p, 36, 25, 3, DARK)
    rect(p, 16, 16, 22, 18, RED)  # lamp bar
    return p


def wav(path, tones, rate=22050):
    """tones: list of (frequency Hz, seconds); a short fade avoids clicks."""
    samples = bytearray()
    for freq, secs in tones:
        n = int(rate * secs)
        fade = int(rate * 0.01)
        for i in range(n):
            env = min(1.0, i / fade, (n - i) / fade) if fade else 1.0
            v = int(0.4 * 32767 * env * math.sin(2 * math.pi * freq * i / rate))
            samples += struct.pack("<h", v)
    header = struct.pack("<4sI4s", b"RIFF", 36 + len(samples), b"WAVE")
    fmt = struct.pack("<4sIHHIIHH", b"fmt ", 16, 1, 1, rate, rate * 2, 2, 16)
    data = struct.pack("<4sI", b"data", len(samples))
    with open(path, "wb") as f:
        f.write(header + fmt + data + samples)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "examples")
    gr = os.path.join(root, "GRAFIKA", "AUTO")
    dz = os.path.join(root, "DŹWIĘKI", "AUTO")
    os.makedirs(gr, exist_ok=True)
    os.makedirs(dz, exist_ok=True)
    bmp(os.path.join(gr, "akumulator.bmp"), battery(False))
    bmp(os.path.join(gr, "akumulator_sprawny.bmp"), battery(True))
    bmp(os.path.join(gr, "woltomierz.bmp"), voltmeter())
    bmp(os.path.join(gr, "pomoc_drogowa.bmp"), tow_truck())
    wav(os.path.join(dz, "sygnal.wav"), [(880, 0.25), (660, 0.25)])
    wav(os.path.join(dz, "syrena.wav"), [(700, 0.2), (950, 0.2), (700, 0.2), (950, 0.2)])
    wav(os.path.join(dz, "w_porzadku.wav"), [(523, 0.15), (659, 0.15), (784, 0.2)])


if __name__ == "__main__":
    main()
