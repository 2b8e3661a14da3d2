#pragma once

#include <QIntValidator>

// Validators of the number editors and table cell editors. Each checks the whole text against its
// range in one base and reads the empty-cell text "-----" as 0. Only plain digits of the base count
// (an optional sign; "0x" in base 16); blanks and group separators ("1,000") are refused, so a text
// that stands always reads back as the number it shows.

// The range shared by the three validators below.
class RangeValidator : public QIntValidator
{
    Q_OBJECT
protected:
    RangeValidator(int bottom, int top, QObject *parent);
    // input with "-----" (and, when emptyIsZero, "") read as "0", then read in base.
    bool read(const QString &input, int base, bool emptyIsZero, int *value) const;
    bool inRange(int value) const { return value >= m_bottom && value <= m_top; }

    const int m_bottom;
    const int m_top;
};

// Base 10 for table cells: "" and "." stand (an emptied cell), otherwise only a number in range.
class MyIntValidator : public RangeValidator
{
    Q_OBJECT
public:
    MyIntValidator(int bottom, int top, QObject *parent);
    State validate(QString &input, int &pos) const override;
};

// Base 16: the empty text reads as 0; a number in range stands, anything else is refused.
class MyHexValidator : public RangeValidator
{
    Q_OBJECT
public:
    MyHexValidator(int bottom, int top, QObject *parent);
    State validate(QString &input, int &pos) const override;
};

// Base 2: the empty text reads as 0; a number in range stands, one below the range may stand while
// it is typed (Intermediate) unless it is 0, anything above it or not base 2 is refused.
class MyBinValidator : public RangeValidator
{
    Q_OBJECT
public:
    MyBinValidator(int bottom, int top, QObject *parent);
    State validate(QString &input, int &pos) const override;
};

// The decimal validator of the number editor: Qt's own rules (a partial or low number may stand
// while typed), but only plain digits with an optional sign, and never a number above the maximum.
class DecimalEditValidator : public QIntValidator
{
    Q_OBJECT
public:
    DecimalEditValidator(int bottom, int top, QObject *parent);
    State validate(QString &input, int &pos) const override;
};
