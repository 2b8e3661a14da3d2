#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

class MyButton;
class MyTableWidget;
class MyTableWidgetItem;
class OperationBin;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTableWidget;
class QTableWidgetItem;
class QTextEdit;
class QWidget;
class TableDefinition;

// One line of a table page, in one of three roles the page chooses by the operations it calls:
//  - the side panel beside a key table (section 2 of the page's table): createWidgets builds its
//    group boxes, fields, mode buttons, found list and legend, and keeps the sound paths;
//  - the header (section 0): readTableDim reads the table's size from the row template, setHeader
//    makes the column header items and columnWidths gives their widths;
//  - one data line per table row (section 1): the first reads the row template
//    (readLineDefinition), the page hands every line its row's image addresses, and insertLine
//    makes the row's cells from the image and puts them into the grid.
// A line is a Qt object, not a widget. Nothing it makes belongs to it: the panel widgets belong to
// the page's container, header items and cells to the grid. A line deletes only the cells that no
// grid took. The tree line (and the web line after it) derives from this class and uses only the
// Qt object, treeFlag and the collaborators image, helpLineEdit and parentWidget with their setters.
//
// Address kinds (getAddress, setAddress): 0 the first combo column's option word, 1 CIPHER (lock
// code word), 2 TMCODE (key code word), 3 TMFLAT (key flat byte), 4 DBNAME (name text),
// 5 DBFLAT, 6 DBBNUMBER. Column kinds (columnKinds): "TI", "TT", "CB" or the EDIT column's UID.
class TableLine : public QObject
{
    Q_OBJECT

public:
    static constexpr int Columns = 15;          // positions of a definition section
    static constexpr int NoComboColumn = 1000;  // firstComboColumn of a row without combo columns

    // Index of a field in panelTextPresent (TEXT_4 has no flag).
    enum PanelTextFlag { PanelText1, PanelText2, PanelText3, PanelText5, PanelText6, PanelText7 };
    // Index of a colour in chipColors.
    enum ChipColor { ChipCipher, ChipTMCode, ChipTMFlat };

    TableLine();
    ~TableLine() override;

    // ---- configuration (every role) ------------------------------------------------------------
    void setParentWidget(QWidget *parent);
    // table 0; section 0 header line, 1 data lines, 2 side panel.
    void setDefinition(int table, int section, TableDefinition *definition, int pageIndex);
    void setImage(OperationBin *image);
    void setHelpLineEdit(QLineEdit *helpLine);
    void setTableWidget(MyTableWidget *table);
    // The language's error text: a combo cell whose value has no item shows it.
    void setErrorMessage(const QString &text);

    // ---- side panel ----------------------------------------------------------------------------
    void createWidgets();
    QString soundNewKey() const { return soundFiles[0]; }
    QString soundKeyAdded() const { return soundFiles[1]; }
    QString soundKeyNotAdded() const { return soundFiles[2]; }
    QString soundCheckKeyFound() const { return soundFiles[3]; }
    QString soundCheckKeyNotFound() const { return soundFiles[4]; }

    // ---- header ----------------------------------------------------------------------------------
    // SIZE, INDEX_MIN and INDEX_MAX of the row template's TABLEDIM (the last one), whatever
    // section the line reads; a text that is not a decimal number reads 0.
    void readTableDim();
    // One header item (type CellHeader) per TEXTH of the line's section, installed in table; a
    // column the table does not have gets no item, but its width is kept.
    void setHeader(QTableWidget *table);
    // WIDTH of each of the 15 columns, 0 for a column without TEXTH.
    QVector<int> columnWidths() const;

    // ---- row template (first data line) ----------------------------------------------------------
    void readLineDefinition();
    QStringList columnKinds() const { return m_columnKinds; }
    QStringList bitAddresses() const { return m_bitAddresses; }
    // The numbers of the name-table layout text (DBNAME's VTYPE, "32/28/2/"): each "/" ends one,
    // made of the digits since the previous "/" (no digit: 0); text after the last "/" is dropped.
    QList<int> dbRecordLayout() const;

    // ---- row addresses (every data line) ---------------------------------------------------------
    // Kind 0: the word of the first combo column's bit address; 1-6: the stored address texts;
    // any other kind 0. Texts are read by parseAddress.
    int getAddress(int kind) const;
    // Stores the decimal text of address for kinds 1-6; other kinds are ignored.
    void setAddress(int address, int kind);
    void clearBitAddresses();
    void setBitAddresses(const QStringList &list);
    // decimal(word) + range replaces entry column, or is appended when column is past the end.
    void setBitAddress(int word, const QString &range, int column);
    void appendBitAddress(int word, const QString &range);
    void setRowNumber(int row) { rowNumber = row; }
    void setIndexMin(int first) { indexMin = first; }
    void setColumnCount(int count) { columnCount = count; }
    void setFlatNumberStart(int start) { flatNumberStart = start; }
    // Address texts of FlatUpStairs, ShiftRange, FlatMin, FlatMax and of the special flats' words.
    // An empty text stands for a parameter the model does not have: FlatUpStairs, ShiftRange and
    // FlatMin read 0, FlatMax 0xFFFF.
    void setFlatParamAddresses(const QString &flatUpStairs, const QString &shiftRange, const QString &flatMin,
                               const QString &flatMax, const QStringList &specialAddresses);

    // Static helpers.
    // Base 16 when the text starts with "0x" exactly, else base 10; not a number: 0.
    static int parseAddress(const QString &text);
    // The part of a bit address from its first ":" on; the whole text without ":".
    static QString bitRange(const QString &addressText);
    // Every "/" ends one item; text after the last "/" is dropped.
    static QStringList splitList(const QString &text);

    // ---- cells -----------------------------------------------------------------------------------
    // Makes the row's cells (createLineItems) and puts cell c at (row, c) of table; once.
    void insertLine(int row, QTableWidget *table);
    // Makes the row's cells from the row template, the image and the row's addresses; once.
    void createLineItems();
    // The row's cells in column order (null where the grid has deleted a cell).
    QList<MyTableWidgetItem *> cells() const;
    // Per cell, the items of a combo cell and an empty list for every other cell.
    QList<QStringList> comboItemLists() const { return m_comboItemLists; }
    QStringList changedColorNames() const { return m_changedColorNames; }
    QList<int> comboIndexes() const { return m_comboIndexes; }
    // The last cell of that type, in column order; null when the row has none.
    QTableWidgetItem *cellOfType(int cellType) const;
    MyTableWidgetItem *tmCodeCell() const;
    MyTableWidgetItem *tmFlatCell() const;
    MyTableWidgetItem *indexCell() const;
    bool hasTextTableCell() const { return m_hasTextTableCell; }
    // The first computed flat-number cell; null when the row has none.
    QTableWidgetItem *textTableCell() const;

    // ---- key lookup (compares cell texts; reads and writes no image) -----------------------------
    // The key-code and flat cells' texts; "" on a row without that cell.
    QString tmCodeText() const;
    QString tmFlatText() const;
    // True when code and the key-code cell's text are both numbers in the cell's base and equal:
    // an empty cell ("-----") holds no code.
    bool hasTMCode(const QString &code) const;
    // The last cell of that type shows "-----" (key code), "0" (key flat) or "" (any other type),
    // letter case ignored; false when the row has no such cell.
    bool isCellEmpty(int cellType) const;
    // The last flat cell's text equals flat, letter case ignored.
    bool hasFlat(const QString &flat) const;

    // ---- flat numbering --------------------------------------------------------------------------
    // The logical number of a physical one: -2 for 0, -1 for a special position without a special
    // flat. The parameters are read from the image on every call.
    int physicalToLogicalFlat(unsigned physical) const;
    // The physical number (0-255) of a logical number that isFlatServiced accepts.
    int logicalToPhysicalFlat(unsigned logical) const;
    bool isFlatServiced(unsigned logical) const;

    // ---- members the page reads directly ----------------------------------------------------------
    QPointer<MyTableWidget> tableWidget;
    QPointer<QLineEdit> helpLineEdit;
    QPointer<QWidget> parentWidget;
    std::array<QTableWidgetItem *, Columns> headerItems{};
    // COMMENTS of TABLEDIM by position: 0 Copy, 1 Paste, 2 Import, 3 Save, 4 column-select key,
    // 5 unserviced-flat warning, 6 Delete, 7 Find duplicates, 8 Find Flat ("NoMenu" when absent).
    std::array<QString, 9> menuTexts;
    QPointer<QGroupBox> menuBox;
    // The line edits of TEXT_1 to TEXT_5 (entry n - 1) and the text edit of TEXT_7.
    std::array<QPointer<QLineEdit>, 5> panelEdits;
    QPointer<QTextEdit> panelTextEdit;
    QPointer<MyTableWidget> foundList;
    // NEW_KEY, KEY_ADDED, KEY_NOT_ADDED, CHECK_KEY_FOUND, CHECK_KEY_NOT_FOUND.
    std::array<QString, 5> soundFiles;
    // BUTTON_1 to BUTTON_6 (entry n - 1).
    std::array<QPointer<MyButton>, 6> panelButtons;
    // TEXT_1, TEXT_2, TEXT_3, TEXT_5, TEXT_6, TEXT_7 were built (PanelTextFlag).
    std::array<bool, 6> panelTextPresent{};
    std::array<bool, 6> panelButtonPresent{};
    std::array<QString, Columns> helpTexts;
    int pageIndex = 0;
    int columnCount = 0;
    QString dbLayoutText;
    // Entry k holds the address text of address kind k (1-6); entry 0 is not used.
    std::array<QString, 7> addressTexts;
    int firstComboColumn = NoComboColumn;
    OperationBin *image = nullptr;
    QString errorMessage;
    // TABSECTIONS: row k takes colour 0 up to limit 0, colour 1 up to limit 1, else colour 2.
    std::array<int, 3> sectionLimits{};
    std::array<QString, 3> chipColors; // FTCOL_DIF of CIPHER, TMCODE, TMFLAT (ChipColor)
    std::array<QString, 3> sectionColors;
    std::array<QString, 3> sectionTexts;
    std::array<QPointer<QLabel>, 3> legendLabels;
    std::array<QPointer<QLineEdit>, 3> legendEdits;
    // Side panel: BOX_SECTIONS was built. First data line: the row template has TABSECTIONS.
    bool hasSections = false;
    int headerColumnCount = 0;
    int cellCount = 0;
    int helpTextCount = 0;
    int tableIndex = 0;
    int sectionIndex = 0;
    std::array<int, Columns> widths{};
    int tableSize = 0;
    int indexMin = 0;
    int indexMax = 0;
    int rowNumber = 0;
    int flatNumberStart = 0;
    TableDefinition *definition = nullptr;

    bool treeFlag = false; // kept by tree lines only: the line has a restore-defaults button

signals:
    void help(int index);
    void indexComb(int combIndex, int valueIndex);
    void widgetEnterPressed();
    void widgetEntered();
    void sendActualCodeTM(QString code);
    void binData(QString EEpromAddress, int value);

public slots:
    void emitHelpRequest();
    void viewHelp(int index);
    void viewHelpOnLineEdit();
    void viewHelpOnLineEdit(MyButton *button);
    // Every key-code cell showing "-----" (letter case ignored), or every one when OWrite is set,
    // takes code as its text.
    void addTMCode(QString code, bool OWrite);
    void addFlat(QString flat);
    void updateCombText(int combIndex, int valueIndex);
    void sendValueAddress(int combIndex, int valueIndex);
    void sendAddress(int comboNumber);
    void emitCombIndex();
    void hideHelp();
    // Keep the mode buttons exclusive: after a click at most one of BUTTON_1, 2, 3 and 5 is
    // checked, BUTTON_6 releases them all.
    void checkButton_1();
    void checkButton_2();
    void checkButton_3();
    void checkButton_5();
    void checkButton_6();
    void changeChipFontColor(QTableWidgetItem *item);
    void changeItemFonColor(int index);
    void setTMKeySerialNumber(QString serialNumber);
    void setTMKeyLongSerialNumber(QString longSerial);
    void getActualCodeTM();
    void updateBinData(QString EEpromAddress, int value);

private:
    struct FlatParameters {
        unsigned upStairs = 0, shift = 0, minimum = 0, maximum = 0xFFFF;
    };
    FlatParameters readFlatParameters() const;
    unsigned parameterWord(const QString &address, unsigned missing) const;
    // The special flat that physical position fns + i stands for, when that position is one.
    bool specialFlat(int i, unsigned *word) const;
    int specialFlatOf(unsigned logical) const;
    void checkModeButtons(int checked);
    MyTableWidgetItem *cellAt(int column) const;
    QPointer<QWidget> panelParent() const;

    QVector<QPointer<MyTableWidgetItem>> m_cells;
    QList<QStringList> m_comboItemLists;
    QStringList m_changedColorNames;
    QList<int> m_comboIndexes;
    QStringList m_columnKinds;
    QStringList m_bitAddresses;
    bool m_hasTextTableCell = false;
    bool m_cellsMade = false;
    bool m_inserted = false;
    std::array<QString, 4> m_flatParamAddresses; // FlatUpStairs, ShiftRange, FlatMin, FlatMax
    QStringList m_specialFlatAddresses;
};
