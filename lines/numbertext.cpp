#include "numbertext.h"

#include <limits>

namespace NumberText {

int baseOfFormat(const QString &format)
{
    if (format.contains(QLatin1Char('d'), Qt::CaseInsensitive))
        return 10;
    if (format.contains(QLatin1Char('x'), Qt::CaseInsensitive))
        return 16;
    if (format.contains(QLatin1Char('b'), Qt::CaseInsensitive))
        return 2;
    return 0;
}

static int digitValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'z')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'Z')
        return u - 'A' + 10;
    return 99;
}

int parse(const QString &text, int base, bool *ok)
{
    if (base != 2 && base != 8 && base != 16)
        base = 10;
    if (ok)
        *ok = false;
    int i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (base == 16 && text.size() - i > 2 && text.at(i) == QLatin1Char('0')
        && (text.at(i + 1) == QLatin1Char('x') || text.at(i + 1) == QLatin1Char('X')))
        i += 2;
    if (i >= text.size())
        return 0;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const int d = digitValue(text.at(i));
        if (d >= base)
            return 0;
        value = value * base + d;
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return 0;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return 0;
    if (ok)
        *ok = true;
    return int(value);
}

namespace {

struct Conversion {
    int start = -1;         // index of the '%'
    int end = -1;           // index after the conversion letter
    bool leftAlign = false, plus = false, space = false, alternate = false, zeroPad = false;
    int width = 0;
    char letter = 0;
};

bool isConversionLetter(ushort c)
{
    switch (c) {
    case 'd': case 'i': case 'u': case 'x': case 'X': case 'o': case 'b': case 'B':
        return true;
    default:
        return false;
    }
}

// Finds the one integer conversion of format; false when there is none, more than one, or anything
// printf would read as another conversion.
bool findConversion(const QString &format, Conversion *out)
{
    const QChar *text = format.constData();
    const int size = format.size();
    int count = 0;
    for (int i = 0; i < size; ++i) {
        if (text[i].unicode() != '%')
            continue;
        if (i + 1 < size && text[i + 1].unicode() == '%') {
            ++i;
            continue;
        }
        Conversion c;
        c.start = i;
        int j = i + 1;
        for (; j < size; ++j) {
            const ushort f = text[j].unicode();
            if (f == '-')
                c.leftAlign = true;
            else if (f == '+')
                c.plus = true;
            else if (f == ' ')
                c.space = true;
            else if (f == '#')
                c.alternate = true;
            else if (f == '0')
                c.zeroPad = true;
            else
                break;
        }
        for (; j < size && text[j].unicode() >= '0' && text[j].unicode() <= '9'; ++j) {
            c.width = c.width * 10 + (text[j].unicode() - '0');
            if (c.width > 64)
                return false;
        }
        if (j >= size || !isConversionLetter(text[j].unicode()))
            return false;
        c.letter = char(text[j].unicode());
        c.end = j + 1;
        if (++count > 1)
            return false;
        *out = c;
        i = j;
    }
    return count == 1;
}

void appendLiteral(QString &result, const QString &format, int from, int to)
{
    const QChar *text = format.constData();
    for (int i = from; i < to; ++i) {
        result.append(text[i]);
        if (text[i].unicode() == '%' && i + 1 < to && text[i + 1].unicode() == '%')
            ++i;
    }
}

void appendConversion(QString &result, const Conversion &c, int value)
{
    static const char lower[] = "0123456789abcdef";
    static const char upper[] = "0123456789ABCDEF";
    char digits[40];
    int length = 0;
    const char *sign = "";
    const char *prefix = "";
    quint32 bits = quint32(value);
    int base = 10;
    const char *symbols = lower;
    switch (c.letter) {
    case 'd':
    case 'i':
        if (value < 0)
            sign = "-", bits = 0u - bits;
        else if (c.plus)
            sign = "+";
        else if (c.space)
            sign = " ";
        break;
    case 'u':
        break;
    case 'x':
        base = 16;
        if (c.alternate && bits != 0)
            prefix = "0x";
        break;
    case 'X':
        base = 16;
        symbols = upper;
        if (c.alternate && bits != 0)
            prefix = "0X";
        break;
    case 'o':
        base = 8;
        if (c.alternate && bits != 0)
            prefix = "0";
        break;
    default: // b, B
        base = 2;
        if (c.alternate && bits != 0)
            prefix = "0b";
        break;
    }
    do {
        digits[length++] = symbols[bits % base];
        bits /= base;
    } while (bits != 0);
    const int signLength = int(qstrlen(sign)), prefixLength = int(qstrlen(prefix));
    const int fill = qMax(0, c.width - signLength - prefixLength - length);
    if (fill > 0 && !c.leftAlign && !c.zeroPad)
        result.append(QString(fill, QLatin1Char(' ')));
    result.append(QLatin1String(sign)).append(QLatin1String(prefix));
    if (fill > 0 && !c.leftAlign && c.zeroPad)
        result.append(QString(fill, QLatin1Char('0')));
    while (length > 0)
        result.append(QLatin1Char(digits[--length]));
    if (fill > 0 && c.leftAlign)
        result.append(QString(fill, QLatin1Char(' ')));
}

} // namespace

bool isNumberFormat(const QString &format)
{
    Conversion c;
    return findConversion(format, &c);
}

QString format(const QString &format, int value)
{
    Conversion c;
    if (!findConversion(format, &c))
        return QString::number(value);
    QString result;
    result.reserve(format.size() + qMax(c.width, 12));
    appendLiteral(result, format, 0, c.start);
    appendConversion(result, c, value);
    appendLiteral(result, format, c.end, format.size());
    return result;
}

}
