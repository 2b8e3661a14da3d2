#include "mytablewidgetitem.h"

#include "mycombobox.h"
#include "numbertext.h"

#include <QSignalBlocker>

namespace {

const QString EmptyCell = QStringLiteral("-----");

// A table's cells take a handful of colours; sharing one brush per colour spares every cell a
// brush of its own (a grid of 2048 rows has thousands of cells).
QBrush sharedBrush(const QColor &color)
{
    static QBrush brushes[4];
    static int next = 0;
    for (const QBrush &brush : brushes) {
        if (brush.style() == Qt::SolidPattern && brush.color() == color)
            return brush;
    }
    QBrush &slot = brushes[next];
    next = (next + 1) % 4;
    slot = QBrush(color);
    return slot;
}

}

MyTableWidgetItem::MyTableWidgetItem(int type)
    : QTableWidgetItem(type)
{
}

MyTableWidgetItem::MyTableWidgetItem(int type, int comboNumber)
    : QTableWidgetItem(type), m_comboNumber(comboNumber)
{
}

MyTableWidgetItem::~MyTableWidgetItem()
{
    delete m_combo.data();
}

MyComboBox *MyTableWidgetItem::comboBox()
{
    if (type() != CellCombo)
        return nullptr;
    if (!m_combo) {
        m_combo = new MyComboBox(m_comboNumber);
        m_combo->addItems(m_items);
        m_combo->setCurrentIndex(m_currentIndex);
        connect(m_combo.data(), QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &MyTableWidgetItem::setCurrentIndex);
    }
    return m_combo.data();
}

void MyTableWidgetItem::setCurrentIndex(int index)
{
    if (type() != CellCombo)
        return;
    if (index < 0 || index >= m_items.size())
        index = -1;
    if (index == m_currentIndex)
        return;
    m_currentIndex = index;
    if (m_combo)
        m_combo->setCurrentIndex(index); // comes back here with the same index: nothing more
    emit comboIndex(m_comboNumber);
    emit currentIndexChanged(m_items.value(index));
}

void MyTableWidgetItem::appendItems(const QStringList &items)
{
    if (type() != CellCombo)
        return;
    m_items += items;
    if (m_combo) {
        // A box that was empty would make its first item current on its own.
        const QSignalBlocker quiet(m_combo.data());
        m_combo->addItems(items);
        m_combo->setCurrentIndex(m_currentIndex);
    }
}

void MyTableWidgetItem::setDisplayText(const QString &text)
{
    setData(Qt::DisplayRole, text);
}

void MyTableWidgetItem::setValue(QString text)
{
    setDisplayText(text);
}

void MyTableWidgetItem::setTextColor(const QColor &color)
{
    m_textColor = color;
    setForeground(sharedBrush(color));
}

void MyTableWidgetItem::setForegroundBrush(const QBrush &brush)
{
    setForeground(brush);
}

void MyTableWidgetItem::showChangedColor()
{
    setForeground(sharedBrush(m_changedColor));
}

void MyTableWidgetItem::setFormat(const QString &format)
{
    m_format = format;
    updateBase();
}

void MyTableWidgetItem::updateBase()
{
    m_base = NumberText::baseOfFormat(m_format);
}

int MyTableWidgetItem::readInBase(const QString &text, int base)
{
    return NumberText::parse(text, base);
}

void MyTableWidgetItem::setRange(const QString &vmin, const QString &vmax)
{
    const int base = vmax.contains(QLatin1Char('x'), Qt::CaseInsensitive) ? 16 : 10;
    m_minimum = readInBase(vmin, base);
    m_maximum = readInBase(vmax, base);
}

void MyTableWidgetItem::setFormattedValue(int base, const QString &text)
{
    if ((type() == CellKeyCode || type() == CellKeyFlat) && text == EmptyCell) {
        setDisplayText(EmptyCell);
        return;
    }
    int v = readInBase(text, base);
    if (v < m_minimum || v > m_maximum)
        v = 0;
    setDisplayText(NumberText::format(m_format, v));
}

QString MyTableWidgetItem::formatValueInBase(int base, const QString &format, const QString &text) const
{
    if (format.isEmpty())
        return text;
    const QString result = NumberText::format(format, readInBase(text, base));
    return m_base == 16 ? result.toUpper() : result;
}

QString MyTableWidgetItem::formatValue(const QString &format, const QString &text) const
{
    return formatValueInBase(m_base, format, text);
}

void MyTableWidgetItem::setValueInBase(int base, const QString &text)
{
    const int v = readInBase(text, base);
    setDisplayText(formatValueInBase(base, m_format, QString::number(v, base == 0 ? 10 : base)));
}

void MyTableWidgetItem::initValue(int base, const QString &text)
{
    updateBase();
    setValueInBase(base, text);
}

// After an edit by the user or the page:
//  - an unchanged text does nothing;
//  - a combo cell keeps its text, accepts it and shows the changed colour;
//  - a name cell shows the changed colour (its text is written with the names later);
//  - "-----" on a key-code or flat cell stays, "0" on a flat cell becomes "-----";
//  - a cell without a format keeps the typed text, accepts it and shows the changed colour;
//  - any other text is read in the cell's base, printed by the format (no range check: the
//    page's editors hold the range), accepted and shown in the changed colour.
void MyTableWidgetItem::acceptEditedText()
{
    const QString current = text();
    if (current == m_acceptedText)
        return;
    const int kind = type();
    if (kind == CellCombo) {
        m_acceptedText = current;
        showChangedColor();
        return;
    }
    if (kind == CellName) {
        showChangedColor();
        return;
    }
    if ((kind == CellKeyCode || kind == CellKeyFlat) && current == EmptyCell)
        return;
    if (kind == CellKeyFlat && current == QLatin1String("0")) {
        setDisplayText(EmptyCell);
        return;
    }
    if (!m_format.isEmpty())
        setDisplayText(NumberText::format(m_format, readInBase(current, m_base)));
    m_acceptedText = text();
    showChangedColor();
}

void MyTableWidgetItem::setTextFormat()
{
    if (type() == CellName) {
        showChangedColor();
        return;
    }
    const QString current = text();
    if (current == m_acceptedText)
        return;
    const int kind = type();
    if ((kind == CellKeyCode || kind == CellKeyFlat) && current == EmptyCell)
        return;
    updateBase();
    if (kind == CellLockCode || kind == CellKeyCode || kind == CellKeyFlat) {
        bool ok = false;
        const int v = NumberText::parse(current, m_base, &ok);
        if (!ok || v < 0 || v > 0xFFFF) {
            setDisplayText(QStringLiteral("ERROR"));
            showChangedColor();
        } else if (v > 0) {
            const QString shown = formatValue(m_format, QString::number(v, m_base == 0 ? 10 : m_base));
            setDisplayText(shown);
            m_acceptedText = shown;
            showChangedColor();
        }
    }
    setSelected(false);
}
