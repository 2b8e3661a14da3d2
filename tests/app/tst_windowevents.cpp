#include "appfixture.h"
#include "globals.h"
#include "helpview.h"
#include "mainwindowprobe.h"
#include "page.h"
#include "programsetup.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStyle>

#include <memory>

Q_DECLARE_METATYPE(QMessageBox::StandardButton)

namespace {

QStringList warnings;

void collectWarning(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        warnings.append(message);
}

}

class TestWindowEvents : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void closing_data();
    void closing();
    void endEditingAsksFirst_data();
    void endEditingAsksFirst();
    void returnOnPortBoxOpensTheList();
    void returnClicksOnce_data();
    void returnClicksOnce();
    void menuStatesWithoutPageSet();
    void manualAndBack();
    void aboutBox();
    void soundWithoutFileOrDevice();
    void fixedSizeBoxesShowTheirText_data();
    void fixedSizeBoxesShowTheirText();
    void untitledBoxesShowTheProgramName();

private:
    QAction *action(const QString &name) const { return window->findChild<QMenu *>("menu_1")->findChild<QAction *>(name); }
    template <typename T> T *widget(const QString &name) const { return window->findChild<T *>(name); }

    std::unique_ptr<AppFixture> fixture;
    std::unique_ptr<MainWindow> window;
};

// The program's style, font and name: box sizes depend on them.
void TestWindowEvents::initTestCase()
{
    prepareApplication();
}

void TestWindowEvents::init()
{
    fixture = std::make_unique<AppFixture>();
    fixture->useShippedGui();
    fixture->writeSettings({{QStringLiteral("Language"), 2},
                            {QStringLiteral("ComPorts"), QStringList{"ttyUSB0", "ttyACM0 TKV-05"}}});
    window = std::make_unique<MainWindow>(QRect(0, 0, 1024, 768));
    dataModified = false;
}

void TestWindowEvents::cleanup()
{
    window.reset();
    fixture.reset();
    dataModified = false;
}

// The close button and the exit command: one unsaved-data question while data are modified; No
// keeps the window open and the data as they are.
void TestWindowEvents::closing_data()
{
    QTest::addColumn<bool>("byExitCommand");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("closed");

    for (bool command : {false, true}) {
        const char *how = command ? "exit command" : "close";
        QTest::addRow("%s, nothing modified", how) << command << false << QMessageBox::Yes << 0 << true;
        QTest::addRow("%s, modified, Yes", how) << command << true << QMessageBox::Yes << 1 << true;
        QTest::addRow("%s, modified, No", how) << command << true << QMessageBox::No << 1 << false;
    }
}

void TestWindowEvents::closing()
{
    QFETCH(bool, byExitCommand);
    QFETCH(bool, modified);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(int, questions);
    QFETCH(bool, closed);

    dataModified = modified;
    const QString question = MainWindowProbe(window.get()).askDataNotSaved();
    QStringList asked;
    ModalAnswerer answerer([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        asked.append(box->text());
        QCOMPARE(box->icon(), QMessageBox::Question);
        QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box->windowTitle(), QString());
        QVERIFY(!box->parentWidget());
        box->button(answer)->click();
    });

    if (byExitCommand)
        action(QStringLiteral("exitAction"))->trigger();
    else
        window->close();

    QCOMPARE(answerer.count(), questions);
    if (questions)
        QCOMPARE(asked, QStringList{question});
    QCOMPARE(window->isVisible(), !closed);
    QCOMPARE(dataModified, modified);
}

// End of editing while a page set exists: No at the question changes nothing; Yes clears the
// flag, the file-name box and the title, and disables Save and Save As.
void TestWindowEvents::endEditingAsksFirst_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("ended");

    QTest::newRow("Yes") << QMessageBox::Yes << true;
    QTest::newRow("No") << QMessageBox::No << false;
}

void TestWindowEvents::endEditingAsksFirst()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, ended);

    QMetaObject::invokeMethod(window.get(), "setState", Q_ARG(bool, true));
    widget<QPushButton>("buttonSave")->setEnabled(true);
    widget<QPushButton>("buttonSaveAs")->setEnabled(true);
    widget<QPlainTextEdit>("plainTextEdit")->setPlainText(QStringLiteral("/data/unit.bin"));
    window->setWindowTitle(QStringLiteral(" TKV-05  /data/unit.bin"));
    dataModified = true;
    ModalAnswerer answerer([answer](QWidget *modal) { qobject_cast<QMessageBox *>(modal)->button(answer)->click(); });

    QMetaObject::invokeMethod(window.get(), "deleteSystem");   // the Alt+F shortcut's slot

    QCOMPARE(answerer.count(), 1);
    QCOMPARE(dataModified, !ended);
    QCOMPARE(widget<QPushButton>("buttonSave")->isEnabled(), !ended);
    QCOMPARE(widget<QPushButton>("buttonSaveAs")->isEnabled(), !ended);
    QCOMPARE(widget<QPlainTextEdit>("plainTextEdit")->toPlainText().isEmpty(), ended);
    QCOMPARE(window->windowTitle(), ended ? QStringLiteral(" TKV-05  ") : QStringLiteral(" TKV-05  /data/unit.bin"));
}

void TestWindowEvents::returnOnPortBoxOpensTheList()
{
    QApplication::setActiveWindow(window.get());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto *box = widget<QComboBox>("comboScan");
    box->setFocus();
    QSignalSpy changed(box, SIGNAL(currentIndexChanged(int)));
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(box->view()->isVisible());
    QCOMPARE(changed.count(), 0);
    box->hidePopup();
}

// Return on a focused, enabled button clicks it once: Save through the window's animated click
// (it is auto-default as well), the others as auto-default buttons.
void TestWindowEvents::returnClicksOnce_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("animated");

    QTest::newRow("Save") << "buttonSave" << true;
    QTest::newRow("Load") << "buttonLoad" << false;
    QTest::newRow("Scan") << "buttonScan" << false;
}

void TestWindowEvents::returnClicksOnce()
{
    QFETCH(QString, button);
    QFETCH(bool, animated);

    auto *target = widget<QPushButton>(button);
    MainWindowProbe(window.get()).detachButtonCommands();
    target->setEnabled(true);
    QVERIFY(target->autoDefault());
    QApplication::setActiveWindow(window.get());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    target->setFocus();
    QSignalSpy clicked(target, SIGNAL(clicked()));
    QTest::keyClick(target, Qt::Key_Return);
    QCOMPARE(clicked.count(), animated ? 0 : 1);
    QTRY_COMPARE(clicked.count(), 1);
    QTest::qWait(300);   // no second click follows
    QCOMPARE(clicked.count(), 1);
}

void TestWindowEvents::menuStatesWithoutPageSet()
{
    const QMenu *menu = widget<QMenu>("menu_1");
    QStringList enabled;
    for (QAction *entry : menu->actions()) {
        if (!entry->isSeparator() && entry->isEnabled())
            enabled.append(entry->objectName());
    }
    QCOMPARE(enabled, QStringList({"aboutAction", "exitAction"}));
    QVERIFY(!MainWindowProbe(window.get()).pagesBuilt());

    // The shortcuts of disabled entries do nothing.
    for (const char *slot : {"showInstruction", "backTo", "deleteSystem"})
        QMetaObject::invokeMethod(window.get(), slot);
    QVERIFY(!widget<Platform::HelpView>("WebBrowser")->isHidden());
    QCOMPARE(window->findChildren<Platform::HelpView *>().size(), 1);
    QVERIFY(window->isVisible());

    // The page set's signals switch the entries.
    emit window->stateMenu(true);
    emit window->helpActionState(true);
    QVERIFY(action(QStringLiteral("deleteMenu"))->isEnabled());
    QVERIFY(action(QStringLiteral("helpAction"))->isEnabled());
    emit window->stateMenu(false);
    emit window->helpActionState(false);
    QVERIFY(!action(QStringLiteral("deleteMenu"))->isEnabled());
    QVERIFY(!action(QStringLiteral("helpAction"))->isEnabled());
}

// The manual covers the tool area and switches the entries; back hides it; shown again, it is the
// same view, not navigated again.
void TestWindowEvents::manualAndBack()
{
    QMetaObject::invokeMethod(window.get(), "enableHelpAction", Q_ARG(bool, true));
    QMetaObject::invokeMethod(window.get(), "enableDeleteAction", Q_ARG(bool, true));

    QMetaObject::invokeMethod(window.get(), "showInstruction");
    const QList<Platform::HelpView *> views = window->findChildren<Platform::HelpView *>();
    QCOMPARE(views.size(), 2);
    Platform::HelpView *manual = views.last();
    QCOMPARE(manual->objectName(), QStringLiteral("WebBrowser"));
    QCOMPARE(manual->geometry(), QRect(0, 0, 800, 550));
    QVERIFY(manual->isVisible());
    QVERIFY(!action(QStringLiteral("helpAction"))->isEnabled());
    QVERIFY(!action(QStringLiteral("deleteMenu"))->isEnabled());
    QVERIFY(action(QStringLiteral("backTo"))->isEnabled());

    QMetaObject::invokeMethod(window.get(), "backTo");
    QVERIFY(!manual->isVisible());
    QVERIFY(action(QStringLiteral("helpAction"))->isEnabled());
    QVERIFY(!action(QStringLiteral("backTo"))->isEnabled());
    QVERIFY(!action(QStringLiteral("deleteMenu"))->isEnabled());   // no page tabs to go back to

    manual->setPlainText(QStringLiteral("kept"));
    QMetaObject::invokeMethod(window.get(), "showInstruction");
    QCOMPARE(window->findChildren<Platform::HelpView *>().size(), 2);
    QVERIFY(manual->isVisible());
    QCOMPARE(manual->toPlainText(), QStringLiteral("kept"));
}

void TestWindowEvents::aboutBox()
{
    MainWindowProbe probe(window.get());
    QString text;
    QWidget *parent = nullptr;
    bool hasPicture = false;
    Qt::TextFormat format = Qt::PlainText;
    QList<QAbstractButton *> buttons;
    ModalAnswerer answerer([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        text = box->text();
        parent = box->parentWidget();
        hasPicture = !box->iconPixmap().isNull();
        format = box->textFormat();
        buttons = box->buttons();
        QCOMPARE(box->windowTitle(), QString());
        box->accept();
    });
    action(QStringLiteral("aboutAction"))->trigger();

    QCOMPARE(answerer.count(), 1);
    QCOMPARE(parent, widget<QWidget>("centralWidget"));
    QVERIFY(hasPicture);
    QCOMPARE(format, Qt::RichText);
    QCOMPARE(buttons.size(), 1);
    QVERIFY(text.startsWith(probe.aboutMessage() + QStringLiteral("   <a href=\"file://")));
    QVERIFY2(text.endsWith(QStringLiteral("/HELP/Application/EN/welcome.html\">TKV-05</a>")), qPrintable(text));
}

// The page-set sound plays without waiting and says nothing, also without a sound file.
void TestWindowEvents::soundWithoutFileOrDevice()
{
    for (bool withFile : {true, false}) {
        if (!withFile)
            QFile::remove(fixture->path() + QStringLiteral("/application/media"));
        warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectWarning);
        QElapsedTimer clock;
        clock.start();
        MainWindowProbe(window.get()).playSound();
        const qint64 took = clock.elapsed();
        QTest::qWait(200);
        qInstallMessageHandler(previous);
        QVERIFY2(took < 200, qPrintable(QString::number(took)));   // the sound lasts 0.3 s
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
    }
}

// The boxes whose size is fixed, in each shipped language: the size is the box's smallest, and
// the box grows where the language's text needs more room. Texts are shown as the language table
// gives them.
void TestWindowEvents::fixedSizeBoxesShowTheirText_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QSize>("smallest");

    for (const auto &[language, name] : {std::pair(1, "Polski"), std::pair(2, "English")}) {
        QTest::addRow("%s: update question", name) << language << "update" << QSize(260, 120);
        QTest::addRow("%s: model choice", name) << language << "model" << QSize(310, 120);
        QTest::addRow("%s: page build progress", name) << language << "creating" << QSize(260, 40);
        QTest::addRow("%s: paste progress", name) << language << "copying" << QSize(260, 40);
    }
}

void TestWindowEvents::fixedSizeBoxesShowTheirText()
{
    QFETCH(int, language);
    QFETCH(QString, box);
    QFETCH(QSize, smallest);
    window.reset();
    fixture->writeSettings({{QStringLiteral("Language"), language}});
    window = std::make_unique<MainWindow>(QRect(0, 0, 1024, 768));
    MainWindowProbe probe(window.get());

    QString text;
    QStringList cut;
    QSize size;
    const auto look = [&](QWidget *shown) {
        QTest::qWait(50);   // the box lays its contents out once more
        size = shown->size();
        cut = cutTexts(shown);
        if (auto *question = qobject_cast<QMessageBox *>(shown)) {
            text = question->text();
            question->button(QMessageBox::Cancel)->click();
        } else if (auto *progress = qobject_cast<QProgressDialog *>(shown)) {
            text = progress->labelText();
        }
    };
    QString expected;
    if (box == QLatin1String("update") || box == QLatin1String("model")) {
        ModalAnswerer answerer(look);
        if (box == QLatin1String("update")) {
            expected = probe.updatePagesMessage();
            window->updatePagesQuestion(0);
        } else {
            expected = probe.modelNotFoundMessage();
            QCOMPARE(window->getXMLFileName(2), QStringLiteral("noFile"));   // no image: no model
        }
        QCOMPARE(answerer.count(), 1);
    } else {
        Page page(nullptr, nullptr, nullptr);
        page.setMainWindow(window.get());
        page.setProgressMinimumDuration(0);
        if (box == QLatin1String("creating")) {
            expected = probe.createPagesMessage() + QStringLiteral(" 3");
            page.setupProgressDialog(0, 10, 2, probe.createPagesMessage());
        } else {
            expected = probe.copyingDataMessage();
            page.setupProgressDialog(0, 10, 100, probe.copyingDataMessage());
        }
        QProgressDialog *progress = page.progressDialog();
        progress->setValue(0);
        QTRY_VERIFY(progress->isVisible());
        look(progress);
    }

    QVERIFY(!expected.trimmed().isEmpty());
    QCOMPARE(text, expected);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
    QVERIFY2(size.width() >= smallest.width() && size.height() >= smallest.height(),
             qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
}

// A box that sets no title of its own is titled by the window manager with the program's name,
// "TKV-05" as in the window's title, not with the name of the program file. The built program is
// asked, run under the test plugin: its name, style and font are the ones prepareApplication() gives.
void TestWindowEvents::untitledBoxesShowTheProgramName()
{
    QString title = QStringLiteral("none");
    dataModified = true;
    ModalAnswerer answerer([&](QWidget *box) {
        title = box->windowTitle();
        qobject_cast<QMessageBox *>(box)->button(QMessageBox::No)->click();
    });
    window->close();
    QCOMPARE(answerer.count(), 1);
    QCOMPARE(title, QString());
    QCOMPARE(window->windowTitle(), QStringLiteral(" TKV-05  "));

    AppFixture programFiles;
    programFiles.useShippedGui();
    QProcess program;
    program.setWorkingDirectory(programFiles.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(DRIVER_PLUGIN_PATH));
    environment.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("tkvdriver:report"));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(QStringLiteral(TKV05_PROGRAM), QStringList());
    QVERIFY(program.waitForFinished(60000));
    const QString output = QString::fromUtf8(program.readAll());
    const QRegularExpressionMatch report = QRegularExpression(QStringLiteral("program: (.*)")).match(output);
    QVERIFY2(report.hasMatch(), qPrintable(output));
    // This test's own application was prepared in initTestCase.
    QCOMPARE(report.captured(1).trimmed(), QGuiApplication::applicationDisplayName() + QLatin1Char('|')
                                               + QApplication::style()->objectName() + QLatin1Char('|')
                                               + QApplication::font().toString());
    QVERIFY(report.captured(1).startsWith(QLatin1String("TKV-05|")));
}

QTEST_MAIN(TestWindowEvents)
#include "tst_windowevents.moc"
