#include "custombutton.h"
#include "mycombobox.h"
#include "mylineedit.h"
#include "mypushbutton.h"
#include "testsupport.h"
#include "treefixture.h"

#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

using TreeXml::head;

namespace {

// Element texts, with the attributes the shipped files give them.
QString text(const QString &width, const QString &txt, const QString &ftcol = QStringLiteral("11px/black/"),
             const QString &pos = QStringLiteral("LEFT"))
{
    return QStringLiteral("<TEXT WIDTH=\"%1\" POS=\"%2\" FTCOL=\"%3\" TXT=\"%4\"/>").arg(width, pos, ftcol, txt);
}

QString edit(const QString &attributes)
{
    return QStringLiteral("<EDIT WIDTH=\"80\" POS=\"CENTER\" FTCOL=\"bold 12px/black/\" FTCOL_DIF=\"red\" VTYPE=\"U16\" "
                          "VMIN=\"0\" VMAX=\"9999\" VINIT=\"0\" UID=\"\" EEADDR=\"0\" FORMAT=\"%d\" "
                          "STYLE_DIFF=\"color:red;\" %1/>")
        .arg(attributes);
}

// Replaces the attributes of an element text given again in attributes ("NAME=\"value\" ...").
QString with(QString element, const QString &attributes)
{
    const QRegularExpression pair(QStringLiteral("(\\w+)=\"([^\"]*)\""));
    auto it = pair.globalMatch(attributes);
    while (it.hasNext()) {
        const auto m = it.next();
        const QRegularExpression old(QStringLiteral("\\b%1=\"[^\"]*\"").arg(m.captured(1)));
        if (element.contains(old))
            element.replace(old, m.captured(0));
        else
            element.insert(element.size() - 2, QLatin1Char(' ') + m.captured(0));
    }
    return element;
}

QString numberEdit(const QString &attributes = QString())
{
    return with(edit(QString()), attributes);
}

QString stringEdit(const QString &attributes = QString())
{
    return with(edit(QString()), QStringLiteral("WIDTH=\"240\" VTYPE=\"STRING\" FORMAT=\"30\" UID=\"IDO\" EEADDR=\"0x40\" ") + attributes);
}

QString combo(const QString &attributes = QString())
{
    return with(QStringLiteral("<CBEDIT WIDTH=\"160\" POS=\"LEFT\" FTCOL=\"bold 12px/black/\" FTCOL_DIF=\"red\" VTYPE=\"U16\" "
                               "VINIT=\"5265\" EEADDR=\"0x000E\" VALUE_LIST=\"5265/15265/\" TEXT_LIST=\"U65/H65/\" "
                               "UID=\"IDD\" STYLE_DIFF=\"color:red;\"/>"),
                attributes);
}

QString pair(const QString &attributes = QString())
{
    return with(QStringLiteral("<BUTTON_ON_OFF WIDTH=\"100\" POS=\"LEFT\" FTCOL=\"bold 12px/black/\" FTCOL_DIF=\"red\" "
                               "VTYPE=\"CASE_NUMSTR\" VALUE_LIST=\"ON/OFF/\" SELCOL=\"\" VINIT=\"1\" EEADDR=\"20:3\" "
                               "STYLE_DIFF=\"color:red;\"/>"),
                attributes);
}

QString value(const QString &attributes = QString())
{
    return with(QStringLiteral("<VALUE WIDTH=\"80\" POS=\"CENTER\" FTCOL=\"bold 12px/black/\" UID=\"\" VTYPE=\"U16\" "
                               "EEADDR=\"4\" SIZE=\"2\" STYLE_DIFF=\"\"/>"),
                attributes);
}

QString initButton()
{
    return QStringLiteral("<BUTTON_INIT BUTTON_NAME=\"Default values\" WIDTH=\"150\" WARNING=\"Restore default values?\"/>");
}

QString helpText(const QString &txt)
{
    return QStringLiteral("<HELP TXT=\"%1\"/>").arg(txt);
}

QFont font(int points, bool bold)
{
    QFont f = QGuiApplication::font();
    f.setPointSize(points);
    if (bold)
        f.setWeight(QFont::Bold);
    return f;
}

int advance(const QFont &f, const QString &s)
{
    return QFontMetrics(f).horizontalAdvance(s);
}

// The visible widgets of a line's row, left to right: "kind x+width".
QStringList placements(TreeLine *line)
{
    QList<QPair<int, QString>> list;
    for (QObject *child : line->rowFrame()->children()) {
        auto *w = qobject_cast<QWidget *>(child);
        if (!w || w->isHidden())
            continue;
        QString kind;
        if (qobject_cast<MyLineBoxEdit *>(w))
            kind = QStringLiteral("number");
        else if (qobject_cast<MyComboBox *>(w))
            kind = QStringLiteral("combo");
        else if (qobject_cast<MyPushButton *>(w))
            kind = QStringLiteral("init");
        else if (w == line->valueDisplay())
            kind = QStringLiteral("value");
        else if (w == line->textEditor())
            kind = QStringLiteral("text");
        else if (qobject_cast<MyLineEdit *>(w))
            kind = QStringLiteral("label");
        else if (line->onOffButton() && w == line->onOffButton()->container())
            kind = QStringLiteral("pair");
        else
            kind = QString::fromLatin1(w->metaObject()->className());
        if (w->height() != 25)
            kind += QStringLiteral("(height %1)").arg(w->height());
        list << qMakePair(w->x(), QStringLiteral("%1 %2+%3").arg(kind).arg(w->x()).arg(w->width()));
    }
    std::stable_sort(list.begin(), list.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList texts;
    for (const auto &entry : list)
        texts << entry.second;
    return texts;
}

// Answers the next restore-defaults question with button, once it is shown.
void answer(QMessageBox::StandardButton button, QStringList *seen = nullptr)
{
    QTimer::singleShot(0, [button, seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            answer(button, seen);
            return;
        }
        if (seen)
            *seen << box->text();
        box->button(button)->click();
    });
}

// Shows the rig's view with every row expanded and gives widget the keyboard focus.
bool focus(TreeRig &rig, QWidget *widget)
{
    rig.view->expandAll();
    if (!showActive(rig.view.get()))
        return false;
    QApplication::processEvents();
    widget->setFocus(Qt::OtherFocusReason);
    return widget->hasFocus();
}

QByteArray bytes(const OperationBin &image, int from, int count)
{
    return image.image().mid(from, count).toHex(' ');
}

}

class TestTreeLine : public QObject
{
    Q_OBJECT

private slots:
    void init() { dataModified = false; }

    // Building
    void placement_data();
    void placement();
    void styles_data();
    void styles();
    void alignment_data();
    void alignment();
    void flagsAndUids_data();
    void flagsAndUids();
    void rowColours_data();
    void rowColours();
    void valuesShownAndNothingWritten();

    // Edits
    void numberKeystrokes_data();
    void numberKeystrokes();
    void outOfRangeNeverStays();
    void textKeystrokes();
    void comboChoice();
    void onOffClicks();
    void orderOfEffects_data();
    void orderOfEffects();
    void changeMarking_data();
    void changeMarking();
    void help();
    void sendValueId();

    // Restore defaults
    void restoreDefaults();
    void questionAnsweredRepeatedly();
    void restoreStaysInItsGroup();
    void checkRunsAfterTheRestores_data();
    void checkRunsAfterTheRestores();
    void shippedRestoreGroup();

    // Lifetime
    void noTopLevelWindow();
    void destroyedInEitherOrder_data();
    void destroyedInEitherOrder();
};

// ---- building ---------------------------------------------------------------------------------------

void TestTreeLine::placement_data()
{
    QTest::addColumn<QString>("elements");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("descriptionLabel"); // index into labels(), -1 for none

    const QString sixty = QString(60, QLatin1Char('x'));
    QTest::newRow("labels and editor") << text("40", "P-1") + text("50", "") + text("340", sixty) + numberEdit()
                                       << QStringList{"label 0+40", "label 40+50", "label 90+340", "number 430+80"} << 2;

    const QString title = QStringLiteral("OPERATION PARAMETERS OF THE SYSTEM  ");
    const int bold19 = advance(font(19, true), title);
    QTest::newRow("width measured in FTCOL's font") << text("0", title, "bold 19px/white/") + text("40", "P-1")
                                                    << QStringList{QStringLiteral("label 0+%1").arg(bold19),
                                                                   QStringLiteral("label %1+40").arg(bold19)}
                                                    << 0;
    const int plain11 = advance(font(11, false), "abc");
    QTest::newRow("empty and non-numeric WIDTH are measured")
        << text("", "abc") + text("wide", "abc")
        << QStringList{QStringLiteral("label 0+%1").arg(plain11), QStringLiteral("label %1+%1").arg(plain11)} << -1;
    const int appFont = advance(QGuiApplication::font(), "abc");
    QTest::newRow("size 0 in FTCOL keeps the application font") << text("0", "abc", "ab/black/")
                                                               << QStringList{QStringLiteral("label 0+%1").arg(appFont)} << -1;
    QTest::newRow("negative WIDTH places nothing") << text("-5", "hidden") + text("40", "P-1") + numberEdit()
                                                   << QStringList{"label 0+40", "number 40+80"} << -1;
    QTest::newRow("right-hand label stays out of the row") << text("40", "P-1") + "<TEXTR WIDTH=\"0\" TXT=\"right\"/>" + numberEdit()
                                                           << QStringList{"label 0+40", "number 40+80"} << -1;
    QTest::newRow("elements that place nothing")
        << "<FRAME WIDTH=\"770\"/><BGCOL COLOR=\"#eef3f8\"/><BGCOL_DIFF COLOR=\"yellow\"/>" + helpText("h") + text("40", "P-1")
        << QStringList{"label 0+40"} << -1;
    QTest::newRow("pair, combo, text editor, restore button")
        << pair() + combo() + stringEdit() + initButton()
        << QStringList{"pair 0+105", "combo 100+160", "text 260+240", "init 500+150"} << -1;
    QTest::newRow("value display") << text("40", "P-4") + value("VTYPE=\"U8\"")
                                   << QStringList{"label 0+40", "value 40+80"} << -1;
    QTest::newRow("value display without WIDTH is as wide as its value")
        << value("WIDTH=\"0\" FTCOL=\"11px/black/\"") + text("40", "x")
        << QStringList{QStringLiteral("value 0+%1").arg(advance(font(11, false), "258")),
                       QStringLiteral("label %1+40").arg(advance(font(11, false), "258"))}
        << -1;
    QTest::newRow("unknown and lower-case tags build nothing")
        << "<edit WIDTH=\"80\" VTYPE=\"U16\"/><TEXT1 WIDTH=\"40\" TXT=\"a\"/><EDITR WIDTH=\"40\"/><DRAW_LINE COLOR=\"red\"/>"
           "<URL TEXT=\"/x.html\"/>" + text("40", "P-1")
        << QStringList{"label 0+40"} << -1;
    QTest::newRow("EDIT of another type builds nothing") << numberEdit("VTYPE=\"U32\"") + numberEdit("VTYPE=\"\"") + text("40", "P-1")
                                                          << QStringList{"label 0+40"} << -1;
}

void TestTreeLine::placement()
{
    QFETCH(QString, elements);
    QFETCH(QStringList, expected);
    QFETCH(int, descriptionLabel);
    TreeRig rig;
    QByteArray image(256, '\0');
    image[5] = 2; // the word at 4 is 258
    image[4] = 1;
    rig.setImage(image);
    rig.buildLine(elements);
    TreeLine *line = rig.line(0, 1);
    QCOMPARE(placements(line), expected);
    QCOMPARE(line->descriptionLabel(), descriptionLabel < 0 ? nullptr : line->labels().at(descriptionLabel));
}

void TestTreeLine::styles_data()
{
    QTest::addColumn<QString>("elements");
    QTest::addColumn<QString>("expected"); // the style sheet of the line's widget

    QTest::newRow("font and colour") << text("40", "a", "bold 12px/black/") << "font:bold 12px;color:black";
    QTest::newRow("plain font") << text("40", "a", "11px/black/") << "font:11px;color:black";
    QTest::newRow("one slash leaves the colour empty") << text("40", "a", "11px/black") << "font:11px;color:";
    QTest::newRow("items after the second unused") << text("40", "a", "11px/red/x/y/") << "font:11px;color:red";
    QTest::newRow("style sheet as written") << text("40", "a", "font:bold 12px; background:#d6e9e4; color:black")
                                            << "font:bold 12px; background:#d6e9e4; color:black";
    QTest::newRow("empty") << text("40", "a", "") << "";
    const QString red = QStringLiteral("FTCOL=\"bold 11px/red/\"");
    QTest::newRow("value display") << value(red) << "font:bold 11px;color:red";
    QTest::newRow("number editor") << numberEdit(red) << "font:bold 11px;color:red";
    QTest::newRow("text editor") << stringEdit(red) << "font:bold 11px;color:red";
    QTest::newRow("combo box") << combo(red) << "font:bold 11px;color:red";
    QTest::newRow("on/off pair") << pair(red) << "font:bold 11px;color:red";
}

void TestTreeLine::styles()
{
    QFETCH(QString, elements);
    QFETCH(QString, expected);
    TreeRig rig;
    rig.buildLine(elements);
    TreeLine *line = rig.line(0, 1);
    QWidget *widget = line->labels().value(0);
    if (line->hasCombo())
        widget = line->comboBox();
    else if (line->hasTextEditor())
        widget = line->textEditor();
    else if (line->hasNumberEditor())
        widget = line->numberEditor();
    else if (line->hasOnOffButton())
        widget = line->onOffButton()->onButton();
    else if (line->valueDisplay())
        widget = line->valueDisplay();
    QVERIFY(widget);
    QCOMPARE(widget->styleSheet(), expected);
    if (line->hasOnOffButton())
        QCOMPARE(line->onOffButton()->offButton()->styleSheet(), expected);
    QCOMPARE(line->rowFrame()->styleSheet(), QStringLiteral("background-color:transparent"));
}

void TestTreeLine::alignment_data()
{
    QTest::addColumn<QString>("element"); // with POS="%1"
    QTest::addColumn<QString>("pos");
    QTest::addColumn<int>("alignment");

    const QString label = text("40", "a", "11px/black/", "%1");
    const QString display = value("POS=\"%1\"");
    const QString number = numberEdit("POS=\"%1\"");
    const QString string = stringEdit("POS=\"%1\"");
    const int own = int(Qt::AlignLeft | Qt::AlignVCenter);
    const std::pair<const char *, QString> kinds[] = {{"label", label}, {"value", display}, {"number", number}, {"text", string}};
    for (const auto &[name, element] : kinds) {
        QTest::addRow("%s CENTER", name) << element << "CENTER" << int(Qt::AlignCenter);
        QTest::addRow("%s LEFT", name) << element << "LEFT" << int(Qt::AlignLeft);
        QTest::addRow("%s RIGHT", name) << element << "RIGHT" << int(Qt::AlignRight);
        QTest::addRow("%s other", name) << element << "center" << own;
    }
}

void TestTreeLine::alignment()
{
    QFETCH(QString, element);
    QFETCH(QString, pos);
    QFETCH(int, alignment);
    TreeRig rig;
    rig.buildLine(element.arg(pos));
    TreeLine *line = rig.line(0, 1);
    QLineEdit *widget = line->labels().value(0);
    if (line->hasTextEditor())
        widget = line->textEditor();
    else if (line->hasNumberEditor())
        widget = line->numberEditor();
    else if (line->valueDisplay())
        widget = line->valueDisplay();
    QVERIFY(widget);
    QCOMPARE(int(widget->alignment()), alignment);
}

void TestTreeLine::flagsAndUids_data()
{
    QTest::addColumn<QString>("elements");
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("flags");     // number, combo, on/off, text, restore button
    QTest::addColumn<QString>("uid");
    QTest::addColumn<QStringList>("addresses"); // blocNumber, ShiftRange, FlatUpStairs, FlatMin, FlatMax, additional
    QTest::addColumn<QString>("found");     // editors found by UID: idd, iddCombo, ido, sn, bloc

    const QStringList none{"", "", "", "", "", ""};
    QTest::newRow("labels only") << text("40", "a") << "" << "-----" << "" << none << "";
    QTest::newRow("number editor, other UID") << numberEdit("UID=\"P7\" EEADDR=\"0x20\"") << "spinBox" << "N----" << "P7"
                                              << QStringList{"-1", "-1", "-1", "-1", "-1", ""} << "";
    QTest::newRow("ShiftRange") << numberEdit("UID=\"ShiftRange\" EEADDR=\"0x20\"") << "spinBox" << "N----" << "ShiftRange"
                                << QStringList{"-1", "0x20", "-1", "-1", "-1", ""} << "";
    QTest::newRow("FlatUpStairs") << numberEdit("UID=\"FlatUpStairs\" EEADDR=\"22\"") << "spinBox" << "N----" << "FlatUpStairs"
                                  << QStringList{"-1", "-1", "22", "-1", "-1", ""} << "";
    QTest::newRow("FlatMin without EEADDR") << numberEdit("UID=\"FlatMin\" EEADDR=\"\"") << "spinBox" << "N----" << "FlatMin"
                                            << QStringList{"-1", "-1", "-1", "", "-1", ""} << "";
    QTest::newRow("FlatMax") << numberEdit("UID=\"FlatMax\" EEADDR=\"24\"") << "spinBox" << "N----" << "FlatMax"
                             << QStringList{"-1", "-1", "-1", "-1", "24", ""} << "";
    QTest::newRow("blocNumber") << numberEdit("UID=\"blocNumber\" EEADDR=\"8\"") << "spinBox" << "N----" << "blocNumber"
                                << QStringList{"8", "-1", "-1", "-1", "-1", ""} << "bloc";
    QTest::newRow("special flat") << numberEdit("UID=\"L_3\" EEADDR=\"0x54\"") << "spinBox" << "N----" << "L_3"
                                  << QStringList{"-1", "-1", "-1", "-1", "-1", "0x54"} << "";
    QTest::newRow("read-only O_M") << numberEdit("UID=\"O_M\"") << "NOEDIT" << "N----" << "O_M"
                                   << QStringList{"-1", "-1", "-1", "-1", "-1", ""} << "";
    QTest::newRow("IDD number") << numberEdit("UID=\"IDD\"") << "spinBox" << "N----" << "IDD"
                                << QStringList{"-1", "-1", "-1", "-1", "-1", ""} << "idd";
    QTest::newRow("SN number") << numberEdit("UID=\"SN\"") << "spinBox" << "N----" << "SN"
                               << QStringList{"-1", "-1", "-1", "-1", "-1", ""} << "sn";
    QTest::newRow("U8 number") << numberEdit("VTYPE=\"U8\"") << "spinBox" << "N----" << ""
                               << QStringList{"-1", "-1", "-1", "-1", "-1", ""} << "";
    QTest::newRow("SN value display") << value("UID=\"SN\"") << "" << "-----" << "SN" << none << "sn";
    QTest::newRow("text editor IDO") << stringEdit() << "" << "---T-" << "IDO" << none << "ido";
    QTest::newRow("combo IDD") << combo() << "comboBox" << "-C---" << "IDD" << none << "iddCombo";
    QTest::newRow("on/off pair") << pair() << "button" << "--O--" << "" << none << "";
    QTest::newRow("restore button") << initButton() << "" << "----I" << "" << none << "";
    QTest::newRow("UIDs compare exactly") << numberEdit("UID=\"shiftrange\"") << "spinBox" << "N----" << "shiftrange"
                                          << QStringList{"-1", "-1", "-1", "-1", "-1", ""} << "";
}

void TestTreeLine::flagsAndUids()
{
    QFETCH(QString, elements);
    QFETCH(QString, objectName);
    QFETCH(QString, flags);
    QFETCH(QString, uid);
    QFETCH(QStringList, addresses);
    QFETCH(QString, found);
    TreeRig rig;
    rig.buildLine(elements);
    TreeLine *line = rig.line(0, 1);

    QCOMPARE(line->objectName(), objectName);
    const QString shown = QString(line->hasNumberEditor() ? "N" : "-") + (line->hasCombo() ? "C" : "-")
                          + (line->hasOnOffButton() ? "O" : "-") + (line->hasTextEditor() ? "T" : "-")
                          + (line->hasInitButton() ? "I" : "-");
    QCOMPARE(shown, flags);
    QCOMPARE(line->uid(), uid);
    QCOMPARE(QStringList({line->blocNumberAddress(), line->shiftRangeAddress(), line->flatUpStairsAddress(),
                          line->flatMinAddress(), line->flatMaxAddress(), line->additionalNumberAddress()}),
             addresses);
    QCOMPARE(line->isAdditionalNumber(), !addresses.last().isEmpty());

    QVERIFY(line->numberEditor()); // every line has one, hidden unless it has a numeric EDIT
    QCOMPARE(line->numberEditor()->isHidden(), !line->hasNumberEditor());
    QCOMPARE(line->numberEditor()->isReadOnly(), objectName == QLatin1String("NOEDIT"));
    if (line->hasNumberEditor())
        QCOMPARE(line->numberEditor()->objectName(), QStringLiteral("spinBox"));
    if (line->hasOnOffButton())
        QCOMPARE(line->onOffButton()->objectName(), QStringLiteral("button"));
    QCOMPARE(line->iddEditor(), found == QLatin1String("idd") ? line->numberEditor() : nullptr);
    QCOMPARE(line->iddCombo(), found == QLatin1String("iddCombo") ? line->comboBox() : nullptr);
    QCOMPARE(line->idoEditor(), found == QLatin1String("ido") ? static_cast<QLineEdit *>(line->textEditor()) : nullptr);
    QCOMPARE(line->blocNumberEditor(), found == QLatin1String("bloc") ? line->numberEditor() : nullptr);
    QLineEdit *sn = line->hasNumberEditor() ? static_cast<QLineEdit *>(line->numberEditor()) : line->valueDisplay();
    QCOMPARE(line->serialNumberWidget(), found == QLatin1String("sn") ? sn : nullptr);
    // Editors are made only when an element asks for them.
    QCOMPARE(line->comboBox() != nullptr, line->hasCombo());
    QCOMPARE(line->textEditor() != nullptr, line->hasTextEditor());
    QCOMPARE(line->initButton() != nullptr, line->hasInitButton());
}

void TestTreeLine::rowColours_data()
{
    QTest::addColumn<QString>("headElements");
    QTest::addColumn<QString>("lineElements");
    QTest::addColumn<QString>("headBgColor");
    QTest::addColumn<QString>("lineBgColor");

    QTest::newRow("no BGCOL") << text("40", "h") << text("40", "l") << "transparent" << "transparent";
    QTest::newRow("empty COLOR") << "<BGCOL COLOR=\"\"/>" << "<BGCOL COLOR=\"\"/>" << "transparent" << "transparent";
    QTest::newRow("named colours") << "<BGCOL COLOR=\"#3a6ea5\"/>" << "<BGCOL COLOR=\"yellow\"/>" << "#3a6ea5" << "yellow";
}

void TestTreeLine::rowColours()
{
    QFETCH(QString, headElements);
    QFETCH(QString, lineElements);
    QFETCH(QString, headBgColor);
    QFETCH(QString, lineBgColor);
    TreeRig rig;
    rig.buildLine(lineElements + "<BGCOL_DIFF COLOR=\"red\"/>", headElements + "<BGCOL_DIFF COLOR=\"yellow\"/>");
    QCOMPARE(rig.line(0, 0)->bgColor(), headBgColor);
    QCOMPARE(rig.line(0, 1)->bgColor(), lineBgColor);
    // The page handed the head line's changed colour to the line.
    QCOMPARE(rig.line(0, 0)->bgColorDiff(), QStringLiteral("yellow"));
    QCOMPARE(rig.line(0, 1)->bgColorDiff(), QStringLiteral("yellow"));
}

// A page of every editor kind shows the image's values and leaves the image, the flag and the
// lines' marks as they were.
void TestTreeLine::valuesShownAndNothingWritten()
{
    TreeRig rig;
    QByteArray image(256, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 7 + 3);
    image[0x10] = 0;
    image[0x11] = 7; // below VMIN
    image[0x0E] = 0x3B;
    image[0x0F] = 0xA1; // 15265
    image[0x12] = 0;
    image[0x13] = 4; // in no VALUE_LIST
    image[21] = 0x08;  // bit 3 of the word at 20
    const QString title = QStringLiteral("  Name  ");
    for (int i = 0; i < 30; ++i) {
        const ushort c = i < title.size() ? title.at(i).unicode() : ' ';
        image[0x40 + 2 * i] = char(c & 0xFF);
        image[0x40 + 2 * i + 1] = char(c >> 8);
    }
    rig.setImage(image);
    rig.build(head(numberEdit("UID=\"SN\" EEADDR=\"0x10\" VMIN=\"10\" FORMAT=\"%05d\""),
                   {combo(), combo("EEADDR=\"0x12\" UID=\"\""), pair(), pair("EEADDR=\"20:2\""), stringEdit(),
                    value("VTYPE=\"U8\" EEADDR=\"0x30\""), numberEdit("VTYPE=\"U8\" EEADDR=\"0x31\" FORMAT=\"%02X\" VMAX=\"255\""),
                    initButton()}));
    QCOMPARE(rig.image.image(), image);
    QCOMPARE(dataModified, false);
    for (auto &group : rig.lines)
        for (auto &line : group)
            QVERIFY(!line->isChanged());
    for (int j = 0; j < 10; ++j)
        QCOMPARE(rig.rowColor(0, j), QString());

    QCOMPARE(rig.line(0, 0)->numberEditor()->text(), QStringLiteral("00007"));
    QCOMPARE(rig.line(0, 0)->currentValue(), 7);
    QCOMPARE(rig.line(0, 1)->comboBox()->currentIndex(), 1);
    QCOMPARE(rig.line(0, 2)->comboBox()->currentIndex(), -1);
    QVERIFY(rig.line(0, 3)->onOffButton()->onButton()->isChecked());
    QVERIFY(rig.line(0, 4)->onOffButton()->offButton()->isChecked());
    QCOMPARE(rig.line(0, 5)->textEditor()->text(), QStringLiteral("Name"));
    QCOMPARE(rig.line(0, 5)->textEditor()->maxLength(), 30);
    const int word30 = (quint8(image[0x30]) << 8) | quint8(image[0x31]);
    QCOMPARE(rig.line(0, 6)->valueDisplay()->text(), QString::number(word30));
    QCOMPARE(rig.line(0, 7)->numberEditor()->text(), QStringLiteral("%1").arg(quint8(image[0x31]), 2, 16, QLatin1Char('0')).toUpper());
}

// ---- edits ------------------------------------------------------------------------------------------

void TestTreeLine::numberKeystrokes_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("from");             // the bytes compared
    QTest::addColumn<QStringList>("afterEach"); // the bytes after each keystroke

    QTest::newRow("U16 decimal") << numberEdit("EEADDR=\"0x0000\"") << "12" << 0
                                 << QStringList{"00 01 00", "00 0c 00"};
    QTest::newRow("U8 at an odd address writes one byte") << numberEdit("VTYPE=\"U8\" EEADDR=\"5\" VMAX=\"255\"") << "20" << 4
                                                          << QStringList{"00 02 00", "00 14 00"};
    QTest::newRow("hexadecimal format") << numberEdit("EEADDR=\"8\" FORMAT=\"%04X\" VMAX=\"65535\"") << "1F" << 8
                                        << QStringList{"00 01 00", "00 1f 00"};
    QTest::newRow("base-2 format") << numberEdit("EEADDR=\"8\" FORMAT=\"%08b\" VMAX=\"255\"") << "101" << 8
                                   << QStringList{"00 01 00", "00 02 00", "00 05 00"};
}

void TestTreeLine::numberKeystrokes()
{
    QFETCH(QString, element);
    QFETCH(QString, keys);
    QFETCH(int, from);
    QFETCH(QStringList, afterEach);
    TreeRig rig;
    rig.buildLine(element + helpText("The help"), "<BGCOL_DIFF COLOR=\"yellow\"/>");
    TreeLine *line = rig.line(0, 1);
    MyLineBoxEdit *editor = line->numberEditor();
    QVERIFY(focus(rig, editor));
    editor->selectAll();
    QStringList seen;
    for (const QChar key : keys) {
        QTest::keyClick(editor, key.toLatin1());
        seen << bytes(rig.image, from, 3);
    }
    QCOMPARE(seen, afterEach);
    QVERIFY(dataModified);
    QVERIFY(line->isChanged());
    QCOMPARE(rig.rowColor(0, 1), QColor("yellow").name());
    QCOMPARE(rig.rowColor(0, 0), QString()); // the head row keeps its colour
}

// The number editor keeps the image within VMIN..VMAX: a keystroke above the maximum is refused,
// and a number below the minimum, written while it is typed, gives way to the last accepted value
// when the editor loses the focus; the flat-numbering notification never sees it.
void TestTreeLine::outOfRangeNeverStays()
{
    TreeRig rig;
    QByteArray image(256, '\0');
    image[0x21] = 40;
    rig.setImage(image);
    rig.buildLine(numberEdit("UID=\"ShiftRange\" EEADDR=\"0x20\" VMIN=\"20\" VMAX=\"50\""));
    TreeLine *line = rig.line(0, 1);
    QSignalSpy notified(line, SIGNAL(valueIdChanged()));
    MyLineBoxEdit *editor = line->numberEditor();
    QVERIFY(focus(rig, editor));
    editor->selectAll();
    QTest::keyClicks(editor, "9");
    QCOMPARE(bytes(rig.image, 0x20, 2), QByteArray("00 09")); // typed, below the minimum
    editor->clearFocus(); // the focus leaves the editor
    QCOMPARE(editor->text(), QStringLiteral("40"));
    QCOMPARE(bytes(rig.image, 0x20, 2), QByteArray("00 28"));
    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, "59");
    QCOMPARE(editor->text(), QStringLiteral("5")); // "59" is above the maximum
    editor->clearFocus();
    QCOMPARE(bytes(rig.image, 0x20, 2), QByteArray("00 28"));
    QCOMPARE(notified.count(), 0);
}

void TestTreeLine::textKeystrokes()
{
    TreeRig rig;
    rig.buildLine(stringEdit() + text("340", "Object identifier text"), "<BGCOL_DIFF COLOR=\"yellow\"/>");
    TreeLine *line = rig.line(0, 1);
    MyLineEdit *editor = line->textEditor();
    QVERIFY(focus(rig, editor));
    QStringList seen;
    for (const char key : {'A', 'B'}) {
        QTest::keyClick(editor, key);
        seen << rig.image.readText(QStringLiteral("30"), QStringLiteral("0x40"));
    }
    QCOMPARE(seen, QStringList({OperationBin::centerText("A", 30), OperationBin::centerText("AB", 30)}));
    QCOMPARE(rig.rowColor(0, 1), QColor("yellow").name());
    // The image holds the edit: the unsaved-data question must know, although the line is
    // marked only when editing finishes.
    QVERIFY(dataModified);
    QVERIFY(!line->isChanged());
    QCOMPARE(editor->styleSheet(), QStringLiteral("font:bold 12px;color:black"));
    QTest::keyClick(editor, Qt::Key_Return);
    QVERIFY(line->isChanged());
    QCOMPARE(editor->styleSheet(), QStringLiteral("color:red;"));
}

void TestTreeLine::comboChoice()
{
    TreeRig rig;
    rig.buildLine(combo("VTYPE=\"U16\"") + text("340", "Control unit model name"), "<BGCOL_DIFF COLOR=\"yellow\"/>");
    TreeLine *line = rig.line(0, 1);
    QCOMPARE(line->comboBox()->currentIndex(), -1); // image word 0 is in no VALUE_LIST
    line->comboBox()->setCurrentIndex(1);
    QCOMPARE(bytes(rig.image, 0x0E, 2), QByteArray("3b a1"));
    line->comboBox()->setCurrentIndex(0);
    QCOMPARE(bytes(rig.image, 0x0E, 2), QByteArray("14 91"));
    QVERIFY(dataModified);
    QVERIFY(line->isChanged());
    QCOMPARE(rig.rowColor(0, 1), QColor("yellow").name());
    QCOMPARE(line->descriptionLabel()->styleSheet(), QStringLiteral("color:red"));
    QCOMPARE(line->comboBox()->styleSheet(), QStringLiteral("color:red;"));
}

void TestTreeLine::onOffClicks()
{
    TreeRig rig;
    rig.buildLine(pair() + text("340", "Lock released by the exit button"), "<BGCOL_DIFF COLOR=\"yellow\"/>");
    TreeLine *line = rig.line(0, 1);
    QSignalSpy mouseReleased(line, SIGNAL(widgetMouseReleased()));
    QSignalSpy enterReleased(line, SIGNAL(widgetEnterReleased()));
    QVERIFY(focus(rig, line->onOffButton()->onButton()));
    QTest::mouseClick(line->onOffButton()->onButton(), Qt::LeftButton);
    QCOMPARE(bytes(rig.image, 20, 2), QByteArray("00 08"));
    QCOMPARE(mouseReleased.count(), 1);
    QVERIFY(dataModified);
    QVERIFY(line->isChanged());
    QCOMPARE(rig.rowColor(0, 1), QColor("yellow").name());
    QCOMPARE(line->onOffButton()->offButton()->styleSheet(), QStringLiteral("color:red;"));
    line->onOffButton()->cilckOnEnterPress(); // the page's Enter toggles the pair
    QCOMPARE(bytes(rig.image, 20, 2), QByteArray("00 00"));
    QCOMPARE(enterReleased.count(), 1);
}

void TestTreeLine::orderOfEffects_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("atColouring"); // the line's state when its row is coloured

    QTest::newRow("number editor: mark, colour, write") << numberEdit("EEADDR=\"0x0E\"") << "marked, not written";
    QTest::newRow("combo box: write, colour, mark") << combo() << "not marked, written";
    QTest::newRow("text editor: colour, write") << stringEdit("EEADDR=\"0x0E\"") << "not marked, not written";
}

// The changes of one edit come in a fixed order; the colouring of the row shows where it stands.
void TestTreeLine::orderOfEffects()
{
    QFETCH(QString, element);
    QFETCH(QString, atColouring);
    TreeRig rig;
    rig.buildLine(element, "<BGCOL_DIFF COLOR=\"yellow\"/>");
    TreeLine *line = rig.line(0, 1);
    QStringList states;
    QObject::connect(rig.model->model(), &QAbstractItemModel::dataChanged, [&] {
        states << QStringLiteral("%1, %2").arg(line->isChanged() ? "marked" : "not marked",
                                                rig.image.image().mid(0x0E, 2) == QByteArray(2, '\0') ? "not written" : "written");
    });
    if (line->hasNumberEditor())
        line->numberEditor()->setText(QStringLiteral("5"));
    else if (line->hasCombo())
        line->comboBox()->setCurrentIndex(1);
    else
        line->textEditor()->setText(QStringLiteral("A"));
    QCOMPARE(states, QStringList{atColouring});
    QVERIFY(rig.image.image().mid(0x0E, 2) != QByteArray(2, '\0'));
}

void TestTreeLine::changeMarking_data()
{
    QTest::addColumn<QString>("labels");
    QTest::addColumn<QString>("ftcolDif");
    QTest::addColumn<QString>("labelStyle"); // of the description label after the edit; "-" none

    const QString long1 = text("340", "Door opening time");
    QTest::newRow("colour name") << long1 << "red" << "color:red";
    QTest::newRow("style sheet") << long1 << "font:bold 12px; color:red" << "font:bold 12px; color:red";
    QTest::newRow("empty FTCOL_DIF keeps the label") << long1 << "" << "font:11px;color:black";
    QTest::newRow("the last long TEXT is the description") << long1 + text("200", "Seconds of opening") << "red" << "color:red";
    QTest::newRow("no label over 10 characters") << text("40", "P-10") + text("110", "1 - 99 s.") << "red" << "-";
}

void TestTreeLine::changeMarking()
{
    QFETCH(QString, labels);
    QFETCH(QString, ftcolDif);
    QFETCH(QString, labelStyle);
    TreeRig rig;
    rig.buildLine(labels + numberEdit(QStringLiteral("FTCOL_DIF=\"%1\"").arg(ftcolDif)), "<BGCOL_DIFF COLOR=\"yellow\"/>");
    TreeLine *line = rig.line(0, 1);
    MyLineEdit *description = line->descriptionLabel();
    QCOMPARE(description == nullptr, labelStyle == QLatin1String("-"));
    const QList<MyLineEdit *> others = line->labels();
    line->numberEditor()->setText(QStringLiteral("7"));
    line->numberEditor()->setText(QStringLiteral("0")); // typed back: stays marked
    QVERIFY(line->isChanged());
    QCOMPARE(rig.rowColor(0, 1), QColor("yellow").name());
    QCOMPARE(line->numberEditor()->styleSheet(), QStringLiteral("color:red;"));
    for (MyLineEdit *label : others) {
        const QString expected = label == description ? labelStyle : QStringLiteral("font:11px;color:black");
        QCOMPARE(label->styleSheet(), expected);
    }
}

void TestTreeLine::help()
{
    TreeRig rig;
    rig.buildLine(text("40", "P-1") + numberEdit() + helpText("Seconds the lock stays open"));
    TreeLine *line = rig.line(0, 1);
    rig.help->setText(QStringLiteral("before"));
    for (QWidget *widget : {static_cast<QWidget *>(line->labels().at(0)), static_cast<QWidget *>(line->numberEditor())}) {
        sendEnterLeave(widget, QEvent::Enter);
        QCOMPARE(rig.help->text(), QStringLiteral("Seconds the lock stays open"));
        sendEnterLeave(widget, QEvent::Leave);
        QCOMPARE(rig.help->text(), QStringLiteral(" "));
    }
}

void TestTreeLine::sendValueId()
{
    TreeRig rig;
    QByteArray image(256, '\0');
    image[0x21] = 40;
    rig.setImage(image);
    rig.build(head(text("40", "h"), {numberEdit("UID=\"ShiftRange\" EEADDR=\"0x20\" VMAX=\"255\" FORMAT=\"%03d\""),
                                     numberEdit("UID=\"FlatMin\" EEADDR=\"0x22\" VMAX=\"255\"")}));
    TreeLine *shift = rig.line(0, 1);
    QCOMPARE(shift->shiftRangeText(), QStringLiteral("040")); // as the editor shows it
    QSignalSpy notified(shift, SIGNAL(valueIdChanged()));
    MyLineBoxEdit *editor = shift->numberEditor();
    QVERIFY(focus(rig, editor));
    QTest::keyClick(editor, Qt::Key_Return); // unchanged
    QCOMPARE(notified.count(), 0);
    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, "41");
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(notified.count(), 1);
    QCOMPARE(shift->shiftRangeText(), QStringLiteral("041"));
    QCOMPARE(shift->currentValue(), 41);
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_Return); // finished again without a change
    QCOMPARE(notified.count(), 1);

    TreeLine *minimum = rig.line(0, 2); // another UID never notifies
    QSignalSpy quiet(minimum, SIGNAL(valueIdChanged()));
    minimum->numberEditor()->setFocus();
    minimum->numberEditor()->selectAll();
    QTest::keyClicks(minimum->numberEditor(), "9");
    QTest::keyClick(minimum->numberEditor(), Qt::Key_Return);
    QCOMPARE(quiet.count(), 0);
}

// ---- restore defaults ---------------------------------------------------------------------------------

namespace {

// Head line with a number editor (VINIT 2, image 0); line 1 the restore button; a pair at OFF with
// VINIT 1; a number editor at 5 with VINIT 3; one already at its default; a combo box whose
// VINIT names its second item; a line without editor.
QString restoreGroup(const QString &headColor = QStringLiteral("yellow"))
{
    return head(text("0", "GROUP", "bold 19px/white/") + numberEdit("EEADDR=\"0x30\" VINIT=\"2\"")
                    + QStringLiteral("<BGCOL_DIFF COLOR=\"%1\"/>").arg(headColor),
                {initButton(), pair("EEADDR=\"20:3\" VINIT=\"1\""), numberEdit("EEADDR=\"0x22\" VINIT=\"3\""),
                 numberEdit("EEADDR=\"0x24\" VINIT=\"9\""), combo("EEADDR=\"0x26\" VINIT=\"15265\""), text("40", "x")});
}

QByteArray restoreImage()
{
    QByteArray image(256, '\0');
    image[0x23] = 5;
    image[0x25] = 9;
    image[0x26] = 0x14; // 5265, the first item
    image[0x27] = char(0x91);
    return image;
}

}

void TestTreeLine::restoreDefaults()
{
    TreeRig rig;
    rig.setImage(restoreImage());
    rig.build(restoreGroup());
    RestorePage page(rig);
    TreeLine *button = rig.line(0, 1);
    QVERIFY(!button->questionBox()); // made at the first question

    QStringList questions;
    answer(QMessageBox::Ok, &questions);
    button->initButton()->click();
    QCOMPARE(questions, QStringList{"Restore default values?"});
    QMessageBox *box = button->questionBox();
    QVERIFY(box);
    QCOMPARE(box->parent(), rig.view.get());
    QVERIFY(box->isWindow());
    QCOMPARE(box->windowModality(), Qt::WindowModal);
    QCOMPARE(box->windowTitle(), QStringLiteral("TKV-05"));
    QCOMPARE(box->icon(), QMessageBox::Question);
    QCOMPARE(box->standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);

    QCOMPARE(bytes(rig.image, 0x30, 2), QByteArray("00 02")); // the head line's own editor
    QCOMPARE(bytes(rig.image, 20, 2), QByteArray("00 08"));   // pair ON
    QCOMPARE(bytes(rig.image, 0x22, 2), QByteArray("00 03"));
    QCOMPARE(bytes(rig.image, 0x24, 2), QByteArray("00 09"));
    QCOMPARE(bytes(rig.image, 0x26, 2), QByteArray("3b a1"));
    QCOMPARE(rig.line(0, 3)->numberEditor()->text(), QStringLiteral("3"));
    const QList<bool> marked{rig.line(0, 0)->isChanged(), rig.line(0, 2)->isChanged(), rig.line(0, 3)->isChanged(),
                             rig.line(0, 4)->isChanged(), rig.line(0, 5)->isChanged(), rig.line(0, 6)->isChanged()};
    QCOMPARE(marked, QList<bool>({true, true, true, false, true, false}));
    QCOMPARE(rig.rowColor(0, 4), QString());
    QCOMPARE(rig.rowColor(0, 3), QColor("yellow").name());
}

void TestTreeLine::questionAnsweredRepeatedly()
{
    TreeRig rig;
    rig.setImage(restoreImage());
    rig.build(restoreGroup());
    RestorePage page(rig);
    TreeLine *button = rig.line(0, 1);
    const QByteArray before = rig.image.image();
    QSignalSpy accepted(button, SIGNAL(buttonBoxAccepted()));
    QSignalSpy writes(rig.line(0, 3), SIGNAL(binData(QString,int)));

    answer(QMessageBox::Cancel);
    button->initButton()->click();
    answer(QMessageBox::Cancel);
    button->initButton()->click();
    QCOMPARE(rig.image.image(), before);
    QCOMPARE(dataModified, false);
    QCOMPARE(accepted.count(), 0);

    answer(QMessageBox::Ok);
    button->initButton()->click();
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(writes.count(), 1);
    QCOMPARE(bytes(rig.image, 0x22, 2), QByteArray("00 03"));
}

void TestTreeLine::restoreStaysInItsGroup()
{
    TreeRig rig;
    rig.setImage(restoreImage());
    rig.build(restoreGroup() + head(text("40", "other"), {numberEdit("EEADDR=\"0x40\" VINIT=\"8\"")}));
    RestorePage page(rig);
    answer(QMessageBox::Ok);
    rig.line(0, 1)->initButton()->click();
    QCOMPARE(bytes(rig.image, 0x22, 2), QByteArray("00 03"));
    QCOMPARE(bytes(rig.image, 0x40, 2), QByteArray("00 00"));
    QVERIFY(!rig.line(1, 1)->isChanged());
}

void TestTreeLine::checkRunsAfterTheRestores_data()
{
    QTest::addColumn<int>("shiftRange"); // in the image
    QTest::addColumn<QStringList>("log");

    QTest::newRow("restore changes ShiftRange") << 7 << QStringList{"check", "update"};
    QTest::newRow("ShiftRange already at its default") << 0 << QStringList{"check"};
}

// The page's check runs from the event loop after every restore of the same Ok, so it sees the
// restored ShiftRange, and raises the page-update notification through head line 0.
void TestTreeLine::checkRunsAfterTheRestores()
{
    QFETCH(int, shiftRange);
    QFETCH(QStringList, log);
    TreeRig rig;
    QByteArray image = restoreImage();
    image[0x51] = char(shiftRange);
    rig.setImage(image);
    rig.build(head(text("40", "h"), {initButton(), numberEdit("UID=\"ShiftRange\" EEADDR=\"0x50\" VINIT=\"0\""),
                                     numberEdit("UID=\"FlatUpStairs\" EEADDR=\"0x52\" VINIT=\"0\"")}));
    RestorePage page(rig);
    QStringList seenAtCheck;
    connect(rig.line(0, 1), &TreeLine::buttonBoxAccepted, [&] { page.log << QStringLiteral("accepted"); });
    answer(QMessageBox::Ok);
    rig.line(0, 1)->initButton()->click();
    QTRY_COMPARE(page.log, QStringList{"accepted"} + log);
    QCOMPARE(rig.line(0, 2)->shiftRangeText(), QStringLiteral("0"));
    QCOMPARE(rig.line(0, 2)->currentValue(), 0);
}

// The display group of the shipped U65 file: a combo box, a one-byte editor at an odd address and a
// base-2 editor restored by one button, on the sample image.
void TestTreeLine::shippedRestoreGroup()
{
    const QString root = QStringLiteral(TKV_DATA_ROOT);
    if (!QFileInfo::exists(root + "/DATA/RK4820_U65_sample.bin"))
        QSKIP("no data tree in this checkout");
    TreeRig rig;
    rig.image.loadFile(root + "/DATA/RK4820_U65_sample.bin");
    rig.buildFile(root + "/application/xml/RK4820_U65_EN.xlx", 1);
    RestorePage page(rig);
    const QByteArray before = rig.image.image();
    TreeLine *brightness = nullptr, *days = nullptr, *contrast = nullptr;
    for (auto &line : rig.lines.at(1)) {
        if (line->valueType() == QLatin1String("U8"))
            brightness = line.get();
        else if (line->hasNumberEditor() && line->numberEditor()->format() == QLatin1String("%07b"))
            days = line.get();
        else if (line->hasCombo())
            contrast = line.get();
    }
    QVERIFY(brightness && days && contrast && rig.line(1, 1)->hasInitButton());
    QCOMPARE(brightness->numberEditor()->text(), QStringLiteral("80"));
    QCOMPARE(days->numberEditor()->text(), QStringLiteral("0011111"));

    answer(QMessageBox::Ok);
    rig.line(1, 1)->initButton()->click();
    QByteArray expected = before;
    expected[41] = 70;  // the byte alone: byte 40 keeps its value
    expected[12] = 0;
    expected[13] = 127;
    QCOMPARE(rig.image.image().toHex(), expected.toHex());
    QCOMPARE(days->numberEditor()->text(), QStringLiteral("1111111"));
    QVERIFY(!contrast->isChanged()); // at its default already
    QVERIFY(brightness->isChanged() && days->isChanged());
}

// ---- lifetime -----------------------------------------------------------------------------------------

void TestTreeLine::noTopLevelWindow()
{
    const int before = QApplication::topLevelWidgets().size();
    {
        TreeRig rig;
        rig.build(restoreGroup() + head(text("40", "h"), {stringEdit()}));
        // A combo box makes its popup list as soon as a style reaches it; nothing else is a window.
        QStringList windows;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w != rig.view.get() && w != rig.help.get() && !qobject_cast<MyComboBox *>(w->parentWidget()))
                windows << QString::fromLatin1(w->metaObject()->className());
        QCOMPARE(windows, QStringList());
        TreeLine spare;
        auto *web = new TreeLine;
        delete web;
    }
    QCOMPARE(QApplication::topLevelWidgets().size(), before);
}

void TestTreeLine::destroyedInEitherOrder_data()
{
    QTest::addColumn<bool>("viewFirst");
    QTest::addColumn<bool>("asked");
    QTest::newRow("lines first") << false << false;
    QTest::newRow("view first") << true << false;
    QTest::newRow("lines first, after a question") << false << true;
    QTest::newRow("view first, after a question") << true << true;
}

// The question, once asked, is a child of the tree view; the line that made it releases it only
// while it is still there. (Run under AddressSanitizer.)
void TestTreeLine::destroyedInEitherOrder()
{
    QFETCH(bool, viewFirst);
    QFETCH(bool, asked);
    auto rig = std::make_unique<TreeRig>();
    rig->setImage(restoreImage());
    rig->build(restoreGroup());
    if (asked) {
        answer(QMessageBox::Cancel);
        rig->line(0, 1)->showOkCancelFrame();
        QVERIFY(rig->line(0, 1)->questionBox());
    }
    if (viewFirst) {
        rig->view.reset();
        QVERIFY(!rig->line(0, 1)->questionBox());
        QVERIFY(!rig->line(0, 2)->onOffButton()->onButton());
        rig->line(0, 2)->setDefaultValueOnOff(); // a pair without widgets changes nothing
    }
    rig.reset();
}

QTEST_MAIN(TestTreeLine)
#include "tst_treeline.moc"
