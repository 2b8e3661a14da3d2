#!/usr/bin/env python3
"""Writes the model definition files (application/xml/<MODEL>_<LANG>.xlx, UTF-8 with BOM) and the
model manuals they show on their web pages (HELP/System/<LANG>/<MODEL>.html).

RK4820_U65: two tree pages, the lock-code table, the key table with its side panel, the name
directory and the manual. RK4820_H65: one tree page, a 2048-slot key table and the manual; it has
no flat numbering.

The files keep the irregularities that definition files written by hand tend to carry and that
the reader accepts: an attribute written twice, two attributes without a blank, "&nbsp;" in an
option list, a stray text after TABLEDIM, attributes the reader does not know, an element that
omits an attribute (its later slots are then not read) and the unknown tag FRAME1. QUIRKS below
says which file has which.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import layout as M  # noqa: E402
from xmltext import (L, Raw, attribute_text, check_well_formed, escape_text,  # noqa: E402
                     text_element, text_of, write_utf8_bom)

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
LANGS = ["EN", "PL"]

# Which file carries which irregularity (model, language).
QUIRKS = {
    "repeated_attribute": {("RK4820_U65", "EN"), ("RK4820_U65", "PL")},
    "missing_blank": {("RK4820_U65", "EN"), ("RK4820_U65", "PL"), ("RK4820_H65", "EN")},
    "nbsp": {("RK4820_U65", "PL")},
    "stray_text": {("RK4820_U65", "PL"), ("RK4820_H65", "PL")},
}

# Style texts.
LABEL = "11px/black/"
LABEL_BOLD = "bold 12px/black/"
HEAD = "bold 19px/white/"
HEAD_SMALL = "bold 12px/white/"
EDITOR = "font:bold 12px; background-color:#d1e9ff; color:black"
CHANGED = "font:bold 12px; background-color:#d1e9ff; color:red;"
CHANGED_LABEL = "font:bold 12px; color:red"

# ---------------------------------------------------------------------------------------------
# Tree page elements. Attributes are written in the order of the reader's slot lists.


def frame(width):
    return ("FRAME", [("WIDTH", str(width))])


def bgcol(color):
    return ("BGCOL", [("COLOR", color)])


def bgcol_diff(color):
    return ("BGCOL_DIFF", [("COLOR", color)])


def help_(text):
    return ("HELP", [("TXT", text)])


def label(width, text, ftcol=LABEL, pos="LEFT"):
    return ("TEXT", [("WIDTH", str(width)), ("POS", pos), ("FTCOL", ftcol), ("TXT", text)])


def number(addr, vmin, vmax, vinit, uid="", fmt="", width=80, selcol=None, vtype="U16"):
    attrs = [("WIDTH", str(width)), ("POS", "CENTER"), ("FTCOL", EDITOR), ("FTCOL_DIF", CHANGED_LABEL),
             ("VTYPE", vtype), ("VMIN", str(vmin)), ("VMAX", str(vmax)), ("VINIT", str(vinit)),
             ("UID", uid), ("EEADDR", str(addr)), ("FORMAT", fmt)]
    if selcol is not None:
        attrs.append(("!SELCOL", selcol))  # written straight after FORMAT's closing quote
    attrs.append(("STYLE_DIFF", CHANGED))
    return ("EDIT", attrs)


def string(addr, length, uid, width=240):
    return ("EDIT", [("WIDTH", str(width)), ("POS", "LEFT"), ("FTCOL", EDITOR), ("FTCOL_DIF", "red"),
                     ("VTYPE", "STRING"), ("VMIN", "0"), ("VMAX", "0"), ("VINIT", ""), ("UID", uid),
                     ("EEADDR", "0x%04X" % addr), ("FORMAT", str(length)), ("STYLE_DIFF", CHANGED)])


def value(addr, width=80, uid="", ftcol=LABEL_BOLD):
    # Seven attributes, no STYLE_DIFF: a display is never edited.
    return ("VALUE", [("WIDTH", str(width)), ("POS", "CENTER"), ("FTCOL", ftcol), ("UID", uid),
                      ("VTYPE", "U16"), ("EEADDR", str(addr)), ("SIZE", "2")])


def combo(addr, values, texts, vinit, uid="", width=160, with_uid=True, eeaddr=None):
    attrs = [("WIDTH", str(width)), ("POS", "LEFT"), ("FTCOL", EDITOR), ("FTCOL_DIF", "red"),
             ("VTYPE", "U16"), ("VINIT", str(vinit)), ("EEADDR", eeaddr or str(addr)),
             ("VALUE_LIST", "".join("%d/" % v for v in values)), ("TEXT_LIST", texts)]
    if with_uid:
        attrs.append(("UID", uid))
    attrs.append(("STYLE_DIFF", CHANGED))
    return ("CBEDIT", attrs)


def on_off(word, bit, vinit, repeated_style=False):
    attrs = [("WIDTH", "120"), ("POS", "CENTER"), ("FTCOL", EDITOR), ("FTCOL_DIF", CHANGED_LABEL),
             ("VTYPE", "CASE_NUMSTR"), ("VALUE_LIST", L("On/Off", "Wł./Wył.")), ("SELCOL", "#9ec9ff"),
             ("VINIT", str(vinit)), ("EEADDR", "%d:%d" % (word, bit)), ("STYLE_DIFF", EDITOR + ";")]
    if repeated_style:
        attrs.append(("STYLE_DIFF", CHANGED))  # written twice; the second value counts
    else:
        attrs[-1] = ("STYLE_DIFF", CHANGED)
    return ("BUTTON_ON_OFF", attrs)


def init_button():
    return ("BUTTON_INIT", [("BUTTON_NAME", L("Default values", "Wartości domyślne")), ("WIDTH", "150"),
                            ("WARNING", L("Restore default values?", "Przywrócić wartości domyślne?"))])


# A parameter line: its number, description, editor, unit or range, help text.
def param(code, text, editor, unit, helptext, extra=()):
    line = [label(40, code, LABEL_BOLD, "CENTER"), label(340, text), editor]
    line += list(extra)
    line += [label(110, unit, LABEL, "CENTER"), help_(helptext)]
    return line


def init_line():
    return [bgcol("#eef3f8"), label(40, "", LABEL_BOLD), label(340, L("Restore the factory values of this group",
                                                     "Przywróć fabryczne wartości tej grupy")),
            init_button(),
            help_(L("Puts every parameter of this group back to its factory value after a question.",
                    "Po potwierdzeniu ustawia wszystkie parametry tej grupy na wartości fabryczne."))]


def head(title, color, helptext, extra=()):
    row = [frame(770), bgcol(color), bgcol_diff("yellow"), label(0, title, HEAD)]
    row += list(extra)
    row.append(help_(helptext))
    return row


def footer(extras):
    line = [label(770, L("Every change goes into the memory image at once. Send or save the image to keep it.",
                         "Każda zmiana trafia od razu do obrazu pamięci. Wyślij lub zapisz obraz, aby ją zachować."),
                  "11px/#3a6ea5/")]
    return line + list(extras)


FOOTER_EXTRAS = [
    ("DRAW_LINE", [("COLOR", "#3a6ea5")]),
    ("FRAME2", [("WIDTH", "770")]),
    ("FRAME1", [("WIDTH", "770")]),
    ("TEXT1", [("WIDTH", "0"), ("POS", "LEFT"), ("FTCOL", LABEL), ("TXT", "RK4820"), ("ID", "F1")]),
    ("TEXTR", [("WIDTH", "0"), ("POS", "RIGHT"), ("FTCOL", LABEL), ("TXT", "v1.0"), ("ID", "F2")]),
    ("EDITR", [("WIDTH", "60"), ("POS", "RIGHT"), ("FTCOL", EDITOR), ("FTCOL_DIF", "red"), ("LENGTH", "4"),
               ("VTYPE", "STRING"), ("VINIT", ""), ("UID", ""), ("EEADDR", "0x013C")]),
]

# ---------------------------------------------------------------------------------------------
# Tree pages. A page is (title, [head lines]); a head line is (row, [lines]); a footer head line
# is (None, [line]).


def identification(model):
    other = L("RK4820 U65/RK4820 H65/", "RK4820 U65/RK4820 H65/")
    lines = [
        param("P-01", L("Control unit model", "Typ centrali"),
              combo(M.IDD, [M.MODELS["RK4820_U65"]["id"], M.MODELS["RK4820_H65"]["id"]], other,
                    M.MODELS[model]["id"], uid="IDD", eeaddr="0x%04X" % M.IDD), "",
              L("Model stored in the unit. Changing it makes the next Load or Receive use the other model's pages.",
                "Typ zapisany w centrali. Po zmianie kolejny odczyt użyje stron drugiego typu.")),
        param("P-02", L("Object identifier (address of the building)", "Identyfikator obiektu (adres budynku)"),
              string(M.IDO, M.IDO_LENGTH, "IDO"), L("30 char.", "30 znaków"),
              L("Free text of up to 30 characters; it becomes part of the proposed file names.",
                "Dowolny tekst do 30 znaków; staje się częścią proponowanych nazw plików.")),
        param("P-03", L("Firmware version", "Wersja oprogramowania"),
              number(M.FIRMWARE, 0, 65535, 0, uid="O_M", fmt="%04X"), L("read only", "tylko odczyt"),
              L("Version of the unit's firmware (hexadecimal); it cannot be changed here.",
                "Wersja oprogramowania centrali (szesnastkowo); nie można jej tu zmienić.")),
        param("P-04", L("Hardware revision", "Wersja sprzętu"), value(M.HARDWARE), "",
              L("Revision of the unit's circuit board, as set in production.",
                "Wersja płytki centrali, ustawiona przy produkcji.")),
    ]
    if model == "RK4820_U65":
        lines.append(param("P-05", L("Building block number", "Numer bloku (budynku)"),
                           number(M.BLOCK_NUMBER, 0, 99, 1, uid="blocNumber", fmt="%d"), "0 - 99",
                           L("Number of the block the unit serves; exported with the name directory.",
                             "Numer obsługiwanego bloku; zapisywany razem z listą lokatorów.")))
    lines.append(param("P-06", L("Service code", "Kod serwisowy"),
                       number(M.SERVICE_CODE, 0, 9999, 1234, fmt="%04d"), "0000 - 9999",
                       L("Code that opens the unit's service menu on its keypad.",
                         "Kod otwierający menu serwisowe na klawiaturze centrali.")))
    row = head(L("UNIT IDENTIFICATION  ", "IDENTYFIKACJA CENTRALI  "), "#3a6ea5",
               L("Identification of the unit: serial number, model and object.",
                 "Identyfikacja centrali: numer seryjny, typ i obiekt."),
               extra=[label(150, L("Serial number:", "Numer seryjny:"), HEAD_SMALL, "RIGHT"),
                      # The access unit shows its serial number but does not let it be changed.
                      number(M.SN, 0, 65535, 0, uid="SN", fmt="%05d") if model == "RK4820_U65"
                      else value(M.SN, uid="SN", ftcol=EDITOR)])
    return (row, lines)


# Two parameters that stand on both tree pages of the U65 (the pages link their editors).
def door_open_time(text, helptext):
    return param("P-10", text, number(M.DOOR_OPEN_TIME, 1, 30, 5), "[s] 1-30", helptext)


def exit_button(text, helptext):
    return param("P-11", text, on_off(M.OPTIONS, 0, 1), "", helptext)


def door_group(model, quirks):
    group = (head(L("DOOR AND LOCK  ", "DRZWI I ZAMEK  "), "#4f7f3f",
                 L("Door lock timing and lock options.", "Czasy i opcje zamka drzwi.")),
            [init_line(),
             door_open_time(L("Door opening time", "Czas otwarcia drzwi"),
                            L("How long the lock stays released after a code, a key fob or the handset button.",
                              "Jak długo zamek pozostaje zwolniony po kodzie, breloku lub przycisku w unifonie.")),
             exit_button(L("Lock release by the exit button", "Zwalnianie zamka przyciskiem wyjścia"),
                         L("The exit button inside the entrance releases the lock.",
                           "Przycisk wyjścia wewnątrz klatki zwalnia zamek.")),
             param("P-12", L("Door-open alarm", "Alarm otwartych drzwi"),
                   on_off(M.OPTIONS, 1, 0, repeated_style="repeated_attribute" in quirks), "",
                   L("The unit beeps when the door stays open longer than the alarm delay.",
                     "Centrala sygnalizuje drzwi otwarte dłużej niż czas alarmu.")),
             param("P-13", L("Door-open alarm delay", "Opóźnienie alarmu drzwi"),
                   number(M.DOOR_ALARM_DELAY, 10, 255, 60,
                          selcol="#9ec9ff" if "missing_blank" in quirks else None),
                   L("[s] 10-255", "[s] 10-255"),
                   L("Time the door may stay open before the alarm sounds.",
                     "Czas, po którym otwarte drzwi włączają alarm.")),
             param("P-14", L("Release the lock only while talking", "Zwalnianie zamka tylko w trakcie rozmowy"),
                   on_off(M.OPTIONS, 2, 0), "",
                   L("The handset's door button works only during a call.",
                     "Przycisk otwierania w unifonie działa tylko w czasie rozmowy.")),
             param("P-15", L("Fail-safe lock (reversed polarity)", "Zamek rewersyjny (odwrotna polaryzacja)"),
                   on_off(M.OPTIONS, 3, 0), "",
                   L("On for locks that open when the current is cut.",
                     "Włącz dla zamków otwierających się po zaniku prądu.")),
             ])
    if model != "RK4820_U65":  # no handsets on the access unit
        group[1].pop(5)
    return group


def calls_group():
    return (head(L("CALLS AND AUDIO  ", "WYWOŁANIA I DŹWIĘK  "), "#7f5f2f",
                 L("Call and talk times, volume and tones.", "Czasy wywołania i rozmowy, głośność i sygnały.")),
            [param("P-20", L("Call duration", "Czas wywołania"), number(M.CALL_TIME, 10, 120, 30),
                   L("[s] 10-120", "[s] 10-120"),
                   L("How long a flat is called before the call ends unanswered.",
                     "Jak długo trwa wywołanie lokalu bez odpowiedzi.")),
             param("P-21", L("Talk duration", "Czas rozmowy"), number(M.TALK_TIME, 30, 300, 90),
                   L("[s] 30-300", "[s] 30-300"),
                   L("Longest conversation; the unit hangs up afterwards.",
                     "Najdłuższa rozmowa; potem centrala rozłącza.")),
             param("P-22", L("Speaker volume", "Głośność głośnika"),
                   combo(M.SPEAKER_VOLUME, range(1, 8),
                         L("1 (quiet)/2/3/4 (normal)/5/6/7 (loud)/", "1 (cicho)/2/3/4 (normalnie)/5/6/7 (głośno)/"), 4),
                   "",
                   L("Volume of the panel's loudspeaker.", "Głośność głośnika panelu.")),
             param("P-23", L("Microphone gain", "Czułość mikrofonu"),
                   combo(M.MIC_GAIN, range(0, 4), L("Low/Medium/High/Very high/", "Niska/Średnia/Wysoka/Bardzo wysoka/"),
                         1, with_uid=False), "",
                   L("Sensitivity of the panel's microphone.", "Czułość mikrofonu panelu.")),
             param("P-24", L("Call confirmation tone", "Sygnał potwierdzenia wywołania"), on_off(M.OPTIONS, 4, 1), "",
                   L("The panel plays a tone while a flat is being called.",
                     "Panel odtwarza sygnał w czasie wywoływania lokalu.")),
             param("P-25", L("Keypad beep", "Dźwięk klawiatury"), on_off(M.OPTIONS, 5, 1), "",
                   L("Every key press on the panel beeps.", "Każde naciśnięcie klawisza daje sygnał.")),
             param("P-26", L("Lock type", "Rodzaj zamka"),
                   combo(M.LOCK_TYPE, range(0, 3), L("Electromagnetic/Electric strike/Motor lock/",
                                                     "Elektromagnetyczny/Elektrozaczep/Silnikowy/"), 1), "",
                   L("Kind of lock wired to the unit's lock output.",
                     "Rodzaj zamka podłączonego do wyjścia zamka.")),
             ])


def numbering_group():
    return (head(L("FLAT NUMBERING  ", "NUMERACJA LOKALI  "), "#6f3f7f",
                 L("How physical flat numbers become the numbers on the doors.",
                   "Jak numery fizyczne stają się numerami na drzwiach lokali.")),
            [init_line(),
             param("P-30", L("Flats per staircase (0: no staircases)", "Lokali na klatkę (0: bez podziału)"),
                   number(M.FLAT_UP_STAIRS, 0, 99, 0, uid="FlatUpStairs"), "0 - 99",
                   L("With staircases, flat 3 of staircase 2 is numbered 203.",
                     "Przy podziale na klatki lokal 3 klatki 2 ma numer 203.")),
             param("P-31", L("Shift of flat numbers", "Przesunięcie numeracji"),
                   number(M.SHIFT_RANGE, 0, 9000, 0, uid="ShiftRange"), "0 - 9000",
                   L("Added to every computed flat number.", "Dodawane do każdego wyliczonego numeru lokalu.")),
             param("P-32", L("Lowest flat number", "Najniższy numer lokalu"),
                   number(M.FLAT_MIN, 1, 240, 1, uid="FlatMin"), "1 - 240",
                   L("Lowest flat served when flats are not grouped in staircases.",
                     "Najniższy obsługiwany lokal bez podziału na klatki.")),
             param("P-33", L("Highest flat number", "Najwyższy numer lokalu"),
                   number(M.FLAT_MAX, 1, 240, 240, uid="FlatMax"), "1 - 240",
                   L("Highest flat served when flats are not grouped in staircases.",
                     "Najwyższy obsługiwany lokal bez podziału na klatki.")),
             ])


def special_group():
    lines = []
    for i, addr in enumerate(M.SPECIAL_FLATS):
        lines.append(param("P-%d" % (40 + i), L("Special flat %d (physical number %d)" % (i + 1, M.FLAT_NR_START + i),
                                                "Lokal specjalny %d (numer fizyczny %d)" % (i + 1, M.FLAT_NR_START + i)),
                           number(addr, 0, 9999, 300 + i, uid="L_%d" % (i + 1)), "0 - 9999",
                           L("Door number of a flat outside the regular numbering (porter, office, shop).",
                             "Numer lokalu spoza zwykłej numeracji (portier, biuro, sklep).")))
    return (head(L("SPECIAL FLATS  ", "LOKALE SPECJALNE  "), "#2f6f6f",
                 L("Flats whose door numbers are chosen freely.", "Lokale o dowolnie wybranych numerach.")),
            lines)


def operation_page():
    return (L("Operation", "Praca"), [
        (head(L("OPERATING MODES  ", "TRYBY PRACY  "), "#3a6ea5",
              L("Night mode and the porter's flat; two values repeated from the first page.",
                "Tryb nocny i lokal portiera; dwie wartości powtórzone z pierwszej strony.")),
         [init_line(),
          param("P-60", L("Night mode (calls go to the porter only)", "Tryb nocny (wywołania tylko do portiera)"),
                on_off(M.OPTIONS2, 0, 0), "",
                L("At night every call is put through to the porter's flat.",
                  "W nocy każde wywołanie trafia do lokalu portiera.")),
          param("P-61", L("Porter's flat", "Lokal portiera"), number(M.PORTER_FLAT, 0, 9999, 0), "0 - 9999",
                L("Door number of the porter's flat; 0 when there is none.",
                  "Numer lokalu portiera; 0, gdy go nie ma.")),
          door_open_time(L("Door opening time (as on the first page)", "Czas otwarcia drzwi (jak na pierwszej stronie)"),
                         L("The same value as P-10 on the first page; changing one changes both.",
                           "Ta sama wartość co P-10 na pierwszej stronie; zmiana jednej zmienia obie.")),
          exit_button(L("Lock release by the exit button (as on the first page)",
                        "Zwalnianie zamka przyciskiem wyjścia (jak na pierwszej stronie)"),
                      L("The same value as P-11 on the first page.", "Ta sama wartość co P-11 na pierwszej stronie.")),
          ]),
        (head(L("DISPLAY AND KEYPAD  ", "WYŚWIETLACZ I KLAWIATURA  "), "#4f7f3f",
              L("Display contrast, backlight and the name directory.",
                "Kontrast wyświetlacza, podświetlenie i lista lokatorów.")),
         [init_line(),
          param("P-62", L("Display contrast", "Kontrast wyświetlacza"),
                combo(M.CONTRAST, range(1, 6), L("1 (low)/2/3/4/5 (high)/", "1 (niski)/2/3/4/5 (wysoki)/"), 3), "",
                L("Contrast of the panel's display.", "Kontrast wyświetlacza panelu.")),
          param("P-63", L("Keypad backlight", "Podświetlenie klawiatury"), on_off(M.OPTIONS2, 1, 1), "",
                L("The keypad is lit.", "Klawiatura jest podświetlona.")),
          param("P-64", L("Name directory on the display", "Lista lokatorów na wyświetlaczu"),
                on_off(M.OPTIONS2, 2, 1), "",
                L("Visitors can browse the names of the name directory on the display.",
                  "Goście mogą przeglądać nazwiska z listy lokatorów na wyświetlaczu.")),
          param("P-65", L("Display brightness", "Jasność wyświetlacza"),
                number(M.BRIGHTNESS, 0, 100, 70, vtype="U8"), "[%] 0-100",
                L("Brightness of the panel's display, in per cent.", "Jasność wyświetlacza panelu w procentach.")),
          param("P-66", L("Keypad lit on days (Sun ... Mon)", "Podświetlenie w dni (nd. ... pn.)"),
                number(M.BACKLIGHT_DAYS, 0, 127, 127, fmt="%07b"), L("1: lit", "1: wł."),
                L("One digit per day, Monday rightmost: 1 lights the keypad on that day.",
                  "Jedna cyfra na dzień, poniedziałek z prawej: 1 włącza podświetlenie w tym dniu.")),
          ]),
        (None, [footer([])]),
    ])


def system_page(model, quirks):
    groups = [identification(model), door_group(model, quirks)]
    if model == "RK4820_U65":
        groups += [calls_group(), numbering_group(), special_group(), (None, [footer(FOOTER_EXTRAS)])]
    else:
        groups += [(None, [footer([])])]
    return (L("System parameters", "Parametry systemu"), groups)

# ---------------------------------------------------------------------------------------------
# Table pages.


def texth(width, color, text):
    return ("TEXTH", [("WIDTH", str(width)), ("POS", "CENTER"), ("FTCOL", color), ("TXT", text)])


def text_index(helptext, width=45):
    return ("TEXT_INDEX", [("WIDTH", str(width)), ("POS", "CENTER"), ("FTCOL", "BLACK"), ("TXT", ""),
                           ("VTYPE", "U16"), ("VALUE", "INDEX"), ("HELPTXT", helptext)])


def table_edit(uid, width, vtype, vmin, vmax, tabaddr, helptext, fns, fmt, pos="CENTER"):
    return ("EDIT", [("UID", uid), ("WIDTH", str(width)), ("POS", pos), ("FTCOL", "BLACK"), ("FTCOL_DIF", "RED"),
                     ("VTYPE", vtype), ("VMIN", vmin), ("VMAX", vmax), ("VINIT", "0"), ("TABADDR", tabaddr),
                     ("HELPTXT", helptext), ("FLAT_NR_START", fns), ("FORMAT", fmt)])


def table_combo(width, first, last, items, helptext):
    return ("CBEDIT", [("WIDTH", str(width)), ("POS", "CENTER"), ("FTCOL", "BLACK"), ("FTCOL_DIF", "RED"),
                       ("VTYPE", "U16"), ("VMIN", "0"), ("VMAX", str((1 << (last - first + 1)) - 1)),
                       ("VINIT", "0"), ("TABADDR", "%d:%d-%d" % (M.FLAT_OPTIONS, first, last)),
                       ("VALUE_LIST", items), ("HELPTXT", helptext), ("FORMAT", "")])


def tabledim(size, index_min, comments):
    return ("TABLEDIM", [("SIZE", str(size)), ("INDEX_MIN", str(index_min)),
                         ("INDEX_MAX", str(index_min + size - 1)), ("COMMENTS", comments)])


MENU = L("Copy/Paste/Import from file/Save to file/", "Kopiuj/Wklej/Importuj z pliku/Zapisz do pliku/")
UNSERVICED = L("NOTE! Unserviced apartment number/", "UWAGA! Nieobsługiwany numer lokalu/")
DELETE = L("Delete/", "Usuń/")
FIND = L("Find duplicates/Find flat/", "Znajdź duplikaty/Znajdź lokal/")


def joined(*parts):
    return L(*["".join(text_of(p, lang) for p in parts) for lang in ("EN", "PL", "FR")])


def lock_table(quirks):
    nbsp = "nbsp" in quirks
    volume = (Raw("[&nbsp;C&nbsp;] - Cicho/[N] - Normalnie/[G] - Głośno/[M] - Maks./") if nbsp else
              L("[C] - Quiet/[N] - Normal/[G] - Loud/[M] - Max/", "[C] - Cicho/[N] - Normalnie/[G] - Głośno/[M] - Maks./"))
    fields = {
        "melody": (65, L("Melody No.", "Melodia"), "1/2/3/4/5/6/7/8/",
                   L("Melody the flat's handset rings with.", "Melodia dzwonka w unifonie lokalu.")),
        "volume": (95, L("Volume", "Głośność"), volume,
                   L("Ringing volume in the flat.", "Głośność dzwonka w lokalu.")),
        "rings": (65, L("Rings No.", "Liczba dzw."), "1/2/3/4/5/6/7/8/",
                  L("How many times the flat is rung.", "Ile razy dzwoni lokal.")),
        "mode": (100, L("Mode", "Tryb"), L("[-] - No calls/[U] - Handset/[D] - Bell/[U+D] - Both/",
                                           "[-] - Bez wywołań/[U] - Unifon/[D] - Dzwonek/[U+D] - Oba/"),
                 L("How the flat is called.", "Sposób wywołania lokalu.")),
        "authorization": (105, L("Authorization", "Uprawnienia"),
                          L("[-] - Off/[A] - Active/[E] - Act.+Edition/", "[-] - Brak/[A] - Aktywny/[E] - Akt.+Edycja/"),
                          L("Whether the resident may open with the code and change it.",
                            "Czy lokator może otwierać kodem i go zmieniać.")),
        "codedlock": (90, L("Coded lock", "Szyfrator"),
                      L("[-] - Disabled/[+] - Enabled/[T] - Temporary/", "[-] - Wyłączony/[+] - Włączony/[T] - Czasowy/"),
                      L("Whether the flat's lock code opens the door.", "Czy kod lokalu otwiera drzwi.")),
    }
    headers = [texth(45, "BLUE", L("Phy No.", "Nr fiz.")), texth(45, "BLUE", L("Log No.", "Nr log.")),
               texth(65, "RED", L("Lock code", "Kod zamka"))]
    row = [tabledim(M.LOCK_FLATS, 1, joined(MENU, "0x5a/")),
           text_index(L("Physical flat number: the flat's position in the unit.",
                        "Numer fizyczny: pozycja lokalu w centrali.")),
           ("TEXT_TABLE", [("WIDTH", "45"), ("POS", "CENTER"), ("FTCOL", "BLUE"), ("TXT", ""), ("VTYPE", "U16"),
                           ("VALUE", "LOGIC"), ("FLAT_NR_STRAT", str(M.FLAT_NR_START)),
                           ("HELPTXT", L("Number on the flat's door, computed from the flat numbering.",
                                         "Numer na drzwiach lokalu, wyliczony z numeracji."))]),
           table_edit("CIPHER", 65, "U16", "0", "9999", "0x%04X" % M.LOCK_CODES,
                      L("Four-digit code that opens the door for this flat (0000: none).",
                        "Czterocyfrowy kod otwierający drzwi dla lokalu (0000: brak)."),
                      str(M.FLAT_NR_START), "%04d")]
    for name, first, last in M.OPTION_FIELDS:
        width, title, items, helptext = fields[name]
        headers.append(texth(width, "GREEN" if name != "codedlock" else "RED", title))
        row.append(table_combo(width, first, last, items, helptext))
    return (L(" Coded lock codes/Flats options", " Kody szyfratora/Opcje lokali"), [headers, row])


def key_panel(u_series):
    """The side panel of a key table. The 2048-slot panel has no Add to flat."""
    def button(n, width, x, y, text, helptext):
        return ("BUTTON_%d" % n, [("WIDTH", str(width)), ("HORIZ_MARG", str(x)), ("VERT_MARG", str(y)),
                                  ("TEXT", text), ("HELPTXT", helptext)])

    def field(n, width, x, y, text, helptext=None):
        attrs = [("WIDTH", str(width)), ("HORIZ_MARG", str(x)), ("VERT_MARG", str(y)), ("POS", "LEFT"),
                 ("LABEL", text)]
        if helptext is not None:
            attrs.append(("HELPTXT", helptext))
        return ("TEXT_%d" % n, attrs)

    panel = [("BOX_MENU", [("X", "260"), ("Y", "10"), ("W", "510"), ("H", "305"),
                           ("TITLE", L("Key fob reader", "Czytnik breloków"))]),
             ("BOX_SECTIONS", [("X", "260"), ("Y", "320"), ("W", "510"), ("H", "92"),
                               ("TITLE", L("Table sections", "Sekcje tabeli"))]),
             field(1, 115, 350, 30, L("Serial number ID", "Kod breloka")),
             field(2, 190, 145, 30, L("Serial number", "Numer seryjny"),
                   L("Full serial number of the key fob last read.", "Pełny numer seryjny ostatnio odczytanego breloka."))]
    if u_series:
        panel.append(field(3, 115, 145, 110, L("Flat number", "Numer lokalu"),
                           L("Flat given to the keys added with Add to flat.",
                             "Lokal przypisywany brelokom dodawanym przyciskiem Dodaj do lokalu.")))
    panel += [field(5, 115, 350, 110, L("Searched flat number", "Szukany lokal")),
              field(6, 350, 145, 185, L("Found duplicate locations", "Znalezione pozycje"),
                    L("Positions found; press one to go to it.", "Znalezione pozycje; kliknij, aby przejść.")),
              button(5, 115, 10, 30, L("Verify key", "Sprawdź brelok"),
                     L("Hold a key fob to the reader to find it in the table.",
                       "Przyłóż brelok do czytnika, aby odszukać go w tabeli.")),
              button(1, 115, 10, 70, L("Add", "Dodaj"),
                     L("Each key fob read is added to the first free position.",
                       "Każdy odczytany brelok trafia na pierwszą wolną pozycję."))]
    if u_series:
        panel.append(button(2, 115, 10, 110, L("Add to flat", "Dodaj do lokalu"),
                            L("Each key fob read is added with the flat number typed on the right.",
                              "Każdy odczytany brelok jest dodawany z wpisanym obok numerem lokalu.")))
    panel += [button(3, 115, 10, 150, L("Add to position", "Dodaj na pozycję"),
                     L("The next key fob read goes to the selected position.",
                       "Następny odczytany brelok trafia na zaznaczoną pozycję.")),
              button(6, 115, 10, 190, L("Find duplicates", "Znajdź duplikaty"),
                     L("Lists key fobs stored at more than one position.",
                       "Pokazuje breloki zapisane na kilku pozycjach.")),
              button(4, 115, 350, 140, L("Find flat", "Znajdź lokal"),
                     L("Lists the positions of the keys of the searched flat.",
                       "Pokazuje pozycje breloków szukanego lokalu.")),
              ("SOUND_FILES", [("NEW_KEY", "application/media/id_read.wav"),
                               ("KEY_ADDED", "application/media/id_add.wav"),
                               ("KEY_NOT_ADDED", "application/media/id_error.wav"),
                               ("CHECK_KEY_FOUND", "application/media/id_found.wav"),
                               ("CHECK_KEY_NOT_FOUND", "application/media/id_nfound.wav")])]
    return panel


def key_table(u_series, quirks):
    if u_series:
        size, codes, flats, fns = M.U65_KEYS, M.U65_KEY_CODES, M.U65_KEY_FLATS, M.FLAT_NR_START
        sections = (1000, "white", 1020, "#f6fbc7", 1024, "#e0ffe0")
        flat_header = texth(70, "GREEN", L("Flat", "Lokal"))
        flat_column = table_edit("TMFLAT", 70, "U16", "0", "9999", "0x%04X" % flats,
                                 L("Door number of the flat the key fob opens.", "Numer lokalu, który otwiera brelok."),
                                 str(fns), "%d")
        comments = joined(MENU, "/", UNSERVICED, DELETE, FIND)
    else:
        size, codes, flats, fns = M.H65_KEYS, M.H65_KEY_CODES, M.H65_KEY_FLATS, M.H65_FLAT_NR_START
        sections = (2000, "white", 2040, "#f5fbb8", 2048, "#e1fbce")
        flat_header = texth(0, "12px/green", "")  # a style text, not a colour name: the header paints black
        flat_column = table_edit("TMFLAT", 0, "U8", "0", "0xFF", "0x%04X" % flats, "", str(fns), "%d")
        comments = joined(MENU, "/", UNSERVICED, DELETE, L("Find duplicates/", "Znajdź duplikaty/"))
    s1, c1, s2, c2, s3, c3 = sections
    headers = [texth(60, "BLUE", L("Pos.", "Poz.")), texth(70, "RED", L("ID No.", "Kod")), flat_header]
    row = [tabledim(size, 0, comments)]
    if "stray_text" in quirks:
        row.append(("#text", '\t"/>'))
    row += [text_index(L("Position of the key fob in the unit's table.", "Pozycja breloka w tabeli centrali."), 60),
            ("TABSECTIONS", [("SECTION_1", str(s1)), ("COLOR_1", c1), ("SECTION_2", str(s2)), ("COLOR_2", c2),
                             ("SECTION_3", str(s3)), ("COLOR_3", c3),
                             ("TEXT_1", L("Positions 0 - %d: residents' key fobs" % (s1 - 1),
                                          "Pozycje 0 - %d: breloki lokatorów" % (s1 - 1))),
                             ("TEXT_2", L("Positions %d - %d: service key fobs" % (s1, s2 - 1),
                                          "Pozycje %d - %d: breloki serwisowe" % (s1, s2 - 1))),
                             ("TEXT_3", L("Positions %d - %d: master key fobs" % (s2, s3 - 1),
                                          "Pozycje %d - %d: breloki główne" % (s2, s3 - 1)))]),
            table_edit("TMCODE", 70, "U16", "0", "0xFFFF", "0x%03X" % codes,
                       L("Code of the key fob (four hexadecimal digits); ----- is a free position.",
                         "Kod breloka (cztery cyfry szesnastkowe); ----- to wolna pozycja."), "", "%04X"),
            flat_column]
    title = L("Key fobs", "Breloki")
    return (title, [headers, row, key_panel(u_series)])


def name_table():
    headers = [texth(45, "BLUE", L("No.", "Lp.")), texth(200, "RED", L("Name", "Nazwisko")),
               texth(60, "GREEN", L("Flat", "Lokal")), texth(60, "GREEN", L("Block", "Blok"))]
    layout_text = "%d/%d/%d/" % (M.NAME_RECORD, M.NAME_FLAT_OFFSET, M.NAME_BLOCK_OFFSET - M.NAME_FLAT_OFFSET)
    row = [tabledim(M.NAME_RECORDS, 0, joined(MENU, "/", UNSERVICED, DELETE)),
           text_index(L("Entry of the name directory.", "Pozycja listy lokatorów.")),
           table_edit("DBNAME", 200, layout_text, "0", "0", "0x%04X" % M.NAMES,
                      L("Name shown on the panel's display, up to 14 characters.",
                        "Nazwisko na wyświetlaczu panelu, do 14 znaków."), "", str(M.NAME_CHARS), pos="LEFT"),
           table_edit("DBFLAT", 60, "U16", "0", "9999", "0x%04X" % (M.NAMES + M.NAME_FLAT_OFFSET),
                      L("Door number of the flat that the name calls.", "Numer lokalu wywoływanego z tej pozycji."),
                      "", "%d"),
           table_edit("DBBNUMBER", 60, "U8", "0", "99", "0x%04X" % (M.NAMES + M.NAME_BLOCK_OFFSET),
                      L("Block of the flat.", "Blok lokalu."), "", "%d"),
           ("BLOC_NUMBER", [("WIDTH", "60"), ("POS", "CENTER"), ("FTCOL", "BLACK"), ("VTYPE", "U16"), ("VMIN", "0"),
                            ("VMAX", "99"), ("VINIT", "1"),
                            ("HELPTXT", L("Block number written with an exported name directory.",
                                          "Numer bloku zapisywany z wyeksportowaną listą lokatorów.")),
                            ("FORMAT", "%d")])]
    return (L("Name directory", "Lista lokatorów"), [headers, row])

# ---------------------------------------------------------------------------------------------
# Writing.


def element_text(element, lang):
    tag, attrs = element
    if tag == "#text":
        return attrs  # a stray text, kept as it stands
    return "<%s%s/>" % (tag, attribute_text(attrs, lang))


def tree_page_text(page, lang, body="TREE_LIST"):
    title, groups = page
    out = ["  <PAGE>", "    " + text_element("PGNAME", text_of(title, lang)), "    <%s>" % body]
    for row, lines in groups:
        out.append("      <HEAD_LINE>")
        if row is not None:
            out.append("        <HEAD_LINE_DEF>")
            out += ["          " + element_text(e, lang) for e in row]
            out.append("        </HEAD_LINE_DEF>")
        for line in lines:
            out.append("        <LINE>")
            out += ["          " + element_text(e, lang) for e in line]
            out.append("        </LINE>")
        out.append("      </HEAD_LINE>")
    out += ["    </%s>" % body, "  </PAGE>"]
    return out


def table_page_text(page, lang):
    title, sections = page
    out = ["  <PAGE>", "    " + text_element("PGNAME", text_of(title, lang)), "    <TABLE_LIST>", "      <TABLE>"]
    for name, elements in zip(("DEFINITION", "LINE", "WIDGETS"), sections):
        out.append("        <%s>" % name)
        for e in elements:
            if e[0] == "#text":
                out[-1] += element_text(e, lang)  # straight after the previous element
            else:
                out.append("          " + element_text(e, lang))
        out.append("        </%s>" % name)
    out += ["      </TABLE>", "    </TABLE_LIST>", "  </PAGE>"]
    return out


# Files named in another letter case than they have on disk, as definition files written on a
# system without letter case in paths do: (model, language) -> the manual's URL TEXT.
URL_CASE = {("RK4820_H65", "EN"): "/help/SYSTEM/en/rk4820_h65.HTML"}


def web_page_text(model, lang):
    url = URL_CASE.get((model, lang), "/HELP/System/%s/%s.html" % (lang, model))
    return ["  <PAGE>", "    " + text_element("PGNAME", text_of(L("Manual", "Instrukcja"), lang)),
            "    <WEB_LIST>", "      <HTML>", "        <LINK>",
            '          <URL TEXT="%s"/>' % url,
            "        </LINK>", "      </HTML>", "    </WEB_LIST>", "  </PAGE>"]


NOTES = {
    "RK4820_U65": L("Door-entry control unit with coded lock: 254 flats, 1024 key fobs, name directory.",
                    "Centrala domofonowa z szyfratorem: 254 lokale, 1024 breloki, lista lokatorów."),
    "RK4820_H65": L("Access control unit for one entrance: 2048 key fobs, no flats.",
                    "Centrala kontroli dostępu jednego wejścia: 2048 breloków, bez lokali."),
}


def definition_text(model, lang):
    quirks = {name for name, files in QUIRKS.items() if (model, lang) in files}
    u_series = model == "RK4820_U65"
    out = ['<?xml version="1.0" encoding="UTF-8"?>', "<SYSTEM>",
           "  " + text_element("NAME", model.replace("_", " ")),
           "  " + text_element("LANGUAGE", lang),
           "  " + text_element("NOTE", text_of(NOTES[model], lang)),
           "  " + text_element("FILENAME", "%s_%s.xlx" % (model, lang)),
           "  " + text_element("SOFTWARE", "6.5" if u_series else "6.5H"),
           "  " + text_element("SYSTEM_HELP", "/HELP/Application/%s/help.html" % lang),
           "  " + text_element("SYSTEM_TYPE", M.MODELS[model]["type"])]
    if u_series:
        out.append("  " + text_element("INTERFACE", "TKV-05"))
    out += tree_page_text(system_page(model, quirks), lang)
    if u_series:
        out += tree_page_text(operation_page(), lang)
        out.append("  <!-- Tables: lock codes and flat options, key fobs, name directory -->")
        out += table_page_text(lock_table(quirks), lang)
    out += table_page_text(key_table(u_series, quirks), lang)
    if u_series:
        out += table_page_text(name_table(), lang)
    out += web_page_text(model, lang)
    out.append("</SYSTEM>")
    return "\n".join(out) + "\n"


# Turns the deliberate irregularities back into plain XML so that the rest of a file can be
# checked with the standard parser.
CLEANUPS = [
    (r'(STYLE_DIFF="[^"]*")( STYLE_DIFF="[^"]*")', r"\2"),
    (r'"SELCOL=', '" SELCOL='),
    (r"&nbsp;", ""),
]


def main():
    xml_dir = os.path.join(ROOT, "application", "xml")
    os.makedirs(xml_dir, exist_ok=True)
    for model in ("RK4820_U65", "RK4820_H65"):
        for lang in LANGS:
            name = "%s_%s.xlx" % (model, lang)
            text = definition_text(model, lang)
            check_well_formed(text, name, CLEANUPS)
            write_utf8_bom(os.path.join(xml_dir, name), text)
            print("wrote", os.path.join("application", "xml", name))


if __name__ == "__main__":
    main()
