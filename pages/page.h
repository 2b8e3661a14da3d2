#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include "keyrepeatfilter.h"
#include "roadgate.h"

#include <memory>
#include <optional>
#include <vector>

class CustomButton;
class MyLineBoxEdit;
class MyTableWidget;
class MyTableWidgetItem;
class MyTreeView;
class OperationBin;
class PageWidget;
class QAbstractButton;
class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QModelIndex;
class QProgressDialog;
class QTableWidgetItem;
class QTabWidget;
class QWidget;
class RWTable;
class TableDefinition;
class TableLine;
class TableSelection;
class TreeLine;
class TreeModel;
class TreePageDefinitions;
class WebLine;
class WebListData;
class XmlDefinition;
namespace TableTextFile {
struct ReadResult;
}

// Why an import takes nothing from its file, in the interface language: the file's lines end in CR
// alone, its title line is cut by a line break, it has no rows, its first row has no field, its
// fields all go to columns that take no value. Given by name (texts.noRows = ...).
struct ImportNothingTexts {
    QString loneCr, brokenTitle, noRows, noFields, noColumn;

    // A member's text as the box shows it: the language's text, or a built-in English one where the
    // language table has none, so that the box says why whichever texts a language table holds.
    QString shown(QString ImportNothingTexts::*text) const;
};

// A tree line's editor with the image address text it shows, for linking editors across pages.
template <typename Editor>
struct EditorLink {
    QString address;
    Editor *editor = nullptr; // null when the line has no such editor
};
using OnOffButtonLinks = QVector<EditorLink<CustomButton>>;
using NumberEditorLinks = QVector<EditorLink<MyLineBoxEdit>>;

// One page of a model definition file: one tab of the main window's page tab widget and everything
// that tab shows. The main window creates the page on its tab widget, hands it its texts and
// objects, adds widget() as a tab and then builds the page once by its kind; the page never builds
// again.
//
// The page refers to the definition reader, the image, the tab widget, the help line and the main
// window, which it does not own. It owns everything it makes (lines, models, accessors and its
// PageWidget) and deletes it with itself, lines first and widgets after; deleting the PageWidget
// deletes the container at once, so the page's tab goes with the page.
//
// The builders and slots of each kind of page live in source files of their own (page_tree.cpp,
// page_web.cpp, ...); this file and page.cpp hold what every kind shares.
class Page : public QObject
{
    Q_OBJECT

public:
    Page(QTabWidget *tabParent, XmlDefinition *definition, OperationBin *image);
    ~Page() override;

    // Set-up by the main window. The help line, the main window and the build text must be set
    // before the page is built.
    void setHelpLineEdit(QLineEdit *helpLineEdit) { m_helpLineEdit = helpLineEdit; }
    void setErrorText(const QString &text) { m_errorText = text; }
    void setFileErrorText(const QString &text) { m_fileErrorText = text; }
    // The question an export asks before it replaces an existing file.
    void setOverwriteText(const QString &text) { m_overwriteText = text; }
    void setImportNothingTexts(const ImportNothingTexts &texts) { m_importNothingTexts = texts; }
    // The window that holds the tab widget: parent and place of the progress dialog.
    void setMainWindow(QWidget *mainWindow) { m_mainWindow = mainWindow; }
    void setCopyingText(const QString &text) { m_copyingText = text; }
    void setCreatingText(const QString &text) { m_creatingText = text; }
    void setPageRect(const QRect &rect) { m_pageRect = rect; }
    void setFirstTreePage(Page *page) { m_firstTreePage = page; }
    void setSystemType(const QString &systemType) { m_systemTypeText = systemType; }
    void setFileExtensions(const QString &extensions) { m_fileExtensions = extensions; }
    // The window's road gate, which the page holds while a box, dialog, menu or progress dialog of
    // its own runs (see RoadGate); none: the page holds nothing.
    void setRoadGate(RoadGate *gate) { m_roadGate = gate; }

    QLineEdit *helpLineEdit() const { return m_helpLineEdit; }
    QString errorText() const { return m_errorText; }
    QString fileErrorText() const { return m_fileErrorText; }
    QWidget *mainWindow() const { return m_mainWindow.data(); }
    QString copyingText() const { return m_copyingText; }
    QString creatingText() const { return m_creatingText; }
    QRect pageRect() const { return m_pageRect; }
    Page *firstTreePage() const { return m_firstTreePage; }
    QString systemType() const { return m_systemTypeText; }
    QString fileExtensions() const { return m_fileExtensions; }
    XmlDefinition *definition() const { return m_definition; }
    OperationBin *image() const { return m_image; }

    // The 0-based index of the page in the definition file, set by the builders.
    int pageNumber() const { return m_pageNumber; }

    PageWidget *pageWidget() const { return m_pageWidget; }
    // The page's grid and tree view; null for a page that did not make one.
    MyTableWidget *tableWidget() const;
    MyTreeView *treeView() const;
    // The kind of the page's table (1 lock codes, 2 keys, 3 names); 0 on a page without a table.
    int tableKind() const;

    // Names the tab that shows this page's container, whatever its index; nothing when the
    // container is not a tab of the tab widget.
    void setTabTitle(const QString &title);

    // Prepares the page's progress dialog for a build (number: the 0-based page index, shown
    // 1-based) or for a paste or import (number 100: no number shown). The dialog is a frameless
    // window of the main window, window-modal, at the main window's bottom left corner; it shows
    // itself once an operation lasts longer than its minimum duration, and from then on every
    // value update lets pending events run while input to the main window stays blocked.
    void setupProgressDialog(int minimum, int maximum, int number, const QString &text);
    // Null until the first set-up.
    QProgressDialog *progressDialog() const;
    // Test hook: the minimum duration of the dialog from its next set-up on (default: Qt's 4 s).
    void setProgressMinimumDuration(int milliseconds) { m_progressMinimumDuration = milliseconds; }

    // Gives the image what an editor of the page holds but has not given yet, as leaving the
    // editor would; the main window calls it before a command reads the image or the unsaved-data
    // flag, since a menu, a shortcut or the window system's close leaves the focus where it is.
    // A table's open cell editor commits its text (its validator decides; a text it refuses is
    // dropped) and closes, which runs the write-back and marks the data as modified; a tree
    // number editor with the focus that shows a number outside its range takes its last accepted
    // value back, which it writes, and its edit is finished as leaving it finishes it: a changed
    // FlatUpStairs or ShiftRange emits updatePage(). Every other editor writes at each change
    // already.
    void commitOpenEditor();

    // ---- Tree page (page_tree.cpp) ----------------------------------------------------------------

    // Builds the page as a tree of its head lines and their lines, each row a TreeLine on the
    // image, all groups collapsed; wires the lines to the page's slots.
    void createTreePage(int page);

    int headLineCount() const { return m_headLineCount; }
    // The number of lines under head line h (0 outside the page).
    int lineCount(int headLine) const;
    // Line j of head line h, line 0 being the head line itself; null where the page has none.
    TreeLine *treeLine(int headLine, int line) const;
    TreeModel *treeModel() const { return m_treeModel.get(); }

    // Each line's image address text with its on/off pair, with its number editor, and (for the
    // lines whose UID begins with "L") with its special-flat number editor: one entry per line in
    // file order, none for head lines.
    OnOffButtonLinks onOffButtonLinks() const { return m_onOffButtonLinkList; }
    NumberEditorLinks numberEditorLinks() const { return m_numberEditorLinkList; }
    NumberEditorLinks specialNumberEditorLinks() const { return m_specialNumberEditorLinkList; }

    // Flat-numbering addresses: the EEADDR of the last line carrying the UID. A page without such a
    // line answers what it answered before (on a table page: what setFlatParameters handed over).
    QString getFlatUpStairsAddress();
    QString getShiftRangeAddress();
    QString getFlatMinAddress();
    QString getFlatMaxAddress();
    QString getBlocNumberAddress();
    // The EEADDR of every line whose UID begins with "L", in file order.
    QStringList getSpecialFlatAddresses() const;
    // The texts the editors with UID "SN", "IDD", "IDO" and "blocNumber" show (head lines
    // included; the last such line wins; empty without one). An IDD in a combo box gives the
    // item's shown text.
    QString getSerialNumber() const;
    QString getDataTypeId() const;
    QString getObjectId() const;
    QString getBlocNumber() const;

    // Flat numbering handed to a table page before it is built: the image address texts of the
    // tree pages' block number, FlatUpStairs, ShiftRange, FlatMin and FlatMax lines and of their
    // special-flat lines.
    void setFlatParameters(const QString &blocNumber, const QString &flatUpStairs, const QString &shiftRange,
                           const QString &flatMin, const QString &flatMax, const QStringList &special);
    int specialFlatCount() const { return m_specialFlatCount; }
    QStringList specialFlatAddresses() const { return m_specialFlatAddresses; }
    // A table page's special-flat cells, which the main window links to the tree pages' special
    // editors; empty on other pages.
    QList<MyTableWidgetItem *> specialFlatItems() const { return m_specialFlatItemList; }

    // ---- Web page (page_web.cpp) -------------------------------------------------------------------

    // Builds the page as the manual that the first LINK of the WEB_LIST names.
    void createWebPage(int page);
    WebLine *webLine() const { return m_webLine.get(); }

    // ---- Table page (page_table.cpp, page_writeback.cpp, page_clipboard.cpp) ----------------------

    // Builds the page as a grid of its table's rows bound to the image (lock codes, key fobs or
    // names), with the key table's side panel, and wires the grid, the panel and the image to the
    // page's slots. Building writes nothing into the image. A table SIZE below 1 or above
    // MaxTableSize gives a grid without rows and without a table kind.
    void createTablePage(int page);
    static constexpr int MaxTableSize = 4999;

    // 1 when the table has a key-code column (the main window switches the interface's key reader
    // on while the page is current); 0 on every other page.
    int keyReaderFlag() const { return m_keyReaderFlag; }
    bool tableBuilt() const { return m_tableBuilt; }
    int tableSize() const { return m_tableSize; }
    // The number of table columns the definition gives (it counts comments too: a row may have
    // fewer cells).
    int tableColumnCount() const { return m_columnCount; }
    // Line k of the table: 0 the header line, 1 to tableSize() the data lines, line k showing grid
    // row k - 1; null outside.
    TableLine *tableLine(int k) const;
    // The data line of a grid row; null outside the table.
    TableLine *lineOfRow(int row) const { return row >= 0 ? tableLine(row + 1) : nullptr; }
    // The side panel's line (built from the WIDGETS section, which may be empty).
    TableLine *panelLine() const { return m_panelLine.get(); }
    // The whole-column combo box that opens over a combo column's header.
    QComboBox *columnCombo() const;
    int comboColumn() const { return m_comboColumn; }
    // The cell last entered, clicked or reached with the arrow keys.
    int helpRow() const { return m_helpRow; }
    int helpColumn() const { return m_helpColumn; }
    bool copyAllowed() const { return m_copyAllowed; }
    bool copyMenuEnabled() const { return m_copyMenuEnabled; }
    bool pasteMenuEnabled() const { return m_pasteMenuEnabled; }
    // The context menu last built; null before the first.
    QMenu *tableMenu() const;
    // True while a build, paste or import of the page runs: its progress dialog may let events run
    // in between.
    bool operationRunning() const { return m_operationDepth > 0; }

signals:
    void control_Tab(QString text);
    // A tree page: a FlatUpStairs or ShiftRange value changed; the main window asks whether to
    // renumber the table pages.
    void updatePage(int pageNumber);
    // A tree page: a restore-defaults changed FlatUpStairs or ShiftRange (reaches, queued, head
    // line 0's valueIdChanged()).
    void checkCondition();
    // A table page with a key panel: a key code accepted by processData, a long serial passed on by
    // processLongSerial.
    void TMData(QString data);
    void TMLSerial(QString data);

public slots:
    // Tree page, positions as MyTreeView reports them. A position that names no line of the page
    // changes nothing.
    // The help line shows the line's help (one blank for a head line without help).
    void showText(int currentChildRow, int currentParentRow);
    // While the tree has the keyboard focus: the line's editor takes it, its list opens, its on/off
    // pair toggles or its restore-defaults button is pressed.
    void setFocusInTree(int currentChildRow, int currentParentRow);
    // The tree takes the keyboard focus back from an editor.
    void setFocusOutTree();
    void emitPageNumber();
    // A collapsed group with an edited line takes the head line's changed colour.
    void changeHeadLineBG(const QModelIndex &index);
    // After a restore-defaults: emits checkCondition() when a FlatUpStairs or ShiftRange editor
    // no longer shows its last accepted text.
    void checkUpStairsShiftRangeValues();

    // ---- Table page slots ----------------------------------------------------------------------
    // Help texts: the data line of the row shows its column's help (positions outside the table
    // change nothing); hideHelp does nothing; tabEntered clears the help line.
    void viewHelp(int row, int column);
    void hideHelp(int row, int column);
    void tabEntered();
    // Opens the combo list of a combo cell in place; nothing for other cells.
    void showPopUpComb(const QModelIndex &modelIndex);
    // Opens the whole-column combo over a combo column's header; setBoxValueForColumn gives every
    // row's cell in that column the chosen item.
    void selectedColumn(int column);
    void setBoxValueForColumn(int index);
    void enableCopyData();
    void disableCopy();

    // Write-back of a changed cell, run in this order for every cell change: name-table numbers,
    // the key-table row, lock codes, then the cell's own re-formatting. Names are written only by
    // saveTMTable(), which the main window calls before the image is sent, saved or the table
    // pages are rebuilt.
    void dataBaseSave(int row, int column);
    void saveTMTable(int row, int column);
    void codeChipChanged(int row, int column);
    void actualItem(int row, int column);
    void saveTMTable();

    // Copy, paste and delete of cells (inside the page only) and the table's context menu.
    void getcopyCellsIndexes();
    void getPastCellsIndexes();
    void dataCopy();
    void dataPast();
    void deleteCells();
    void tabMouseMenu(const QModelIndex &index, const QString &type);
    void actionTabSlot(QAction *action);

    // ---- Key reader, find functions and table text files (page_keytable.cpp, page_find.cpp, page_files.cpp)
    void processData(QString data);
    void processLongSerial(QString data);
    void setSerialNumber(QString serialNumber);
    void setLongSerialNUmber(QString serialNumber);
    void newKeyRead();
    void addNewTMCodeToFreePosition(QString code);
    void addTMCodeToFlat(QString code);
    void addTMCodeToSelectedPosition(QString code);
    void scrollToTMCode(QString code);
    void findFlat();
    void findFlatFromTab();
    void findDuplicates();
    void scrolToPosition(QTableWidgetItem *item);
    void findMouseMenu(const QModelIndex &index, const QString &type);
    void makeCopyTableToFile();
    void loadDataFromFile();

private:
    // Progress of a running operation: the first value starts the dialog's clock; values beyond
    // the maximum are not passed on. closeProgress() hides the dialog and stops its clock.
    void setProgressValue(int value);
    void closeProgress();

    // Tree page: the line at a tree view position, null where the page has none.
    TreeLine *lineAt(int currentChildRow, int currentParentRow) const;
    // Visits the lines (head lines left out) head line by head line, in file order.
    template <typename Visit>
    void forEachLine(Visit visit) const;
    // The same with the head line first in each group.
    template <typename Visit>
    void forEachRow(Visit visit) const;
    void connectTreeLines();
    // Takes the address a line reports for a parameter when it is one (the last such line wins).
    QString &scanAddress(QString &member, QString (TreeLine::*address)() const);
    QString scanValue(const QString &uid, QString (*text)(const TreeLine &)) const;

    // ---- Table page ---------------------------------------------------------------------------------
    // A build, paste or import for as long as it lives, with the road gate held. Unserviced-flat
    // warnings wait until the outermost one ends, which then shows one warning if any arose.
    class RunningOperation
    {
    public:
        explicit RunningOperation(Page *page);
        ~RunningOperation();
        RunningOperation(const RunningOperation &) = delete;
        RunningOperation &operator=(const RunningOperation &) = delete;

    private:
        QPointer<Page> m_page;
        const RoadGate::PageHold m_hold;
    };
    // The unserviced-flat warning (COMMENTS item 5): now, or once the running operation ends.
    void warnUnservicedFlat();
    void showUnservicedFlatWarning();
    // A new context menu that replaces the previous one, which goes (with its actions) once control
    // is back in the event loop: one of its entries may be running.
    QMenu *newContextMenu();
    void computeRowAddresses(TableLine *first, int indexMin);
    // Column's width on the screen: its header WIDTH and the padding, held to what a widget can have.
    int columnWidth(int column) const;
    void connectTablePage();
    // The cell at a grid position, through the row's line; null where the row has none.
    MyTableWidgetItem *cellAt(int row, int column) const;
    // A cell's value as a copy or an export takes it: a combo cell as its item index, any other
    // cell as its text; "" where the row has no such cell.
    QString copiedValue(int row, int column) const;
    // Whether a paste or an import writes the cell: text and combo cells, not the row index, a
    // computed flat or a header.
    static bool takesValue(const MyTableWidgetItem *cell);
    // Writes one pasted or imported value into a cell as its type asks; true when the cell took part.
    bool pasteValue(MyTableWidgetItem *cell, const QString &value);
    // The key-table write-back of one row.
    void saveKeyRow(TableLine *line, int changedColumn);

    PageWidget *m_pageWidget;
    XmlDefinition *m_definition;
    Page *m_firstTreePage = nullptr;
    QTabWidget *m_tabParent;
    QLineEdit *m_helpLineEdit = nullptr;
    QPointer<QProgressDialog> m_progressDialog; // a child of the main window once made
    QPointer<QWidget> m_mainWindow;
    RoadGate *m_roadGate = nullptr;
    QString m_errorText;
    QString m_fileErrorText;
    ImportNothingTexts m_importNothingTexts;
    QString m_overwriteText;
    QRect m_pageRect;
    int m_pageNumber = 0;
    QString m_systemTypeText;
    OperationBin *m_image;
    QString m_creatingText;
    QString m_copyingText;
    QString m_fileExtensions;
    QList<MyTableWidgetItem *> m_specialFlatItemList;
    QString m_flatUpStairsAddress;
    QString m_shiftRangeAddress;
    QString m_flatMinAddress;
    QString m_flatMaxAddress;
    QString m_blocNumberAddress;
    int m_specialFlatCount = 0;
    QStringList m_specialFlatAddresses;

    // Tree page. Entry [h][0] is head line h, [h][j] its line j.
    std::unique_ptr<TreeModel> m_treeModel;
    std::unique_ptr<TreePageDefinitions> m_treePageDefinitions;
    int m_headLineCount = 0;
    QVector<int> m_linesPerHeadLine;
    std::vector<std::vector<std::unique_ptr<TreeLine>>> m_treeLines;
    OnOffButtonLinks m_onOffButtonLinkList;
    NumberEditorLinks m_numberEditorLinkList;
    NumberEditorLinks m_specialNumberEditorLinkList;

    // Web page.
    std::unique_ptr<WebListData> m_webListData;
    std::unique_ptr<WebLine> m_webLine;
    int m_progressMinimumDuration = -1;
    bool m_progressStarted = false;

    // Table page. m_tableLines[0] is the header line, [k] data line k.
    std::unique_ptr<TableDefinition> m_tableDefinition;
    std::unique_ptr<TableLine> m_panelLine;
    std::vector<std::unique_ptr<TableLine>> m_tableLines;
    QPointer<QComboBox> m_columnCombo; // a child of the container
    int m_columnCount = 0;
    int m_helpColumn = 0;
    int m_helpRow = 0;
    int m_tableSize = 0;
    QVector<int> m_columnWidths;
    int m_keyReaderFlag = 0;
    int m_nameFieldBytes = 0;
    int m_comboColumn = -1;
    bool m_tableBuilt = false;
    bool m_copyAllowed = false;
    bool m_copyMenuEnabled = false;
    bool m_pasteMenuEnabled = false;
    int m_operationDepth = 0;
    bool m_unservicedFlatPending = false;
    // The last copy: its rectangle and its texts by column, then row (combo cells as their index).
    struct CopyRange {
        int top = 0, left = 0, bottom = -1, right = -1, rows = 0, columns = 0;
    } m_copyRange;
    QVector<QStringList> m_copyBuffer;
    QPointer<QMenu> m_tableMenu;
    QPointer<QAction> m_copyAction;
    QPointer<QAction> m_pasteAction;
    QPointer<QAction> m_saveToFileAction;
    QPointer<QAction> m_importFromFileAction;
    QPointer<QAction> m_findDuplicatesAction;
    QPointer<QAction> m_findFlatAction;
    QPointer<QAction> m_deleteAction;

    // ---- Key reader, find functions and table text files (page_keytable.cpp, page_find.cpp, page_files.cpp)
public:
    // The data line that the last key-mode or found-list action selected as a whole; 0 for none.
    int markedLine() const { return m_markedLine; }
    // Select or deselect every cell of data line k; nothing for a line outside the table.
    void selectRow(int line);
    void deselectRow(int line);
    // The clock of the key reader's repeat window: the system's monotonic one unless a test hands
    // in its own.
    void setKeyClock(KeyRepeatFilter::Clock clock);
    // Item index of the page's '/'-terminated list of table-file extensions; "" where it has none.
    QString tableFileExtension(int index) const;
    // The key panel's found list; null where the panel has none.
    MyTableWidget *foundList() const;
    // The fields of the selected rectangle as an export writes them (a combo cell as its index, a
    // name-table row with the block number after its cells).
    QVector<QStringList> exportRows(const TableSelection &selection) const;
    // Applies a file read for an import at the one selected cell, all or nothing: refuses (with the
    // error box) a file that was not read whole or has a field its column cannot take, and tells in
    // the same box why a file gives no field to the table.
    bool importFile(const RWTable &file, const TableSelection &selection);

public slots:
    // Runs the found list's menu entry (Delete position).
    void actionFindSlot(QAction *action);
    // An export failed: a critical box with the file-error text, the path and the system's reason,
    // as the export (the signal's sender) tells them.
    void writeTofileError();

private:
    // Keys count only on a built table page on the current tab while no build, paste or import runs.
    bool acceptsKeys() const;
    // The panel's TEXT_field line edit and BUTTON_n, where the definition has them.
    QLineEdit *panelEdit(int field) const;
    QAbstractButton *panelButton(int n) const;
    bool modeActive(int button) const;
    // The first data line holding the code, the first free data line; 0 for none.
    int lineHoldingCode(const QString &code) const;
    int firstFreeLine() const;
    // The marked line is deselected and line becomes the marked line.
    void markLine(int line);
    void centreOnLine(int line);
    void makeCurrentLine(int line);
    void setRowSelected(int line, bool selected);
    void addKey(const QString &code, bool withFlat, const QString &flat);
    void showFound(MyTableWidget *list, const QVector<QVector<int>> &groups);
    void findFlatText(const QString &flat);
    QString ownFileExtension() const;
    void showFileProblem(const QString &text, const QString &details);
    // The overwrite question where path is an existing file; true on Yes and where there is
    // nothing to replace.
    bool mayReplaceFile(const QString &path);
    void applyImport(const QVector<QStringList> &rows, int top, int rowCount, int fieldCount);
    // Why a file read whole gives no field to the table at row top; none when it gives one.
    std::optional<QString> whyImportTakesNothing(const TableTextFile::ReadResult &read, int top, int fieldCount) const;

    KeyRepeatFilter m_keyFilter;
    int m_markedLine = 0;
    QPointer<QAction> m_deletePositionAction;
};
