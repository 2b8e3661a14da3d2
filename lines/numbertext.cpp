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
    QChar letter;
};

// Finds the one integer conversion of format; false when there is none, more than one, or anything
// printf would read as another conversion.
bool findConversion(const QString &format, Conversion *out)
{
    Conversion found;
    int count = 0;
    for (int i = 0; i < format.size(); ++i) {
        if (format.at(i) != QLatin1Char('%'))
            continue;
        if (i + 1 < format.size() && format.at(i + 1) == QLatin1Char('%')) {
            ++i;
            continue;
        }
        Conversion c;
        c.start = i;
        int j = i + 1;
        for (; j < format.size(); ++j) {
            const QChar f = format.at(j);
            if (f == QLatin1Char('-'))
                c.leftAlign = true;
            else if (f == QLatin1Char('+'))
                c.plus = true;
            else if (f == QLatin1Char(' '))
                c.space = true;
            else if (f == QLatin1Char('#'))
                c.alternate = true;
            else if (f == QLatin1Char('0'))
                c.zeroPad = true;
            else
                break;
        }
        for (; j < format.size() && format.at(j).isDigit() && format.at(j).unicode() < 128; ++j) {
            c.width = c.width * 10 + (format.at(j).unicode() - '0');
            if (c.width > 64)
                return false;
        }
        if (j >= format.size() || !QStringLiteral("diuxXobB").contains(format.at(j)))
            return false;
        c.letter = format.at(j);
        c.end = j + 1;
        found = c;
        ++count;
        i = j;
    }
    if (count != 1)
        return false;
    *out = found;
    return true;
}

QString literal(const QString &format, int from, int to)
{
    QString text = format.mid(from, to - from);
    text.replace(QLatin1String("%%"), QLatin1String("%"));
    return text;
}

QString convert(const Conversion &c, int value)
{
    const quint32 bits = quint32(value);
    QString sign, prefix, digits;
    switch (c.letter.unicode()) {
    case 'd':
    case 'i':
        digits = QString::number(value < 0 ? -qint64(value) : qint64(value));
        if (value < 0)
            sign = QStringLiteral("-");
        else if (c.plus)
            sign = QStringLiteral("+");
        else if (c.space)
            sign = QStringLiteral(" ");
        break;
    case 'u':
        digits = QString::number(bits);
        break;
    case 'x':
    case 'X':
        digits = QString::number(bits, 16);
        if (c.letter == QLatin1Char('X'))
            digits = digits.toUpper();
        if (c.alternate && bits != 0)
            prefix = c.letter == QLatin1Char('X') ? QStringLiteral("0X") : QStringLiteral("0x");
        break;
    case 'o':
        digits = QString::number(bits, 8);
        if (c.alternate && bits != 0)
            prefix = QStringLiteral("0");
        break;
    default: // b, B
        digits = QString::number(bits, 2);
        if (c.alternate && bits != 0)
            prefix = QStringLiteral("0b");
        break;
    }
    const int length = sign.size() + prefix.size() + digits.size();
    if (length >= c.width)
        return sign + prefix + digits;
    const int fill = c.width - length;
    if (c.leftAlign)
        return sign + prefix + digits + QString(fill, QLatin1Char(' '));
    if (c.zeroPad)
        return sign + prefix + QString(fill, QLatin1Char('0')) + digits;
    return QString(fill, QLatin1Char(' ')) + sign + prefix + digits;
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
    return literal(format, 0, c.start) + convert(c, value) + literal(format, c.end, format.size());
}

}
