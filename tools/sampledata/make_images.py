#!/usr/bin/env python3
"""Writes the sample memory images of DATA/ (raw EEPROM bytes, no header).

RK4820_U65_sample.bin    8192 bytes, identification word 0x1491: a 64-flat building with lock
                         codes, flat options (one authorization field holds 3, which has no
                         item), key fobs (one fob enrolled twice) and names
RK4820_H65_sample.bin    8192 bytes, identification word 0x3BA1: an access unit with key fobs,
                         one of them with the flat byte 5 although the model has no flats
unknown_model_1500.bin   the U65 sample with the word 0x1500, which no model of GUI.xlx has
short_image_4096.bin     the first 4096 bytes of the U65 sample (memory size mismatch)
RK4810_keys.bin          8192 bytes of the older RK-4810 unit, read by the key-table extractor

Unused memory reads 0xFF as in an erased EEPROM; the parameter area is zero where no parameter
lies. Everything is derived from a fixed random seed, so the files come out the same every time.
"""

import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import layout as M  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


class Image:
    def __init__(self, size=M.MEMSIZE):
        self.data = bytearray(b"\xff" * size)

    def fill(self, start, end, byte):
        self.data[start:end] = bytes([byte]) * (end - start)

    def u16(self, address, value):
        self.data[address] = (value >> 8) & 0xFF
        self.data[address + 1] = value & 0xFF

    def u8(self, address, value):
        self.data[address] = value & 0xFF

    def word(self, address):
        return (self.data[address] << 8) | self.data[address + 1]

    def bits(self, address, first, last, value):
        mask = ((1 << (last - first + 1)) - 1) << first
        self.u16(address, (self.word(address) & ~mask) | ((value << first) & mask))

    def text(self, address, length, text):
        """A text field: length UTF-16LE characters, centred with blanks, the odd blank at the end."""
        text = text[:length]
        left = (length - len(text)) // 2
        field = " " * left + text + " " * (length - len(text) - left)
        self.data[address:address + 2 * length] = field.encode("utf-16-le")


def parameters(image, model, sn, firmware, hardware, ido, options, door_time, alarm_delay):
    image.fill(0x0000, 0x0100, 0x00)
    image.u16(M.SN, sn)
    image.u16(M.FIRMWARE, firmware)
    image.u16(M.HARDWARE, hardware)
    image.u16(M.SERVICE_CODE, 5820)
    image.u16(M.IDD, M.MODELS[model]["id"])
    image.u16(M.DOOR_OPEN_TIME, door_time)
    image.u16(M.OPTIONS, options)
    image.u16(M.DOOR_ALARM_DELAY, alarm_delay)
    image.text(M.IDO, M.IDO_LENGTH, ido)


def key_code(rng, used):
    while True:
        code = rng.randrange(0x0100, 0xFFFF)
        if code not in used:
            used.add(code)
            return code


def keys(image, codes, flats, slots, entries):
    """entries: (position, code, flat byte). Every other slot is empty: code 0, flat byte 0xFF."""
    for position in range(slots):
        image.u16(codes + 2 * position, 0)
        image.u8(flats + position, 0xFF)
    for position, code, flat in entries:
        image.u16(codes + 2 * position, code)
        image.u8(flats + position, flat)


NAMES = ["Adamski", "Baker", "Berger", "Czarnecka", "Dobson", "Eriksen", "Fischer", "Gajewski",
         "Hansen", "Ivanova", "Jabłoński", "Keller", "Lindqvist", "Marek", "Novak", "Olsen",
         "Pawlak", "Quinn", "Rossi", "Sobczak", "Tanner", "Urban", "Vogel", "Wilczek"]


def u65_image():
    rng = random.Random(4820)
    image = Image()
    parameters(image, "RK4820_U65", sn=31415, firmware=0x0203, hardware=3, ido="Birch Lane 12, entrance A",
               options=0b110001, door_time=5, alarm_delay=60)
    image.u16(M.BLOCK_NUMBER, 2)
    image.u16(M.CALL_TIME, 30)
    image.u16(M.TALK_TIME, 90)
    image.u16(M.SPEAKER_VOLUME, 4)
    image.u16(M.MIC_GAIN, 1)
    image.u16(M.LOCK_TYPE, 1)
    image.u16(M.PORTER_FLAT, 300)
    image.u16(M.CONTRAST, 3)
    image.u8(M.BRIGHTNESS, 80)
    image.u16(M.BACKLIGHT_DAYS, 0b0011111)  # Monday to Friday
    image.u16(M.OPTIONS2, 0b110)
    image.u16(M.SHIFT_RANGE, 0)
    image.u16(M.FLAT_UP_STAIRS, 0)
    image.u16(M.FLAT_MIN, 1)
    image.u16(M.FLAT_MAX, 64)
    for i, address in enumerate(M.SPECIAL_FLATS):
        image.u16(address, 300 + i)

    # Lock codes and options: flats 1-64 and the two first special flats (porter, caretaker).
    served = list(range(1, 65)) + [M.FLAT_NR_START, M.FLAT_NR_START + 1]
    fields = {name: (first, last) for name, first, last in M.OPTION_FIELDS}
    image.fill(M.LOCK_CODES, M.LOCK_CODES + 0x200, 0x00)
    image.fill(M.FLAT_OPTIONS, M.FLAT_OPTIONS + 0x200, 0x00)
    for flat in range(1, M.LOCK_FLATS + 1):
        options = {"melody": 0, "volume": 1, "rings": 2, "mode": 0, "authorization": 0, "codedlock": 0}
        if flat in served:
            image.u16(M.LOCK_CODES + 2 * flat, rng.randrange(1000, 10000))
            options.update(melody=rng.randrange(8), rings=rng.choice([2, 2, 3, 4]),
                           mode=rng.choice([1, 1, 1, 3]), volume=rng.choice([1, 1, 2]),
                           authorization=rng.choice([1, 1, 1, 2]), codedlock=1)
        if flat == M.NO_ITEM_FLAT:
            options.update(authorization=3)  # a field value the option list has no item for
        for name, value in options.items():
            first, last = fields[name]
            image.bits(M.FLAT_OPTIONS + 2 * flat, first, last, value)

    # Key fobs: one or two per served flat, a fob enrolled twice, service and master keys.
    used = set()
    entries = []
    position = 0
    for flat in served:
        for _ in range(rng.choice([1, 1, 2])):
            entries.append((position, key_code(rng, used), flat))
            position += 1
    entries.append((position, entries[7][1], entries[7][2]))  # the same fob once more
    entries += [(1000, key_code(rng, used), 0), (1001, key_code(rng, used), 0), (1020, key_code(rng, used), 0)]
    keys(image, M.U65_KEY_CODES, M.U65_KEY_FLATS, M.U65_KEYS, entries)

    # Name directory: one name per flat for the first flats, the porter last.
    for record in range(M.NAME_RECORDS):
        base = M.NAMES + record * M.NAME_RECORD
        image.text(base, M.NAME_CHARS, "")
        image.u16(base + M.NAME_FLAT_OFFSET, 0)
        image.u8(base + M.NAME_BLOCK_OFFSET, 0)
        image.u8(base + M.NAME_BLOCK_OFFSET + 1, 0)
    directory = [(name, flat) for flat, name in zip(range(1, 65, 3), NAMES)] + [("Porter", 300)]
    for record, (name, flat) in enumerate(directory):
        base = M.NAMES + record * M.NAME_RECORD
        image.text(base, M.NAME_CHARS, name)
        image.u16(base + M.NAME_FLAT_OFFSET, flat)
        image.u8(base + M.NAME_BLOCK_OFFSET, 2)
    return image


def h65_image():
    rng = random.Random(4821)
    image = Image()
    parameters(image, "RK4820_H65", sn=27182, firmware=0x0110, hardware=2, ido="Workshop gate, Mill Road 4",
               options=0b000011, door_time=3, alarm_delay=30)
    used = set()
    entries = [(p, key_code(rng, used), 0) for p in range(36)]
    entries[M.H65_FLAT_KEY] = (M.H65_FLAT_KEY, entries[M.H65_FLAT_KEY][1], 5)  # a flat byte on a model without flats
    entries += [(2000, key_code(rng, used), 0), (2001, key_code(rng, used), 0), (2040, key_code(rng, used), 0)]
    keys(image, M.H65_KEY_CODES, M.H65_KEY_FLATS, M.H65_KEYS, entries)
    return image


def rk4810_image():
    """Key slots in seven byte planes: serial byte i of slot r at 0x400 * (6 - i) + r, flat at 0x1C00 + r."""
    rng = random.Random(4810)
    image = Image()
    for slot in range(40):
        serial = [0x01] + [rng.randrange(256) for _ in range(5)]
        for i, byte in enumerate(serial):
            image.u8(0x400 * (6 - i) + slot, byte)
        image.u8(0x1C00 + slot, 0 if slot >= 38 else 1 + slot // 2)
    return image


def main():
    folder = os.path.join(ROOT, "DATA")
    os.makedirs(folder, exist_ok=True)
    u65 = u65_image()
    unknown = Image()
    unknown.data[:] = u65.data
    unknown.u16(M.MODEL_ID_ADDRESS, 0x1500)
    images = {
        "RK4820_U65_sample.bin": bytes(u65.data),
        "RK4820_H65_sample.bin": bytes(h65_image().data),
        "unknown_model_1500.bin": bytes(unknown.data),
        "short_image_4096.bin": bytes(u65.data[:4096]),
        "RK4810_keys.bin": bytes(rk4810_image().data),
    }
    for name, data in images.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)
        print("wrote", os.path.join("DATA", name), len(data), "bytes")


if __name__ == "__main__":
    main()
