#include "validators.h"

#include "numbertext.h"

namespace {

bool plainDecimal(const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if ((c == QLatin1Char('-') || c == QLatin1Char('+')) && i == 0)
            continue;
        if (c.unicode() < '0' || c.unicode() > '9')
            return false;
    }
    return true;
}

} // namespace

RangeValidator::RangeValidator(int bottom, int top, QObject *parent)
    : QIntValidator(bottom, top, parent), m_bottom(bottom), m_top(top)
{
}

bool RangeValidator::read(const QString &input, int base, bool emptyIsZero, int *value) const
{
    const bool zero = input == QLatin1String("-----") || (emptyIsZero && input.isEmpty());
    bool ok = false;
    *value = NumberText::parse(zero ? QStringLiteral("0") : input, base, &ok);
    return ok;
}

MyIntValidator::MyIntValidator(int bottom, int top, QObject *parent)
    : RangeValidator(bottom, top, parent)
{
}

QValidator::State MyIntValidator::validate(QString &input, int &) const
{
    if (input.isEmpty() || input == QLatin1String("."))
        return Acceptable;
    int v = 0;
    return read(input, 10, false, &v) && inRange(v) ? Acceptable : Invalid;
}

MyHexValidator::MyHexValidator(int bottom, int top, QObject *parent)
    : RangeValidator(bottom, top, parent)
{
}

QValidator::State MyHexValidator::validate(QString &input, int &) const
{
    int v = 0;
    return read(input, 16, true, &v) && inRange(v) ? Acceptable : Invalid;
}

MyBinValidator::MyBinValidator(int bottom, int top, QObject *parent)
    : RangeValidator(bottom, top, parent)
{
}

QValidator::State MyBinValidator::validate(QString &input, int &) const
{
    int v = 0;
    if (!read(input, 2, true, &v) || v > m_top)
        return Invalid;
    if (v < m_bottom)
        return v == 0 ? Invalid : Intermediate;   // no more digits make 0 reach the range
    return Acceptable;
}

DecimalEditValidator::DecimalEditValidator(int bottom, int top, QObject *parent)
    : QIntValidator(bottom, top, parent)
{
    setLocale(QLocale::c());
}

QValidator::State DecimalEditValidator::validate(QString &input, int &pos) const
{
    if (!plainDecimal(input))
        return Invalid;
    // A number of zero or more only grows with every further digit: one above the maximum can
    // never come back into the range, so the keystroke that made it is refused.
    bool ok = false;
    const int value = NumberText::parse(input, 10, &ok);
    if (ok && value >= 0 && value > top())
        return Invalid;
    return QIntValidator::validate(input, pos);
}
