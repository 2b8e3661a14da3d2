#include "mybutton.h"
#include "mycombobox.h"
#include "mylineedit.h"
#include "mypushbutton.h"
#include "testsupport.h"

#include <QtTest>

namespace {

void hover(QWidget *widget)
{
    sendEnterLeave(widget, QEvent::Enter);
    sendEnterLeave(widget, QEvent::Leave);
}

}

class TestEditorWidgets : public QObject
{
    Q_OBJECT
private slots:
    void comboWheelScrollsTheView();
    void comboHover();
    void numberedComboReportsIndexChanges();
    void comboPickMovesFocusToEnclosingWidget();
    void lineEditKeys_data();
    void lineEditKeys();
    void lineEditHoverAndPress();
    void lineEditCtrlC();
    void pushButtonKeys();
    void pushButtonClick();
    void buttonFocusAndHover();
    void buttonReturnClicksOnceAfterDelay();
};

void TestEditorWidgets::comboWheelScrollsTheView()
{
    PressRecorder view;
    auto *box = new MyComboBox(&view);
    box->addItems({"a", "b", "c"});
    box->setCurrentIndex(1);
    QVERIFY(showActive(&view));
    box->setFocus();
    QVERIFY(box->hasFocus());
    QVERIFY(wheelPassedOn(box));
    QCOMPARE(box->currentIndex(), 1);
    QVERIFY(!box->hasFocus());
}

void TestEditorWidgets::comboHover()
{
    MyComboBox box(7);
    SignalLog log;
    log.watch(&box, qOverload<>(&MyComboBox::comboEntered), "entered");
    log.watch(&box, qOverload<int>(&MyComboBox::comboEntered), "entered");
    log.watch(&box, &MyComboBox::comboLeaved, "leaved");
    hover(&box);
    QCOMPARE(log.take(), (QStringList{"entered()", "entered(7)", "leaved()"}));
}

void TestEditorWidgets::numberedComboReportsIndexChanges()
{
    MyComboBox box(4);
    box.addItems({"x", "y", "z"}); // the first item becomes current: one change
    SignalLog log;
    log.watch(&box, &MyComboBox::comboIndex, "comboIndex");
    box.setCurrentIndex(2);
    box.setCurrentIndex(2);
    box.setCurrentIndex(0);
    QCOMPARE(log.take(), (QStringList{"comboIndex(4)", "comboIndex(4)"}));
}

void TestEditorWidgets::comboPickMovesFocusToEnclosingWidget()
{
    QWidget view;
    view.setFocusPolicy(Qt::StrongFocus);
    auto *frame = new QWidget(&view);
    auto *box = new MyComboBox(frame);
    box->addItems({"a", "b"});
    QVERIFY(showActive(&view));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down); // picks "b" by keyboard: activated(1)
    QCOMPARE(box->currentIndex(), 1);
    QCOMPARE(QApplication::focusWidget(), &view);
    // A box without grandparent ignores the pick.
    MyComboBox lonely;
    lonely.addItems({"a", "b"});
    emit lonely.activated(1);
}

void TestEditorWidgets::lineEditKeys_data()
{
    QTest::addColumn<bool>("focused");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("focusAfter");
    const QStringList none, enter{"enterPressed()"};
    QTest::newRow("Return") << true << int(Qt::Key_Return) << 0 << "12" << enter << false;
    QTest::newRow("keypad Enter is an ordinary key") << true << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "12" << none << true;
    QTest::newRow("Up dropped") << true << int(Qt::Key_Up) << 0 << "12" << none << true;
    QTest::newRow("Down dropped") << true << int(Qt::Key_Down) << 0 << "12" << none << true;
    QTest::newRow("Escape after own handling") << true << int(Qt::Key_Escape) << 0 << "12" << enter << true;
    QTest::newRow("letter types") << true << int(Qt::Key_A) << 0 << "12a" << none << true;
    QTest::newRow("letter without focus dropped") << false << int(Qt::Key_A) << 0 << "12" << none << false;
}

void TestEditorWidgets::lineEditKeys()
{
    QFETCH(bool, focused);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QFETCH(bool, focusAfter);
    QWidget window;
    auto *edit = new MyLineEdit(&window);
    QVERIFY(showActive(&window));
    if (focused) {
        edit->setFocus();
        QTest::keyClicks(edit, "12");
    } else {
        edit->setText("12");
    }
    SignalLog log;
    log.watch(edit, &MyLineEdit::enterPressed, "enterPressed");
    QTest::keyClick(edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(edit->text(), text);
    QCOMPARE(log.take(), expected);
    QCOMPARE(edit->hasFocus(), focusAfter);
}

void TestEditorWidgets::lineEditHoverAndPress()
{
    PressRecorder parent;
    auto *edit = new MyLineEdit(&parent);
    edit->setGeometry(0, 0, 80, 25);
    QCOMPARE(edit->focusPolicy(), Qt::ClickFocus);
    QCOMPARE(edit->contextMenuPolicy(), Qt::NoContextMenu);
    SignalLog log;
    log.watch(edit, &MyLineEdit::lineEditEntered, "entered");
    log.watch(edit, &MyLineEdit::lineEditLeaved, "leaved");
    hover(edit);
    QCOMPARE(log.take(), (QStringList{"entered()", "leaved()"}));
    QTest::mousePress(edit, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(parent.events, QStringList{"press"});
}

void TestEditorWidgets::lineEditCtrlC()
{
    QWidget window;
    auto *edit = new MyLineEdit(&window);
    auto *elsewhere = new QPushButton(&window);
    elsewhere->move(0, 30);
    QVERIFY(showActive(&window));
    SignalLog log;
    log.watch(edit, &MyLineEdit::control_Tab, "control_Tab");
    elsewhere->setFocus();
    QTest::keyClick(elsewhere, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(log.take(), QStringList{"control_Tab()"});
    edit->setText("copied");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier); // the line edit copies
    QCOMPARE(log.take(), QStringList());
}

void TestEditorWidgets::pushButtonKeys()
{
    QWidget window;
    auto *button = new MyPushButton(&window);
    button->setCheckable(true);
    QVERIFY(showActive(&window));
    button->setFocus();
    SignalLog log;
    log.watch(button, &MyPushButton::enterPressed, "enterPressed");
    log.watch(button, &MyPushButton::enterReleased, "enterReleased");
    log.watch(button, &MyPushButton::buttonClicked, "buttonClicked");
    log.watch(button, &QPushButton::clicked, "clicked");
    QTest::keyClick(button, Qt::Key_Space);
    QCOMPARE(log.take(), QStringList());
    QVERIFY(!button->isChecked());
    QTest::keyPress(button, Qt::Key_Return);
    QCOMPARE(log.take(), QStringList{"enterPressed()"});
    QTest::keyRelease(button, Qt::Key_Return);
    QCOMPARE(log.take(), (QStringList{"enterReleased()", "buttonClicked()"}));
    QVERIFY(!button->isChecked());
}

void TestEditorWidgets::pushButtonClick()
{
    PressRecorder parent;
    auto *button = new MyPushButton(&parent);
    button->setCheckable(true);
    button->setGeometry(0, 0, 60, 25);
    SignalLog log;
    log.watch(button, &QPushButton::clicked, "clicked");
    log.watch(button, &MyPushButton::mouseReleased, "mouseReleased");
    log.watch(button, &MyPushButton::buttonEntered, "entered");
    log.watch(button, &MyPushButton::buttonLeaved, "leaved");
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QVERIFY(button->isDown());
    QCOMPARE(parent.events, QStringList{"press"});
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QVERIFY(button->isChecked());
    QCOMPARE(log.take(), (QStringList{"clicked(true)", "mouseReleased()"}));
    hover(button);
    QCOMPARE(log.take(), (QStringList{"entered()", "leaved()"}));
    button->pressDown();
    QVERIFY(button->isDown());
}

void TestEditorWidgets::buttonFocusAndHover()
{
    QWidget window;
    auto *first = new QLineEdit(&window);
    auto *button = new MyButton(&window);
    button->setHelpText("help");
    QCOMPARE(button->helpText(), QString("help"));
    QVERIFY(showActive(&window));
    first->setFocus();
    SignalLog log;
    log.watch(button, &MyButton::buttonEntered, "entered");
    log.watch(button, &MyButton::buttonLeaved, "leaved");
    QTest::keyClick(first, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), button);
    QTest::keyClick(button, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), first);
    hover(button);
    QCOMPARE(log.take(), (QStringList{"entered(ptr)", "leaved()", "entered(ptr)", "leaved()"}));
    MyButton *entered = nullptr;
    connect(button, &MyButton::buttonEntered, [&](MyButton *b) { entered = b; });
    button->setFocus();
    QCOMPARE(entered, button);
}

void TestEditorWidgets::buttonReturnClicksOnceAfterDelay()
{
    QWidget window;
    auto *button = new MyButton(&window);
    button->setDefault(true); // as the side panel makes its buttons
    QVERIFY(showActive(&window));
    button->setFocus();
    QSignalSpy clicked(button, &QPushButton::clicked);
    QTest::keyClick(button, Qt::Key_Return);
    QCOMPARE(clicked.count(), 0);
    QVERIFY(button->isDown());
    QTRY_COMPARE(clicked.count(), 1);
    QTest::qWait(150);
    QCOMPARE(clicked.count(), 1);
}

QTEST_MAIN(TestEditorWidgets)
#include "tst_editorwidgets.moc"
