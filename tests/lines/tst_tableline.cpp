#include "../definitions/fixture.h"
#include "mybutton.h"
#include "mytablewidget.h"
#include "tabledefinition.h"
#include "tableline.h"
#include "tablepagefixture.h"
#include "testsupport.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>
#include <QtTest>

// The side panel of a shipped key table, built in a container of its own.
struct ShippedPanel {
    TablePageFixture page;
    QWidget container;
    TableLine panel;
    ShippedPanel(const QString &file, int pageIndex)
        : page(QStringLiteral(TKV_DATA_ROOT "/application/xml/") + file, pageIndex)
    {
        panel.setParentWidget(&container);
        panel.setDefinition(0, 2, page.definition.get(), pageIndex);
        panel.createWidgets();
    }
};

// The table line object in its header and side-panel roles: construction, help slots, column
// headers and table dimensions, the side panel's widgets and mode buttons; and the static helpers.
class TestTableLine : public QObject
{
    Q_OBJECT
private slots:
    void freshLine();
    void parseAddress_data();
    void parseAddress();
    void bitRange_data();
    void bitRange();
    void splitList_data();
    void splitList();
    void dbRecordLayout_data();
    void dbRecordLayout();

    void header_data();
    void header();
    void headerOfShippedKeyTable();
    void tableDim_data();
    void tableDim();

    void shippedPanel_data();
    void shippedPanel();
    void panelElements();
    void panelWithoutContainer();
    void modeButtons_data();
    void modeButtons();
    void keyFields();
    void help();

private:
    QString shipped(const QString &file) const
    {
        return QStringLiteral(TKV_DATA_ROOT "/application/xml/") + file;
    }
    // A definition of one table page with the given sections.
    QString table(const QString &definition, const QString &line, const QString &widgets = QString())
    {
        QString sections = QStringLiteral("<DEFINITION>%1</DEFINITION><LINE>%2</LINE>").arg(definition, line);
        if (!widgets.isNull())
            sections += QStringLiteral("<WIDGETS>%1</WIDGETS>").arg(widgets);
        return m_files.definition(Fixture::tablePage(sections));
    }
    Fixture m_files;
};

void TestTableLine::freshLine()
{
    TableLine line;
    QCOMPARE(line.tableSize, 0);
    QCOMPARE(line.indexMin, 0);
    QCOMPARE(line.firstComboColumn, TableLine::NoComboColumn);
    QCOMPARE(line.flatNumberStart, 0);
    QCOMPARE(line.rowNumber, 0);
    QCOMPARE(line.headerColumnCount, 0);
    QCOMPARE(line.columnWidths(), QVector<int>(15, 0));
    QVERIFY(line.cells().isEmpty());
    QVERIFY(!line.hasTextTableCell());
    QVERIFY(!line.treeFlag);
    for (bool flag : line.panelTextPresent)
        QVERIFY(!flag);
    QCOMPARE(line.soundNewKey(), QString());
    // Queries on a line without cells answer nothing.
    QCOMPARE(line.tmCodeText(), QString());
    QVERIFY(!line.hasTMCode("0000"));
    QVERIFY(!line.isCellEmpty(1002));
    QVERIFY(!line.textTableCell());
    line.addFlat("5");
    line.addTMCode("1234", true);
}

void TestTableLine::parseAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("address");
    QTest::newRow("hex") << "0x0200" << 512;
    QTest::newRow("decimal") << "1536" << 1536;
    QTest::newRow("upper-case X") << "0X0200" << 0;
    QTest::newRow("not a number") << "word" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestTableLine::parseAddress()
{
    QFETCH(QString, text);
    QFETCH(int, address);
    QCOMPARE(TableLine::parseAddress(text), address);
}

void TestTableLine::bitRange_data()
{
    QTest::addColumn<QString>("addressText");
    QTest::addColumn<QString>("range");
    QTest::newRow("field") << "1536:0-2" << ":0-2";
    QTest::newRow("bit") << "20:3" << ":3";
    QTest::newRow("no colon") << "NO" << "NO";
}

void TestTableLine::bitRange()
{
    QFETCH(QString, addressText);
    QFETCH(QString, range);
    QCOMPARE(TableLine::bitRange(addressText), range);
}

void TestTableLine::splitList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("terminated") << "0/1 /2/" << QStringList{"0", "1 ", "2"};
    QTest::newRow("empty item kept") << "a//b/" << QStringList{"a", "", "b"};
    QTest::newRow("tail dropped") << "a/b" << QStringList{"a"};
    QTest::newRow("no slash") << "abc" << QStringList();
    QTest::newRow("empty") << "" << QStringList();
}

void TestTableLine::splitList()
{
    QFETCH(QString, text);
    QFETCH(QStringList, items);
    QCOMPARE(TableLine::splitList(text), items);
}

void TestTableLine::dbRecordLayout_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QList<int>>("numbers");
    QTest::newRow("shipped") << "32/28/2/" << QList<int>{32, 28, 2};
    QTest::newRow("other characters skipped") << "L32/E 28/x/" << QList<int>{32, 28, 0};
    QTest::newRow("tail dropped") << "32/28" << QList<int>{32};
    QTest::newRow("empty") << "" << QList<int>();
    QTest::newRow("too many digits") << "99999999999999/" << QList<int>{999999999};
}

void TestTableLine::dbRecordLayout()
{
    QFETCH(QString, layout);
    QFETCH(QList<int>, numbers);
    TableLine line;
    line.dbLayoutText = layout;
    QCOMPARE(line.dbRecordLayout(), numbers);
}

// ---- header -------------------------------------------------------------------------------------

void TestTableLine::header_data()
{
    QTest::addColumn<QString>("definition");
    QTest::addColumn<QStringList>("texts");      // one per grid column, "-" for no header item
    QTest::addColumn<QStringList>("colours");    // colour names, "invalid"
    QTest::addColumn<QList<int>>("alignments");  // -1: none set
    QTest::addColumn<QList<int>>("widths");      // the first four

    const int centre = int(Qt::AlignCenter), left = int(Qt::AlignLeft | Qt::AlignVCenter),
              right = int(Qt::AlignRight | Qt::AlignVCenter);
    QTest::newRow("positions and colours")
        << "<TEXTH WIDTH=\"45\" POS=\"CENTER\" FTCOL=\"BLUE\" TXT=\"Phy No.\"/>"
           "<TEXTH WIDTH=\"65\" POS=\"LEFT\" FTCOL=\"red\" TXT=\"Lock code\"/>"
           "<TEXTH WIDTH=\"90\" POS=\"RIGHT\" FTCOL=\"#00ff00\" TXT=\"Mode\"/>"
           "<TEXTH WIDTH=\"70\" POS=\"center\" FTCOL=\"12px/blue\" TXT=\"Flat\"/>"
        << QStringList{"Phy No.", "Lock code", "Mode", "Flat"} << QStringList{"#0000ff", "#ff0000", "#00ff00", "invalid"}
        << QList<int>{centre, left, right, -1} << QList<int>{45, 65, 90, 70};
    QTest::newRow("comment first")
        << "<!-- columns --><TEXTH WIDTH=\"60\" POS=\"CENTER\" FTCOL=\"BLUE\" TXT=\"Pos.\"/>"
           "<TEXTH WIDTH=\"70\" POS=\"CENTER\" FTCOL=\"RED\" TXT=\"ID No.\"/>"
           "<TEXTH WIDTH=\"wide\" POS=\"CENTER\" FTCOL=\"\" TXT=\"\"/>"
        << QStringList{"Pos.", "ID No.", "", "-"} << QStringList{"#0000ff", "#ff0000", "invalid", "-"}
        << QList<int>{centre, centre, centre, -1} << QList<int>{60, 70, 0, 0};
}

// Header items follow the TEXTH elements; the grid's column count (every node of the section)
// may be larger, leaving the last columns without header and width.
void TestTableLine::header()
{
    QFETCH(QString, definition);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, colours);
    QFETCH(QList<int>, alignments);
    QFETCH(QList<int>, widths);

    XmlDefinition reader(table(definition, "<TABLEDIM SIZE=\"4\" INDEX_MIN=\"1\" INDEX_MAX=\"4\" COMMENTS=\"\"/>"));
    TableDefinition accessor(&reader);
    accessor.load(0);
    MyTableWidget grid(nullptr);
    grid.setColumnCount(reader.tableColumnCount(0));
    QCOMPARE(grid.columnCount(), texts.size());
    TableLine line;
    line.setTableWidget(&grid);
    line.setDefinition(0, 0, &accessor, 0);
    line.setHeader(&grid);
    QCOMPARE(line.columnWidths().mid(0, 4), widths.toVector());
    for (int c = 0; c < texts.size(); ++c) {
        QTableWidgetItem *item = grid.horizontalHeaderItem(c);
        if (texts[c] == QLatin1String("-")) {
            QVERIFY(!item);
            continue;
        }
        QVERIFY(item);
        QCOMPARE(item, line.headerItems[c]);
        QCOMPARE(item->type(), 1010);
        QCOMPARE(item->text(), texts[c]);
        const QColor colour = item->foreground().color();
        QCOMPARE(colour.isValid() ? colour.name() : QStringLiteral("invalid"), colours[c]);
        const QVariant alignment = item->data(Qt::TextAlignmentRole);
        QCOMPARE(alignment.isValid() ? alignment.toInt() : -1, alignments[c]);
    }
}

void TestTableLine::headerOfShippedKeyTable()
{
    TablePageFixture page(shipped("RK4820_H65_EN.xlx"), 1);
    MyTableWidget grid(nullptr);
    grid.setColumnCount(page.columnCount);
    TableLine line;
    line.setDefinition(0, 0, page.definition.get(), 1);
    line.setHeader(&grid);
    QCOMPARE(line.headerColumnCount, 3);
    QCOMPARE(grid.horizontalHeaderItem(1)->text(), QString("ID No."));
    QCOMPARE(grid.horizontalHeaderItem(1)->foreground().color(), QColor(Qt::red));
    QVERIFY(!grid.horizontalHeaderItem(2)->foreground().color().isValid()); // "12px/green": black
    QCOMPARE(line.columnWidths().mid(0, 3), (QVector<int>{60, 70, 0}));
}

void TestTableLine::tableDim_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("indexMin");
    QTest::addColumn<int>("indexMax");
    QTest::newRow("lock codes") << "<TABLEDIM SIZE=\"254\" INDEX_MIN=\"1\" INDEX_MAX=\"254\" COMMENTS=\"\"/>" << 254 << 1 << 254;
    QTest::newRow("second wins") << "<TABLEDIM SIZE=\"254\" INDEX_MIN=\"1\" INDEX_MAX=\"254\"/><TEXT_INDEX/>"
                                    "<TABLEDIM SIZE=\"2048\" INDEX_MIN=\"0\" INDEX_MAX=\"2047\"/>"
                                 << 2048 << 0 << 2047;
    QTest::newRow("none") << "<TEXT_INDEX WIDTH=\"45\"/>" << 0 << 0 << 0;
    QTest::newRow("not numbers") << "<TABLEDIM SIZE=\"12a\" INDEX_MIN=\" 1\" INDEX_MAX=\"0x10\"/>" << 0 << 0 << 0;
}

void TestTableLine::tableDim()
{
    QFETCH(QString, line);
    QFETCH(int, size);
    QFETCH(int, indexMin);
    QFETCH(int, indexMax);
    XmlDefinition reader(table("<TEXTH WIDTH=\"45\" POS=\"CENTER\" FTCOL=\"BLUE\" TXT=\"No.\"/>", line));
    TableDefinition accessor(&reader);
    accessor.load(0);
    TableLine header;
    header.setDefinition(0, 0, &accessor, 0); // the dimensions come from section 1 all the same
    header.readTableDim();
    QCOMPARE(header.tableSize, size);
    QCOMPARE(header.indexMin, indexMin);
    QCOMPARE(header.indexMax, indexMax);
}

// ---- side panel -------------------------------------------------------------------------------------

void TestTableLine::shippedPanel_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("page");
    QTest::addColumn<QList<bool>>("texts");   // TEXT_1, 2, 3, 5, 6, 7
    QTest::addColumn<QList<bool>>("buttons"); // BUTTON_1 to 6
    QTest::newRow("1024 keys") << "RK4820_U65_EN.xlx" << 3 << QList<bool>{true, true, true, true, true, false}
                               << QList<bool>{true, true, true, true, true, true};
    QTest::newRow("2048 keys") << "RK4820_H65_EN.xlx" << 1 << QList<bool>{true, true, false, true, true, false}
                               << QList<bool>{true, false, true, true, true, true};
}

void TestTableLine::shippedPanel()
{
    QFETCH(QString, file);
    QFETCH(int, page);
    QFETCH(QList<bool>, texts);
    QFETCH(QList<bool>, buttons);
    ShippedPanel shippedPanel(file, page);
    TableLine &panel = shippedPanel.panel;
    QCOMPARE(QList<bool>(panel.panelTextPresent.begin(), panel.panelTextPresent.end()), texts);
    QCOMPARE(QList<bool>(panel.panelButtonPresent.begin(), panel.panelButtonPresent.end()), buttons);

    QVERIFY(panel.menuBox);
    QCOMPARE(panel.menuBox->parentWidget(), &shippedPanel.container);
    QCOMPARE(panel.menuBox->geometry(), QRect(260, 10, 510, 305));
    QCOMPARE(panel.menuBox->focusPolicy(), Qt::NoFocus);
    QLineEdit *serial = panel.panelEdits[0];
    QCOMPARE(serial->parentWidget(), panel.menuBox.data());
    QCOMPARE(serial->geometry(), QRect(350, 30, 115, 20));
    QVERIFY(serial->isReadOnly());
    QCOMPARE(serial->focusPolicy(), Qt::NoFocus);
    QCOMPARE(serial->contextMenuPolicy(), Qt::NoContextMenu);
    QVERIFY(!panel.panelEdits[4]->isReadOnly()); // TEXT_5, the searched flat
    QCOMPARE(panel.panelButtons[4]->geometry(), QRect(10, 30, 115, 20));
    QCOMPARE(panel.panelButtons[4]->text(), QString("Verify key"));
    QVERIFY(panel.panelButtons[4]->isCheckable());
    QVERIFY(!panel.panelButtons[3]->isCheckable());
    QVERIFY(!panel.panelButtons[5]->isCheckable());
    QCOMPARE(panel.foundList->geometry(), QRect(145, 185, 350, 110));
    QVERIFY(!panel.foundList->isEnabled());
    QVERIFY(panel.foundList->horizontalHeader()->isHidden());
    QVERIFY(panel.foundList->verticalHeader()->isHidden());
    QCOMPARE(panel.foundList->editTriggers(), QAbstractItemView::NoEditTriggers);

    QStringList labels;
    QList<QRect> labelPlaces;
    for (QLabel *label : panel.menuBox->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly)) {
        labels << label->text();
        labelPlaces << label->geometry();
    }
    QCOMPARE(labelPlaces.value(labels.indexOf("Serial number ID")), QRect(352, 8, 115, 20));
    QCOMPARE(labelPlaces.value(labels.indexOf("Found duplicate locations")), QRect(147, 163, 350, 20));

    // The page finds the panel buttons by object name; nothing else carries it.
    int named = 0;
    for (QObject *child : panel.menuBox->children())
        if (child->objectName() == QLatin1String("button")) {
            QVERIFY(qobject_cast<MyButton *>(child));
            ++named;
        }
    QCOMPARE(named, buttons.count(true));

    QVERIFY(panel.hasSections);
    QWidget *legend = panel.legendLabels[0]->parentWidget();
    QCOMPARE(legend->geometry(), QRect(260, 320, 510, 92));
    for (int r = 0; r < 3; ++r) {
        QCOMPARE(panel.legendLabels[r]->geometry(), QRect(8, 23 + 22 * r, 80, 15));
        QCOMPARE(panel.legendEdits[r]->geometry(), QRect(100, 23 + 22 * r, 220, 20));
        QVERIFY(!panel.legendEdits[r]->hasFrame());
    }
    QCOMPARE(panel.soundNewKey(), QString("application/media/id_read.wav"));
    QCOMPARE(panel.soundKeyAdded(), QString("application/media/id_add.wav"));
    QCOMPARE(panel.soundKeyNotAdded(), QString("application/media/id_error.wav"));
    QCOMPARE(panel.soundCheckKeyFound(), QString("application/media/id_found.wav"));
    QCOMPARE(panel.soundCheckKeyNotFound(), QString("application/media/id_nfound.wav"));
}

// Elements the shipped panels do not have: a field before BOX_MENU, TEXT_4 and TEXT_7, a second
// BUTTON_1, no BOX_SECTIONS and no SOUND_FILES.
void TestTableLine::panelElements()
{
    const QString widgets = QStringLiteral(
        "<TEXT_3 WIDTH=\"100\" HORIZ_MARG=\"5\" VERT_MARG=\"40\" POS=\"LEFT\" LABEL=\"Early\"/>"
        "<BOX_MENU X=\"10\" Y=\"10\" W=\"300\" H=\"200\" TITLE=\"Reader\"/>"
        "<TEXT_4 WIDTH=\"100\" HORIZ_MARG=\"10\" VERT_MARG=\"30\" POS=\"LEFT\" LABEL=\"Four\" STYLE=\"color: blue\"/>"
        "<TEXT_7 WIDTH=\"120\" HORIZ_MARG=\"10\" VERT_MARG=\"80\" POS=\"LEFT\" LABEL=\"Seven\"/>"
        "<BUTTON_1 WIDTH=\"x\" HORIZ_MARG=\"10\" VERT_MARG=\"150\" TEXT=\"Add\" HELPTXT=\"First\"/>"
        "<BUTTON_1 WIDTH=\"60\" HORIZ_MARG=\"100\" VERT_MARG=\"150\" TEXT=\"Add again\" HELPTXT=\"Second\"/>");
    XmlDefinition reader(table("<TEXTH/>", "<TABLEDIM SIZE=\"1\"/>", widgets));
    TableDefinition accessor(&reader);
    accessor.load(0);
    QWidget container;
    TableLine panel;
    panel.setParentWidget(&container);
    panel.setDefinition(0, 2, &accessor, 0);
    panel.createWidgets();

    QLineEdit *early = panel.panelEdits[2];
    QCOMPARE(early->parentWidget(), &container);
    QVERIFY(panel.panelTextPresent[TableLine::PanelText3]);
    QLineEdit *four = panel.panelEdits[3];
    QCOMPARE(four->parentWidget(), panel.menuBox.data());
    QVERIFY(four->isReadOnly());
    QCOMPARE(four->styleSheet(), QString("color: blue"));
    QCOMPARE(QList<bool>(panel.panelTextPresent.begin(), panel.panelTextPresent.end()),
             (QList<bool>{false, false, true, false, false, true}));
    QVERIFY(panel.panelTextEdit->isReadOnly());
    QCOMPARE(panel.panelTextEdit->geometry(), QRect(10, 80, 120, 50));
    QCOMPARE(panel.panelTextEdit->frameShape(), QFrame::NoFrame);

    // The second BUTTON_1 is the stored one; the first stays where it was, with width 0.
    QCOMPARE(panel.panelButtons[0]->text(), QString("Add again"));
    const QList<MyButton *> both = panel.menuBox->findChildren<MyButton *>();
    QCOMPARE(both.size(), 2);
    QCOMPARE(both.first()->geometry(), QRect(10, 150, 0, 20));

    QVERIFY(!panel.hasSections);
    QVERIFY(!panel.legendLabels[0]);
    QCOMPARE(panel.soundCheckKeyNotFound(), QString());
}

// A panel line given no container builds nothing: its widgets would be windows of their own.
void TestTableLine::panelWithoutContainer()
{
    const int before = QApplication::topLevelWidgets().size();
    TablePageFixture fixture(shipped("RK4820_U65_EN.xlx"), 3);
    TableLine panel;
    panel.setDefinition(0, 2, fixture.definition.get(), 3);
    panel.createWidgets();
    QCOMPARE(QApplication::topLevelWidgets().size(), before);
    QVERIFY(!panel.menuBox);
    QVERIFY(!panel.panelTextPresent[TableLine::PanelText1]);
    QCOMPARE(panel.soundNewKey(), QString("application/media/id_read.wav"));
}

void TestTableLine::modeButtons_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("checked"); // after each click
    QTest::newRow("one mode at a time") << "RK4820_U65_EN.xlx" << 3 << "1 3 2 5" << "1 3 2 5";
    QTest::newRow("clicking the mode again keeps it") << "RK4820_U65_EN.xlx" << 3 << "3 3" << "3 3";
    QTest::newRow("find duplicates releases all") << "RK4820_U65_EN.xlx" << 3 << "1 6" << "1 -";
    QTest::newRow("find flat changes nothing") << "RK4820_U65_EN.xlx" << 3 << "5 4" << "5 5";
    QTest::newRow("panel without BUTTON_2") << "RK4820_H65_EN.xlx" << 1 << "1 3 6 5" << "1 3 - 5";
}

void TestTableLine::modeButtons()
{
    QFETCH(QString, file);
    QFETCH(int, page);
    QFETCH(QString, clicks);
    QFETCH(QString, checked);
    ShippedPanel shippedPanel(file, page);
    TableLine &panel = shippedPanel.panel;
    const QStringList steps = clicks.split(' ');
    const QStringList expected = checked.split(' ');
    for (int i = 0; i < steps.size(); ++i) {
        panel.panelButtons[steps[i].toInt() - 1]->click();
        QString down = QStringLiteral("-");
        for (int n = 1; n <= 6; ++n)
            if (panel.panelButtons[n - 1] && panel.panelButtons[n - 1]->isChecked())
                down = down == QLatin1String("-") ? QString::number(n) : down + QString::number(n);
        QCOMPARE(down, expected[i]);
    }
}

void TestTableLine::keyFields()
{
    ShippedPanel shippedPanel("RK4820_U65_EN.xlx", 3);
    TableLine &panel = shippedPanel.panel;
    SignalLog log;
    log.watch(&panel, &TableLine::sendActualCodeTM, "sendActualCodeTM");

    panel.setTMKeySerialNumber("ERROR");
    QCOMPARE(panel.panelEdits[0]->text(), QString("ERROR"));
    QCOMPARE(panel.panelEdits[0]->palette().color(QPalette::Inactive, QPalette::Base), QColor(Qt::red));
    panel.setTMKeySerialNumber("3BA1");
    QCOMPARE(panel.panelEdits[0]->palette().color(QPalette::Active, QPalette::Base), QColor(Qt::green));
    panel.setTMKeyLongSerialNumber("01000000A1B2C3D4EF");
    QCOMPARE(panel.panelEdits[1]->text(), QString("01000000A1B2C3D4EF"));
    QCOMPARE(panel.panelEdits[1]->palette().color(QPalette::Disabled, QPalette::Base), QColor(Qt::green));
    panel.getActualCodeTM();
    QCOMPARE(log.take(), (QStringList{"sendActualCodeTM(\"ERROR\")", "sendActualCodeTM(\"3BA1\")",
                                      "sendActualCodeTM(\"3BA1\")"}));

    TableLine bare; // no TEXT_1: nothing to show, nothing to report
    log.watch(&bare, &TableLine::sendActualCodeTM, "bare");
    bare.setTMKeySerialNumber("3BA1");
    bare.getActualCodeTM();
    QCOMPARE(log.take(), QStringList());
}

// The help line shows a panel button's HELPTXT while the pointer is over it, a column's HELPTXT
// for the data line's viewHelp(column), and nothing for the line's own help.
void TestTableLine::help()
{
    OperationBin image;
    image.loadHex(QByteArray(8192 * 2, '0'));
    TablePageFixture page(shipped("RK4820_U65_EN.xlx"), 3);
    page.build(&image);
    QLineEdit *help = page.helpLine;

    MyButton *add = page.panel->panelButtons[0];
    sendEnterLeave(add, QEvent::Enter);
    QCOMPARE(help->text(), QString("Each key fob read is added to the first free position."));
    sendEnterLeave(add, QEvent::Leave);
    QCOMPARE(help->text(), QString());

    TableLine *row = page.row(7);
    row->viewHelp(1);
    QCOMPARE(help->text(), QString("Code of the key fob (four hexadecimal digits); ----- is a free position."));
    row->viewHelp(14);
    QCOMPARE(help->text(), QString());
    row->viewHelp(0);
    row->viewHelpOnLineEdit();
    QCOMPARE(help->text(), QString());

    SignalLog log;
    log.watch(row, &TableLine::help, "help");
    row->emitHelpRequest();
    QCOMPARE(log.take(), QStringList{"help(3)"});

    TableLine unset; // no help line: nothing happens
    unset.viewHelp(0);
    unset.hideHelp();
}

QTEST_MAIN(TestTableLine)
#include "tst_tableline.moc"
