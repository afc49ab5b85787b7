#!/usr/bin/env python3
"""Synthesises the "Glass" chime played when a countdown ends.

A struck glass rings with a few inharmonic partials, each dying away
exponentially, the higher ones faster. Each partial is a slightly split pair
(a real glass is never perfectly round), which gives the ring its shimmer.
The output is deterministic: the same script always writes the same bytes.

Usage: make-glass-sound.py [output.wav]   (default: assets/Glass.wav)
"""

import math
import struct
import sys
import wave
from pathlib import Path

RATE = 44100
DURATION = 1.3          # seconds
PEAK_DBFS = -3.0
ATTACK = 0.004          # raised-cosine fade-in, soft enough to avoid a click
RELEASE = 0.25          # raised-cosine fade-out over the tail, so it ends at zero

FUNDAMENTAL = 1244.5    # D#6
# (frequency ratio, amplitude, decay time constant in seconds, split in Hz)
# The ratios follow the bending modes of a thin cylindrical shell.
PARTIALS = [
    (1.000, 1.00, 0.42, 1.3),
    (2.756, 0.42, 0.20, 2.1),
    (5.240, 0.17, 0.09, 3.4),
    (8.490, 0.07, 0.05, 4.6),
]


def raised_cosine(x):
    """0 at x <= 0, 1 at x >= 1, smooth in between."""
    x = min(max(x, 0.0), 1.0)
    return 0.5 - 0.5 * math.cos(math.pi * x)


def sample(t):
    value = 0.0
    for ratio, amplitude, decay, split in PARTIALS:
        f = FUNDAMENTAL * ratio
        envelope = amplitude * math.exp(-t / decay)
        value += envelope * 0.5 * (math.sin(2 * math.pi * (f - split / 2) * t)
                                   + math.sin(2 * math.pi * (f + split / 2) * t))
    fade_in = raised_cosine(t / ATTACK)
    fade_out = raised_cosine((DURATION - t) / RELEASE)
    return value * fade_in * fade_out


def synthesise():
    count = int(RATE * DURATION)
    signal = [sample(n / RATE) for n in range(count)]
    peak = max(abs(v) for v in signal)
    gain = 10 ** (PEAK_DBFS / 20) * 32767 / peak
    return [int(round(v * gain)) for v in signal]


def main():
    default = Path(__file__).resolve().parent.parent / "assets" / "Glass.wav"
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else default
    frames = synthesise()
    with wave.open(str(out), "wb") as wav:
        wav.setnchannels(1)
        wav.setsampwidth(2)
        wav.setframerate(RATE)
        wav.writeframes(struct.pack("<%dh" % len(frames), *frames))


if __name__ == "__main__":
    main()
