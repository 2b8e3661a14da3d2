#include "appfixture.h"
#include "ardobutton.h"
#include "languagedialog.h"

#include <QCheckBox>
#include <QProcess>
#include <QSignalSpy>

#include <memory>

namespace {

const QString RealFlag = QStringLiteral(TKV_DATA_ROOT "/application/png/Flags/Flags_Poland.png");

QStringList names(int count)
{
    const QStringList shipped{" Polski ", " English ", " Русский ", "Sloven.", " Français ", "Deutsch", "Italiano", "Česky"};
    return shipped.mid(0, count);
}

QStringList yes(int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list.append(QStringLiteral("YES"));
    return list;
}

QStringList texts(const QString &prefix, int count)
{
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list.append(prefix + QString::number(i));
    return list;
}

}

class TestLanguageDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void buttons_data();
    void buttons();
    void shorterListsAndMissingFlags();
    void hoverShowsNoAskText_data();
    void hoverShowsNoAskText();
    void focusShowsNoAskText();
    void returnChoosesAfterTheAnimation();
    void choiceIsRemembered_data();
    void choiceIsRemembered();
    void leavingEndsTheProgram_data();
    void leavingEndsTheProgram();

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<LanguageDialog> dialog;

    ArdoButton *button(const QString &name) const { return dialog->findChild<ArdoButton *>(name); }
    QString checkText() const { return dialog->findChild<QCheckBox *>(QStringLiteral("checkBox_NewerAsk"))->text(); }
};

void TestLanguageDialog::init()
{
    dir = std::make_unique<QTemporaryDir>();
    settings = std::make_unique<QSettings>(dir->filePath(QStringLiteral("Tkv.ini")), QSettings::IniFormat);
    dialog = std::make_unique<LanguageDialog>(settings.get());
}

void TestLanguageDialog::cleanup()
{
    dialog.reset();
    settings.reset();
    dir.reset();
}

// Flags stand 70 pixels apart; six leave Exit its place at x = 440, a seventh and eighth push it
// right and widen the dialog.
void TestLanguageDialog::buttons_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("exitX");
    QTest::addColumn<int>("width");

    QTest::newRow("none") << 0 << 440 << 513;
    QTest::newRow("three") << 3 << 440 << 513;
    QTest::newRow("five") << 5 << 440 << 513;
    QTest::newRow("six") << 6 << 440 << 513;
    QTest::newRow("seven") << 7 << 510 << 583;
    QTest::newRow("eight") << 8 << 580 << 653;
}

void TestLanguageDialog::buttons()
{
    QFETCH(int, count);
    QFETCH(int, exitX);
    QFETCH(int, width);

    QStringList enabled = yes(count);
    if (count >= 5)
        enabled[4] = QStringLiteral("NO");
    QStringList flags;
    for (int i = 0; i < count; ++i)
        flags.append(RealFlag);
    dialog->setLanguages(names(count), flags, enabled, texts(QStringLiteral("no ask "), count));
    dialog->show();

    QCOMPARE(dialog->size(), QSize(width, 140));
    auto *exit = button(QStringLiteral("btnExit"));
    QCOMPARE(exit->geometry(), QRect(exitX, 10, 60, 80));
    QCOMPARE(exit->text(), QStringLiteral("Exit"));
    QVERIFY(exit->isEnabled());
    for (int i = 0; i < count; ++i) {
        auto *flag = button(QStringLiteral("btnLng%1").arg(i + 1));
        QVERIFY(flag);
        QCOMPARE(flag->geometry(), QRect(20 + 70 * i, 10, 60, 80));
        QCOMPARE(flag->text(), names(count).at(i));
        QCOMPARE(flag->isEnabled(), i != 4);
        QVERIFY(flag->isCheckable() && !flag->isChecked());
        QCOMPARE(flag->iconSize(), QSize(48, 48));
        QVERIFY(dialog->rect().contains(flag->geometry()));
        QVERIFY(!flag->geometry().intersects(exit->geometry()));
    }
    QVERIFY(dialog->rect().contains(exit->geometry()));
    QCOMPARE(checkText(), count == 0 ? QStringLiteral("List is empty") : QStringLiteral("no ask 1"));
}

// Lists shorter than the names: a missing flag shows the question mark, a missing enable text
// disables the button, a missing check-box text reads as such.
void TestLanguageDialog::shorterListsAndMissingFlags()
{
    dialog->setLanguages(names(3), {RealFlag, QStringLiteral(":Img/debug/Rsc/Img/Flags_UK.png")},
                         {QStringLiteral("YES"), QStringLiteral("yes")}, {QStringLiteral("first")});
    const QImage question = QIcon(QStringLiteral(":Img/Rsc/Img/Question.png")).pixmap(48, 48).toImage();
    QVERIFY(!question.isNull());
    QVERIFY(button(QStringLiteral("btnLng1"))->icon().pixmap(48, 48).toImage() != question);
    QCOMPARE(button(QStringLiteral("btnLng2"))->icon().pixmap(48, 48).toImage(), question);
    QCOMPARE(button(QStringLiteral("btnLng3"))->icon().pixmap(48, 48).toImage(), question);
    QVERIFY(button(QStringLiteral("btnLng1"))->isEnabled());
    QVERIFY(!button(QStringLiteral("btnLng2"))->isEnabled());
    QVERIFY(!button(QStringLiteral("btnLng3"))->isEnabled());

    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(button(QStringLiteral("btnLng3")), &enter);
    QCOMPARE(checkText(), QStringLiteral("List index out of range"));
}

void TestLanguageDialog::hoverShowsNoAskText_data()
{
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<int>("hovered");
    QTest::addColumn<QString>("text");

    QTest::newRow("second flag") << names(3) << 2 << "no ask 2";
    QTest::newRow("two languages of one name: the first one's text") << QStringList{"Polski", "Polski"} << 2
                                                                       << "no ask 1";
}

void TestLanguageDialog::hoverShowsNoAskText()
{
    QFETCH(QStringList, languages);
    QFETCH(int, hovered);
    QFETCH(QString, text);

    dialog->setLanguages(languages, {}, {}, texts(QStringLiteral("no ask "), languages.size()));
    dialog->show();
    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    ArdoButton *flag = button(QStringLiteral("btnLng%1").arg(hovered));
    QSignalSpy entered(flag, &ArdoButton::signal_Entered);
    QSignalSpy left(flag, &ArdoButton::signal_Leaved);
    QApplication::sendEvent(flag, &enter);
    QCOMPARE(checkText(), text);
    QApplication::sendEvent(flag, &leave);
    QCOMPARE(checkText(), text);
    QCOMPARE(entered.count(), 1);
    QCOMPARE(left.count(), 1);
    QCOMPARE(entered.at(0).at(0).value<ArdoButton *>(), flag);
}

void TestLanguageDialog::focusShowsNoAskText()
{
    dialog->setLanguages(names(3), {}, yes(3), texts(QStringLiteral("no ask "), 3));
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    button(QStringLiteral("btnLng1"))->setFocus(Qt::TabFocusReason);
    QCOMPARE(checkText(), QStringLiteral("no ask 1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), button(QStringLiteral("btnLng2")));
    QCOMPARE(checkText(), QStringLiteral("no ask 2"));
}

void TestLanguageDialog::returnChoosesAfterTheAnimation()
{
    dialog->setLanguages(names(3), {}, yes(3), texts(QStringLiteral("no ask "), 3));
    QSignalSpy selected(dialog.get(), &LanguageDialog::signal_Selected);
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    ArdoButton *flag = button(QStringLiteral("btnLng2"));
    flag->setFocus();

    QTest::keyClick(flag, Qt::Key_Return);
    QVERIFY(flag->isDown());   // the click is being animated
    QCOMPARE(selected.count(), 0);
    QTRY_COMPARE(selected.count(), 1);
    QCOMPARE(selected.at(0).at(0).toInt(), 2);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), 2);
}

void TestLanguageDialog::choiceIsRemembered_data()
{
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<int>("stored");

    QTest::newRow("box ticked: the language's number") << true << 3;
    QTest::newRow("box unticked: 0, also over a remembered language") << false << 0;
}

void TestLanguageDialog::choiceIsRemembered()
{
    QFETCH(bool, ticked);
    QFETCH(int, stored);

    settings->setValue(QStringLiteral("Language"), 2);
    dialog->setLanguages(names(3), {}, yes(3), texts(QStringLiteral("no ask "), 3));
    dialog->findChild<QCheckBox *>(QStringLiteral("checkBox_NewerAsk"))->setChecked(ticked);
    QSignalSpy selected(dialog.get(), &LanguageDialog::signal_Selected);
    button(QStringLiteral("btnLng3"))->click();

    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.at(0).at(0).toInt(), 3);
    QSettings file(dir->filePath(QStringLiteral("Tkv.ini")), QSettings::IniFormat);
    QCOMPARE(file.value(QStringLiteral("Language")).toInt(), stored);
}

// The built program, driven by the test plugin: leaving the dialog without a choice ends it with
// status 0 before the main window is done; choosing a language (the control case) goes on.
void TestLanguageDialog::leavingEndsTheProgram_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("started");

    QTest::newRow("Exit") << "exit" << false;
    QTest::newRow("Esc") << "esc" << false;
    QTest::newRow("close button") << "close" << false;
    QTest::newRow("a flag, then the window closed") << "choose" << true;
}

void TestLanguageDialog::leavingEndsTheProgram()
{
    QFETCH(QString, action);
    QFETCH(bool, started);

    AppFixture fixture;
    fixture.useShippedGui();
    QProcess program;
    program.setWorkingDirectory(fixture.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(DRIVER_PLUGIN_PATH));
    environment.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("tkvdriver:") + action);
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(QStringLiteral(TKV05_PROGRAM), QStringList());
    QVERIFY(program.waitForFinished(60000));
    const QString output = QString::fromUtf8(program.readAll());

    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY2(output.contains(QLatin1String("Lng Init")), qPrintable(output));
    QCOMPARE(output.contains(QLatin1String("Main InitEnd")), started);
    QCOMPARE(fixture.setting("Language").toInt(), 0);
    QVERIFY(fixture.setting("AppWinPos").canConvert<QPoint>());
}

QTEST_MAIN(TestLanguageDialog)
#include "tst_languagedialog.moc"
