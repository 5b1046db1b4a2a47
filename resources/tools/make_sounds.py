#!/usr/bin/env python3
"""Writes the ten wave files of the console's sound events into resources/sounds/: 8 kHz mono
16-bit, each short and recognisable. The SOS sound is a fast two-tone siren; the sensor alarms
(door, infrared, smoke, gas) are each a pattern of their own. Standard library only."""
import math
import os
import struct
import sys
import wave

RATE = 8000


def tone(freq, ms, volume=0.6, freq_end=None):
    """A sine tone gliding from freq to freq_end, with 5 ms fades so it never clicks."""
    count = int(RATE * ms / 1000)
    fade = int(RATE * 0.005)
    end = freq if freq_end is None else freq_end
    samples = []
    phase = 0.0
    for i in range(count):
        f = freq + (end - freq) * i / max(1, count - 1)
        phase += 2 * math.pi * f / RATE
        gain = min(1.0, i / fade, (count - 1 - i) / fade) if fade else 1.0
        samples.append(volume * gain * math.sin(phase))
    return samples


def silence(ms):
    return [0.0] * int(RATE * ms / 1000)


def chord(freqs, ms, volume=0.6):
    parts = [tone(f, ms, volume / len(freqs)) for f in freqs]
    return [sum(values) for values in zip(*parts)]


def repeat(pattern, times):
    out = []
    for _ in range(times):
        out += pattern
    return out


SOUNDS = {
    # 即时讯息: one soft rising blip.
    "frommessage.wav": tone(880, 90, 0.4) + silence(30) + tone(1320, 120, 0.4),
    # 求助报警: a three-note doorbell chime, played twice.
    "general.wav": repeat(tone(784, 160) + tone(988, 160) + tone(1175, 260) + silence(180), 2),
    # 求救报警: an urgent siren, two tones alternating fast, then a rising whoop.
    "special.wav": repeat(tone(1400, 90, 0.85) + tone(950, 90, 0.85), 6)
    + tone(700, 350, 0.85, 1700),
    # 用户上线: two notes upwards.
    "online.wav": tone(660, 110, 0.45) + tone(990, 170, 0.45),
    # 用户下线: two notes downwards.
    "offline.wav": tone(990, 110, 0.45) + tone(660, 170, 0.45),
    # 脱机提醒: three falling notes, slow.
    "logout.wav": tone(1046, 200) + silence(40) + tone(784, 200) + silence(40) + tone(523, 380),
    # 门磁报警: a double knock, three times.
    "menci.wav": repeat(tone(600, 60, 0.8) + silence(60) + tone(600, 60, 0.8) + silence(250), 3),
    # 红外报警: rapid high pips.
    "hongwai.wav": repeat(tone(2400, 40, 0.7) + silence(40), 10),
    # 烟感报警: three long piercing beeps.
    "yangan.wav": repeat(tone(3100, 220, 0.7) + silence(120), 3),
    # 煤气报警: a warbling chord.
    "meiqi.wav": repeat(chord([1000, 1250], 120, 0.8) + chord([800, 1000], 120, 0.8), 4),
}


def write(path, samples):
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", int(max(-1.0, min(1.0, s)) * 32767))
                                 for s in samples))


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "sounds")
    folder = sys.argv[1] if len(sys.argv) > 1 else root
    os.makedirs(folder, exist_ok=True)
    for name, samples in SOUNDS.items():
        write(os.path.join(folder, name), samples)


if __name__ == "__main__":
    main()
