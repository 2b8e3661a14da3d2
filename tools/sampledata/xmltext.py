"""Small helpers that write the XML of the data files as text.

The files are written by hand-made text, not by an XML library, because a few of them keep the
irregularities that real definition files carry (an attribute written twice, two attributes
without a blank between them, an undeclared entity, a stray text in a row template) and those
cannot be produced by a serializer.
"""

import re
import xml.etree.ElementTree as ET


class L:
    """A text in every language of the data tree."""

    def __init__(self, en, pl, fr=None):
        self.texts = {"EN": en, "PL": pl, "FR": fr if fr is not None else en}

    def get(self, lang):
        return self.texts[lang]


class Raw(str):
    """An attribute value written as it stands (it may hold an entity reference)."""


def text_of(value, lang):
    return value.get(lang) if isinstance(value, L) else value


def escape(value):
    return (value.replace("&", "&amp;").replace("<", "&lt;")
            .replace(">", "&gt;").replace('"', "&quot;"))


def escape_text(value):
    return value.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def attribute_text(attrs, lang):
    """attrs: list of (name, value). A name written "!NAME" follows the previous value with no blank."""
    out = []
    for name, value in attrs:
        value = text_of(value, lang)
        value = value if isinstance(value, Raw) else escape(value)
        if name.startswith("!"):
            out.append('%s="%s"' % (name[1:], value))
        else:
            out.append(' %s="%s"' % (name, value))
    return "".join(out)


def empty_element(tag, attrs, lang):
    return "<%s%s/>" % (tag, attribute_text(attrs, lang))


def text_element(tag, text):
    return "<%s>%s</%s>" % (tag, escape_text(text), tag)


def check_well_formed(text, name, cleanups=()):
    """Parses the text with the standard XML parser after removing the deliberate irregularities
    listed in cleanups (pairs of regular expression and replacement), so that everything else in
    the file is checked. Returns the parsed root."""
    for pattern, replacement in cleanups:
        text = re.sub(pattern, replacement, text)
    try:
        return ET.fromstring(text.encode("utf-8"))
    except ET.ParseError as error:
        raise SystemExit("%s is not well-formed: %s" % (name, error))


def write_utf8_bom(path, text):
    with open(path, "wb") as out:
        out.write(b"\xef\xbb\xbf" + text.replace("\n", "\r\n").encode("utf-8"))


def write_utf16be_bom(path, text):
    with open(path, "wb") as out:
        out.write(b"\xfe\xff" + text.replace("\n", "\r\n").encode("utf-16-be"))
