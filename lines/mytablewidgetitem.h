#pragma once

#include <QBrush>
#include <QColor>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTableWidgetItem>

class MyComboBox;

// The kind of a table cell, given to the table item as its type.
enum CellType {
    CellComputedFlat = 1000, // logical flat number of the row (read-only)
    CellLockCode = 1001,
    CellKeyCode = 1002,
    CellKeyFlat = 1003,
    CellCombo = 1004,        // one option bit field, shown as an item of its combo box
    CellNameFlat = 1005,
    CellName = 1006,
    CellRowIndex = 1007,     // read-only
    CellBlockNumber = 1009,
    CellHeader = 1010
};

// One cell of a table page's grid. Besides the text the grid shows it knows its CellType, how its
// value is printed (a printf-style FORMAT and the number base that names), the range it accepts,
// the text it last accepted and its normal and changed colours.
//
// A combo cell (CellCombo) keeps its items and its current index itself. Every change of the index
// (by its line, by the page, or by its combo box) emits comboIndex(comboNumber) and then
// currentIndexChanged(text of the new item); an index outside the items becomes -1 (text ""), as in
// QComboBox. The cell holds no widget until comboBox() is first called: that makes the combo box the
// page places over the cell, filled with the items and kept in step with the cell both ways. Other
// cells have no items and no box. The grid owns the cells once inserted; a cell destroys its combo
// box unless the box's new parent already did.
class MyTableWidgetItem : public QObject, public QTableWidgetItem
{
    Q_OBJECT
public:
    explicit MyTableWidgetItem(int type);
    // A combo cell whose box emits MyComboBox::comboIndex(comboNumber) on every index change.
    MyTableWidgetItem(int type, int comboNumber);
    ~MyTableWidgetItem() override;

    int cellType() const { return type(); }
    // The cell's column in its row, for combo cells (named apart from QTableWidgetItem::column(),
    // the column the grid has put the cell in).
    void setComboColumn(int column) { m_comboColumn = column; }
    int comboColumn() const { return m_comboColumn; }

    int base() const { return m_base; }
    QString format() const { return m_format; }
    void setAcceptedText(const QString &text) { m_acceptedText = text; }
    QString acceptedText() const { return m_acceptedText; }
    void setChangedColorName(const QString &name) { m_changedColorName = name; }
    QString changedColorName() const { return m_changedColorName; }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    void setValueType(const QString &valueType) { m_valueType = valueType; }
    QString valueType() const { return m_valueType; }
    void setMaxLength(int length) { m_maxLength = length; }
    int maxLength() const { return m_maxLength; }
    void setChangedColor(const QColor &color) { m_changedColor = color; }
    QColor changedColor() const { return m_changedColor; }
    QColor textColor() const { return m_textColor; }

    // The combo box of a combo cell, made on the first call; null for every other cell.
    MyComboBox *comboBox();
    bool hasComboBox() const { return !m_combo.isNull(); }
    // The current index and the item texts; -1 and "" for a cell without items.
    int currentIndex() const { return m_currentIndex; }
    QString itemText(int index) const { return m_items.value(index); }
    QStringList items() const { return m_items; }
    int count() const { return m_items.size(); }
    // Adds items at the end of a combo cell's list; other cells take none.
    void appendItems(const QStringList &items);

    // Every text change of a cell goes through here.
    void setDisplayText(const QString &text);
    void setTextColor(const QColor &color);
    void setForegroundBrush(const QBrush &brush);
    void showChangedColor();

    void setFormat(const QString &format);
    void updateBase();
    // vmax with an "x" (either case): both read in base 16, else both in base 10; no number gives 0.
    void setRange(const QString &vmin, const QString &vmax);

    // Shows a value read from the image, printed by the format (NumberText::format: the plain
    // decimal when the format has no conversion): "-----" stays on key-code and flat cells; a
    // value outside the range shows as 0.
    void setFormattedValue(int base, const QString &text);
    // text read in base, printed by format; "" returns text unchanged; a cell of base 16 prints
    // upper case.
    QString formatValueInBase(int base, const QString &format, const QString &text) const;
    QString formatValue(const QString &format, const QString &text) const;
    void setValueInBase(int base, const QString &text);
    void initValue(int base, const QString &text);
    // Called by the page after the cell's text changed: normalises and accepts it (see the .cpp).
    void acceptEditedText();

signals:
    void comboIndex(int combNumber);
    void currentIndexChanged(QString text);

public slots:
    void setValue(QString text);
    void setTextFormat();
    // A combo cell's current index; one outside the items becomes -1. A change emits comboIndex
    // and then currentIndexChanged; setting the index the cell already has emits nothing.
    void setCurrentIndex(int index);

private:
    static int readInBase(const QString &text, int base);

    QPointer<MyComboBox> m_combo;
    int m_comboNumber = -1;
    QStringList m_items;
    int m_currentIndex = -1;
    int m_comboColumn = -1;
    int m_base = 10;
    QString m_valueType;
    QString m_format;
    QString m_acceptedText;
    int m_maxLength = 0;
    QString m_changedColorName;
    int m_minimum = 0;
    int m_maximum = 0;
    QColor m_changedColor;
    QColor m_textColor;
};
