#!/usr/bin/env python3
"""Writes sample table text files of the U65 sample image into DATA/, as a table page exports
them: a title line "*****<default name>*****", one line per row in which every field is followed
by a TAB, and the end line of the table kind without a line end; CR LF line ends, UTF-8 without
byte-order mark (the name "Jabłoński" tries letters outside ASCII).

flats_sample.op   lock-code table, flats 1-64 (position, door number, code, six option indexes)
keys_sample.id    key table, positions 0-99 (position, key code, door number)
names_sample.nm   name directory, entries 0-22 (entry, name, flat, block) and the block number
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import layout as M  # noqa: E402
import make_images  # noqa: E402

ROOT = make_images.ROOT
EMPTY = "-----"


def write(name, title, rows, end):
    lines = ["*****%s*****" % title] + ["".join(field + "\t" for field in row) for row in rows]
    with open(os.path.join(ROOT, "DATA", name), "wb") as out:
        out.write(("\r\n".join(lines) + "\r\n" + end).encode("utf-8"))
    print("wrote", os.path.join("DATA", name))


def main():
    image = make_images.u65_image()
    word = image.word
    special = {M.FLAT_NR_START + i: word(a) for i, a in enumerate(M.SPECIAL_FLATS)}

    def door(physical):  # no staircases and no shift in the sample
        return special.get(physical, physical)

    ido = image.data[M.IDO:M.IDO + 2 * M.IDO_LENGTH].decode("utf-16-le").strip()
    title = "%s%s_%05d_%s" % (M.MODELS["RK4820_U65"]["type"], "65", word(M.SN), ido)

    lock = []
    for flat in range(1, 65):
        options = word(M.FLAT_OPTIONS + 2 * flat)
        fields = [str((options >> first) & ((1 << (last - first + 1)) - 1)) for _, first, last in M.OPTION_FIELDS]
        lock.append([str(flat), str(door(flat)), "%04d" % word(M.LOCK_CODES + 2 * flat)] + fields)
    write("flats_sample.op", title, lock, "End Of Table Code/Flat Options")

    keys = []
    for position in range(100):
        code, flat = word(M.U65_KEY_CODES + 2 * position), image.data[M.U65_KEY_FLATS + position]
        keys.append([str(position), EMPTY if flat == 0xFF else "%04X" % code,
                     EMPTY if flat in (0, 0xFF) else str(door(flat))])
    write("keys_sample.id", title, keys, "End Of Table TM_Flat")

    names = []
    for entry in range(23):
        base = M.NAMES + entry * M.NAME_RECORD
        names.append([str(entry), image.data[base:base + 2 * M.NAME_CHARS].decode("utf-16-le"),
                      str(word(base + M.NAME_FLAT_OFFSET)), str(image.data[base + M.NAME_BLOCK_OFFSET]),
                      str(word(M.BLOCK_NUMBER))])
    write("names_sample.nm", title, names, "End Of Table DB_NAME")


if __name__ == "__main__":
    main()
