#include "mylineboxedit.h"
#include "testsupport.h"

#include <QtTest>

namespace {

// An editor set up as a tree line sets it up: range, format, the value from the image, then that
// text as the accepted one.
MyLineBoxEdit *makeEditor(QWidget *parent, const QString &format, int minimum, int maximum, int value)
{
    auto *edit = new MyLineBoxEdit(parent);
    edit->setGeometry(0, 0, 80, 25);
    edit->setRange(minimum, maximum);
    edit->setFormat(format);
    edit->setValue(value);
    edit->setCurrentValueText(edit->text());
    edit->restoreIfBelowMinimum();
    return edit;
}

void watchValues(SignalLog &log, MyLineBoxEdit *edit, const QString &prefix = QString())
{
    log.watch(edit, qOverload<int>(&MyLineBoxEdit::valueChanged), prefix + "value");
    log.watch(edit, qOverload<QString>(&MyLineBoxEdit::valueChanged), prefix + "text");
}

void leave(QWidget *widget)
{
    sendEnterLeave(widget, QEvent::Leave);
}

}

class TestNumberEditor : public QObject
{
    Q_OBJECT
private slots:
    void setValue_data();
    void setValue();
    void emptyFormatKeepsDecimalBase();
    void belowMinimumIsRestoredOnReturn();
    void noKeystrokeAboveMaximum_data();
    void noKeystrokeAboveMaximum();
    void focusLossRestoresBeforeEditingFinished_data();
    void focusLossRestoresBeforeEditingFinished();
    void aboveMaximumIsRestoredOnLeave();
    void returnOnEmptyFieldAcceptsZero();
    void leavingReformats();
    void keys_data();
    void keys();
    void wheelScrollsTheView();
    void mouse();
    void linkedEditorsSettle();
    void binaryEditorTakesZero();
};

void TestNumberEditor::setValue_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("base");
    QTest::newRow("%04d") << "%04d" << 9999 << 7 << "0007" << 10;
    QTest::newRow("%04X") << "%04X" << 0xFFFF << 255 << "00FF" << 16;
    QTest::newRow("%08b") << "%08b" << 0xFFFF << 5 << "00000101" << 2;
    QTest::newRow("%08b above 1023") << "%08b" << 0xFFFF << 1024 << "10000000000" << 2;
    QTest::newRow("empty format") << "" << 9999 << 42 << "42" << 10;
    QTest::newRow("%s prints decimal") << "%s" << 9999 << 42 << "42" << 10;
}

void TestNumberEditor::setValue()
{
    QFETCH(QString, format);
    QFETCH(int, maximum);
    QFETCH(int, value);
    QFETCH(QString, text);
    QFETCH(int, base);
    MyLineBoxEdit edit(nullptr);
    edit.setRange(0, maximum);
    edit.setFormat(format);
    SignalLog log;
    watchValues(log, &edit);
    edit.setValue(value);
    QCOMPARE(edit.text(), text);
    QCOMPARE(edit.base(), base);
    QCOMPARE(edit.value(), value);
    QCOMPARE(log.take(), (QStringList{QString("value(%1)").arg(value), QString("text(\"%1\")").arg(text)}));
    edit.setValue(value);
    QCOMPARE(log.take(), QStringList());
}

void TestNumberEditor::emptyFormatKeepsDecimalBase()
{
    MyLineBoxEdit edit(nullptr);
    edit.setRange(0, 0xFFFF);
    edit.setFormat("%04X");
    edit.setFormat("");
    QCOMPARE(edit.base(), 10);
    edit.setFormat("%4q"); // no base letter: base and validator stay
    QCOMPARE(edit.base(), 10);
    edit.setFormat("%04X");
    edit.setFormat("%4q");
    QCOMPARE(edit.base(), 16);
}

void TestNumberEditor::belowMinimumIsRestoredOnReturn()
{
    QWidget window;
    MyLineBoxEdit *edit = makeEditor(&window, "%04d", 5, 9999, 12);
    QVERIFY(showActive(&window));
    edit->setFocus();
    SignalLog log;
    watchValues(log, edit);
    log.watch(edit, &MyLineBoxEdit::enterPressed, "enterPressed");
    log.watch(edit, &QLineEdit::editingFinished, "editingFinished");
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_3);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(edit->text(), QString("0012"));
    QVERIFY(!edit->hasFocus());
    // 3 is below the minimum: the last accepted value comes back as the focus goes, so that
    // editingFinished reports it and not the value typed.
    QCOMPARE(log.take(), (QStringList{"value(0)", "text(\"\")", "value(3)", "text(\"3\")", "value(12)",
                                      "text(\"0012\")", "editingFinished()", "enterPressed()"}));
}

// A tree line writes every keystroke into the image: none may pass a value above the maximum.
void TestNumberEditor::noKeystrokeAboveMaximum_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");

    QTest::newRow("300 into 0..255") << "%d" << 255 << "300" << "30";
    QTest::newRow("256 into 0..255") << "%d" << 255 << "256" << "25";
    QTest::newRow("255 into 0..255") << "%d" << 255 << "255" << "255";
    QTest::newRow("leading zeros do not hide it") << "%04d" << 255 << "0300" << "030";
    QTest::newRow("hexadecimal") << "%04X" << 0xFF << "1FF" << "1F";
}

void TestNumberEditor::noKeystrokeAboveMaximum()
{
    QFETCH(QString, format);
    QFETCH(int, maximum);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QWidget window;
    MyLineBoxEdit *edit = makeEditor(&window, format, 0, maximum, 0);
    QVERIFY(showActive(&window));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    int highest = -1;
    connect(edit, qOverload<int>(&MyLineBoxEdit::valueChanged), this, [&](int v) { highest = qMax(highest, v); });
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), text);
    QVERIFY2(highest <= maximum, qPrintable(QString::number(highest)));
}

// Whichever way the focus goes, a value outside the range gives way to the last accepted one
// before editingFinished().
void TestNumberEditor::focusLossRestoresBeforeEditingFinished_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("outside");   // typed below the minimum, or set from outside above the maximum

    for (const char *how : {"Tab", "click elsewhere", "Return"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1, below the minimum").arg(how))) << how << 3;
        QTest::newRow(qPrintable(QStringLiteral("%1, above the maximum").arg(how))) << how << 500;
    }
}

void TestNumberEditor::focusLossRestoresBeforeEditingFinished()
{
    QFETCH(QString, how);
    QFETCH(int, outside);
    QWidget window;
    MyLineBoxEdit *edit = makeEditor(&window, "%d", 5, 255, 12);
    auto *other = new QLineEdit(&window);
    other->move(0, 30);
    QVERIFY(showActive(&window));
    edit->setFocus();
    QVERIFY(edit->hasFocus());
    if (outside < 5) {
        edit->selectAll();
        QTest::keyClicks(edit, QString::number(outside));
    } else {
        edit->setValue(outside);   // a linked editor or a default may show it
    }
    QCOMPARE(edit->text(), QString::number(outside));

    QStringList finished;
    connect(edit, &QLineEdit::editingFinished, this, [&]() { finished << edit->text(); });
    if (how == QLatin1String("Tab"))
        QTest::keyClick(edit, Qt::Key_Tab);
    else if (how == QLatin1String("click elsewhere"))
        QTest::mouseClick(other, Qt::LeftButton);
    else
        QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(!edit->hasFocus());
    QCOMPARE(edit->text(), QString("12"));
    QCOMPARE(finished, QStringList{"12"});
}

void TestNumberEditor::aboveMaximumIsRestoredOnLeave()
{
    QWidget window;
    MyLineBoxEdit *edit = makeEditor(&window, "%d", 0, 100, 40);
    SignalLog log;
    watchValues(log, edit);
    edit->setValue(500); // from a linked editor or a default: shown, not accepted
    leave(edit);
    QCOMPARE(edit->text(), QString("40"));
    QCOMPARE(log.take(), (QStringList{"value(500)", "text(\"500\")", "value(40)", "text(\"40\")"}));
    edit->setValue(60); // within range: becomes the accepted value
    edit->setText("500");
    leave(edit);
    QCOMPARE(edit->text(), QString("60"));
}

void TestNumberEditor::returnOnEmptyFieldAcceptsZero()
{
    QWidget window;
    MyLineBoxEdit *edit = makeEditor(&window, "%04d", 0, 9999, 12);
    QVERIFY(showActive(&window));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(edit->text(), QString("0000"));
    QCOMPARE(edit->currentValueText(), QString("0000"));
}

void TestNumberEditor::leavingReformats()
{
    MyLineBoxEdit *edit = makeEditor(nullptr, "%04d", 0, 9999, 12);
    QScopedPointer<MyLineBoxEdit> owner(edit);
    edit->setText("7");
    SignalLog log;
    log.watch(edit, &MyLineBoxEdit::spinBoxLeaved, "leaved");
    watchValues(log, edit);
    leave(edit);
    QCOMPARE(log.take(), (QStringList{"leaved()", "value(7)", "text(\"0007\")"}));
    QCOMPARE(edit->currentValueText(), QString("0007"));
    log.watch(edit, &MyLineBoxEdit::spinBoxEntered, "entered");
    sendEnterLeave(edit, QEvent::Enter);
    QCOMPARE(log.take(), QStringList{"entered()"});
}

void TestNumberEditor::keys_data()
{
    QTest::addColumn<bool>("focused");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("focusAfter");
    QTest::newRow("Up dropped") << true << int(Qt::Key_Up) << 0 << "12" << QStringList() << true;
    QTest::newRow("Down dropped") << true << int(Qt::Key_Down) << 0 << "12" << QStringList() << true;
    QTest::newRow("digit types") << true << int(Qt::Key_3) << 0 << "123" << QStringList{"value(123)"} << true;
    QTest::newRow("letter refused") << true << int(Qt::Key_A) << 0 << "12" << QStringList() << true;
    QTest::newRow("comma refused") << true << int(Qt::Key_Comma) << 0 << "12" << QStringList() << true;
    QTest::newRow("digit without focus") << false << int(Qt::Key_3) << 0 << "12" << QStringList() << false;
    QTest::newRow("Escape") << true << int(Qt::Key_Escape) << 0 << "12" << QStringList{"enterPressed()"} << true;
    QTest::newRow("Ctrl+Tab") << true << int(Qt::Key_Tab) << int(Qt::ControlModifier) << "12" << QStringList{"control_Tab()"} << true;
    QTest::newRow("keypad Enter") << true << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "12" << QStringList() << true;
    QTest::newRow("Return") << true << int(Qt::Key_Return) << 0 << "0012" << QStringList{"enterPressed()", "value(12)"} << false;
}

void TestNumberEditor::keys()
{
    QFETCH(bool, focused);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QFETCH(bool, focusAfter);
    QWidget window;
    MyLineBoxEdit *edit = makeEditor(&window, "%04d", 0, 9999, 0);
    edit->setText("12");
    QVERIFY(showActive(&window));
    if (focused)
        edit->setFocus();
    SignalLog log;
    log.watch(edit, &MyLineBoxEdit::enterPressed, "enterPressed");
    log.watch(edit, &MyLineBoxEdit::control_Tab, "control_Tab");
    log.watch(edit, qOverload<int>(&MyLineBoxEdit::valueChanged), "value");
    QTest::keyClick(edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(edit->text(), text);
    QCOMPARE(log.take(), expected);
    QCOMPARE(edit->hasFocus(), focusAfter);
}

void TestNumberEditor::wheelScrollsTheView()
{
    PressRecorder view;
    MyLineBoxEdit *edit = makeEditor(&view, "%04d", 0, 9999, 12);
    QVERIFY(showActive(&view));
    edit->setFocus();
    QVERIFY(wheelPassedOn(edit, 120));
    QCOMPARE(edit->text(), QString("0012"));
    QVERIFY(!edit->hasFocus());
}

void TestNumberEditor::mouse()
{
    PressRecorder view;
    MyLineBoxEdit *edit = makeEditor(&view, "%04d", 0, 9999, 12);
    QVERIFY(showActive(&view));
    SignalLog log;
    log.watch(edit, &MyLineBoxEdit::mousePressed, "mousePressed");
    log.watch(edit, &MyLineBoxEdit::mouseDoubleClicked, "mouseDoubleClicked");
    QTest::mousePress(edit, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(log.take(), QStringList());
    QCOMPARE(view.events, QStringList());
    QTest::mouseRelease(edit, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mousePress(edit, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(log.take(), QStringList{"mousePressed()"});
    QCOMPARE(view.events, QStringList{"press"});
    QVERIFY(edit->hasFocus());
    QTest::mouseRelease(edit, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseDClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QVERIFY(log.take().contains("mouseDoubleClicked()"));
}

void TestNumberEditor::linkedEditorsSettle()
{
    QWidget window;
    MyLineBoxEdit *a = makeEditor(&window, "%04d", 0, 9999, 12);
    MyLineBoxEdit *b = makeEditor(&window, "%04d", 0, 9999, 12);
    connect(a, SIGNAL(valueChanged(int)), b, SLOT(setValue(int)));
    connect(b, SIGNAL(valueChanged(int)), a, SLOT(setValue(int)));
    SignalLog log;
    watchValues(log, a, "a.");
    watchValues(log, b, "b.");
    a->setValue(7);
    // The links were made before the log: b answers inside a's first signal, and a stays quiet.
    QCOMPARE(log.take(), (QStringList{"b.value(7)", "b.text(\"0007\")", "a.value(7)", "a.text(\"0007\")"}));
    QCOMPARE(b->text(), QString("0007"));
    QCOMPARE(b->currentValueText(), QString("0007"));
}

void TestNumberEditor::binaryEditorTakesZero()
{
    QWidget window;
    MyLineBoxEdit *edit = makeEditor(&window, "%04b", 0, 15, 5);
    QCOMPARE(edit->text(), QString("0101"));
    QVERIFY(showActive(&window));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QString());
    QTest::keyClick(edit, Qt::Key_0);
    QCOMPARE(edit->text(), QString("0"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(edit->text(), QString("0000"));
    QCOMPARE(edit->value(), 0);
}

QTEST_MAIN(TestNumberEditor)
#include "tst_numbereditor.moc"
