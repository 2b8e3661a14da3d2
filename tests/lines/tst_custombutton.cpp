#include "custombutton.h"
#include "mypushbutton.h"
#include "testsupport.h"
#include "widgetstyle.h"

#include <QtTest>

namespace {

void watchPair(SignalLog &log, CustomButton *pair, const QString &prefix = QString())
{
    log.watch(pair, qOverload<int>(&CustomButton::sendOnOff), prefix + "onOff");
    log.watch(pair, qOverload<QString>(&CustomButton::sendOnOff), prefix + "onOff");
    log.watch(pair, &CustomButton::buttonClicked, prefix + "buttonClicked");
    log.watch(pair, &CustomButton::enterPressed, prefix + "enterPressed");
    log.watch(pair, &CustomButton::enterReleased, prefix + "enterReleased");
    log.watch(pair, &CustomButton::mouseReleased, prefix + "mouseReleased");
    log.watch(pair, &CustomButton::buttonEntered, prefix + "buttonEntered");
    log.watch(pair, &CustomButton::buttonLeaved, prefix + "buttonLeaved");
}

// -1 unset, 0 off, 1 on; fails the test when both halves are down.
int state(CustomButton *pair)
{
    const bool on = pair->onButton()->isChecked(), off = pair->offButton()->isChecked();
    if (on && off)
        return 2;
    return on ? 1 : off ? 0 : -1;
}

}

class TestCustomButton : public QObject
{
    Q_OBJECT
private slots:
    void newPairIsUnset();
    void operations_data();
    void operations();
    void clickOnHalf_data();
    void clickOnHalf();
    void returnReleaseAndHover();
    void focusGoesToTheOtherHalf_data();
    void focusGoesToTheOtherHalf();
    void texts_data();
    void texts();
    void geometry();
    void linkedPairsSettle();
    void sharedStyle();
    void destroyingThePairRemovesItsWidgets();
    void pairOutlivesItsWidgets_data();
    void pairOutlivesItsWidgets();
};

void TestCustomButton::newPairIsUnset()
{
    QWidget parent;
    CustomButton pair(&parent);
    QCOMPARE(state(&pair), -1);
    QCOMPARE(pair.onButton()->text(), QString("ON"));
    QCOMPARE(pair.offButton()->text(), QString("OFF"));
    QVERIFY(pair.onButton()->isCheckable() && pair.offButton()->isCheckable());
}

// start: -1 unset, 0 off, 1 on. Operations: "set:N", "on", "off", "enter".
void TestCustomButton::operations_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("end");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("setValue 1 on a new pair") << -1 << "set:1" << 1 << QStringList{"onOff(1)", "buttonClicked()", "onOff(\"1\")"};
    QTest::newRow("setValue 0 on a new pair") << -1 << "set:0" << 0 << QStringList{"onOff(0)", "buttonClicked()", "onOff(\"0\")"};
    QTest::newRow("setValue 1 again") << 1 << "set:1" << 1 << QStringList{"onOff(\"\")"};
    QTest::newRow("setValue 2 on off") << 0 << "set:2" << 0 << QStringList{"onOff(\"\")"};
    QTest::newRow("setValue 0 on on") << 1 << "set:0" << 0 << QStringList{"onOff(0)", "buttonClicked()", "onOff(\"0\")"};
    QTest::newRow("ON down when on") << 1 << "on" << 1 << QStringList{"onOff(\"1\")", "onOff(1)"};
    QTest::newRow("OFF down when on") << 1 << "off" << 0 << QStringList{"onOff(\"0\")", "onOff(0)"};
    QTest::newRow("Enter on on") << 1 << "enter" << 0 << QStringList{"onOff(0)", "onOff(\"0\")", "enterPressed()"};
    QTest::newRow("Enter on off") << 0 << "enter" << 1 << QStringList{"onOff(1)", "onOff(\"1\")", "enterPressed()"};
    QTest::newRow("Enter on unset") << -1 << "enter" << -1 << QStringList{"onOff(\"\")", "enterPressed()"};
}

void TestCustomButton::operations()
{
    QFETCH(int, start);
    QFETCH(QString, operation);
    QFETCH(int, end);
    QFETCH(QStringList, expected);
    QWidget parent;
    CustomButton pair(&parent);
    if (start >= 0)
        pair.setValue(start);
    SignalLog log;
    watchPair(log, &pair);
    if (operation.startsWith("set:"))
        pair.setValue(operation.mid(4).toInt());
    else if (operation == "on")
        pair.setPuttonONDown();
    else if (operation == "off")
        pair.setPuttonOFFDown();
    else
        pair.cilckOnEnterPress();
    QCOMPARE(state(&pair), end);
    QCOMPARE(log.take(), expected);
}

void TestCustomButton::clickOnHalf_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("clickOn");
    QTest::addColumn<int>("end");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("ON on a new pair") << -1 << true << 1 << QStringList{"onOff(\"1\")", "onOff(1)", "buttonClicked()", "mouseReleased()"};
    QTest::newRow("ON when already on") << 1 << true << 1 << QStringList{"onOff(\"1\")", "onOff(1)", "buttonClicked()", "mouseReleased()"};
    QTest::newRow("OFF when already off") << 0 << false << 0 << QStringList{"onOff(\"0\")", "onOff(0)", "buttonClicked()", "mouseReleased()"};
    QTest::newRow("OFF when on") << 1 << false << 0 << QStringList{"onOff(\"0\")", "onOff(0)", "buttonClicked()", "mouseReleased()"};
}

void TestCustomButton::clickOnHalf()
{
    QFETCH(int, start);
    QFETCH(bool, clickOn);
    QFETCH(int, end);
    QFETCH(QStringList, expected);
    QWidget parent;
    CustomButton pair(&parent);
    pair.setGeometry(0, 0, 80, 25);
    if (start >= 0)
        pair.setValue(start);
    SignalLog log;
    watchPair(log, &pair);
    MyPushButton *half = clickOn ? pair.onButton() : pair.offButton();
    QTest::mouseClick(half, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(state(&pair), end);
    QCOMPARE(log.take(), expected);
}

void TestCustomButton::returnReleaseAndHover()
{
    QWidget parent;
    CustomButton pair(&parent);
    pair.setValue(0);
    SignalLog log;
    watchPair(log, &pair);
    QTest::keyRelease(pair.offButton(), Qt::Key_Return);
    sendEnterLeave(pair.onButton(), QEvent::Enter);
    sendEnterLeave(pair.onButton(), QEvent::Leave);
    sendEnterLeave(pair.offButton(), QEvent::Enter);
    QCOMPARE(log.take(), (QStringList{"enterReleased()", "buttonEntered()", "buttonLeaved()", "buttonEntered()"}));
    QCOMPARE(state(&pair), 0);
}

void TestCustomButton::focusGoesToTheOtherHalf_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("onFocused");
    QTest::newRow("unset") << -1 << true;
    QTest::newRow("off") << 0 << true;
    QTest::newRow("on") << 1 << false;
}

void TestCustomButton::focusGoesToTheOtherHalf()
{
    QFETCH(int, start);
    QFETCH(bool, onFocused);
    QWidget window;
    CustomButton pair(&window);
    if (start >= 0)
        pair.setValue(start);
    QVERIFY(showActive(&window));
    pair.setFocus();
    QCOMPARE(QApplication::focusWidget(), onFocused ? pair.onButton() : pair.offButton());
}

void TestCustomButton::texts_data()
{
    QTest::addColumn<QString>("texts");
    QTest::addColumn<QString>("on");
    QTest::addColumn<QString>("off");
    QTest::newRow("On/Off") << "On/Off" << "On" << "Off";
    QTest::newRow("A/B/C") << "A/B/C" << "A" << "B/C";
    QTest::newRow("no slash") << "Yes" << "Yes" << "Yes";
}

void TestCustomButton::texts()
{
    QFETCH(QString, texts);
    QFETCH(QString, on);
    QFETCH(QString, off);
    QWidget parent;
    CustomButton pair(&parent);
    pair.setTexts(texts);
    QCOMPARE(pair.onButton()->text(), on);
    QCOMPARE(pair.offButton()->text(), off);
}

void TestCustomButton::geometry()
{
    QWidget parent;
    CustomButton pair(&parent);
    pair.setGeometry(100, 0, 80, 25);
    QCOMPARE(pair.container()->parentWidget(), &parent);
    QCOMPARE(pair.container()->geometry(), QRect(100, 0, 85, 25));
    QCOMPARE(pair.onButton()->geometry(), QRect(0, 0, 40, 25));
    QCOMPARE(pair.offButton()->geometry(), QRect(40, 0, 40, 25));
    pair.setStyleSheet("color:red");
    QCOMPARE(pair.onButton()->styleSheet(), QString("color:red"));
    QCOMPARE(pair.offButton()->styleSheet(), QString("color:red"));
    QCOMPARE(pair.container()->styleSheet(), QString());
}

void TestCustomButton::linkedPairsSettle()
{
    QWidget parent;
    CustomButton a(&parent), b(&parent);
    a.setValue(0);
    b.setValue(0);
    connect(&a, SIGNAL(sendOnOff(int)), &b, SLOT(setValue(int)));
    connect(&b, SIGNAL(sendOnOff(int)), &a, SLOT(setValue(int)));
    SignalLog log;
    watchPair(log, &a, "a.");
    watchPair(log, &b, "b.");
    QTest::mouseClick(a.onButton(), Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    QCOMPARE(state(&a), 1);
    QCOMPARE(state(&b), 1);
    // The links were made before the log, so each receiver runs before the log hears its signal.
    QCOMPARE(log.take(), (QStringList{"a.onOff(\"1\")", "a.onOff(\"\")", "b.onOff(1)", "b.buttonClicked()", "b.onOff(\"1\")",
                                      "a.onOff(1)", "a.buttonClicked()", "a.mouseReleased()"}));
}

void TestCustomButton::sharedStyle()
{
    QWidget parent;
    CustomButton a(&parent), b(&parent);
    QStyle *style = Platform::buttonStyle();
    QVERIFY(style);
    QCOMPARE(style->parent(), qApp);
    QVERIFY(style->objectName().compare("plastique", Qt::CaseInsensitive) == 0
            || style->objectName().compare("fusion", Qt::CaseInsensitive) == 0);
    for (QWidget *half : {a.onButton(), a.offButton(), b.onButton(), b.offButton()})
        QCOMPARE(half->style(), style);
}

void TestCustomButton::destroyingThePairRemovesItsWidgets()
{
    QWidget parent;
    auto *pair = new CustomButton(&parent);
    QPointer<QWidget> on = pair->onButton();
    delete pair;
    QVERIFY(on.isNull());
    QVERIFY(parent.findChildren<QWidget *>().isEmpty());
    // The other way round: the parent goes first, the pair later.
    auto *parent2 = new QWidget;
    auto *pair2 = new CustomButton(parent2);
    delete parent2;
    delete pair2;
}

// The page's widgets go before its lines: a linked pair on another page may still set the value of
// a pair whose halves are gone. It changes nothing and touches nothing.
void TestCustomButton::pairOutlivesItsWidgets_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("emitted");

    QTest::newRow("setValue(1)") << "setValue(1)" << QStringList{"onOff(\"\")"};
    QTest::newRow("setValue(0)") << "setValue(0)" << QStringList{"onOff(\"\")"};
    QTest::newRow("ON half down") << "on" << QStringList();
    QTest::newRow("OFF half down") << "off" << QStringList();
    QTest::newRow("Enter toggles") << "enter" << QStringList{"onOff(\"\")", "enterPressed()"};
    QTest::newRow("focus") << "focus" << QStringList();
    QTest::newRow("look and place") << "look" << QStringList();
}

void TestCustomButton::pairOutlivesItsWidgets()
{
    QFETCH(QString, operation);
    QFETCH(QStringList, emitted);
    auto *parent = new QWidget;
    CustomButton pair(parent);
    CustomButton linked(nullptr);
    QScopedPointer<QWidget> linkedWidgets(linked.container());
    pair.setValue(1);
    linked.setValue(1);
    connect(&linked, SIGNAL(sendOnOff(int)), &pair, SLOT(setValue(int)));
    delete parent;

    SignalLog log;
    watchPair(log, &pair);
    if (operation == "setValue(1)")
        pair.setValue(1);
    else if (operation == "setValue(0)")
        linked.setPuttonOFFDown();   // reaches the pair through the link
    else if (operation == "on")
        pair.setPuttonONDown();
    else if (operation == "off")
        pair.setPuttonOFFDown();
    else if (operation == "enter")
        pair.cilckOnEnterPress();
    else if (operation == "focus")
        pair.setFocus();
    else {
        pair.setGeometry(0, 0, 80, 25);
        pair.setTexts("On/Off");
        pair.setStyleSheet("color:red");
    }
    QCOMPARE(log.take(), emitted);
}

QTEST_MAIN(TestCustomButton)
#include "tst_custombutton.moc"
