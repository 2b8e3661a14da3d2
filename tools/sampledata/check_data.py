#!/usr/bin/env python3
"""Checks the data tree as the programs will meet it, reading the written files rather than the
generators' own data: every file that GUI.xlx or a definition file names exists (letter case
ignored, as on the system the paths were written for), and every sample image holds, at the
addresses its definition file gives, values that the pages can show: numbers inside their
editors' ranges, combo values in their lists, option bit fields with an item, key fobs on flats
the numbering serves, readable names. Prints what each sample image shows on its first tree page.
Exits with status 1 when anything is wrong."""

import os
import re
import sys
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import layout as M  # noqa: E402
from make_definitions import CLEANUPS  # noqa: E402

# Faults the sample images keep on purpose, so that the programs meet them (README of this folder):
# (model, flat) with an option field that has no item, and (model, key slot) with a flat byte on a
# model without flat numbering.
KEPT_NO_ITEM = {("RK4820_U65", M.NO_ITEM_FLAT, "%d:12-13" % M.FLAT_OPTIONS)}
KEPT_FLAT_WITHOUT_NUMBERING = {("RK4820_H65", M.H65_FLAT_KEY)}

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
problems = []


def problem(text):
    problems.append(text)
    print("PROBLEM:", text)


def on_disk(path):
    """Resolves a data path below the root one component at a time, ignoring letter case."""
    current = ROOT
    for part in [p for p in path.replace("\\", "/").split("/") if p]:
        names = {n.lower(): n for n in os.listdir(current)} if os.path.isdir(current) else {}
        if part.lower() not in names:
            return None
        current = os.path.join(current, names[part.lower()])
    return current


def named_file(path, what):
    if not path or on_disk(path) is None or not os.path.isfile(on_disk(path)):
        problem("%s names %r, which is not there" % (what, path))
        return False
    return True


def named_page(path, what):
    """A help page and every picture it shows, named relative to the page."""
    if not named_file(path, what):
        return
    page = open(on_disk(path), encoding="utf-8", errors="replace").read()
    folder = os.path.dirname(path.replace("\\", "/"))
    for src in re.findall(r'<img\b[^>]*\bsrc="([^"]+)"', page, re.IGNORECASE):
        named_file(os.path.normpath(os.path.join(folder, src)).replace(os.sep, "/"), "%s picture" % path)


def parse(path):
    raw = open(path, "rb").read()
    if raw.startswith(b"\xfe\xff"):
        text = raw[2:].decode("utf-16-be").replace('encoding="UTF-16"', 'encoding="UTF-8"')
    else:
        text = raw.decode("utf-8-sig")
    for pattern, replacement in CLEANUPS:
        text = re.sub(pattern, replacement, text)
    return ET.fromstring(text.encode("utf-8"))


def address(text):
    return int(text, 16) if "x" in text else int(text)


def number(text):
    return int(text, 16) if "x" in text.lower() else int(text or "0")


class Image:
    def __init__(self, path):
        self.data = open(path, "rb").read()

    def word(self, a):
        return (self.data[a] << 8) | self.data[a + 1]

    def bits(self, field):
        word, rng = field.split(":")
        first, last = (int(x) for x in rng.split("-")) if "-" in rng else (int(rng), int(rng))
        return (self.word(int(word)) >> first) & ((1 << (last - first + 1)) - 1)

    def text(self, a, chars):
        return self.data[a:a + 2 * chars].decode("utf-16-le")


def items(text):
    return text.split("/")[:-1]


def check_tree(page, image, lang, show):
    for line in page.iter():
        elements = list(line)
        if line.tag not in ("LINE", "HEAD_LINE_DEF"):
            continue
        label = " ".join(e.get("TXT", "") for e in elements if e.tag == "TEXT")[:60]
        for e in elements:
            kind, a = e.tag, e.attrib
            if kind == "EDIT" and a.get("VTYPE") in ("U16", "U8"):
                at = address(a["EEADDR"])
                v = image.word(at) if a["VTYPE"] == "U16" else image.data[at]
                if not number(a["VMIN"]) <= v <= number(a["VMAX"]) and a.get("UID") != "O_M":
                    problem("%s: %s = %d outside %s..%s" % (lang, label, v, a["VMIN"], a["VMAX"]))
                show.append((label, format(v, "b") if a.get("FORMAT", "").endswith("b") else str(v)))
            elif kind == "EDIT" and a.get("VTYPE") == "STRING":
                t = image.text(address(a["EEADDR"]), int(a["FORMAT"]))
                if not t.isprintable():
                    problem("%s: %s holds no text" % (lang, label))
                show.append((label, repr(t.strip())))
            elif kind == "CBEDIT":
                v = image.word(address(a["EEADDR"]))
                values = items(a["VALUE_LIST"])
                if str(v) not in values:
                    problem("%s: %s = %d not in %s" % (lang, label, v, a["VALUE_LIST"]))
                else:
                    show.append((label, items(a["TEXT_LIST"])[values.index(str(v))]))
            elif kind == "BUTTON_ON_OFF":
                show.append((label, a["VALUE_LIST"].split("/")[1 - image.bits(a["EEADDR"])]))
            elif kind == "VALUE":
                show.append((label, str(image.word(address(a["EEADDR"])))))


def flat_numbering(root, image):
    """physical -> logical per the tree page's FlatUpStairs, ShiftRange and special flats."""
    uids = {e.get("UID"): address(e.get("EEADDR")) for e in root.iter("EDIT") if e.get("UID") and e.get("EEADDR")}
    if "FlatUpStairs" not in uids:
        return None
    pnu, ilp = image.word(uids["FlatUpStairs"]), image.word(uids["ShiftRange"])
    fmin, fmax = image.word(uids["FlatMin"]), image.word(uids["FlatMax"])
    specials = [image.word(uids["L_%d" % i]) for i in range(1, 100) if "L_%d" % i in uids]
    return pnu, ilp, fmin, fmax, specials


def model_name(file_name):
    """RK4820_U65 of RK4820_U65_EN.xlx."""
    return "_".join(file_name.split("_")[:2])


def check_tables(root, image, lang, model):
    numbering = flat_numbering(root, image)
    for page in root.iter("PAGE"):
        body = list(page)[-1]
        if body.tag != "TABLE_LIST":
            continue
        template = list(list(body)[0])[1]
        dim = template.find("TABLEDIM").attrib
        size, first = int(dim["SIZE"]), int(dim["INDEX_MIN"])
        edits = {e.get("UID"): e.attrib for e in template.iter("EDIT")}
        combos = [e.attrib for e in template.iter("CBEDIT")]
        fns = max([int(e.get("FLAT_NR_START") or 0) for e in edits.values()] or [0])
        used = 0
        for o in range(first, first + size):
            if combos:
                w0 = int(combos[0]["TABADDR"].split(":")[0])
                for c in combos:
                    field = "%d:%s" % (w0 + 2 * o, c["TABADDR"].split(":")[1])
                    if image.bits(field) >= len(items(c["VALUE_LIST"])) and \
                            (model_name(model), o, c["TABADDR"]) not in KEPT_NO_ITEM:
                        problem("%s %s: flat %d option %s has no item" % (model, lang, o, c["TABADDR"]))
            if "CIPHER" in edits:
                code = image.word(address(edits["CIPHER"]["TABADDR"]) + 2 * o)
                if code > 9999:
                    problem("%s %s: lock code of flat %d out of range" % (model, lang, o))
                used += code != 0
            if "TMCODE" in edits:
                code = image.word(address(edits["TMCODE"]["TABADDR"]) + 2 * o)
                flat = image.data[address(edits["TMFLAT"]["TABADDR"]) + o]
                if flat == 0xFF:
                    if code:
                        problem("%s: key slot %d holds a code without flat byte" % (model, o))
                    continue
                used += 1
                if flat and numbering:
                    pnu, ilp, fmin, fmax, specials = numbering
                    if flat >= fns:
                        ok = flat - fns < len(specials)
                    else:
                        ok = (fmin <= flat <= fmax) if pnu == 0 else flat % pnu != 0
                    if not ok:
                        problem("%s: key slot %d opens flat byte %d, which is not served" % (model, o, flat))
                elif flat and not numbering and (model_name(model), o) not in KEPT_FLAT_WITHOUT_NUMBERING:
                    problem("%s: key slot %d has flat byte %d on a model without flats" % (model, o, flat))
            if "DBNAME" in edits:
                layout = [int(x) for x in items(edits["DBNAME"]["VTYPE"])]
                base = address(edits["DBNAME"]["TABADDR"]) + o * layout[0]
                name = image.text(base, int(edits["DBNAME"]["FORMAT"]))
                if not name.isprintable():
                    problem("%s: name record %d is not text" % (model, o))
                if name.strip():
                    used += 1
        print("  %-34s %4d rows, %d in use" % (page.find("PGNAME").text.strip(), size, used))


def main():
    gui = parse(os.path.join(ROOT, "application", "xml", "GUI.xlx"))
    images = {}
    for name in os.listdir(os.path.join(ROOT, "DATA")):
        if name.lower().endswith(".bin"):
            data = open(os.path.join(ROOT, "DATA", name), "rb").read()
            images[name] = data
    models = {}
    for block in gui:
        rows = {row.tag: row for row in block}
        enabled = rows["LNG_ENABLE"].text == "YES"
        named_file(rows["LNG_FLAG"].text, "LNG_FLAG")
        named_page(rows["APP_HELP"].text, "APP_HELP")
        if rows["EEPROM_ADDRESS"].get("VALUE") != "0x000E":
            problem("EEPROM_ADDRESS is not 0x000E")
        for row in block.iter("EEPROM_DATA"):
            if enabled:
                named_file("/application/xml/" + row.get("FILE_NAME"), "EEPROM_DATA")
                models[row.get("FILE_NAME")] = int(row.get("VALUE"), 16)
    for file_name, ident in sorted(models.items()):
        root = parse(os.path.join(ROOT, "application", "xml", file_name))
        lang = root.find("LANGUAGE").text
        named_page(root.find("SYSTEM_HELP").text, file_name + " SYSTEM_HELP")
        for url in root.iter("URL"):
            named_page(url.get("TEXT"), file_name + " URL")
        for sounds in root.iter("SOUND_FILES"):
            for path in sounds.attrib.values():
                named_file(path, file_name + " SOUND_FILES")
        sample = [n for n, d in images.items() if len(d) == 8192 and (d[14] << 8 | d[15]) == ident]
        if not sample:
            problem("no sample image of %s" % file_name)
            continue
        image = Image(os.path.join(ROOT, "DATA", sample[0]))
        print("%s over %s" % (file_name, sample[0]))
        for page in root.iter("PAGE"):
            body = list(page)[-1]
            if body.tag == "TREE_LIST":
                show = []
                check_tree(body, image, lang, show)
                if lang == "EN" and page is root.find("PAGE"):
                    for label, value in show:
                        print("    %-62s %s" % (label, value))
        check_tables(root, image, lang, file_name)
    words = sorted("%s 0x%04x %d" % (n, d[14] << 8 | d[15], len(d)) for n, d in images.items())
    print("images:", "; ".join(words))
    if problems:
        sys.exit(1)
    print("data tree consistent")


if __name__ == "__main__":
    main()
