#!/usr/bin/env python3
"""Writes the model manuals HELP/System/<LANG>/<MODEL>.html that the definition files show on
their web pages. The parameter lists come from the same data as the tree pages, so a manual
always lists what its pages show."""

import html
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import layout as M  # noqa: E402
import make_definitions as D  # noqa: E402
from xmltext import L, text_of  # noqa: E402

ROOT = D.ROOT

T = {
    "title": L("%s door-entry control unit", "Centrala domofonowa %s"),
    "intro": {
        "RK4820_U65": L("The RK4820 U65 serves one entrance of a building with up to 254 flats. Residents open the door "
                        "with a four-digit lock code or a key fob; visitors call a flat from the keypad or pick a name "
                        "from the directory on the display.",
                        "Centrala RK4820 U65 obsługuje jedno wejście budynku z maksymalnie 254 lokalami. Lokatorzy "
                        "otwierają drzwi czterocyfrowym kodem lub brelokiem; goście wywołują lokal z klawiatury albo "
                        "wybierają nazwisko z listy na wyświetlaczu."),
        "RK4820_H65": L("The RK4820 H65 controls one entrance without flats: the door opens for up to 2048 enrolled key "
                        "fobs and for the exit button.",
                        "Centrala RK4820 H65 steruje jednym wejściem bez lokali: drzwi otwierają się dla maksymalnie "
                        "2048 zapisanych breloków i przyciskiem wyjścia."),
    },
    "params": L("Parameters", "Parametry"),
    "no": L("No.", "Nr"), "name": L("Parameter", "Parametr"), "range": L("Range", "Zakres"),
    "default": L("Default", "Domyślnie"),
    "meaning": L("Meaning", "Znaczenie"),
    "tables": L("Tables", "Tabele"),
    "memory": L("Memory layout", "Układ pamięci"),
    "area": L("Area", "Obszar"), "content": L("Content", "Zawartość"),
    "tips": L("Service notes", "Uwagi serwisowe"),
}

TABLES = {
    "RK4820_U65": [
        L("<b>Coded lock codes / flat options</b>: one row per physical flat 1 - 254. The logical number is the "
          "number on the door, computed from the flat numbering; rows 241 - 254 belong to the special flats.",
          "<b>Kody szyfratora / opcje lokali</b>: jeden wiersz na lokal fizyczny 1 - 254. Numer logiczny to numer "
          "na drzwiach wyliczony z numeracji; wiersze 241 - 254 należą do lokali specjalnych."),
        L("<b>Key fobs</b>: 1024 positions. Hold a fob to the reader of the TKV-05 interface with <i>Add</i>, "
          "<i>Add to flat</i> or <i>Add to position</i> down to enrol it, with <i>Verify key</i> to find it.",
          "<b>Breloki</b>: 1024 pozycje. Przyłóż brelok do czytnika interfejsu TKV-05 przy wciśniętym <i>Dodaj</i>, "
          "<i>Dodaj do lokalu</i> lub <i>Dodaj na pozycję</i>, aby go zapisać, albo <i>Sprawdź brelok</i>, aby go znaleźć."),
        L("<b>Name directory</b>: 96 entries of up to 14 characters with the flat they call and its block.",
          "<b>Lista lokatorów</b>: 96 pozycji do 14 znaków z wywoływanym lokalem i numerem bloku."),
    ],
    "RK4820_H65": [
        L("<b>Key fobs</b>: 2048 positions; positions 2000 - 2039 are meant for service fobs, 2040 - 2047 for master fobs.",
          "<b>Breloki</b>: 2048 pozycji; pozycje 2000 - 2039 są przeznaczone dla breloków serwisowych, 2040 - 2047 dla głównych."),
    ],
}

MEMORY = {
    "RK4820_U65": [("0x0000 - 0x00FF", L("parameters", "parametry")),
                   ("0x0100 - 0x013B", L("object identifier, 30 characters", "identyfikator obiektu, 30 znaków")),
                   ("0x0200 - 0x03FF", L("lock codes, one word per flat", "kody szyfratora, słowo na lokal")),
                   ("0x0600 - 0x07FF", L("flat options, one word per flat", "opcje lokali, słowo na lokal")),
                   ("0x0800 - 0x0FFF", L("key fob codes, 1024 words", "kody breloków, 1024 słowa")),
                   ("0x1000 - 0x13FF", L("key fob flats, 1024 bytes", "lokale breloków, 1024 bajty")),
                   ("0x1400 - 0x1FFF", L("name directory, 96 records of 32 bytes", "lista lokatorów, 96 rekordów po 32 bajty"))],
    "RK4820_H65": [("0x0000 - 0x00FF", L("parameters", "parametry")),
                   ("0x0100 - 0x013B", L("object identifier, 30 characters", "identyfikator obiektu, 30 znaków")),
                   ("0x0800 - 0x17FF", L("key fob codes, 2048 words", "kody breloków, 2048 słów")),
                   ("0x1800 - 0x1FFF", L("key fob flats, 2048 bytes (unused by this model)",
                                         "lokale breloków, 2048 bajtów (nieużywane w tym modelu)"))],
}

TIPS = L(["The model is recognised by the word at address 0x000E. Read the unit, change what is needed and send "
          "the image back; keep a copy with <i>Save As</i> before the first change.",
          "Changing the flat numbering on the tree page asks whether to update the tables: the logical numbers of "
          "the tables are computed from it.",
          "An empty key position shows ----- and holds the code 0000 with flat byte 255."],
         ["Model jest rozpoznawany po słowie pod adresem 0x000E. Odczytaj centralę, zmień potrzebne wartości i "
          "wyślij obraz z powrotem; przed pierwszą zmianą zachowaj kopię przyciskiem <i>Zapisz jako</i>.",
          "Zmiana numeracji lokali na stronie drzewa pyta o odświeżenie tabel: numery logiczne tabel są z niej wyliczane.",
          "Pusta pozycja breloka pokazuje ----- i zawiera kod 0000 oraz bajt lokalu 255."])


def default_text(line, lang):
    """The factory value of a line's editor as the editor shows it; "" for identification lines."""
    for tag, attrs in line:
        a = {name: text_of(v, lang) for name, v in attrs}
        if tag == "BUTTON_ON_OFF":
            on, off = a["VALUE_LIST"].split("/", 1)
            return on if a["VINIT"] == "1" else off
        if tag == "CBEDIT" and a.get("UID") != "IDD":
            values = a["VALUE_LIST"].split("/")
            return a["TEXT_LIST"].split("/")[values.index(a["VINIT"])]
        if tag == "EDIT" and a["VTYPE"] != "STRING" and a["UID"] not in ("SN", "O_M", "IDD"):
            if a["FORMAT"].endswith("b"):  # base 2, as the editor shows it
                return format(int(a["VINIT"]), "0%sb" % a["FORMAT"][1:-1].lstrip("0"))
            return a["VINIT"]
    return ""


def parameter_rows(model, lang):
    pages = [D.system_page(model, set())]
    if model == "RK4820_U65":
        pages.append(D.operation_page())
    rows = []
    seen = set()
    for _title, groups in pages:
        for head, lines in groups:
            if head is None:
                continue
            group = next(text_of(attrs[-1][1], lang) for tag, attrs in head if tag == "TEXT")
            rows.append(("group", group.strip()))
            for line in lines:
                texts = [dict(attrs) for tag, attrs in line if tag == "TEXT"]
                helps = [dict(attrs) for tag, attrs in line if tag == "HELP"]
                code = text_of(texts[0]["TXT"], lang)
                if not code or code in seen:
                    continue
                seen.add(code)
                rows.append((code, text_of(texts[1]["TXT"], lang), text_of(texts[-1]["TXT"], lang),
                             default_text(line, lang), text_of(helps[0]["TXT"], lang) if helps else ""))
    return rows


# The manual's picture, named in another letter case than on disk in one manual.
PICTURE_CASE = {("RK4820_H65", "EN"): "../../IMG/Front_Panel.PNG"}


def manual(model, lang):
    def e(text):
        return html.escape(text, quote=False)
    name = model.replace("_", " ")
    out = ["<html>", "<head>", '<meta http-equiv="Content-Type" content="text/html; charset=utf-8">',
           "<title>%s</title>" % e(text_of(T["title"], lang) % name), "</head>",
           '<body style="font-family: sans-serif; font-size: 10pt;">',
           '<table cellspacing="10"><tr><td valign="top"><img src="%s" width="80"></td>'
           % PICTURE_CASE.get((model, lang), "../../img/front_panel.png"),
           '<td valign="top"><h2>%s</h2><p>%s</p></td></tr></table>'
           % (e(text_of(T["title"], lang) % name), e(text_of(T["intro"][model], lang)))]
    out.append("<h3>%s</h3>" % e(text_of(T["params"], lang)))
    out.append('<table border="1" cellspacing="0" cellpadding="3">')
    out.append("<tr><th>%s</th><th>%s</th><th>%s</th><th>%s</th><th>%s</th></tr>"
               % tuple(e(text_of(T[k], lang)) for k in ("no", "name", "range", "default", "meaning")))
    for row in parameter_rows(model, lang):
        if row[0] == "group":
            out.append('<tr><td colspan="5" bgcolor="#dde7f3"><b>%s</b></td></tr>' % e(row[1]))
        else:
            out.append("<tr><td>%s</td><td>%s</td><td>%s</td><td>%s</td><td>%s</td></tr>" % tuple(e(x) for x in row))
    out.append("</table>")
    out.append("<h3>%s</h3><ul>" % e(text_of(T["tables"], lang)))
    out += ["<li>%s</li>" % text_of(t, lang) for t in TABLES[model]]
    out.append("</ul>")
    out.append("<h3>%s</h3>" % e(text_of(T["memory"], lang)))
    out.append('<table border="1" cellspacing="0" cellpadding="3"><tr><th>%s</th><th>%s</th></tr>'
               % (e(text_of(T["area"], lang)), e(text_of(T["content"], lang))))
    out += ["<tr><td>%s</td><td>%s</td></tr>" % (a, e(text_of(c, lang))) for a, c in MEMORY[model]]
    out.append("<tr><td>0x%04X</td><td>%s 0x%04X</td></tr>"
               % (M.MODEL_ID_ADDRESS, e(text_of(L("identification word", "słowo identyfikacyjne"), lang)),
                  M.MODELS[model]["id"]))
    out.append("</table>")
    out.append("<h3>%s</h3><ul>" % e(text_of(T["tips"], lang)))
    out += ["<li>%s</li>" % t for t in text_of(TIPS, lang)]
    out += ["</ul>", "</body>", "</html>"]
    return "\n".join(out) + "\n"


def main():
    for lang in D.LANGS:
        folder = os.path.join(ROOT, "HELP", "System", lang)
        os.makedirs(folder, exist_ok=True)
        for model in ("RK4820_U65", "RK4820_H65"):
            with open(os.path.join(folder, model + ".html"), "w", encoding="utf-8", newline="\r\n") as out:
                out.write(manual(model, lang))
            print("wrote", os.path.join("HELP", "System", lang, model + ".html"))


if __name__ == "__main__":
    main()
