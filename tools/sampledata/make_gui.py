#!/usr/bin/env python3
"""Writes application/xml/GUI.xlx, the language and model table (UTF-16 big-endian with BOM).

One block per interface language: Polski, English and Français (the French block is present but
disabled, and the definition files it names are not part of the data tree). Each block holds the
texts of the main window and the language dialog, the start help page, the model-ID address and
one EEPROM_DATA row per model. A comment stands before every block and before its model rows: the
table's blocks and rows are its elements, comments between them are documentation.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import layout  # noqa: E402
from xmltext import check_well_formed, escape, escape_text, write_utf16be_bom  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))

SHORTCUT = ("COMBO_SCAN-Ctrl+Alt+A/BUTTON_SCAN-Alt+P/BUTTON_CONNECT-Alt+L/BUTTONA0-Alt+C/BUTTONA2-Alt+G/BUTTONA4-Alt+D/\n"
            "  BUTTON_SEND-Alt+M/BUTTON_RECEIVE-Alt+R/BUTTON_LOAD-Alt+O/BUTTON_SAVE-Alt+S/BUTTON_SAVE_AS-Alt+A/MENU_INSTRUCTION_Alt+I/\n"
            "  MENU_DELETE_Alt+F/MENU_BACK_Alt+B/MENU_ABOUT_Alt+V/MENU_EXIT_Alt+X/")

# Key, value. A value that is a list is written as text with CDATA sections between its items
# (the about text keeps its HTML line breaks that way).
BLOCKS = {
    "PL": {
        "LNG_NAME": " Polski ",
        "LNG_FLAG": "/APPLICATION/png/Flags/Flags_Poland.png",
        "LNG_ENABLE": "YES",
        "LNG_TEXT_NOASK": "Zapamiętaj mój wybór i nie pokazuj tego okna przy starcie. ",
        "LANGUAGE_FRAME_MESSAGE": "Wybierz język",
        "STARTFRAMEBUTTONOK": "Ok",
        "STARTFRAMEBUTTONCANCEL": "Anuluj",
        "SECTION1": "Interfejs",
        "SECTION2": "Pamięć urządzenia",
        "SECTION3": "PC",
        "BUTTON_SCAN": "Szukaj",
        "BUTTON_CONNECT_DISCONNECT": "Połącz/Rozłącz",
        "BUTTONA0": "RK4820",
        "BUTTONA2": "KWM",
        "BUTTONA4": "KWM DIP",
        "BUTTON_SEND": "Wyślij",
        "BUTTON_RECEIVE": "Odbierz",
        "BUTTON_LOAD": "Wczytaj",
        "BUTTON_SAVE": "Zapisz",
        "BUTTON_SAVE_AS": "Zapisz jako",
        "BUTTON_CANCEL_S_R_D": "Anuluj",
        "SECTION1_TEXT": "Połączono z /Rozłączono  ",
        "SECTION2_TEXT": "Połączono z /Rozłączono ",
        "MENU_1": "Menu",
        # The Polish block lists the end-of-edition and back entries before the manual.
        "DELETE_MENU": "Koniec edycji          Lewy Alt+F ",
        "BACK_TO": "Powrót do edycji    Lewy Alt+B ",
        "VIEW_HELP": "Instrukcja              Lewy Alt+I ",
        "ABOUT": "O programie          Lewy Alt+V",
        "EXIT": "Wyjście                  Lewy Alt+X",
        "SHORTCUT": SHORTCUT,
        "APP_HELP": "/HELP/Application/PL/welcome.html",
        "SUFFIX": ".op/.id/.nm/",
        "WARNING_MEM_SIZE": "Zdefiniowany rozmiar pamięci jest nieprawidłowy, kontynuować? ",
        "WARNING_UNPLUGGED_DEV": "Urządzenie TKV-05 jest niedostępne !!!",
        "WARNING_UNPLUGGED_PEN": "Błąd połączenia między TKV-05 a pamięcią zewnętrzną !!!",
        "FILE_WRITE_ERROR": "Plik tylko do odczytu! Aby zapisać plik, usuń atrybut \"Tylko do odczytu\". ",
        "FILE_WRITE_INCOMPLETE": ("Zapis przerwał się w trakcie zapisu pliku w miejscu: plik na dysku może być "
                                  "niekompletny. Dane pozostają w programie: zapisz je do innego pliku."),
        "ASK_OVERWRITE_FILE": "Plik już istnieje. Zastąpić go nową wersją?  ",
        "ASK_DATA_NOT_SAVED": "Dane nie zostały zapisane! Porzucić zmiany?  ",
        "ERROR_MESSAGE": "Błąd",
        "ABOUT_MESSAGE": ["<b>TKV-05</b> - program konfiguracyjny central domofonowych",
                          "Wersja 1.0",
                          "Odczyt, edycja i zapis pamięci konfiguracji przez interfejs TKV-05."],
        "SEND_DATA_MESSAGE": "Wysyłanie danych... proszę czekać",
        "RECEIVE_DATA_MESSAGE": "Odbieranie danych... proszę czekać",
        "ID_NOTFOUND_MESSAGE": "     Nie rozpoznano typu centrali !              \n     Wybierz typ z listy poniżej:   ",
        "UPADTE_PAGES_MESSAGE": "Dane zostały zmienione, odświeżyć tabele?",
        "CREATE_PAGES_MESSAGE": "Tworzenie stron ... proszę czekać ",
        "COPYING_DATA_MESSAGE": "Kopiowanie danych ... proszę czekać",
        "IMPORT_CR_LINE_ENDS": "Wiersze pliku kończą się samym znakiem CR, więc jego wiersze danych stoją w jednym wierszu z wierszem końca tabeli. Plik tabeli kończy wiersze znakami CR LF lub LF.",
        "IMPORT_BROKEN_TITLE": "Wiersz tytułu jest przerwany końcem wiersza w samym tytule (brak zamykającego \"*****\"), więc wiersze danych trafiłyby do złych wierszy tabeli.",
        "IMPORT_NO_ROWS": "Plik nie zawiera wierszy danych między wierszem tytułu a wierszem końca tabeli.",
        "IMPORT_NO_FIELDS": "Pierwszy wiersz danych nie ma pola zakończonego znakiem TAB, a to on wyznacza liczbę pól każdego wiersza: nie wczytano żadnego pola.",
        "IMPORT_NO_COLUMN": "Pola trafiają do kolumn tabeli od pierwszej, a żadna z tych kolumn nie przyjmuje wartości: nie zmieniono żadnej komórki.",
    },
    "EN": {
        "LNG_NAME": " English ",
        "LNG_FLAG": "/APPLICATION/png/Flags/Flags_UK.png",
        "LNG_ENABLE": "YES",
        "LNG_TEXT_NOASK": "Remember my choice and do not show this dialog at startup. ",
        "LANGUAGE_FRAME_MESSAGE": "Please choose your language",
        "STARTFRAMEBUTTONOK": "Ok",
        "STARTFRAMEBUTTONCANCEL": "Cancel",
        "SECTION1": "Interface",
        "SECTION2": "Memory Device",
        "SECTION3": "PC",
        "BUTTON_SCAN": "Scan",
        "BUTTON_CONNECT_DISCONNECT": "Connect/Disconnect",
        "BUTTONA0": "RK4820",
        "BUTTONA2": "KWM",
        "BUTTONA4": "KWM DIP",
        "BUTTON_SEND": "Send",
        "BUTTON_RECEIVE": "Receive",
        "BUTTON_LOAD": "Load",
        "BUTTON_SAVE": "Save",
        "BUTTON_SAVE_AS": "Save As",
        "BUTTON_CANCEL_S_R_D": "Cancel",
        "SECTION1_TEXT": "Connected to /Disconnected  ",
        "SECTION2_TEXT": "Connected to /Disconnected ",
        "MENU_1": "Menu",
        "VIEW_HELP": "Manual               Left Alt+I ",
        "DELETE_MENU": "End of edition         Left Alt+F ",
        "BACK_TO": "Back to edition    Left Alt+B ",
        "ABOUT": "About                 Left Alt+V",
        "EXIT": "Exit                     Left Alt+X",
        "SHORTCUT": SHORTCUT,
        "APP_HELP": "/HELP/Application/EN/welcome.html",
        "SUFFIX": ".op/.id/.nm/",
        "WARNING_MEM_SIZE": "Defined memory size is incorrect, continue? ",
        "WARNING_UNPLUGGED_DEV": "TKV-05 device is unavailable !!!",
        "WARNING_UNPLUGGED_PEN": "Connection error between TKV-05 and external memory !!!",
        "FILE_WRITE_ERROR": "Read-only file! To save a file remove \"Read Only\" attribute. ",
        "FILE_WRITE_INCOMPLETE": ("The write stopped part way while the file was written in place: the file on disk "
                                  "may be incomplete. The data stay in the program: save them to another file."),
        "ASK_OVERWRITE_FILE": "The file already exists. It replaced with a new version?  ",
        "ASK_DATA_NOT_SAVED": "The data have not been saved! Ignore their record?  ",
        "ERROR_MESSAGE": "Error",
        "ABOUT_MESSAGE": ["<b>TKV-05</b> - configuration program for door-entry control units",
                          "Version 1.0",
                          "Reads, edits and writes the configuration memory through the TKV-05 interface."],
        "SEND_DATA_MESSAGE": "Sending data... please wait",
        "RECEIVE_DATA_MESSAGE": "Receiving data... please wait",
        "ID_NOTFOUND_MESSAGE": "     Electronic cassette unrecognized !              \n     Choose the type from the list below:   ",
        "UPADTE_PAGES_MESSAGE": "Data has been changed, update ?",
        "CREATE_PAGES_MESSAGE": "Creating pages ... please wait ",
        "COPYING_DATA_MESSAGE": "Copying data ... please wait",
        "IMPORT_CR_LINE_ENDS": "The file's lines end in CR alone, so its data rows stand in one line with the end-of-table line. A table file ends its lines in CR LF or LF.",
        "IMPORT_BROKEN_TITLE": "The title line is broken by a line end in the title itself (its closing \"*****\" is missing), so the data rows would go to the wrong table rows.",
        "IMPORT_NO_ROWS": "The file holds no data rows between its title line and its end-of-table line.",
        "IMPORT_NO_FIELDS": "The first data row has no field ended by a TAB, and it sets the number of fields of every row: no field was taken.",
        "IMPORT_NO_COLUMN": "The fields go to the table's columns from the first one on, and none of those columns takes a value: no cell was changed.",
    },
    "FR": {
        "LNG_NAME": " Français ",
        "LNG_FLAG": "/APPLICATION/png/Flags/Flags_France.png",
        "LNG_ENABLE": "NO",
        "LNG_TEXT_NOASK": "Mémoriser mon choix et ne plus afficher cette fenêtre au démarrage. ",
        "LANGUAGE_FRAME_MESSAGE": "Choisissez votre langue",
        "STARTFRAMEBUTTONOK": "Ok",
        "STARTFRAMEBUTTONCANCEL": "Annuler",
        "SECTION1": "Interface",
        "SECTION2": "Mémoire",
        "SECTION3": "PC",
        "BUTTON_SCAN": "Chercher",
        "BUTTON_CONNECT_DISCONNECT": "Connecter/Déconnecter",
        "BUTTONA0": "RK4820",
        "BUTTONA2": "KWM",
        "BUTTONA4": "KWM DIP",
        "BUTTON_SEND": "Envoyer",
        "BUTTON_RECEIVE": "Recevoir",
        "BUTTON_LOAD": "Ouvrir",
        "BUTTON_SAVE": "Enregistrer",
        "BUTTON_SAVE_AS": "Enregistrer sous",
        "BUTTON_CANCEL_S_R_D": "Annuler",
        "SECTION1_TEXT": "Connecté à /Déconnecté  ",
        "SECTION2_TEXT": "Connecté à /Déconnecté ",
        "MENU_1": "Menu",
        "MENU_2": "Aide",
        "VIEW_HELP": "Manuel                Alt gauche+I ",
        "DELETE_MENU": "Fin de l'édition       Alt gauche+F ",
        "BACK_TO": "Retour à l'édition  Alt gauche+B ",
        "ABOUT": "À propos             Alt gauche+V",
        "EXIT": "Quitter                 Alt gauche+X",
        "SHORTCUT": SHORTCUT,
        "APP_HELP": "/HELP/Application/FR/welcome.html",
        "SUFFIX": ".op/.id/.nm/",
        "WARNING_MEM_SIZE": "La taille de mémoire définie est incorrecte, continuer ? ",
        "WARNING_UNPLUGGED_DEV": "L'appareil TKV-05 n'est pas disponible !!!",
        "WARNING_UNPLUGGED_PEN": "Erreur de liaison entre le TKV-05 et la mémoire externe !!!",
        "FILE_WRITE_ERROR": "Fichier en lecture seule ! Pour l'enregistrer, retirez l'attribut \"Lecture seule\". ",
        "FILE_WRITE_INCOMPLETE": ("L'écriture s'est arrêtée en cours de route alors que le fichier était écrit sur "
                                  "place : le fichier sur le disque est peut-être incomplet. Les données restent dans "
                                  "le programme : enregistrez-les dans un autre fichier."),
        "ASK_OVERWRITE_FILE": "Le fichier existe déjà. Le remplacer par la nouvelle version ?  ",
        "ASK_DATA_NOT_SAVED": "Les données n'ont pas été enregistrées ! Abandonner les modifications ?  ",
        "ERROR_MESSAGE": "Erreur",
        "ABOUT_MESSAGE": ["<b>TKV-05</b> - programme de configuration des centrales d'interphonie",
                          "Version 1.0",
                          "Lit, modifie et écrit la mémoire de configuration par l'interface TKV-05."],
        "SEND_DATA_MESSAGE": "Envoi des données... veuillez patienter",
        "RECEIVE_DATA_MESSAGE": "Réception des données... veuillez patienter",
        "ID_NOTFOUND_MESSAGE": "     Centrale non reconnue !              \n     Choisissez le type dans la liste :   ",
        "UPADTE_PAGES_MESSAGE": "Les données ont changé, mettre à jour ?",
        "CREATE_PAGES_MESSAGE": "Création des pages ... veuillez patienter ",
        "COPYING_DATA_MESSAGE": "Copie des données ... veuillez patienter",
        "IMPORT_CR_LINE_ENDS": "Les lignes du fichier se terminent par CR seul : ses lignes de données sont sur une seule ligne avec la ligne de fin de table. Un fichier de table termine ses lignes par CR LF ou LF.",
        "IMPORT_BROKEN_TITLE": "La ligne de titre est coupée par une fin de ligne dans le titre lui-même (son \"*****\" final manque) : les lignes de données iraient dans de mauvaises lignes de la table.",
        "IMPORT_NO_ROWS": "Le fichier ne contient aucune ligne de données entre sa ligne de titre et sa ligne de fin de table.",
        "IMPORT_NO_FIELDS": "La première ligne de données n'a aucun champ terminé par une tabulation, et elle fixe le nombre de champs de chaque ligne : aucun champ n'a été repris.",
        "IMPORT_NO_COLUMN": "Les champs vont dans les colonnes de la table à partir de la première, et aucune de ces colonnes ne prend de valeur : aucune cellule n'a changé.",
    },
}

ORDER = ["PL", "EN", "FR"]
COMMENTS = {"PL": "Block 1: Polish", "EN": "Block 2: English",
            "FR": "Block 3: French (disabled; its definition files are not installed)"}


def model_rows(lang):
    rows = []
    # The words are written as the table's authors wrote them, in either letter case.
    for name, word in (("RK4820_U65", "0x%04x"), ("RK4820_H65", "0x%04X")):
        model = layout.MODELS[name]
        rows.append('<EEPROM_DATA VALUE="%s" MEMSIZE="%d" FILE_NAME="%s_%s.xlx"/>'
                    % (word % model["id"], layout.MEMSIZE, name, lang))
    return rows


def block_text(lang):
    lines = []
    for key, value in BLOCKS[lang].items():
        if key == "LNG_NAME":
            lines.append('<LNG_NAME VALUE="%s"/>' % escape(value))
        elif isinstance(value, list):
            lines.append("<%s>%s</%s>" % (key, "<![CDATA[<br/>]]>".join(escape_text(v) for v in value), key))
        else:
            lines.append("<%s>%s</%s>" % (key, escape_text(value), key))
    lines.append("<!-- Models: address of the identification word, then one row per model -->")
    lines.append('<EEPROM_ADDRESS VALUE="0x%04X"/>' % layout.MODEL_ID_ADDRESS)
    lines += model_rows(lang)
    return lines


def gui_text():
    out = ['<?xml version="1.0" encoding="UTF-16"?>', "<SYSTEM>"]
    for lang in ORDER:
        out.append("  <!-- %s -->" % COMMENTS[lang])
        out.append("  <GUI>")
        out += ["    " + line for line in block_text(lang)]
        out.append("  </GUI>")
    out.append("</SYSTEM>")
    return "\n".join(out) + "\n"


def main():
    text = gui_text()
    root = check_well_formed(text.replace('encoding="UTF-16"', 'encoding="UTF-8"'), "GUI.xlx")
    assert len(root) == len(ORDER)
    path = os.path.join(ROOT, "application", "xml", "GUI.xlx")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    write_utf16be_bom(path, text)
    print("wrote", os.path.relpath(path, ROOT))


if __name__ == "__main__":
    main()
