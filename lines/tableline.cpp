#include "tableline.h"

#include "globals.h"
#include "mybutton.h"
#include "mytablewidget.h"
#include "mytablewidgetitem.h"
#include "numbertext.h"
#include "operationbin.h"
#include "screengeometry.h"
#include "slotlists.h"
#include "tabledefinition.h"

#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QTextEdit>

#include <climits>

namespace {

const QString EmptyCell = QStringLiteral("-----");

// The slot of an attribute of a table tag, looked up once per tag and name.
struct Slot {
    const char *tag;
    const char *name;
    int index;
    Slot(const char *t, const char *n) : tag(t), name(n), index(DefinitionSlots::tableSlot(QLatin1String(t), QLatin1String(n))) {}
};

QString value(const TableSectionSlots &attrs, int position, const Slot &slot)
{
    return slot.index < 0 ? QString() : attrs[position][slot.index];
}

// A decimal number of the definition; anything else reads 0.
int decimal(const QString &text)
{
    return NumberText::parse(text, 10);
}

// Colours are colour names: Qt's named colours in any case, or "#" and hexadecimal digits. Any other
// text (a style text such as "12px/blue", the empty text) gives an invalid colour.
QColor colour(const QString &name)
{
    return QColor(name);
}

Qt::Alignment alignment(const QString &pos, bool *set)
{
    *set = true;
    if (pos == QLatin1String("CENTER"))
        return Qt::AlignCenter;
    if (pos == QLatin1String("LEFT"))
        return Qt::AlignLeft | Qt::AlignVCenter;
    if (pos == QLatin1String("RIGHT"))
        return Qt::AlignRight | Qt::AlignVCenter;
    *set = false;
    return Qt::Alignment();
}

void applyAlignment(QTableWidgetItem *item, const QString &pos)
{
    bool set = false;
    const Qt::Alignment a = alignment(pos, &set);
    if (set)
        item->setTextAlignment(int(a));
}

void setStyle(QWidget *widget, const QString &style)
{
    if (!style.isEmpty())
        widget->setStyleSheet(style);
}

void setBaseColour(QLineEdit *edit, const QString &text)
{
    QPalette palette = edit->palette();
    palette.setColor(QPalette::All, QPalette::Base, text == QLatin1String("ERROR") ? QColor(Qt::red) : QColor(Qt::green));
    edit->setPalette(palette);
}

}

TableLine::TableLine() = default;

// The cells a grid took belong to it; the rest (a line built but never inserted, or inserted at a
// row or column the grid does not have) would be lost, so the line deletes them.
TableLine::~TableLine()
{
    for (const QPointer<MyTableWidgetItem> &cell : qAsConst(m_cells))
        if (cell && !cell->tableWidget())
            delete cell.data();
}

// ---- configuration ---------------------------------------------------------------------------------

void TableLine::setParentWidget(QWidget *parent)
{
    parentWidget = parent;
}

void TableLine::setDefinition(int table, int section, TableDefinition *definition_, int page)
{
    tableIndex = table;
    sectionIndex = section;
    definition = definition_;
    pageIndex = page;
}

void TableLine::setImage(OperationBin *image_)
{
    image = image_;
}

void TableLine::setHelpLineEdit(QLineEdit *helpLine)
{
    helpLineEdit = helpLine;
}

void TableLine::setTableWidget(MyTableWidget *table)
{
    tableWidget = table;
}

void TableLine::setErrorMessage(const QString &text)
{
    errorMessage = text;
}

// ---- help -------------------------------------------------------------------------------------------

void TableLine::emitHelpRequest()
{
    emit help(helpTextCount);
}

void TableLine::viewHelp(int index)
{
    if (helpLineEdit)
        helpLineEdit->setText(index >= 0 && index < Columns ? helpTexts[index] : QString());
}

// The line's own help text, which nothing sets.
void TableLine::viewHelpOnLineEdit()
{
    if (helpLineEdit)
        helpLineEdit->setText(QString());
}

void TableLine::viewHelpOnLineEdit(MyButton *button)
{
    if (helpLineEdit)
        helpLineEdit->setText(button ? button->helpText() : QString());
}

void TableLine::hideHelp()
{
    if (helpLineEdit)
        helpLineEdit->clear();
}

// ---- side panel ---------------------------------------------------------------------------------------

QPointer<QWidget> TableLine::panelParent() const
{
    // Fields and buttons go into BOX_MENU; one that stands before it, or a panel without one, goes
    // into the page's container.
    return menuBox ? QPointer<QWidget>(menuBox.data()) : parentWidget;
}

void TableLine::createWidgets()
{
    panelTextPresent.fill(false);
    panelButtonPresent.fill(false);
    if (!definition)
        return;
    const TableSectionTags &tags = definition->sectionTags(tableIndex, sectionIndex);
    const TableSectionSlots &attrs = definition->sectionAttributes(tableIndex, sectionIndex);

    static const Slot boxX("BOX_MENU", "X"), boxY("BOX_MENU", "Y"), boxW("BOX_MENU", "W"), boxH("BOX_MENU", "H"),
        boxTitle("BOX_MENU", "TITLE");
    static const Slot buttonWidth("BUTTON_1", "WIDTH"), buttonX("BUTTON_1", "HORIZ_MARG"),
        buttonY("BUTTON_1", "VERT_MARG"), buttonText("BUTTON_1", "TEXT"), buttonHelp("BUTTON_1", "HELPTXT"),
        buttonStyle("BUTTON_1", "STYLE");
    static const Slot fieldWidth("TEXT_1", "WIDTH"), fieldX("TEXT_1", "HORIZ_MARG"), fieldY("TEXT_1", "VERT_MARG"),
        fieldLabel("TEXT_1", "LABEL"), fieldStyle("TEXT_1", "STYLE");
    static const Slot sounds[5] = {{"SOUND_FILES", "NEW_KEY"}, {"SOUND_FILES", "KEY_ADDED"},
                                   {"SOUND_FILES", "KEY_NOT_ADDED"}, {"SOUND_FILES", "CHECK_KEY_FOUND"},
                                   {"SOUND_FILES", "CHECK_KEY_NOT_FOUND"}};

    for (int p = 0; p < Columns; ++p) {
        const QString &tag = tags[p];
        if (tag == QLatin1String("SOUND_FILES")) {
            for (int i = 0; i < 5; ++i)
                soundFiles[i] = value(attrs, p, sounds[i]);
            continue;
        }
        // Without a container the panel would stand as windows of its own: nothing is built.
        if (!parentWidget)
            continue;
        if (tag == QLatin1String("BOX_MENU") || tag == QLatin1String("BOX_SECTIONS")) {
            auto *box = new QGroupBox(parentWidget);
            box->setFocusPolicy(Qt::NoFocus);
            box->setGeometry(ScreenGeometry::rect(decimal(value(attrs, p, boxX)), decimal(value(attrs, p, boxY)),
                                                  decimal(value(attrs, p, boxW)), decimal(value(attrs, p, boxH))));
            box->setTitle(value(attrs, p, boxTitle));
            box->show();
            if (tag == QLatin1String("BOX_MENU")) {
                menuBox = box;
                continue;
            }
            for (int r = 0; r < 3; ++r) {
                const int y = 23 + 22 * r;
                auto *text = new QLineEdit(box);
                text->setFrame(false);
                text->setFocusPolicy(Qt::NoFocus);
                text->setGeometry(100, y, 220, 20);
                text->setStyleSheet(QStringLiteral("background-color:transparent"));
                text->show();
                legendEdits[r] = text;
                auto *swatch = new QLabel(box);
                swatch->setGeometry(8, y, 80, 15);
                swatch->show();
                legendLabels[r] = swatch;
            }
            hasSections = true;
            continue;
        }
        if (tag.startsWith(QLatin1String("BUTTON_")) && tag.size() == 8) {
            const int n = tag.at(7).digitValue();
            if (n < 1 || n > 6)
                continue;
            auto *button = new MyButton(panelParent());
            button->setObjectName(QStringLiteral("button"));
            button->setCheckable(n == 1 || n == 2 || n == 3 || n == 5);
            button->setText(value(attrs, p, buttonText));
            setStyle(button, value(attrs, p, buttonStyle));
            button->show();
            button->setDefault(true);
            button->setGeometry(ScreenGeometry::rect(decimal(value(attrs, p, buttonX)), decimal(value(attrs, p, buttonY)),
                                                     decimal(value(attrs, p, buttonWidth)), 20));
            button->setHelpText(value(attrs, p, buttonHelp));
            connect(button, &MyButton::buttonEntered, this, QOverload<MyButton *>::of(&TableLine::viewHelpOnLineEdit));
            connect(button, &MyButton::buttonLeaved, this, &TableLine::hideHelp);
            panelButtons[n - 1] = button;
            panelButtonPresent[n - 1] = true;
            continue;
        }
        if (tag.startsWith(QLatin1String("TEXT_")) && tag.size() == 6) {
            const int n = tag.at(5).digitValue();
            if (n < 1 || n > 7)
                continue;
            QWidget *container = panelParent();
            const qint64 x = decimal(value(attrs, p, fieldX));
            const qint64 y = decimal(value(attrs, p, fieldY));
            const qint64 width = decimal(value(attrs, p, fieldWidth));
            const QString style = value(attrs, p, fieldStyle);
            auto *label = new QLabel(value(attrs, p, fieldLabel), container);
            label->setGeometry(ScreenGeometry::rect(x + 2, y - 22, width, 20));
            label->show();
            if (n == 6) {
                auto *list = new MyTableWidget(container);
                list->setGeometry(ScreenGeometry::rect(x, y, width, 110));
                list->horizontalHeader()->hide();
                list->verticalHeader()->hide();
                list->setEditTriggers(QAbstractItemView::NoEditTriggers);
                list->setEnabled(false);
                list->show();
                foundList = list;
                panelTextPresent[PanelText6] = true;
                continue;
            }
            if (n == 7) {
                auto *text = new QTextEdit(container);
                text->setGeometry(ScreenGeometry::rect(x, y, width, 50));
                text->setReadOnly(true);
                text->setFrameStyle(QFrame::NoFrame);
                text->setContextMenuPolicy(Qt::NoContextMenu);
                setStyle(text, style);
                text->show();
                panelTextEdit = text;
                panelTextPresent[PanelText7] = true;
                continue;
            }
            auto *edit = new QLineEdit(container);
            edit->setGeometry(ScreenGeometry::rect(x, y, width, 20));
            edit->setReadOnly(n == 1 || n == 2 || n == 4);
            if (n == 1 || n == 2)
                edit->setFocusPolicy(Qt::NoFocus);
            edit->setContextMenuPolicy(Qt::NoContextMenu);
            setStyle(edit, style);
            edit->show();
            panelEdits[n - 1] = edit;
            static const int flags[5] = {PanelText1, PanelText2, PanelText3, -1, PanelText5};
            if (flags[n - 1] >= 0)
                panelTextPresent[flags[n - 1]] = true;
        }
    }

    void (TableLine::*const slotsOfButtons[6])() = {&TableLine::checkButton_1, &TableLine::checkButton_2,
                                                     &TableLine::checkButton_3, nullptr,
                                                     &TableLine::checkButton_5, &TableLine::checkButton_6};
    for (int i = 0; i < 6; ++i)
        if (panelButtons[i] && slotsOfButtons[i])
            connect(panelButtons[i].data(), &QPushButton::clicked, this, slotsOfButtons[i]);
}

// checked: the index of the button that ends up checked (BUTTON_6 is not checkable and stays
// unchecked); every other built mode button and BUTTON_6 are unchecked.
void TableLine::checkModeButtons(int checked)
{
    for (int i : {0, 1, 2, 4, 5})
        if (panelButtons[i])
            panelButtons[i]->setChecked(i == checked);
}

void TableLine::checkButton_1() { checkModeButtons(0); }
void TableLine::checkButton_2() { checkModeButtons(1); }
void TableLine::checkButton_3() { checkModeButtons(2); }
void TableLine::checkButton_5() { checkModeButtons(4); }
void TableLine::checkButton_6() { checkModeButtons(5); }

void TableLine::setTMKeySerialNumber(QString serialNumber)
{
    QLineEdit *field = panelEdits[0];
    if (!panelTextPresent[PanelText1] || !field)
        return;
    field->setText(serialNumber);
    setBaseColour(field, serialNumber);
    emit sendActualCodeTM(serialNumber);
}

void TableLine::setTMKeyLongSerialNumber(QString longSerial)
{
    QLineEdit *field = panelEdits[1];
    if (!panelTextPresent[PanelText2] || !field)
        return;
    field->setText(longSerial);
    setBaseColour(field, longSerial);
}

void TableLine::getActualCodeTM()
{
    QLineEdit *field = panelEdits[0];
    if (panelTextPresent[PanelText1] && field)
        emit sendActualCodeTM(field->text());
}

// ---- header ---------------------------------------------------------------------------------------------

void TableLine::readTableDim()
{
    if (!definition)
        return;
    static const Slot size("TABLEDIM", "SIZE"), first("TABLEDIM", "INDEX_MIN"), last("TABLEDIM", "INDEX_MAX");
    const TableSectionTags &tags = definition->sectionTags(0, 1);
    const TableSectionSlots &attrs = definition->sectionAttributes(0, 1);
    for (int p = 0; p < Columns; ++p) {
        if (tags[p] != QLatin1String("TABLEDIM"))
            continue;
        tableSize = decimal(value(attrs, p, size));
        indexMin = decimal(value(attrs, p, first));
        indexMax = decimal(value(attrs, p, last));
    }
}

void TableLine::setHeader(QTableWidget *table)
{
    if (!definition)
        return;
    static const Slot width("TEXTH", "WIDTH"), pos("TEXTH", "POS"), ftcol("TEXTH", "FTCOL"), txt("TEXTH", "TXT");
    const TableSectionTags &tags = definition->sectionTags(tableIndex, sectionIndex);
    const TableSectionSlots &attrs = definition->sectionAttributes(tableIndex, sectionIndex);
    for (int p = 0; p < Columns; ++p) {
        if (tags[p] != QLatin1String("TEXTH"))
            continue;
        const int n = headerColumnCount;
        if (n >= Columns)
            break;
        widths[n] = decimal(value(attrs, p, width));
        ++headerColumnCount;
        // A grid without that column would not take the item.
        if (!table || n >= table->columnCount())
            continue;
        auto *item = new QTableWidgetItem(1010);
        item->setText(value(attrs, p, txt));
        item->setForeground(QBrush(colour(value(attrs, p, ftcol))));
        applyAlignment(item, value(attrs, p, pos));
        table->setHorizontalHeaderItem(n, item);
        headerItems[n] = item;
    }
}

QVector<int> TableLine::columnWidths() const
{
    return QVector<int>(widths.begin(), widths.end());
}

// ---- row template ----------------------------------------------------------------------------------------

void TableLine::readLineDefinition()
{
    if (!definition)
        return;
    static const Slot uid("EDIT", "UID"), tabAddr("EDIT", "TABADDR"), fns("EDIT", "FLAT_NR_START"),
        vtype("EDIT", "VTYPE"), comboAddr("CBEDIT", "TABADDR"), comments("TABLEDIM", "COMMENTS");
    static const Slot limits[3] = {{"TABSECTIONS", "SECTION_1"}, {"TABSECTIONS", "SECTION_2"}, {"TABSECTIONS", "SECTION_3"}};
    static const Slot colours[3] = {{"TABSECTIONS", "COLOR_1"}, {"TABSECTIONS", "COLOR_2"}, {"TABSECTIONS", "COLOR_3"}};
    static const Slot texts[3] = {{"TABSECTIONS", "TEXT_1"}, {"TABSECTIONS", "TEXT_2"}, {"TABSECTIONS", "TEXT_3"}};
    static const QStringList addressed = {QStringLiteral("CIPHER"), QStringLiteral("TMCODE"), QStringLiteral("TMFLAT"),
                                          QStringLiteral("DBNAME"), QStringLiteral("DBFLAT")};

    m_columnKinds.clear();
    m_bitAddresses.clear();
    firstComboColumn = NoComboColumn;
    const TableSectionTags &tags = definition->sectionTags(tableIndex, sectionIndex);
    const TableSectionSlots &attrs = definition->sectionAttributes(tableIndex, sectionIndex);
    for (int p = 0; p < Columns; ++p) {
        const QString &tag = tags[p];
        if (tag == QLatin1String("TEXT_INDEX") || tag == QLatin1String("TEXT_TABLE")) {
            m_columnKinds << (tag == QLatin1String("TEXT_INDEX") ? QStringLiteral("TI") : QStringLiteral("TT"));
            m_bitAddresses << QStringLiteral("NO");
        } else if (tag == QLatin1String("EDIT")) {
            const QString id = value(attrs, p, uid);
            const int kind = addressed.indexOf(id) + 1; // 1-5, 0 for any other UID
            if (kind > 0) {
                addressTexts[kind] = value(attrs, p, tabAddr);
                flatNumberStart = decimal(value(attrs, p, fns));
                if (id == QLatin1String("DBNAME"))
                    dbLayoutText = value(attrs, p, vtype);
                m_columnKinds << id;
                m_bitAddresses << (id == QLatin1String("DBFLAT") ? QStringLiteral(" ") : QStringLiteral("NO"));
            } else if (id == QLatin1String("DBBNUMBER")) {
                m_columnKinds << id;
                m_bitAddresses << QStringLiteral("NO");
            }
        } else if (tag == QLatin1String("CBEDIT")) {
            m_bitAddresses << value(attrs, p, comboAddr);
            if (firstComboColumn == NoComboColumn)
                firstComboColumn = m_bitAddresses.size() - 1;
            m_columnKinds << QStringLiteral("CB");
        } else if (tag == QLatin1String("TABSECTIONS")) {
            for (int i = 0; i < 3; ++i) {
                sectionLimits[i] = decimal(value(attrs, p, limits[i]));
                sectionColors[i] = value(attrs, p, colours[i]);
                sectionTexts[i] = value(attrs, p, texts[i]);
            }
            hasSections = true;
        } else if (tag == QLatin1String("TABLEDIM")) {
            const QStringList items = splitList(value(attrs, p, comments));
            menuTexts.fill(QString());
            for (int i = 0; i < 9; ++i)
                if (i < items.size() && (i >= 4 || items.size() >= 4))
                    menuTexts[i] = items.at(i);
            if (items.size() <= 8)
                menuTexts[8] = QStringLiteral("NoMenu");
        }
    }
}

QList<int> TableLine::dbRecordLayout() const
{
    QList<int> numbers;
    int number = 0;
    for (const QChar c : dbLayoutText) {
        if (c == QLatin1Char('/')) {
            numbers << number;
            number = 0;
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9') && number <= (INT_MAX - 9) / 10) {
            number = number * 10 + c.digitValue();
        }
    }
    return numbers;
}

// ---- addresses --------------------------------------------------------------------------------------------

int TableLine::parseAddress(const QString &text)
{
    bool ok = false;
    const int value = text.startsWith(QLatin1String("0x")) ? text.toInt(&ok, 16) : text.toInt(&ok, 10);
    return ok ? value : 0;
}

QString TableLine::bitRange(const QString &addressText)
{
    const int colon = addressText.indexOf(QLatin1Char(':'));
    return colon < 0 ? addressText : addressText.mid(colon);
}

QStringList TableLine::splitList(const QString &text)
{
    QStringList items = text.split(QLatin1Char('/'));
    items.removeLast(); // the text after the last "/", or all of a text without one
    return items;
}

int TableLine::getAddress(int kind) const
{
    if (kind == 0) {
        const QString addressText = m_bitAddresses.value(firstComboColumn);
        const int colon = addressText.indexOf(QLatin1Char(':'));
        return parseAddress(colon < 0 ? addressText : addressText.left(colon));
    }
    return kind >= 1 && kind <= 6 ? parseAddress(addressTexts[kind]) : 0;
}

void TableLine::setAddress(int address, int kind)
{
    if (kind >= 1 && kind <= 6)
        addressTexts[kind] = QString::number(address);
}

void TableLine::clearBitAddresses()
{
    m_bitAddresses.clear();
}

void TableLine::setBitAddresses(const QStringList &list)
{
    m_bitAddresses = list;
}

void TableLine::setBitAddress(int word, const QString &range, int column)
{
    const QString text = QString::number(word) + range;
    if (column >= 0 && column < m_bitAddresses.size())
        m_bitAddresses[column] = text;
    else if (column >= m_bitAddresses.size())
        m_bitAddresses << text;
}

void TableLine::appendBitAddress(int word, const QString &range)
{
    m_bitAddresses << QString::number(word) + range;
}

// ---- cells ---------------------------------------------------------------------------------------------------

void TableLine::insertLine(int row, QTableWidget *table)
{
    createLineItems();
    if (!table || m_inserted)
        return;
    m_inserted = true;
    // A grid takes an item outside its rows and columns only in name (it would even put one past
    // the last column into the next row): such cells stay the line's.
    if (row < 0 || row >= table->rowCount())
        return;
    for (int c = 0; c < m_cells.size() && c < table->columnCount(); ++c)
        if (m_cells[c])
            table->setItem(row, c, m_cells[c].data());
}

void TableLine::createLineItems()
{
    if (m_cellsMade || !definition)
        return;
    m_cellsMade = true;

    struct Common {
        Slot pos, ftcol, help;
    };
    static const Common index{{"TEXT_INDEX", "POS"}, {"TEXT_INDEX", "FTCOL"}, {"TEXT_INDEX", "HELPTXT"}};
    static const Common computed{{"TEXT_TABLE", "POS"}, {"TEXT_TABLE", "FTCOL"}, {"TEXT_TABLE", "HELPTXT"}};
    static const Common edit{{"EDIT", "POS"}, {"EDIT", "FTCOL"}, {"EDIT", "HELPTXT"}};
    static const Common combo{{"CBEDIT", "POS"}, {"CBEDIT", "FTCOL"}, {"CBEDIT", "HELPTXT"}};
    static const Slot computedValue("TEXT_TABLE", "VALUE");
    static const Slot uid("EDIT", "UID"), ftcolDif("EDIT", "FTCOL_DIF"), vtype("EDIT", "VTYPE"), vmin("EDIT", "VMIN"),
        vmax("EDIT", "VMAX"), format("EDIT", "FORMAT");
    static const Slot comboDif("CBEDIT", "FTCOL_DIF"), comboFormat("CBEDIT", "FORMAT"), valueList("CBEDIT", "VALUE_LIST");

    const TableSectionTags &tags = definition->sectionTags(tableIndex, sectionIndex);
    const TableSectionSlots &attrs = definition->sectionAttributes(tableIndex, sectionIndex);
    const unsigned position = unsigned(qint64(indexMin) + rowNumber - 1); // the row's index in the image tables
    const QString codeAddress = addressTexts[2];
    const QString flatAddress = addressTexts[3];
    bool lineConnected = false;

    for (int p = 0; p < Columns && m_cells.size() < Columns; ++p) {
        const QString &tag = tags[p];
        const Common *common = tag == QLatin1String("TEXT_INDEX")   ? &index
                               : tag == QLatin1String("TEXT_TABLE") ? &computed
                               : tag == QLatin1String("EDIT")       ? &edit
                               : tag == QLatin1String("CBEDIT")     ? &combo
                                                                    : nullptr;
        if (!common)
            continue;
        const int c = m_cells.size();
        const QColor textColour = colour(value(attrs, p, common->ftcol));
        MyTableWidgetItem *cell = nullptr;
        QStringList items;
        QString changedName = QStringLiteral(" ");
        int comboIndex = 0;

        if (common == &index) {
            cell = new MyTableWidgetItem(CellRowIndex);
            cell->setTextColor(textColour);
            cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
        } else if (common == &computed) {
            cell = new MyTableWidgetItem(CellComputedFlat);
            m_hasTextTableCell = true;
            if (value(attrs, p, computedValue) != QLatin1String("INDEX"))
                cell->setDisplayText(QString::number(physicalToLogicalFlat(position)));
            cell->setTextColor(textColour);
            cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
        } else if (common == &edit) {
            const QString id = value(attrs, p, uid);
            static const QHash<QString, int> types = {
                {QStringLiteral("CIPHER"), CellLockCode}, {QStringLiteral("TMCODE"), CellKeyCode},
                {QStringLiteral("TMFLAT"), CellKeyFlat}, {QStringLiteral("DBNAME"), CellName},
                {QStringLiteral("DBFLAT"), CellNameFlat}, {QStringLiteral("DBBNUMBER"), CellBlockNumber}};
            const int type = types.value(id, 0);
            if (type == 0)
                continue; // no column of the template: no cell, so that cells and columns stay aligned
            cell = new MyTableWidgetItem(type);
            const QString changed = value(attrs, p, ftcolDif);
            const QString fmt = value(attrs, p, format);
            cell->setFormat(fmt);
            cell->setTextColor(textColour);
            cell->setChangedColor(colour(changed));
            cell->setChangedColorName(changed);
            switch (type) {
            case CellLockCode:
                cell->setRange(value(attrs, p, vmin), value(attrs, p, vmax));
                chipColors[ChipCipher] = changed;
                cell->setFormattedValue(10, image ? QString::number(image->readTypedValue(QStringLiteral("U16"), addressTexts[1]))
                                                  : QString());
                cell->setAcceptedText(cell->text());
                break;
            case CellKeyCode: {
                cell->setRange(value(attrs, p, vmin), value(attrs, p, vmax));
                chipColors[ChipTMCode] = changed;
                QString code = image ? image->readHexWord(codeAddress) : QString();
                if (columnCount == 3 && image && image->readByte(flatAddress) == 255)
                    code = EmptyCell;
                cell->setFormattedValue(16, code);
                cell->setAcceptedText(cell->text());
                break;
            }
            case CellKeyFlat: {
                cell->setRange(value(attrs, p, vmin), value(attrs, p, vmax));
                chipColors[ChipTMFlat] = changed;
                // The flat is one byte, whatever VTYPE says. The logical number is shown as it is:
                // clamped to the column's range it would read 0, and the page's write-back of the
                // row (code and flat together) would then store flat 0 with the next code edit.
                const int byte = image ? image->readByte(flatAddress) : 0;
                if (byte == 0 || byte == 255)
                    cell->setFormattedValue(10, EmptyCell);
                else
                    cell->initValue(10, QString::number(physicalToLogicalFlat(unsigned(byte))));
                cell->setAcceptedText(cell->text());
                break;
            }
            case CellName:
                cell->setMaxLength(decimal(fmt));
                cell->setDisplayText(image ? image->readText(fmt, addressTexts[4]) : QString());
                cell->setAcceptedText(cell->text());
                break;
            default: { // CellNameFlat, CellBlockNumber: the accepted text stays empty
                const QString valueType = value(attrs, p, vtype);
                cell->setRange(value(attrs, p, vmin), value(attrs, p, vmax));
                cell->setValueType(valueType);
                const QString &address = addressTexts[type == CellNameFlat ? 5 : 6];
                if (image && valueType == QLatin1String("U8"))
                    cell->initValue(10, QString::number(image->readByte(address)));
                else if (image && valueType == QLatin1String("U16"))
                    cell->initValue(10, QString::number(image->readWord(address)));
                break;
            }
            }
            changedName = changed;
        } else { // CBEDIT
            cell = new MyTableWidgetItem(CellCombo, c);
            cell->setComboColumn(c);
            cell->setFormat(value(attrs, p, comboFormat));
            cell->setTextColor(textColour);
            changedName = value(attrs, p, comboDif);
            cell->setChangedColor(colour(changedName));
            cell->setChangedColorName(changedName);
            items = splitList(value(attrs, p, valueList));
            cell->appendItems(items);
            cell->setCurrentIndex(image ? image->readBits(m_bitAddresses.value(c)) : -1);
            comboIndex = cell->currentIndex();
            if (comboIndex < 0) {
                cell->setDisplayText(errorMessage);
            } else {
                cell->setDisplayText(cell->itemText(comboIndex));
                cell->setAcceptedText(cell->text());
            }
            cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
        }

        applyAlignment(cell, value(attrs, p, common->pos));
        helpTexts[c] = value(attrs, p, common->help);
        m_cells << cell;
        m_comboItemLists << items;
        m_changedColorNames << changedName;
        m_comboIndexes << comboIndex;
        ++cellCount;
        ++helpTextCount;

        // Connected only now that the value is set: building a row writes and marks nothing.
        if (cell->cellType() == CellCombo) {
            connect(cell, &MyTableWidgetItem::currentIndexChanged, this, &TableLine::emitCombIndex);
            if (!lineConnected) {
                connect(this, &TableLine::indexComb, this, &TableLine::updateCombText);
                connect(this, &TableLine::binData, this, &TableLine::updateBinData);
                lineConnected = true;
            }
            connect(cell, &MyTableWidgetItem::comboIndex, this, &TableLine::changeItemFonColor);
            connect(cell, &MyTableWidgetItem::comboIndex, this, &TableLine::sendAddress);
        }
    }
}

MyTableWidgetItem *TableLine::cellAt(int column) const
{
    return column >= 0 && column < m_cells.size() ? m_cells[column].data() : nullptr;
}

QList<MyTableWidgetItem *> TableLine::cells() const
{
    QList<MyTableWidgetItem *> list;
    list.reserve(m_cells.size());
    for (const QPointer<MyTableWidgetItem> &cell : m_cells)
        list << cell.data();
    return list;
}

QTableWidgetItem *TableLine::cellOfType(int cellType) const
{
    for (int c = m_cells.size() - 1; c >= 0; --c)
        if (m_cells[c] && m_cells[c]->cellType() == cellType)
            return m_cells[c].data();
    return nullptr;
}

MyTableWidgetItem *TableLine::tmCodeCell() const
{
    return static_cast<MyTableWidgetItem *>(cellOfType(CellKeyCode));
}

MyTableWidgetItem *TableLine::tmFlatCell() const
{
    return static_cast<MyTableWidgetItem *>(cellOfType(CellKeyFlat));
}

MyTableWidgetItem *TableLine::indexCell() const
{
    return static_cast<MyTableWidgetItem *>(cellOfType(CellRowIndex));
}

QTableWidgetItem *TableLine::textTableCell() const
{
    for (const QPointer<MyTableWidgetItem> &cell : m_cells)
        if (cell && cell->cellType() == CellComputedFlat)
            return cell.data();
    return nullptr;
}

// ---- key lookup ------------------------------------------------------------------------------------------------

QString TableLine::tmCodeText() const
{
    const MyTableWidgetItem *cell = tmCodeCell();
    return cell ? cell->text() : QString();
}

QString TableLine::tmFlatText() const
{
    const MyTableWidgetItem *cell = tmFlatCell();
    return cell ? cell->text() : QString();
}

bool TableLine::hasTMCode(const QString &code) const
{
    const MyTableWidgetItem *cell = tmCodeCell();
    if (!cell)
        return false;
    bool codeOk = false, cellOk = false;
    const int wanted = NumberText::parse(code, cell->base(), &codeOk);
    const int held = NumberText::parse(cell->text(), cell->base(), &cellOk);
    return codeOk && cellOk && wanted == held;
}

bool TableLine::isCellEmpty(int cellType) const
{
    const QTableWidgetItem *cell = cellOfType(cellType);
    if (!cell)
        return false;
    const QString empty = cellType == CellKeyCode ? EmptyCell : cellType == CellKeyFlat ? QStringLiteral("0") : QString();
    return cell->text().compare(empty, Qt::CaseInsensitive) == 0;
}

bool TableLine::hasFlat(const QString &flat) const
{
    const MyTableWidgetItem *cell = tmFlatCell();
    return cell && cell->text().compare(flat, Qt::CaseInsensitive) == 0;
}

void TableLine::addTMCode(QString code, bool OWrite)
{
    for (const QPointer<MyTableWidgetItem> &cell : qAsConst(m_cells))
        if (cell && cell->cellType() == CellKeyCode && (OWrite || cell->text().compare(EmptyCell, Qt::CaseInsensitive) == 0))
            cell->setDisplayText(code);
}

void TableLine::addFlat(QString flat)
{
    if (MyTableWidgetItem *cell = tmFlatCell())
        cell->setDisplayText(flat);
}

// ---- flat numbering ----------------------------------------------------------------------------------------------

void TableLine::setFlatParamAddresses(const QString &flatUpStairs, const QString &shiftRange, const QString &flatMin,
                                      const QString &flatMax, const QStringList &specialAddresses)
{
    m_flatParamAddresses = {flatUpStairs, shiftRange, flatMin, flatMax};
    m_specialFlatAddresses = specialAddresses;
}

unsigned TableLine::parameterWord(const QString &address, unsigned missing) const
{
    if (address.isEmpty())
        return missing; // the model has no such parameter: not the word at address 0
    return image ? unsigned(image->readTypedValue(QStringLiteral("U16"), address)) : 0;
}

TableLine::FlatParameters TableLine::readFlatParameters() const
{
    FlatParameters p;
    p.upStairs = parameterWord(m_flatParamAddresses[0], 0);
    p.shift = parameterWord(m_flatParamAddresses[1], 0);
    p.minimum = parameterWord(m_flatParamAddresses[2], 0);
    p.maximum = parameterWord(m_flatParamAddresses[3], 0xFFFF);
    return p;
}

// Special flat i stands at physical position FNS + i, which must be a real position: FNS > 0
// (0 means the table has no special positions) and FNS + i at most 254 (255 marks an empty key slot).
bool TableLine::specialFlat(int i, unsigned *word) const
{
    if (i < 0 || i >= m_specialFlatAddresses.size() || flatNumberStart <= 0 || qint64(flatNumberStart) + i > 254)
        return false;
    const QString &address = m_specialFlatAddresses.at(i);
    if (address.isEmpty())
        return false;
    *word = image ? unsigned(image->readTypedValue(QStringLiteral("U16"), address)) : 0;
    return true;
}

// The first special flat whose number is logical, -1 when there is none.
int TableLine::specialFlatOf(unsigned logical) const
{
    for (int i = 0; i < m_specialFlatAddresses.size(); ++i) {
        unsigned word = 0;
        if (specialFlat(i, &word) && word == logical)
            return i;
    }
    return -1;
}

int TableLine::physicalToLogicalFlat(unsigned physical) const
{
    const FlatParameters p = readFlatParameters();
    if (physical == 0)
        return -2;
    if (physical <= unsigned(flatNumberStart) - 1u) { // with FNS 0 every position qualifies
        unsigned number = physical;
        if (p.upStairs != 0)
            number = (number / p.upStairs) * 100 + number % p.upStairs;
        return int(number + p.shift);
    }
    unsigned word = 0;
    return specialFlat(int(physical - unsigned(flatNumberStart)), &word) ? int(word) : -1;
}

int TableLine::logicalToPhysicalFlat(unsigned logical) const
{
    const FlatParameters p = readFlatParameters();
    const int special = specialFlatOf(logical);
    if (special >= 0)
        return (flatNumberStart + special) & 0xFF;
    const unsigned v = logical - p.shift;
    if (p.upStairs != 0)
        return int(((v / 100) * p.upStairs + v % 100) & 0xFF);
    return (v >> 8) == 0 && v >= p.minimum && v <= p.maximum ? int(v) : 0;
}

// A serviced number has a physical number of 1 to 254, below FNS when the table has special
// positions; the image words FlatMin and FlatMax alone may let 0 or 255 through.
bool TableLine::isFlatServiced(unsigned logical) const
{
    const FlatParameters p = readFlatParameters();
    if (specialFlatOf(logical) >= 0)
        return true;
    const unsigned v = logical - p.shift;
    const unsigned top = flatNumberStart > 0 ? qMin(254u, unsigned(flatNumberStart) - 1u) : 254u;
    if (p.upStairs != 0) {
        const quint64 physical = quint64(v / 100) * p.upStairs + v % 100;
        return physical >= 1 && physical <= top && physicalToLogicalFlat(unsigned(physical)) == int(logical);
    }
    return (v >> 8) == 0 && v >= p.minimum && v <= p.maximum && v >= 1 && v <= top;
}

// ---- combo cells ----------------------------------------------------------------------------------------------------

void TableLine::changeItemFonColor(int index)
{
    if (MyTableWidgetItem *cell = cellAt(index))
        cell->setForegroundBrush(QBrush(colour(m_changedColorNames.value(index))));
    dataModified = true;
}

// An index of -1 (a value without an item, as a paste or import beyond the items gives) is not
// written: it would set every bit of the field.
void TableLine::sendAddress(int comboNumber)
{
    MyTableWidgetItem *cell = cellAt(comboNumber);
    if (!cell || cell->currentIndex() < 0)
        return;
    emit binData(m_bitAddresses.value(cell->comboColumn()), cell->currentIndex());
}

void TableLine::sendValueAddress(int combIndex, int valueIndex)
{
    if (valueIndex >= 0)
        emit binData(m_bitAddresses.value(combIndex), valueIndex);
}

void TableLine::updateBinData(QString EEpromAddress, int value)
{
    if (image && value >= 0)
        image->writeBits(EEpromAddress, value);
}

void TableLine::emitCombIndex()
{
    for (int c = 0; c < m_cells.size(); ++c) {
        MyTableWidgetItem *cell = m_cells[c].data();
        if (!cell || cell->cellType() != CellCombo || cell->currentIndex() == m_comboIndexes.value(c))
            continue;
        const int index = cell->currentIndex();
        m_comboIndexes[c] = index;
        emit indexComb(c, index);
    }
}

void TableLine::updateCombText(int combIndex, int valueIndex)
{
    MyTableWidgetItem *cell = cellAt(combIndex);
    if (!cell)
        return;
    cell->setDisplayText(valueIndex >= 0 && valueIndex < cell->count() ? cell->itemText(valueIndex) : errorMessage);
}

void TableLine::changeChipFontColor(QTableWidgetItem *item)
{
    if (!item || item->type() < CellLockCode || item->type() > CellKeyFlat)
        return;
    item->setForeground(QBrush(colour(chipColors[item->type() - CellLockCode])));
}
