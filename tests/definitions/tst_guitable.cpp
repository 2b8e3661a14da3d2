#include "fixture.h"

#include <QtTest>

// The language and model table: blocks and rows are the element children of the root and of each
// block; a row's values depend on its key.
class TestGuiTable : public QObject
{
    Q_OBJECT

private slots:
    void rows_data();
    void rows();
    void blocksAreElementsOnly();
    void limits();
    void utf16File();

private:
    static QString block(const QString &rows) { return QStringLiteral("<GUI>%1</GUI>\n").arg(rows); }
    QString guiFile(const QString &blocks)
    {
        return m_files.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SYSTEM>\n%1</SYSTEM>\n")
                                 .arg(blocks).toUtf8());
    }
    Fixture m_files;
};

void TestGuiTable::rows_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("values");

    QTest::newRow("EEPROM_DATA") << "<EEPROM_DATA VALUE=\"0x1491\" MEMSIZE=\"8192\" FILE_NAME=\"RK4820_U65_EN.xlx\" NOTE=\"n\"/>"
                                 << "EEPROM_DATA" << QStringList{"0x1491", "8192", "RK4820_U65_EN.xlx"};
    QTest::newRow("EEPROM_DATA without MEMSIZE") << "<EEPROM_DATA FILE_NAME=\"f.xlx\" VALUE=\"0x3ba1\"/>"
                                                 << "EEPROM_DATA" << QStringList{"0x3ba1", "", "f.xlx"};
    QTest::newRow("EEPROM_ADDRESS: the attribute, not the text") << "<EEPROM_ADDRESS VALUE=\"0x000E\">14</EEPROM_ADDRESS>"
                                                                 << "EEPROM_ADDRESS" << QStringList{"0x000E", "", ""};
    QTest::newRow("LNG_NAME keeps its blanks") << "<LNG_NAME VALUE=\" English \"/>" << "LNG_NAME" << QStringList{" English ", "", ""};
    QTest::newRow("SUFFIX: the text, not the attribute") << "<SUFFIX VALUE=\"x\">.op/.id/.nm/</SUFFIX>"
                                                         << "SUFFIX" << QStringList{".op/.id/.nm/", "", ""};
    QTest::newRow("CDATA sections joined with the text")
        << "<ABOUT_MESSAGE>TKV-05<![CDATA[<br/>]]>Version 1.0<![CDATA[<br/>]]></ABOUT_MESSAGE>" << "ABOUT_MESSAGE"
        << QStringList{"TKV-05<br/>Version 1.0<br/>", "", ""};
    QTest::newRow("line breaks and indentation kept") << "<SHORTCUT>A-Alt+A/\n  B-Alt+B/\n  C-Alt+C/</SHORTCUT>"
                                                      << "SHORTCUT" << QStringList{"A-Alt+A/\n  B-Alt+B/\n  C-Alt+C/", "", ""};
    QTest::newRow("key in another case is another key") << "<Suffix>.op/</Suffix>" << "Suffix" << QStringList{".op/", "", ""};
    QTest::newRow("element without text") << "<ERROR_MESSAGE/>" << "ERROR_MESSAGE" << QStringList{"", "", ""};
}

void TestGuiTable::rows()
{
    QFETCH(QString, row);
    QFETCH(QString, key);
    QFETCH(QStringList, values);

    XmlDefinition reader(guiFile(block(QStringLiteral("<LNG_FLAG>f</LNG_FLAG>") + row)));
    const GuiValues &table = reader.readGui();
    QCOMPARE(reader.guiBlockCount(), 1);
    QCOMPARE(reader.guiKeys()[0][0], QStringLiteral("LNG_FLAG"));
    QCOMPARE(reader.guiKeys()[0][1], key);
    QCOMPARE(QStringList(table[0][1].begin(), table[0][1].end()), values);
    QCOMPARE(reader.guiKeys()[0][2], QString());
}

// A comment or text between blocks or rows shifts no language and no row.
void TestGuiTable::blocksAreElementsOnly()
{
    const QString blocks = block(QStringLiteral("<LNG_NAME VALUE=\" Polski \"/>"))
        + QStringLiteral("<!-- English follows -->\n")
        + block(QStringLiteral("<!-- name --><LNG_NAME VALUE=\" English \"/>stray<SUFFIX>.op/</SUFFIX>"));
    XmlDefinition reader(guiFile(blocks));
    const GuiValues &values = reader.readGui();
    const GuiKeys &keys = reader.guiKeys();
    QCOMPARE(reader.guiBlockCount(), 2);
    QCOMPARE(values[1][0][0], QStringLiteral(" English "));
    QCOMPARE(keys[1][1], QStringLiteral("SUFFIX"));
    QCOMPARE(keys[2][0], QString());
    QVERIFY(reader.diagnostics().isEmpty());
}

void TestGuiTable::limits()
{
    QString rows;
    for (int i = 0; i < 125; ++i)
        rows += QStringLiteral("<R%1>%1</R%1>").arg(i);
    QString blocks;
    for (int i = 0; i < 9; ++i)
        blocks += block(i == 0 ? rows : QStringLiteral("<LNG_NAME VALUE=\"%1\"/>").arg(i));
    XmlDefinition reader(guiFile(blocks));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("more than 8 language blocks")));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("block 0 has more than 120 rows")));
    const GuiValues &values = reader.readGui();
    QCOMPARE(reader.guiBlockCount(), 8);
    QCOMPARE(values[0][119][0], QStringLiteral("119"));
    QCOMPARE(values[7][0][0], QStringLiteral("7"));
    QCOMPARE(reader.diagnostics().size(), 2);

    XmlDefinition missing(QStringLiteral("/no/such/GUI.xlx"));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("cannot be opened")));
    QCOMPARE(missing.readGui(), GuiValues{});
    QCOMPARE(missing.guiBlockCount(), 0);
    QCOMPARE(missing.guiKeys(), GuiKeys{});
}

// The table as it is stored: UTF-16 big-endian with a byte-order mark, declared "UTF-16".
void TestGuiTable::utf16File()
{
    const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<SYSTEM>\n")
        + block(QStringLiteral("<LNG_NAME VALUE=\" Русский \"/><MENU_2>Помощь</MENU_2>")) + QStringLiteral("</SYSTEM>\n");
    QByteArray bytes("\xFE\xFF");
    for (const QChar c : text) {
        bytes.append(char(c.unicode() >> 8));
        bytes.append(char(c.unicode() & 0xFF));
    }
    XmlDefinition reader(m_files.write(bytes));
    const GuiValues &values = reader.readGui();
    QCOMPARE(values[0][0][0], QStringLiteral(" Русский "));
    QCOMPARE(values[0][1][0], QStringLiteral("Помощь"));
    QVERIFY(reader.diagnostics().isEmpty());
}

QTEST_GUILESS_MAIN(TestGuiTable)
#include "tst_guitable.moc"
