#pragma once

#include <QString>

// Numbers as the editors and table cells show them: the number base a FORMAT names, strict
// reading of a typed or stored text in a base, and printing by a printf-style FORMAT without
// handing that text to printf.
namespace NumberText {

// The base a FORMAT names, letter case ignored, first match wins: "d" 10, "x" 16, "b" 2, else 0.
int baseOfFormat(const QString &format);

// Reads text as an integer in base 2, 8, 10 or 16 (any other base reads as 10): an optional sign,
// in base 16 an optional "0x" prefix, then digits of that base and nothing else (no blanks, no
// group separators). A text that is not such a number, or does not fit an int, gives 0 and *ok false.
int parse(const QString &text, int base, bool *ok = nullptr);

// Prints value by a printf-style format that holds literal text, "%%" and exactly one integer
// conversion: flags (- + space # 0), an optional width, and d, i, u, x, X, o or b (B prints as b).
// "b" prints the value's own base-2 digits. Any other format, the empty one included, prints the
// plain decimal value. u, x, X, o and b print the value as an unsigned 32-bit number, as printf does.
QString format(const QString &format, int value);

// True when format is one that format() prints by its conversion (not the plain decimal fallback).
bool isNumberFormat(const QString &format);

}
