#include "datapaths.h"
#include "tabledefinition.h"
#include "treepagedefinitions.h"
#include "weblistdata.h"
#include "xmldefinition.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QtTest>

// Walks the shipped data tree through the reader: "GUI.xlx", every definition file it names and
// every file in application/xml. A shipped file must load with nothing left out, every page must
// read, and every file a data file names must be there.
class TestShippedFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void languageTable_data();
    void languageTable();
    void definitionFile_data();
    void definitionFile();
    void quirksAreExercised();

private:
    QString root() const { return QStringLiteral(TKV_DATA_ROOT); }
    QString onDisk(const QString &dataPath) const { return Platform::resolveDataPath(dataPath, root()); }
    QString guiPath() const { return onDisk(QStringLiteral("/application/xml/GUI.xlx")); }
    void verifyNamedFile(const QString &dataPath, const QString &what) const;
    QStringList definitionFiles() const;
};

void TestShippedFiles::initTestCase()
{
    if (!QFileInfo::exists(root() + QStringLiteral("/application/xml")))
        QSKIP("no data tree in this checkout");
    QVERIFY2(QFileInfo::exists(guiPath()), "application/xml/GUI.xlx is missing");
}

void TestShippedFiles::verifyNamedFile(const QString &dataPath, const QString &what) const
{
    QVERIFY2(!dataPath.isEmpty(), qPrintable(what + QStringLiteral(" names no file")));
    QVERIFY2(QFileInfo(onDisk(dataPath)).isFile(), qPrintable(what + QStringLiteral(" names \"%1\", which is not there").arg(dataPath)));
}

// Definition files named by the EEPROM_DATA rows of enabled languages, and all files in
// application/xml.
QStringList TestShippedFiles::definitionFiles() const
{
    QStringList files;
    XmlDefinition gui(guiPath());
    const GuiValues &values = gui.readGui();
    const GuiKeys &keys = gui.guiKeys();
    for (int b = 0; b < gui.guiBlockCount(); ++b) {
        bool enabled = false;
        for (int r = 0; r < GuiShape::Rows; ++r)
            if (keys[b][r] == QLatin1String("LNG_ENABLE"))
                enabled = values[b][r][0].trimmed() == QLatin1String("YES");
        for (int r = 0; r < GuiShape::Rows; ++r)
            if (enabled && keys[b][r] == QLatin1String("EEPROM_DATA"))
                files << onDisk(QStringLiteral("/application/xml/") + values[b][r][2]);
    }
    const QDir xml(onDisk(QStringLiteral("/application/xml")));
    for (const QFileInfo &f : xml.entryInfoList(QStringList{QStringLiteral("*.xlx"), QStringLiteral("*.XLX")}, QDir::Files))
        if (f.fileName().compare(QLatin1String("GUI.xlx"), Qt::CaseInsensitive) != 0)
            files << f.absoluteFilePath();
    files = QStringList(QSet<QString>(files.begin(), files.end()).values());
    files.sort();
    return files;
}

void TestShippedFiles::languageTable_data()
{
    QTest::addColumn<int>("block");
    XmlDefinition gui(guiPath());
    gui.readGui();
    for (int b = 0; b < gui.guiBlockCount(); ++b)
        QTest::addRow("block %d", b) << b;
}

// Every key the main window looks up stands in every block; models and flags are complete.
void TestShippedFiles::languageTable()
{
    QFETCH(int, block);
    XmlDefinition gui(guiPath());
    const GuiValues &values = gui.readGui();
    const GuiKeys &keys = gui.guiKeys();
    QVERIFY2(!gui.hasSkippedContent(), qPrintable(gui.diagnostics().value(0).toString()));
    QVERIFY(gui.guiBlockCount() >= 2);

    static const QStringList wanted = {
        "LNG_NAME", "LNG_FLAG", "LNG_ENABLE", "LNG_TEXT_NOASK", "LANGUAGE_FRAME_MESSAGE", "STARTFRAMEBUTTONOK",
        "STARTFRAMEBUTTONCANCEL", "SECTION1", "SECTION2", "SECTION3", "BUTTON_SCAN", "BUTTON_CONNECT_DISCONNECT",
        "BUTTONA0", "BUTTONA2", "BUTTONA4", "BUTTON_SEND", "BUTTON_RECEIVE", "BUTTON_LOAD", "BUTTON_SAVE",
        "BUTTON_SAVE_AS", "BUTTON_CANCEL_S_R_D", "SECTION1_TEXT", "SECTION2_TEXT", "VIEW_HELP", "DELETE_MENU",
        "BACK_TO", "ABOUT", "EXIT", "SHORTCUT", "APP_HELP", "SUFFIX", "WARNING_MEM_SIZE", "WARNING_UNPLUGGED_DEV",
        "WARNING_UNPLUGGED_PEN", "FILE_WRITE_ERROR", "FILE_WRITE_INCOMPLETE", "ASK_OVERWRITE_FILE",
        "ASK_DATA_NOT_SAVED", "ERROR_MESSAGE", "ABOUT_MESSAGE", "SEND_DATA_MESSAGE", "RECEIVE_DATA_MESSAGE",
        "ID_NOTFOUND_MESSAGE", "UPADTE_PAGES_MESSAGE", "CREATE_PAGES_MESSAGE", "COPYING_DATA_MESSAGE",
        "IMPORT_CR_LINE_ENDS", "IMPORT_BROKEN_TITLE", "IMPORT_NO_ROWS", "IMPORT_NO_FIELDS", "IMPORT_NO_COLUMN",
        "EEPROM_ADDRESS", "EEPROM_DATA"};
    QHash<QString, QString> first;
    int models = 0;
    for (int r = 0; r < GuiShape::Rows; ++r) {
        if (!keys[block][r].isEmpty() && !first.contains(keys[block][r]))
            first.insert(keys[block][r], values[block][r][0]);
        if (keys[block][r] == QLatin1String("EEPROM_DATA")) {
            ++models;
            const GuiRowValues &model = values[block][r];
            QVERIFY2(QRegularExpression(QStringLiteral("^0x[0-9A-Fa-f]{4}$")).match(model[0]).hasMatch(), qPrintable(model[0]));
            QVERIFY2(model[1].toInt() > 0, qPrintable(model[2]));
            QVERIFY(!model[2].isEmpty());
        }
    }
    for (const QString &key : wanted)
        QVERIFY2(first.contains(key), qPrintable(QStringLiteral("key %1 missing").arg(key)));
    QVERIFY(first.contains(QStringLiteral("MENU_1")) || first.contains(QStringLiteral("MENU_2")));
    QCOMPARE(first.value(QStringLiteral("EEPROM_ADDRESS")), QStringLiteral("0x000E"));
    QVERIFY(models >= 2);
    QCOMPARE(first.value(QStringLiteral("SUFFIX")).count(QLatin1Char('/')), 3);
    verifyNamedFile(first.value(QStringLiteral("LNG_FLAG")).trimmed(), QStringLiteral("LNG_FLAG"));
    if (first.value(QStringLiteral("LNG_ENABLE")).trimmed() == QLatin1String("YES"))
        verifyNamedFile(first.value(QStringLiteral("APP_HELP")).trimmed(), QStringLiteral("APP_HELP"));
}

void TestShippedFiles::definitionFile_data()
{
    QTest::addColumn<QString>("path");
    for (const QString &path : definitionFiles())
        QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
}

void TestShippedFiles::definitionFile()
{
    QFETCH(QString, path);
    QVERIFY2(QFileInfo(path).isFile(), qPrintable(path + QStringLiteral(" is named in GUI.xlx but not there")));

    static const QSet<QString> treeTags = {"TEXT", "TEXTR", "TEXT1", "BUTTON_ON_OFF", "EDIT", "EDITR", "VALUE", "CBEDIT",
                                           "BUTTON_INIT", "DRAW_LINE", "BGCOL", "BGCOL_DIFF", "HELP", "FRAME", "FRAME2",
                                           "FRAME1", ""};
    static const QSet<QString> tableTags = {"TEXTH", "TABLEDIM", "TEXT_INDEX", "TEXT_TABLE", "EDIT", "CBEDIT",
                                            "BLOC_NUMBER", "TABSECTIONS", "BOX_MENU", "BOX_SECTIONS", "BUTTON_1",
                                            "BUTTON_2", "BUTTON_3", "BUTTON_4", "BUTTON_5", "BUTTON_6", "TEXT_1",
                                            "TEXT_2", "TEXT_3", "TEXT_4", "TEXT_5", "TEXT_6", "TEXT_7", "SOUND_FILES", ""};

    XmlDefinition reader(path);
    const int pages = reader.readPageKinds();
    QVERIFY2(pages > 0, qPrintable(reader.diagnostics().value(0).toString()));
    const PageKindList kinds = reader.pageKinds();
    int treePages = 0;
    for (int page = 0; page < pages; ++page) {
        const QString where = QStringLiteral("page %1").arg(page);
        QVERIFY2(kinds[page] != PageKindNone, qPrintable(where + QStringLiteral(" has no page body")));
        QVERIFY2(!reader.pageName(page).trimmed().isEmpty(), qPrintable(where + QStringLiteral(" has no title")));
        if (kinds[page] == PageKindTable) {
            TableDefinition table(&reader);
            table.load(page);
            QVERIFY2(reader.tableColumnCount(page) > 0, qPrintable(where));
            bool hasSize = false;
            for (int s = 0; s < TableShape::Sections; ++s) {
                const TableSectionTags &tags = table.sectionTags(0, s);
                const TableSectionSlots &slots_ = table.sectionAttributes(0, s);
                for (int p = 0; p < TableShape::Positions; ++p) {
                    QVERIFY2(tableTags.contains(tags[p]),
                             qPrintable(where + QStringLiteral(", section %1: element %2 is read by nothing").arg(s).arg(tags[p])));
                    if (tags[p] == QLatin1String("TABLEDIM"))
                        hasSize = slots_[p][0].toInt() > 0;
                    if (tags[p] == QLatin1String("SOUND_FILES"))
                        for (int i = 0; i < 5; ++i)
                            verifyNamedFile(slots_[p][i], where + QStringLiteral(", SOUND_FILES slot %1").arg(i));
                }
            }
            QVERIFY2(hasSize, qPrintable(where + QStringLiteral(": no TABLEDIM SIZE in the row template")));
            continue;
        }
        const int heads = reader.readHeadLineCounts(page);
        const QVector<int> counts = reader.linesPerHeadLine(page);
        QVERIFY2(heads > 0, qPrintable(where + QStringLiteral(" has no head lines")));
        if (kinds[page] == PageKindWeb) {
            WebListData web(&reader);
            web.load(page);
            const TreeLineTags &tags = web.lineTags(0, 0);
            const WebLineSlots &slots_ = web.lineAttributes(0, 0);
            QVERIFY2(tags.front() == QLatin1String("URL"), qPrintable(where + QStringLiteral(": no URL at the head of the web page")));
            verifyNamedFile(slots_[0][0], where + QStringLiteral(", URL"));
            continue;
        }
        ++treePages;
        TreePageDefinitions tree(&reader);
        tree.load(page);
        for (int h = 0; h < heads; ++h) {
            for (int l = 0; l <= counts[h]; ++l) {
                tree.lineAttributes(h, l);
                const TreeLineTags &tags = tree.lineTags(h, l);
                for (const QString &tag : tags)
                    QVERIFY2(treeTags.contains(tag),
                             qPrintable(where + QStringLiteral(", head line %1, line %2: element %3 is read by nothing")
                                            .arg(h).arg(l).arg(tag)));
            }
        }
        QVERIFY2(!reader.systemType().isEmpty(), "no SYSTEM_TYPE");
        verifyNamedFile(reader.systemHelp().trimmed(), QStringLiteral("SYSTEM_HELP"));
    }
    QVERIFY2(treePages > 0, "no tree page");

    QStringList lost;
    for (const DefinitionDiagnostic &d : reader.diagnostics())
        if (d.isSkippedContent())
            lost << d.toString();
    QVERIFY2(lost.isEmpty(), qPrintable(lost.join(QLatin1Char('\n'))));
}

// The stored files hold the three faults the reader accepts; the shipped samples must exercise
// each of them, so that the leniencies are tried on real files and not only on test fixtures.
void TestShippedFiles::quirksAreExercised()
{
    QSet<int> met;
    for (const QString &path : definitionFiles()) {
        XmlDefinition reader(path);
        reader.readPageKinds(); // the mends are made while the file loads
        for (const DefinitionDiagnostic &d : reader.diagnostics())
            met.insert(d.kind);
    }
    for (const DefinitionDiagnostic::Kind kind : {DefinitionDiagnostic::RepeatedAttribute, DefinitionDiagnostic::MissingBlank,
                                                 DefinitionDiagnostic::UndeclaredEntity})
        QVERIFY2(met.contains(kind), qPrintable(QStringLiteral("no shipped file holds leniency %1").arg(int(kind))));
}

QTEST_GUILESS_MAIN(TestShippedFiles)
#include "tst_shippedfiles.moc"
