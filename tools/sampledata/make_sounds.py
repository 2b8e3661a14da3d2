#!/usr/bin/env python3
"""Writes the short sounds of application/media/ as 16-bit mono wave files (22050 Hz).

id_read.wav      a key fob was read while no mode is active (one short beep)
id_add.wav       a key fob was added (two rising tones)
id_error.wav     a key fob was not added, it is already in the table (low buzz)
id_found.wav     Verify key found the key fob (three-note chime)
id_nfound.wav    Verify key did not find it (two falling tones)
menu end.wav     a page set was built (short arpeggio)
"""

import math
import os
import struct
import wave

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
RATE = 22050


def tone(frequency, seconds, volume=0.5, harmonics=(1.0,), fade=0.008):
    samples = []
    count = int(RATE * seconds)
    ramp = max(1, int(RATE * fade))
    for i in range(count):
        t = i / RATE
        v = sum(a * math.sin(2 * math.pi * frequency * (k + 1) * t) for k, a in enumerate(harmonics))
        v /= sum(harmonics)
        envelope = min(1.0, i / ramp, (count - 1 - i) / ramp)
        samples.append(v * volume * envelope)
    return samples


def silence(seconds):
    return [0.0] * int(RATE * seconds)


SOUNDS = {
    "id_read.wav": lambda: tone(1760, 0.07),
    "id_add.wav": lambda: tone(1047, 0.08) + silence(0.02) + tone(1568, 0.12),
    "id_error.wav": lambda: tone(196, 0.32, 0.45, harmonics=(1.0, 0.6, 0.4, 0.3)),
    "id_found.wav": lambda: tone(1319, 0.09) + tone(1568, 0.09) + tone(2093, 0.16),
    "id_nfound.wav": lambda: tone(659, 0.12) + silence(0.03) + tone(440, 0.2),
    "menu end.wav": lambda: tone(523, 0.06, 0.35) + tone(659, 0.06, 0.35) + tone(784, 0.06, 0.35) + tone(1047, 0.12, 0.35),
}


def main():
    folder = os.path.join(ROOT, "application", "media")
    os.makedirs(folder, exist_ok=True)
    for name, make in SOUNDS.items():
        data = b"".join(struct.pack("<h", int(max(-1.0, min(1.0, s)) * 32767)) for s in make())
        with wave.open(os.path.join(folder, name), "wb") as out:
            out.setnchannels(1)
            out.setsampwidth(2)
            out.setframerate(RATE)
            out.writeframes(data)
        print("wrote", os.path.join("application", "media", name))


if __name__ == "__main__":
    main()
