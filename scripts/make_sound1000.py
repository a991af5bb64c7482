#!/usr/bin/env python3
"""Writes resources/sound1000.wav: the short chime played when Qubrix launches something.

A RIFF WAVE in Microsoft ADPCM: mono, 22,050 Hz, 4 bits a sample, blocks of 512 bytes holding
1,012 samples, the seven standard coefficient pairs, 3,340 samples in all (the fact chunk says
so; the last block is short). Run it from anywhere; it needs nothing beyond Python 3.
"""

import math
import pathlib
import struct

RATE = 22050
SAMPLES = 3340
BLOCK_ALIGN = 512
SAMPLES_PER_BLOCK = (BLOCK_ALIGN - 7) * 2 + 2  # 1012: two in the header, two per byte after
COEFFICIENTS = [(256, 0), (512, -256), (0, 0), (192, 64), (240, 0), (460, -208), (392, -232)]
ADAPTATION = [230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230]


def chime():
    """Two bell-like partials a fifth apart, a fast attack and an exponential decay."""
    samples = []
    for n in range(SAMPLES):
        t = n / RATE
        envelope = min(1.0, t / 0.004) * math.exp(-t / 0.045)
        value = 0.6 * math.sin(2 * math.pi * 1320 * t) + 0.3 * math.sin(2 * math.pi * 1980 * t)
        samples.append(int(round(12000 * envelope * value)))
    return samples


def clamp16(value):
    return max(-32768, min(32767, value))


def encode_block(samples, predictor, first_delta):
    """Encodes one block with the given predictor; returns (bytes, squared error)."""
    c1, c2 = COEFFICIENTS[predictor]
    delta = first_delta
    older, newer = samples[0], samples[1]
    nibbles = []
    error = 0
    for sample in samples[2:]:
        prediction = (newer * c1 + older * c2) >> 8
        code = max(-8, min(7, round((sample - prediction) / delta)))
        decoded = clamp16(prediction + code * delta)
        error += (decoded - sample) ** 2
        nibbles.append(code & 0x0F)
        delta = max(16, (ADAPTATION[code & 0x0F] * delta) >> 8)
        older, newer = newer, decoded
    if len(nibbles) % 2:
        nibbles.append(0)
    header = struct.pack("<Bhhh", predictor, first_delta, samples[1], samples[0])
    data = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, len(nibbles), 2))
    return header + data, error


def encode(samples):
    blocks = []
    for start in range(0, len(samples), SAMPLES_PER_BLOCK):
        block = samples[start:start + SAMPLES_PER_BLOCK]
        first_delta = max(16, abs(block[2] - block[1]) // 2) if len(block) > 2 else 16
        best = min((encode_block(block, p, first_delta) for p in range(len(COEFFICIENTS))),
                   key=lambda encoded: encoded[1])
        blocks.append(best[0])
    return b"".join(blocks)


def wave_file(data):
    coefficients = b"".join(struct.pack("<hh", c1, c2) for c1, c2 in COEFFICIENTS)
    extra = struct.pack("<HH", SAMPLES_PER_BLOCK, len(COEFFICIENTS)) + coefficients
    bytes_per_second = RATE * BLOCK_ALIGN // SAMPLES_PER_BLOCK
    fmt = struct.pack("<HHIIHHH", 2, 1, RATE, bytes_per_second, BLOCK_ALIGN, 4, len(extra))
    fmt += extra
    chunks = (b"fmt " + struct.pack("<I", len(fmt)) + fmt
              + b"fact" + struct.pack("<II", 4, SAMPLES)
              + b"data" + struct.pack("<I", len(data)) + data + b"\0" * (len(data) % 2))
    return b"RIFF" + struct.pack("<I", 4 + len(chunks)) + b"WAVE" + chunks


def main():
    target = pathlib.Path(__file__).resolve().parent.parent / "resources" / "sound1000.wav"
    data = encode(chime())
    target.write_bytes(wave_file(data))
    print(f"{target}: {len(data)} bytes of sample data")


if __name__ == "__main__":
    main()
