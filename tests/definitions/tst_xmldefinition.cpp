#include "fixture.h"
#include "lenientxml.h"
#include "slotlists.h"
#include "xmldefinition.h"

#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

Q_DECLARE_METATYPE(DefinitionDiagnostic::Kind)

namespace {

#ifdef __SANITIZE_ADDRESS__
constexpr double SlowBuild = 4;   // the sanitizer build runs everything a few times slower
#else
constexpr double SlowBuild = 1;
#endif

// The outcome of work done in a child process of its own, so that a crash, a hang or a runaway
// allocation shows as a failed row and not as the end of the whole suite.
struct Bounded {
    bool passed = false;   // exited by itself, and the work said yes
    double seconds = 0;
    long peakKb = 0;       // the child's highest resident size
};

template <typename Work>
Bounded runBounded(Work work, int killAfterSeconds = 20)
{
    QElapsedTimer clock;
    clock.start();
    const pid_t child = fork();
    if (child == 0) {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        alarm(unsigned(killAfterSeconds));
        _exit(work() ? 0 : 1);
    }
    Bounded result;
    int status = 0;
    struct rusage usage = {};
    if (child < 0 || wait4(child, &status, 0, &usage) != child)
        return result;
    result.seconds = clock.nsecsElapsed() / 1e9;
    result.peakKb = usage.ru_maxrss;
    result.passed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

}

// The definition reader: loading (leniencies, encodings, failures), the page list and the tree and
// table tables with their positional slot rule.
class TestXmlDefinition : public QObject
{
    Q_OBJECT

private slots:
    void leniencies_data();
    void leniencies();
    void declaredEntitiesAreKept();
    void encodings_data();
    void encodings();
    void pathIgnoresLetterCase();
    void unreadableFileIsEmpty_data();
    void unreadableFileIsEmpty();
    void truncatedFileIsEmpty();
    void pageKindsAndTitles_data();
    void pageKindsAndTitles();
    void headLineCounts();
    void treeSlots_data();
    void treeSlots();
    void treeWalkCountsEveryNode();
    void treeLimits();
    void webPage();
    void treeResultsStayValid();
    void tableSlots_data();
    void tableSlots();
    void tableWalkCountsEveryNode();
    void tableLimits();
    void tableResultsStayValid();
    void slotLookupFindsWhatTheReaderFilled();
    void hostileFiles_data();
    void hostileFiles();
    void queriesSeeTheFileAsItIsOnDisk_data();
    void queriesSeeTheFileAsItIsOnDisk();

private:
    Fixture m_files;
};

// Each of the three faults that stored files hold loads, is mended as their authors meant it and is
// noted as a mend (not as lost content); references the document may hold stay untouched.
void TestXmlDefinition::leniencies_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("noted"); // DefinitionDiagnostic::Kind, -1 for none
    QTest::addColumn<int>("line");

    QTest::newRow("repeated attribute: the last value counts, carried once")
        << "<BUTTON_ON_OFF WIDTH=\"60\" POS=\"CENTER\" FTCOL=\"a\" FTCOL_DIF=\"b\" VTYPE=\"CASE_NUMSTR\" VALUE_LIST=\"ON/OFF/\"\n"
           " SELCOL=\"c\" VINIT=\"1\" EEADDR=\"20:3\" STYLE_DIFF=\"color:blue;\" STYLE_DIFF=\"font:bold 12px; color:red;\"/>"
        << 9 << "font:bold 12px; color:red;" << int(DefinitionDiagnostic::RepeatedAttribute) << 2;
    QTest::newRow("no blank between attributes")
        << "<EDIT WIDTH=\"60\" POS=\"CENTER\" FTCOL=\"a\" FTCOL_DIF=\"b\" VTYPE=\"U16\" VMIN=\"0\" VMAX=\"9\" VINIT=\"1\" UID=\"X\""
           " EEADDR=\"0x0010\" FORMAT=\"%d\"SELCOL=\"c\" STYLE_DIFF=\"s\"/>"
        << 11 << "s" << int(DefinitionDiagnostic::MissingBlank) << 1;
    QTest::newRow("undeclared entity dropped from a value")
        << "<CBEDIT WIDTH=\"100\" POS=\"LEFT\" FTCOL=\"a\" FTCOL_DIF=\"b\" VTYPE=\"U16\" VINIT=\"0\" EEADDR=\"1536:0-2\""
           " VALUE_LIST=\"0/1/\" TEXT_LIST=\"[&nbsp;C&nbsp;] - Potichu/[B]/\"/>"
        << 8 << "[C] - Potichu/[B]/" << int(DefinitionDiagnostic::UndeclaredEntity) << 1;
    QTest::newRow("predefined and character references kept")
        << "<TEXT WIDTH=\"0\" POS=\"LEFT\" FTCOL=\"a\" TXT=\"A &amp; B &lt;&#65;&#x42;&gt; &quot;&apos;\"/>" << 3
        << "A & B <AB> \"'" << -1 << 0;
    QTest::newRow("single quotes and blanks around =")
        << "<TEXT WIDTH = '0' POS='LEFT' FTCOL='x' TXT='it \"is\"'/>" << 3 << "it \"is\"" << -1 << 0;
}

void TestXmlDefinition::leniencies()
{
    QFETCH(QString, element);
    QFETCH(int, slot);
    QFETCH(QString, value);
    QFETCH(int, noted);
    QFETCH(int, line);

    const QString path = m_files.definition(Fixture::treePage(QStringLiteral("<LINE>%1</LINE>").arg(element)));
    XmlDefinition reader(path);
    QCOMPARE(reader.readPageKinds(), 1);
    const TreeListValues &values = reader.readTreeList(0);
    QCOMPARE(int(values.size()), 1);
    QCOMPARE(values[0][1][0][slot], value);
    QVERIFY(!reader.hasSkippedContent());
    if (noted < 0) {
        QVERIFY(reader.diagnostics().isEmpty());
    } else {
        QVERIFY(!reader.diagnostics().isEmpty());
        const DefinitionDiagnostic &d = reader.diagnostics().first();
        QCOMPARE(int(d.kind), noted);
        QCOMPARE(d.path, path);
        // The fixture's pages start on line 6 of the file.
        QCOMPARE(d.line, 5 + line);
        QVERIFY(d.column > 0);
    }
}

// Only references the document does not declare are dropped.
void TestXmlDefinition::declaredEntitiesAreKept()
{
    XmlDefinition reader(m_files.write(
        "<?xml version=\"1.0\"?>\n<!DOCTYPE SYSTEM [\n<!ENTITY unit \"RK-4820\">\n]>\n"
        "<SYSTEM><PAGE><PGNAME>&unit; codes&nbsp;</PGNAME><TREE_LIST/></PAGE></SYSTEM>\n"));
    QCOMPARE(reader.pageName(0), QStringLiteral("RK-4820 codes"));
    QCOMPARE(reader.diagnostics().size(), 1);
    QCOMPARE(reader.diagnostics().first().kind, DefinitionDiagnostic::UndeclaredEntity);
    QCOMPARE(reader.diagnostics().first().line, 5);
}

void TestXmlDefinition::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("badBytes");

    const QString title = QStringLiteral("Коды и квартиры, Français");
    const QString page = Fixture::treePage(QString(), title);
    const auto utf16 = [&](const char *codec, const char *mark) {
        QTextCodec *c = QTextCodec::codecForName(codec);
        QTextEncoder *enc = c->makeEncoder(QTextCodec::IgnoreHeader);
        const QByteArray body = enc->fromUnicode(Fixture::wrap(page, QStringLiteral("/HELP/x.html"), QStringLiteral("UTF-16")));
        delete enc;
        return QByteArray(mark) + body;
    };
    QTest::newRow("UTF-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF" + Fixture::wrap(page).toUtf8()) << false;
    QTest::newRow("UTF-8 without mark") << Fixture::wrap(page).toUtf8() << false;
    QTest::newRow("UTF-16 big-endian with mark, declared UTF-16") << utf16("UTF-16BE", "\xFE\xFF") << false;
    QTest::newRow("UTF-16 little-endian with mark") << utf16("UTF-16LE", "\xFF\xFE") << false;
    QTest::newRow("UTF-16 big-endian without mark") << utf16("UTF-16BE", "") << false;
    QByteArray broken = "\xEF\xBB\xBF" + Fixture::wrap(page).toUtf8();
    broken.replace("NAME>Test", "NAME>\xC3\x28Test");
    QTest::newRow("bytes that are not UTF-8") << broken << true;
}

void TestXmlDefinition::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, badBytes);
    XmlDefinition reader(m_files.write(bytes));
    if (badBytes)
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("byte sequences that are not UTF-8")));
    QCOMPARE(reader.readPageKinds(), 1);
    QCOMPARE(reader.pageName(0), QStringLiteral("Коды и квартиры, Français"));
    QCOMPARE(reader.hasSkippedContent(), badBytes);
    QCOMPARE(hasDiagnostic(reader, DefinitionDiagnostic::BadEncoding), badBytes);
}

// GUI.xlx names definition files in its own letter case; below the working directory the reader
// finds them whatever case the disk has.
void TestXmlDefinition::pathIgnoresLetterCase()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("application/xml")));
    QFile file(dir.filePath(QStringLiteral("application/xml/RK4820_U65_EN.xlx")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(Fixture::wrap(Fixture::treePage(QString())).toUtf8());
    file.close();
    const QString saved = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    XmlDefinition relative(QStringLiteral("application/xml/rk4820_u65_en.XLX"));
    XmlDefinition joined(QDir::currentPath() + QStringLiteral("/APPLICATION/xml/RK4820_U65_EN.xlx"));
    const int relativePages = relative.readPageKinds();
    const int joinedPages = joined.readPageKinds();
    QDir::setCurrent(saved);
    QCOMPARE(relativePages, 1);
    QCOMPARE(joinedPages, 1);
}

// A file that cannot be read gives every query's empty result, never a partial tree, and the reader
// keeps the reason with the path and, for a parser refusal, its line and column.
void TestXmlDefinition::unreadableFileIsEmpty_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("line");

    const QString good = Fixture::treePage(QStringLiteral("<LINE><TEXT WIDTH=\"1\" POS=\"L\" FTCOL=\"c\" TXT=\"t\"/></LINE>"));
    QTest::newRow("missing file") << QStringLiteral("/no/such/folder/RK4820_U65_EN.xlx")
                                  << int(DefinitionDiagnostic::FileNotOpened) << 0;
    QTest::newRow("a folder") << QDir::tempPath() << int(DefinitionDiagnostic::FileNotOpened) << 0;
    QTest::newRow("empty file") << m_files.write(QByteArray()) << int(DefinitionDiagnostic::NotWellFormed) << 1;
    // A good page first: the parser has built it before it meets the fault.
    QTest::newRow("mismatched end tag after a good page")
        << m_files.write(Fixture::wrap(good + QStringLiteral("\n<PAGE><PGNAME>x</PGNAM></PAGE>")).toUtf8())
        << int(DefinitionDiagnostic::NotWellFormed) << 7;
    QTest::newRow("unterminated value")
        << m_files.write(Fixture::wrap(good + QStringLiteral("\n<PAGE A=\"x></PAGE>")).toUtf8())
        << int(DefinitionDiagnostic::NotWellFormed) << 7;
    // The mends keep line breaks, so a fault after a mended tag is reported on its own line.
    QTest::newRow("fault after a repeated attribute that spans lines")
        << m_files.write(Fixture::wrap(QStringLiteral("<PAGE><PGNAME A=\"1\nx\n\"\nA=\"2\">x</PGNAME>\n<TREE_LIST></PAGE>")).toUtf8())
        << int(DefinitionDiagnostic::NotWellFormed) << 10;
    QTest::newRow("bare ampersand")
        << m_files.write(Fixture::wrap(good + QStringLiteral("\n<PAGE><PGNAME>A & B</PGNAME></PAGE>")).toUtf8())
        << int(DefinitionDiagnostic::NotWellFormed) << 7;
}

void TestXmlDefinition::unreadableFileIsEmpty()
{
    QFETCH(QString, path);
    QFETCH(int, kind);
    QFETCH(int, line);

    XmlDefinition reader(path);
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^XmlDefinition: ")));
    QCOMPARE(reader.readPageKinds(), 0);
    QVERIFY(reader.pageKinds().isEmpty());
    QCOMPARE(reader.pageName(0), QString());
    QCOMPARE(reader.readHeadLineCounts(0), 0);
    QVERIFY(reader.linesPerHeadLine().isEmpty());
    QCOMPARE(int(reader.readTreeList(0).size()), 0);
    QCOMPARE(reader.systemHelp(), QString());
    QCOMPARE(reader.systemType(), QString());
    const TableListValues &table = reader.readTableList(0);
    QCOMPARE(filledSlots(table[0][1][0]), QStringList());
    QCOMPARE(reader.tableTags()[0][0][0], QString());
    QCOMPARE(reader.tableColumnCount(0), 0);
    reader.readGui();
    QCOMPARE(reader.guiBlockCount(), 0);

    // Reported once, however many queries met it.
    DefinitionDiagnostics lost;
    for (const DefinitionDiagnostic &d : reader.diagnostics())
        if (d.isSkippedContent())
            lost.append(d);
    QCOMPARE(lost.size(), 1);
    const DefinitionDiagnostic &d = lost.first();
    QCOMPARE(int(d.kind), kind);
    QCOMPARE(d.path, path);
    QCOMPARE(d.line, line);
    QVERIFY(!d.message.isEmpty());
    QVERIFY(d.toString().startsWith(path));
}

// Wherever a file is cut off, the parser has built part of a tree by then; none of it is used.
void TestXmlDefinition::truncatedFileIsEmpty()
{
    const QByteArray whole = "\xEF\xBB\xBF" + Fixture::wrap(Fixture::treePage(QStringLiteral(
        "<LINE><BUTTON_ON_OFF WIDTH=\"60\" STYLE_DIFF=\"a\" STYLE_DIFF=\"b\"/><EDIT FORMAT=\"%d\"SELCOL=\"c\"/></LINE>"
        "<LINE><CBEDIT TEXT_LIST=\"[&nbsp;C&nbsp;]/\"/><!-- note --><HELP TXT=\"&amp;\"/></LINE>"))).toUtf8();
    const int end = whole.lastIndexOf("</SYSTEM>");
    for (int cut = 3; cut <= end; cut += 7) {
        XmlDefinition reader(m_files.write(whole.left(cut)));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("not well-formed")));
        QCOMPARE(reader.readPageKinds(), 0);
        QVERIFY2(reader.hasSkippedContent(), qPrintable(QString::number(cut)));
    }
    XmlDefinition reader(m_files.write(whole));
    QCOMPARE(reader.readPageKinds(), 1);
    QVERIFY(!reader.hasSkippedContent());
}

void TestXmlDefinition::pageKindsAndTitles_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");

    QTest::newRow("tree") << 0 << int(PageKindTree) << "Parameters";
    QTest::newRow("table, title keeps its leading blank") << 1 << int(PageKindTable) << " Coded lock codes/Flats options";
    QTest::newRow("web") << 2 << int(PageKindWeb) << "Manual";
    QTest::newRow("last child a comment") << 3 << int(PageKindNone) << "Commented";
    QTest::newRow("last child another element") << 4 << int(PageKindNone) << "Other";
    QTest::newRow("first child a comment") << 5 << int(PageKindTree) << "";
    QTest::newRow("no children") << 6 << int(PageKindNone) << "";
    QTest::newRow("body tag in another case") << 7 << int(PageKindNone) << "Case";
    QTest::newRow("title of text and CDATA") << 8 << int(PageKindWeb) << "A <b>B</b> C";
    QTest::newRow("nested PAGE counts in document order") << 9 << int(PageKindTree) << "Nested";
    QTest::newRow("past the last page") << 10 << -1 << "";
    QTest::newRow("negative index") << -1 << -1 << "";
}

void TestXmlDefinition::pageKindsAndTitles()
{
    QFETCH(int, page);
    QFETCH(int, kind);
    QFETCH(QString, title);

    const QString pages = QStringLiteral(
        "<PAGE><PGNAME>Parameters</PGNAME><TREE_LIST/></PAGE>\n"
        "<PAGE><PGNAME> Coded lock codes/Flats options</PGNAME><TABLE_LIST/></PAGE>\n"
        "<PAGE><PGNAME>Manual</PGNAME><NOTE/><WEB_LIST/></PAGE>\n"
        "<PAGE><PGNAME>Commented</PGNAME><TREE_LIST/><!-- old body --></PAGE>\n"
        "<PAGE><PGNAME>Other</PGNAME><LIST/></PAGE>\n"
        "<PAGE><!-- title --><PGNAME>Hidden</PGNAME><TREE_LIST/></PAGE>\n"
        "<PAGE/>\n"
        "<PAGE><PGNAME>Case</PGNAME><tree_list/></PAGE>\n"
        "<PAGE><PGNAME>A <![CDATA[<b>B</b>]]> C</PGNAME><WEB_LIST/></PAGE>\n"
        "<GROUP><PAGE><PGNAME>Nested</PGNAME><TREE_LIST/></PAGE></GROUP>\n");
    XmlDefinition reader(m_files.definition(pages));
    QCOMPARE(reader.readPageKinds(), 10);
    QCOMPARE(reader.pageKinds().size(), 10);
    if (kind >= 0)
        QCOMPARE(int(reader.pageKinds().at(page)), kind);
    QCOMPARE(reader.pageName(page), title);
}

// Every child node counts at both levels; line counts leave out the head line's own row.
void TestXmlDefinition::headLineCounts()
{
    QString lines31;
    for (int i = 0; i < 31; ++i)
        lines31 += QStringLiteral("<LINE/>");
    const QString body = QStringLiteral(
        "<HEAD_LINE><HEAD_LINE_DEF/></HEAD_LINE>\n"
        "<HEAD_LINE><HEAD_LINE_DEF/>%1</HEAD_LINE>\n"
        "<!-- between head lines -->\n"
        "<HEAD_LINE><HEAD_LINE_DEF/><LINE/><!-- between lines --><LINE/>text<LINE/></HEAD_LINE>\n"
        "stray text\n"
        "<HEAD_LINE/>\n"
        "<HEAD_LINE><LINE/></HEAD_LINE>\n").arg(lines31);
    XmlDefinition reader(m_files.definition(
        QStringLiteral("<PAGE><PGNAME>P</PGNAME><TREE_LIST>%1</TREE_LIST></PAGE>").arg(body)));
    QCOMPARE(reader.readHeadLineCounts(0), 7);
    QCOMPARE(reader.linesPerHeadLine(0), QVector<int>({0, 31, 0, 5, 0, 0, 0}));
    QCOMPARE(int(reader.readTreeList(0).size()), 7);
    QCOMPARE(reader.readHeadLineCounts(1), 0);
    QVERIFY(reader.linesPerHeadLine().isEmpty());
    QVERIFY(reader.diagnostics().isEmpty());
}

// The slot rule: k = the smaller of the attributes an element carries and its list's length.
void TestXmlDefinition::treeSlots_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QStringList>("filled"); // trailing empty slots left off

    QTest::newRow("TEXT without ID") << "<TEXT WIDTH=\"0\" POS=\"LEFT\" FTCOL=\"11px/black/\" TXT=\"Serial number\"/>"
                                     << "TEXT" << QStringList{"0", "LEFT", "11px/black/", "Serial number"};
    QTest::newRow("TEXT attributes in another order, value kept as written")
        << "<TEXT TXT=\"  Flat  \" ID=\"7\" WIDTH=\"-1\" FTCOL=\"RED\" POS=\"x\"/>" << "TEXT"
        << QStringList{"-1", "x", "RED", "  Flat  ", "7"};
    QTest::newRow("EDIT with all twelve and SELCOL: 13 carried, slots 0-11")
        << "<EDIT WIDTH=\"60\" POS=\"CENTER\" FTCOL=\"f\" FTCOL_DIF=\"fd\" VTYPE=\"U16\" VMIN=\"1\" VMAX=\"255\" VINIT=\"1\""
           " UID=\"FlatMin\" EEADDR=\"0x0020\" FORMAT=\"%d\" SELCOL=\"sc\" STYLE_DIFF=\"sd\"/>"
        << "EDIT" << QStringList{"60", "CENTER", "f", "fd", "U16", "1", "255", "1", "FlatMin", "0x0020", "%d", "sd"};
    QTest::newRow("EDIT of twelve with SELCOL and no STYLE_DIFF")
        << "<EDIT WIDTH=\"60\" POS=\"CENTER\" FTCOL=\"f\" FTCOL_DIF=\"fd\" VTYPE=\"U16\" VMIN=\"1\" VMAX=\"255\" VINIT=\"1\""
           " UID=\"FlatMin\" EEADDR=\"0x0020\" FORMAT=\"%d\" SELCOL=\"sc\"/>"
        << "EDIT" << QStringList{"60", "CENTER", "f", "fd", "U16", "1", "255", "1", "FlatMin", "0x0020", "%d"};
    QTest::newRow("CBEDIT without UID: 10 carried, STYLE_DIFF in slot 10 not read")
        << "<CBEDIT WIDTH=\"100\" POS=\"LEFT\" FTCOL=\"f\" FTCOL_DIF=\"fd\" VTYPE=\"U16\" VINIT=\"0\" EEADDR=\"1536:0-2\""
           " VALUE_LIST=\"0/1/\" TEXT_LIST=\"a/b/\" STYLE_DIFF=\"sd\"/>"
        << "CBEDIT" << QStringList{"100", "LEFT", "f", "fd", "U16", "0", "1536:0-2", "0/1/", "a/b/"};
    QTest::newRow("attributes outside the list count but are not read")
        << "<TEXT WIDTH=\"5\" A=\"1\" B=\"2\" C=\"3\" TXT=\"t\"/>" << "TEXT" << QStringList{"5", "", "", "t"};
    QTest::newRow("listed attribute past k not read")
        << "<TEXT A=\"1\" TXT=\"t\"/>" << "TEXT" << QStringList{};
    QTest::newRow("VALUE with seven") << "<VALUE WIDTH=\"80\" POS=\"RIGHT\" FTCOL=\"f\" UID=\"SN\" VTYPE=\"U16\" EEADDR=\"0x0000\" SIZE=\"2\"/>"
                                      << "VALUE" << QStringList{"80", "RIGHT", "f", "SN", "U16", "0x0000", "2"};
    QTest::newRow("BUTTON_INIT") << "<BUTTON_INIT BUTTON_NAME=\"Defaults\" WIDTH=\"90\" WARNING=\"Sure?\"/>"
                                 << "BUTTON_INIT" << QStringList{"Defaults", "90", "Sure?"};
    QTest::newRow("BGCOL with two attributes") << "<BGCOL COLOR=\"#e0e0e0\" X=\"1\"/>" << "BGCOL" << QStringList{"#e0e0e0"};
    QTest::newRow("BGCOL_DIFF and DRAW_LINE") << "<BGCOL_DIFF COLOR=\"yellow\"/>" << "BGCOL_DIFF" << QStringList{"yellow"};
    QTest::newRow("HELP with one attribute") << "<HELP TXT=\"Help text\"/>" << "HELP" << QStringList{"Help text"};
    QTest::newRow("HELP with two attributes") << "<HELP TXT=\"h\" X=\"1\"/>" << "HELP" << QStringList{"h", "h"};
    QTest::newRow("HELP with twenty attributes fills all 14")
        << "<HELP TXT=\"h\" A1=\"\" A2=\"\" A3=\"\" A4=\"\" A5=\"\" A6=\"\" A7=\"\" A8=\"\" A9=\"\" B1=\"\" B2=\"\" B3=\"\""
           " B4=\"\" B5=\"\" B6=\"\" B7=\"\" B8=\"\" B9=\"\" C1=\"\"/>"
        << "HELP" << QStringList(QVector<QString>(14, "h").toList());
    QTest::newRow("one-name tag without its attribute") << "<FRAME X=\"1\" Y=\"2\"/>" << "FRAME" << QStringList{};
    QTest::newRow("FRAME2") << "<FRAME2 WIDTH=\"420\"/>" << "FRAME2" << QStringList{"420"};
    QTest::newRow("FRAME1 is in no list") << "<FRAME1 WIDTH=\"420\"/>" << "FRAME1" << QStringList{};
    QTest::newRow("tag compared with case") << "<Text WIDTH=\"1\"/>" << "Text" << QStringList{};
    QTest::newRow("look-alike letter kept") << "<EDIT WIDTH=\"1\" POS=\"2\" FTCOL=\"3\" FTCOL_DIF=\"4\" VTYPE=\"U16\" VMIN=\"0\""
                                              " VMAX=\"9\" VINIT=\"0\" UID=\"FlatMаx\"/>"
                                           << "EDIT" << QStringList{"1", "2", "3", "4", "U16", "0", "9", "0", "FlatMаx"};
    QTest::newRow("EDITR") << "<EDITR WIDTH=\"1\" POS=\"2\" FTCOL=\"3\" FTCOL_DIF=\"4\" LENGTH=\"5\" VTYPE=\"6\" VINIT=\"7\" UID=\"8\" EEADDR=\"9\"/>"
                           << "EDITR" << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9"};
    QTest::newRow("comment") << "<!-- <TEXT WIDTH=\"1\"/> -->" << "" << QStringList{};
    QTest::newRow("text") << "  some text " << "" << QStringList{};
}

void TestXmlDefinition::treeSlots()
{
    QFETCH(QString, element);
    QFETCH(QString, tag);
    QFETCH(QStringList, filled);

    XmlDefinition reader(m_files.definition(Fixture::treePage(QStringLiteral("<LINE>%1<HELP TXT=\"after\"/></LINE>").arg(element))));
    const TreeListValues &values = reader.readTreeList(0);
    QCOMPARE(reader.treeTags()[0][1][0], tag);
    QCOMPARE(filledSlots(values[0][1][0]), filled);
    QCOMPARE(reader.treeTags()[0][1][1], QStringLiteral("HELP"));
    QCOMPARE(values[0][1][1][0], QStringLiteral("after"));
}

// Indices are positions among child nodes, so a comment takes a line of its own and nothing else
// moves out of step with the line counts.
void TestXmlDefinition::treeWalkCountsEveryNode()
{
    const QString page = Fixture::treePage(QStringLiteral(
        "<LINE><TEXT WIDTH=\"1\"/></LINE><!-- removed line --><LINE>x<!--c--><TEXT WIDTH=\"3\"/></LINE>"));
    XmlDefinition reader(m_files.definition(page));
    QCOMPARE(reader.readHeadLineCounts(0), 1);
    QCOMPARE(reader.linesPerHeadLine().at(0), 3);
    const TreeListValues &values = reader.readTreeList(0);
    const TreeListTags &tags = reader.treeTags();
    QCOMPARE(tags[0][0][0], QStringLiteral("TEXT"));
    QCOMPARE(values[0][0][0][3], QStringLiteral("Head"));
    QCOMPARE(tags[0][1][0], QStringLiteral("TEXT"));
    QCOMPARE(tags[0][2][0], QString());
    QCOMPARE(tags[0][3][0], QString());
    QCOMPARE(tags[0][3][1], QString());
    QCOMPARE(tags[0][3][2], QStringLiteral("TEXT"));
    QCOMPARE(values[0][3][2][0], QStringLiteral("3"));
    QCOMPARE(reader.systemHelp(), QStringLiteral("/HELP/Application/EN/help.html"));
    QCOMPARE(reader.systemType(), QStringLiteral("4820_U"));
}

// Nodes beyond the tables' capacity are left out, noted, and the counts promise no more lines than
// the tables hold.
void TestXmlDefinition::treeLimits()
{
    QString lines;
    for (int i = 1; i <= 120; ++i)
        lines += QStringLiteral("<LINE><TEXT TXT=\"%1\"/></LINE>\n").arg(i);
    QString elements;
    for (int i = 0; i < 12; ++i)
        elements += QStringLiteral("<HELP TXT=\"%1\"/>").arg(i);
    const QString page = Fixture::treePage(QStringLiteral("<LINE>%1</LINE>%2").arg(elements, lines));
    XmlDefinition reader(m_files.definition(page));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("head line 0: more than 100 lines")));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("more than 10 elements")));
    QCOMPARE(reader.readHeadLineCounts(0), 1);
    QCOMPARE(reader.linesPerHeadLine().at(0), 99);
    const TreeListValues &values = reader.readTreeList(0);
    QCOMPARE(values[0][1][9][0], QStringLiteral("9"));
    QCOMPARE(values[0][99][0][0], QString()); // TEXT with one attribute fills WIDTH only
    QCOMPARE(reader.treeTags()[0][99][0], QStringLiteral("TEXT"));
    QVERIFY(reader.hasSkippedContent());
    int full = 0;
    for (const DefinitionDiagnostic &d : reader.diagnostics()) {
        QCOMPARE(int(d.kind), int(DefinitionDiagnostic::TableFull));
        QVERIFY(d.line > 0);
        ++full;
    }
    QCOMPARE(full, 2);
}

void TestXmlDefinition::webPage()
{
    const QString pages = Fixture::treePage(QString()) + QStringLiteral(
        "<PAGE><PGNAME>Manual</PGNAME><WEB_LIST><HTML><LINK><URL TEXT=\"/HELP/Manual/EN/manual.html\"/></LINK></HTML>"
        "</WEB_LIST></PAGE>");
    XmlDefinition reader(m_files.definition(pages));
    QCOMPARE(reader.readPageKinds(), 2);
    QCOMPARE(reader.pageKinds().at(1), PageKindWeb);
    QCOMPARE(reader.readHeadLineCounts(1), 1);
    QCOMPARE(reader.linesPerHeadLine().at(0), 0);
    const TreeListValues &values = reader.readTreeList(1);
    QCOMPARE(int(values.size()), 1);
    QCOMPARE(reader.treeTags()[0][0][0], QStringLiteral("URL"));
    QCOMPARE(filledSlots(values[0][0][0]), QStringList{"/HELP/Manual/EN/manual.html"});
    QCOMPARE(reader.systemHelp(), QStringLiteral("/HELP/Application/EN/help.html"));
}

// Results stay valid and unchanged until the reader goes, whatever was asked after them.
void TestXmlDefinition::treeResultsStayValid()
{
    const QString pages = Fixture::treePage(QStringLiteral("<LINE><TEXT WIDTH=\"1\"/></LINE>"), QStringLiteral("A"))
        + Fixture::treePage(QStringLiteral("<LINE><TEXT WIDTH=\"2\"/></LINE>"), QStringLiteral("B"));
    XmlDefinition reader(m_files.definition(pages));
    reader.readHeadLineCounts(0);
    const QVector<int> &countsA = reader.linesPerHeadLine();
    const TreeListValues &a = reader.readTreeList(0);
    const TreeListTags &tagsA = reader.treeTags();
    const TreeListValues &b = reader.readTreeList(1);
    reader.readHeadLineCounts(1);
    reader.readTreeList(2);
    QCOMPARE(countsA, QVector<int>{1});
    QCOMPARE(a[0][1][0][0], QStringLiteral("1"));
    QCOMPARE(tagsA[0][1][0], QStringLiteral("TEXT"));
    QCOMPARE(b[0][1][0][0], QStringLiteral("2"));
    QVERIFY(&a != &b);
    QCOMPARE(int(reader.treeTags().size()), 0); // the latest: a page past the end
}

void TestXmlDefinition::tableSlots_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QStringList>("filled");

    QTest::newRow("TEXT_1 without LABEL: five carried, STYLE not read")
        << "<TEXT_1 WIDTH=\"80\" HORIZ_MARG=\"5\" VERT_MARG=\"6\" POS=\"LEFT\" STYLE=\"s\"/>" << "TEXT_1"
        << QStringList{"80", "5", "6", "LEFT"};
    QTest::newRow("TEXT_n with all and one more: slot 6 has no name")
        << "<TEXT_4 WIDTH=\"1\" HORIZ_MARG=\"2\" VERT_MARG=\"3\" POS=\"4\" LABEL=\"5\" STYLE=\"6\" HELPTXT=\"7\"/>" << "TEXT_4"
        << QStringList{"1", "2", "3", "4", "5", "6"};
    QTest::newRow("TEXT_2 with HELPTXT outside its list")
        << "<TEXT_2 WIDTH=\"1\" HORIZ_MARG=\"2\" VERT_MARG=\"3\" POS=\"4\" LABEL=\"Key\" HELPTXT=\"h\"/>" << "TEXT_2"
        << QStringList{"1", "2", "3", "4", "Key"};
    QTest::newRow("EDIT with all thirteen")
        << "<EDIT UID=\"CIPHER\" WIDTH=\"1\" POS=\"2\" FTCOL=\"3\" FTCOL_DIF=\"4\" VTYPE=\"U16\" VMIN=\"0\" VMAX=\"9999\" VINIT=\"0\""
           " TABADDR=\"0x0100\" HELPTXT=\"h\" FLAT_NR_START=\"1\" FORMAT=\"%04d\"/>"
        << "EDIT" << QStringList{"CIPHER", "1", "2", "3", "4", "U16", "0", "9999", "0", "0x0100", "h", "1", "%04d"};
    QTest::newRow("EDIT without UID: FORMAT past k")
        << "<EDIT WIDTH=\"1\" POS=\"2\" FTCOL=\"3\" FTCOL_DIF=\"4\" VTYPE=\"U16\" VMIN=\"0\" VMAX=\"9999\" VINIT=\"0\""
           " TABADDR=\"0x0100\" HELPTXT=\"h\" FLAT_NR_START=\"1\" FORMAT=\"%04d\"/>"
        << "EDIT" << QStringList{"", "1", "2", "3", "4", "U16", "0", "9999", "0", "0x0100", "h", "1"};
    QTest::newRow("TEXT_TABLE with the misspelt FLAT_NR_STRAT")
        << "<TEXT_TABLE WIDTH=\"40\" POS=\"CENTER\" FTCOL=\"3\" TXT=\"Flat\" VTYPE=\"U16\" VALUE=\"1\" FLAT_NR_STRAT=\"1\"/>"
        << "TEXT_TABLE" << QStringList{"40", "CENTER", "3", "Flat", "U16", "1"};
    QTest::newRow("BOX_MENU never past its list")
        << "<BOX_MENU X=\"1\" Y=\"2\" W=\"3\" H=\"4\" TITLE=\"Mode\" A=\"a\" B=\"b\" C=\"c\" D=\"d\" E=\"e\" F=\"f\" G=\"g\" I=\"i\"/>"
        << "BOX_MENU" << QStringList{"1", "2", "3", "4", "Mode"};
    QTest::newRow("CBEDIT, table order") << "<CBEDIT WIDTH=\"1\" POS=\"2\" FTCOL=\"3\" FTCOL_DIF=\"4\" VTYPE=\"U16\" VMIN=\"0\""
                                            " VMAX=\"7\" VINIT=\"0\" TABADDR=\"1536:0-2\" VALUE_LIST=\"0/1/\" HELPTXT=\"h\" FORMAT=\"f\"/>"
                                         << "CBEDIT" << QStringList{"1", "2", "3", "4", "U16", "0", "7", "0", "1536:0-2", "0/1/", "h", "f"};
    QTest::newRow("SOUND_FILES") << "<SOUND_FILES NEW_KEY=\"a.wav\" KEY_ADDED=\"b.wav\" KEY_NOT_ADDED=\"c.wav\""
                                    " CHECK_KEY_FOUND=\"d.wav\" CHECK_KEY_NOT_FOUND=\"e.wav\"/>"
                                 << "SOUND_FILES" << QStringList{"a.wav", "b.wav", "c.wav", "d.wav", "e.wav"};
    QTest::newRow("tag in no list") << "<TEXT_8 WIDTH=\"1\"/>" << "TEXT_8" << QStringList{};
    QTest::newRow("tree-only tag") << "<HELP TXT=\"h\"/>" << "HELP" << QStringList{};
}

void TestXmlDefinition::tableSlots()
{
    QFETCH(QString, element);
    QFETCH(QString, tag);
    QFETCH(QStringList, filled);

    XmlDefinition reader(m_files.definition(Fixture::tablePage(QStringLiteral("<DEFINITION/><LINE/><WIDGETS>%1</WIDGETS>").arg(element))));
    const TableListValues &values = reader.readTableList(0);
    QCOMPARE(reader.tableTags()[0][2][0], tag);
    QCOMPARE(filledSlots(values[0][2][0]), filled);
}

void TestXmlDefinition::tableWalkCountsEveryNode()
{
    const QString sections = QStringLiteral(
        "<DEFINITION><TEXTH WIDTH=\"40\" POS=\"C\" FTCOL=\"f\" TXT=\"No\"/><!-- removed column -->"
        "<TEXTH WIDTH=\"60\" POS=\"C\" FTCOL=\"f\" TXT=\"Code\"/></DEFINITION>\n"
        "<LINE><TABLEDIM SIZE=\"1024\" INDEX_MIN=\"1\" INDEX_MAX=\"1024\" COMMENTS=\"c\"/>\t\"/>\n"
        "<TEXT_INDEX WIDTH=\"40\" POS=\"C\" FTCOL=\"f\" TXT=\"\" VTYPE=\"U16\" VALUE=\"1\"/></LINE>");
    XmlDefinition reader(m_files.definition(Fixture::tablePage(sections)));
    const TableListValues &values = reader.readTableList(0);
    const TableListTags &tags = reader.tableTags();
    QCOMPARE(reader.tableColumnCount(0), 3);
    QCOMPARE(tags[0][0][1], QString());
    QCOMPARE(values[0][0][2][3], QStringLiteral("Code"));
    QCOMPARE(tags[0][1][0], QStringLiteral("TABLEDIM"));
    QCOMPARE(values[0][1][0][0], QStringLiteral("1024"));
    QCOMPARE(tags[0][1][1], QString()); // the stray text after TABLEDIM
    QCOMPARE(filledSlots(values[0][1][1]), QStringList());
    QCOMPARE(tags[0][1][2], QStringLiteral("TEXT_INDEX"));
    QCOMPARE(tags[0][2][0], QString()); // no side panel
    QVERIFY(reader.diagnostics().isEmpty());
}

void TestXmlDefinition::tableLimits()
{
    QString headers;
    for (int i = 0; i < 17; ++i)
        headers += QStringLiteral("<TEXTH TXT=\"%1\"/>").arg(i);
    const QString sections = QStringLiteral("<DEFINITION>%1</DEFINITION><LINE/><WIDGETS/><EXTRA><TEXTH/></EXTRA>").arg(headers);
    const QString page = QStringLiteral("<PAGE><PGNAME>T</PGNAME><TABLE_LIST><TABLE>%1</TABLE><TABLE><DEFINITION/></TABLE>"
                                        "</TABLE_LIST></PAGE>").arg(sections);
    XmlDefinition reader(m_files.definition(page));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("17 column headers")));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("section 0: more than 15 positions")));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("table 0: more than 3 sections")));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("page 0: more than 1 table")));
    const TableListValues &values = reader.readTableList(0);
    QCOMPARE(reader.tableColumnCount(0), 15);
    QCOMPARE(reader.tableTags()[0][0][14], QStringLiteral("TEXTH"));
    QCOMPARE(values[0][0][14][0], QString()); // one attribute: WIDTH slot only, and it is absent
    QCOMPARE(reader.diagnostics().size(), 4);
    QVERIFY(reader.hasSkippedContent());
}

void TestXmlDefinition::tableResultsStayValid()
{
    const QString pages = Fixture::tablePage(QStringLiteral("<DEFINITION><TEXTH WIDTH=\"1\"/></DEFINITION>"))
        + Fixture::tablePage(QStringLiteral("<DEFINITION><TEXTH WIDTH=\"2\"/><TEXTH WIDTH=\"3\"/></DEFINITION>"));
    XmlDefinition reader(m_files.definition(pages));
    const TableListValues &first = reader.readTableList(0);
    const TableListTags &firstTags = reader.tableTags();
    QCOMPARE(reader.tableColumnCount(), 1);
    const TableListValues &again = reader.readTableList(0);
    const TableListValues &second = reader.readTableList(1);
    QCOMPARE(reader.tableColumnCount(), 2);
    QVERIFY(&first != &again);
    QCOMPARE(first, again);
    QCOMPARE(first[0][0][0][0], QStringLiteral("1"));
    QCOMPARE(firstTags[0][0][0], QStringLiteral("TEXTH"));
    QCOMPARE(second[0][0][0][0], QStringLiteral("2"));
    const TableListValues &past = reader.readTableList(7);
    QCOMPARE(past, TableListValues{});
    QCOMPARE(reader.tableColumnCount(), 0);
}

// Whoever reads a slot by its attribute's name finds there what the reader put in it: for every tag
// of both kinds of page, an element carrying each of its list's names with the name as its value.
void TestXmlDefinition::slotLookupFindsWhatTheReaderFilled()
{
    const auto element = [](const QString &tag, const DefinitionSlots::SlotList &list) {
        QString attributes;
        for (const QString &name : list.names)
            if (!name.isEmpty())
                attributes += QStringLiteral(" %1=\"%1\"").arg(name);
        if (list.oneName) // a one-name list fills as many slots as the element carries attributes
            attributes += QStringLiteral(" A=\"\" B=\"\"");
        if (list.names.contains(QString())) // an unnamed slot counts: one more attribute reaches it
            attributes += QStringLiteral(" Z=\"\"");
        return QStringLiteral("<%1%2/>").arg(tag, attributes);
    };

    const DefinitionSlots::SlotLists &tree = DefinitionSlots::treeSlotLists();
    for (auto it = tree.constBegin(); it != tree.constEnd(); ++it) {
        XmlDefinition reader(m_files.definition(Fixture::treePage(QStringLiteral("<LINE>%1</LINE>").arg(element(it.key(), *it)))));
        const TreeElementSlots &filled = reader.readTreeList(0)[0][1][0];
        for (const QString &name : it->names) {
            const int slot = DefinitionSlots::treeSlot(it.key(), name);
            QVERIFY2(slot >= 0, qPrintable(it.key() + " " + name));
            QCOMPARE(filled[slot], name);
        }
        QCOMPARE(DefinitionSlots::treeSlot(it.key(), QStringLiteral("NO_SUCH")), -1);
    }

    const DefinitionSlots::SlotLists &table = DefinitionSlots::tableSlotLists();
    for (auto it = table.constBegin(); it != table.constEnd(); ++it) {
        XmlDefinition reader(m_files.definition(
            Fixture::tablePage(QStringLiteral("<DEFINITION/><LINE/><WIDGETS>%1</WIDGETS>").arg(element(it.key(), *it)))));
        const TablePositionSlots &filled = reader.readTableList(0)[0][2][0];
        for (const QString &name : it->names) {
            if (name.isEmpty())
                continue;
            const int slot = DefinitionSlots::tableSlot(it.key(), name);
            QVERIFY2(slot >= 0, qPrintable(it.key() + " " + name));
            QCOMPARE(filled[slot], name);
        }
    }
    QCOMPARE(DefinitionSlots::tableSlot(QStringLiteral("NO_TAG"), QStringLiteral("UID")), -1);
    QCOMPARE(DefinitionSlots::tableSlot(QStringLiteral("EDIT"), QString()), -1);
}

// Files that a broken or hostile hand might put where GUI.xlx or a definition file is read: each
// gives the empty document (or what the reader can keep) with a note of why, in a fraction of a
// second and without a large allocation; none crashes or hangs the program.
void TestXmlDefinition::hostileFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("headLines");   // of page 0; -1: not compared
    QTest::addColumn<int>("kind");        // a diagnostic the reader must hold; -1: none asked

    const auto file = [this](const QString &text) { return m_files.write(text.toUtf8()); };
    const QString page = Fixture::treePage(QStringLiteral("<LINE><TEXT WIDTH=\"1\" TXT=\"t\"/></LINE>"));

    QTest::newRow("40,000 levels of nesting")
        << file(Fixture::wrap(QStringLiteral("<A>").repeated(40000) + QStringLiteral("</A>").repeated(40000)))
        << 0 << -1 << int(DefinitionDiagnostic::TooLarge);
    QTest::newRow("nesting within the limit")
        << file(Fixture::wrap(QStringLiteral("<A>").repeated(LenientXml::MaxDepth - 10) + page
                              + QStringLiteral("</A>").repeated(LenientXml::MaxDepth - 10)))
        << 1 << 1 << -1;
    QTest::newRow("20,000 empty head lines")
        << file(Fixture::wrap(QStringLiteral("<PAGE><PGNAME>P</PGNAME><TREE_LIST>%1</TREE_LIST></PAGE>")
                                  .arg(QStringLiteral("<HEAD_LINE/>").repeated(20000))))
        << 1 << int(TreeShape::HeadLines) << int(DefinitionDiagnostic::TableFull);
    QTest::newRow("100 KB of <") << file(Fixture::wrap(page + QString(100000, QLatin1Char('<'))))
                                 << 0 << -1 << int(DefinitionDiagnostic::NotWellFormed);
    QTest::newRow("100 KB of < before a name")
        << file(Fixture::wrap(page + QStringLiteral("<<a").repeated(33000))) << 0 << -1 << int(DefinitionDiagnostic::NotWellFormed);
    QString attributes;
    for (int i = 0; i < 20000; ++i)
        attributes += QStringLiteral(" A%1=\"%1\"").arg(i);
    QTest::newRow("20,000 attributes in one tag, the first repeated last")
        << file(Fixture::wrap(QStringLiteral("<PAGE%1 A0=\"x\"><PGNAME>P</PGNAME><TREE_LIST/></PAGE>").arg(attributes)))
        << 1 << 0 << int(DefinitionDiagnostic::RepeatedAttribute);
    QTest::newRow("an apostrophe in a comment of the document type")
        << file(QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE SYSTEM [\n<!-- the unit's own entities -->\n"
                               "<!ENTITY unit \"RK-4820\">\n]>\n<SYSTEM><PAGE><PGNAME>&unit;&nbsp;codes</PGNAME>"
                               "<TREE_LIST/></PAGE></SYSTEM>\n"))
        << 1 << 0 << int(DefinitionDiagnostic::UndeclaredEntity);
    QTest::newRow("100,000 undeclared references")
        << file(Fixture::wrap(Fixture::treePage(QStringLiteral("<LINE><TEXT TXT=\"%1\"/></LINE>")
                                                    .arg(QStringLiteral("&x;").repeated(100000)))))
        << 1 << 1 << int(DefinitionDiagnostic::UndeclaredEntity);
    QTest::newRow("a file past the size limit")
        << file(Fixture::wrap(page + QStringLiteral("<!--%1-->").arg(QString(int(XmlDefinition::MaxFileSize), QLatin1Char('x')))))
        << 0 << -1 << int(DefinitionDiagnostic::TooLarge);
    QTest::newRow("a device without end") << QStringLiteral("/dev/zero") << 0 << -1 << int(DefinitionDiagnostic::FileNotOpened);
    const QString fifo = m_files.write(QByteArray()) + QStringLiteral(".fifo");
    if (mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0)
        QTest::newRow("a pipe nobody writes") << fifo << 0 << -1 << int(DefinitionDiagnostic::FileNotOpened);
}

void TestXmlDefinition::hostileFiles()
{
    QFETCH(QString, path);
    QFETCH(int, pages);
    QFETCH(int, headLines);
    QFETCH(int, kind);

    const Bounded baseline = runBounded([] { return true; });
    QVERIFY(baseline.passed);
    const Bounded run = runBounded([&] {
        // The queries of a page build, each on the same reader.
        XmlDefinition reader(path);
        bool ok = reader.readPageKinds() == pages;
        const int heads = reader.readHeadLineCounts(0);
        const int treeHeads = int(reader.readTreeList(0).size());
        ok = ok && (headLines < 0 || (heads == headLines && treeHeads == headLines));
        reader.readTableList(0);
        reader.pageName(0);
        reader.readGui();
        ok = ok && (kind < 0 || hasDiagnostic(reader, DefinitionDiagnostic::Kind(kind)));
        return ok && reader.diagnostics().size() <= XmlDefinition::MaxDiagnostics;
    });
    QVERIFY2(run.passed, "the reader crashed, hung, or gave other results");
    // A bound against a hang or a blow-up, not a speed figure: loose enough for a loaded machine.
    QVERIFY2(run.seconds < 5 * SlowBuild, qPrintable(QStringLiteral("%1 s").arg(run.seconds)));
    const long grownKb = run.peakKb - baseline.peakKb;
    QVERIFY2(grownKb < 64 * 1024, qPrintable(QStringLiteral("%1 KB more").arg(grownKb)));
}

// Each query sees the file as it is on disk at that moment; nothing of an earlier reading stays.
void TestXmlDefinition::queriesSeeTheFileAsItIsOnDisk_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("title");

    QTest::newRow("same size, new contents and time") << "rewrite" << 1 << "Second";
    QTest::newRow("another size") << "grow" << 2 << "First";
    QTest::newRow("another file put in its place, same size and time") << "replace" << 1 << "Second";
    QTest::newRow("removed") << "remove" << 0 << "";
    QTest::newRow("a folder in its place") << "folder" << 0 << "";
    QTest::newRow("unchanged") << "none" << 1 << "First";
}

void TestXmlDefinition::queriesSeeTheFileAsItIsOnDisk()
{
    QFETCH(QString, change);
    QFETCH(int, pages);
    QFETCH(QString, title);

    const auto text = [](const QString &title, int count) {
        return ("\xEF\xBB\xBF" + Fixture::wrap(Fixture::treePage(QString(), title).repeated(count))).toUtf8();
    };
    const QString path = m_files.write(text(QStringLiteral("First"), 1));
    const QString other = m_files.write(text(QStringLiteral("Second"), 1));
    XmlDefinition reader(path);
    QCOMPARE(reader.readPageKinds(), 1);
    QCOMPARE(reader.pageName(0), QStringLiteral("First"));

    const QDateTime earlier = QDateTime::currentDateTimeUtc().addSecs(-3600);
    QFile file(path);
    if (change == QLatin1String("rewrite")) {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text(QStringLiteral("Second"), 1));
        file.close();
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(earlier, QFileDevice::FileModificationTime));
        file.close();
    } else if (change == QLatin1String("grow")) {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text(QStringLiteral("First"), 2));
        file.close();
    } else if (change == QLatin1String("replace")) {
        for (const QString &name : {path, other}) {
            QFile f(name);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(earlier, QFileDevice::FileModificationTime));
        }
        QVERIFY(reader.readPageKinds() == 1 && reader.pageName(0) == QStringLiteral("First"));
        QVERIFY(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()) == 0);
    } else if (change == QLatin1String("remove")) {
        QVERIFY(QFile::remove(path));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("cannot be opened")));
    } else if (change == QLatin1String("folder")) {
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("is a folder")));
    }
    QCOMPARE(reader.readPageKinds(), pages);
    QCOMPARE(reader.pageName(0), title);
    QCOMPARE(int(reader.readTreeList(0).size()), pages > 0 ? 1 : 0);
}

QTEST_GUILESS_MAIN(TestXmlDefinition)
#include "tst_xmldefinition.moc"
