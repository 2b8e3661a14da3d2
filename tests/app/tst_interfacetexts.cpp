#include "appfixture.h"
#include "helpview.h"
#include "mainwindowprobe.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>

#include <memory>

namespace {

const QStringList AllButtons{"buttonScan",      "buttonConnectDisconnect", "buttonConnectA0", "buttonConnectA2",
                             "buttonConnectA4", "buttonSend",              "buttonReceive",   "buttonLoad",
                             "buttonSave",      "buttonSaveAs"};

QStringList menuEntries(const MainWindow &window)
{
    QStringList entries;
    for (QAction *action : window.findChild<QMenu *>(QStringLiteral("menu_1"))->actions()) {
        if (action->isSeparator())
            entries.append(QStringLiteral("|"));
        else
            entries.append(action->objectName() + (action->isEnabled() ? QString() : QStringLiteral("(off)")));
    }
    return entries;
}

QString buttonText(const MainWindow &window, const QString &name)
{
    return window.findChild<QPushButton *>(name)->text();
}

}

class TestInterfaceTexts : public QObject
{
    Q_OBJECT

private slots:
    void shippedBlocks_data();
    void shippedBlocks();
    void blockWithoutMenuAndSlash();
    void storedLanguage_data();
    void storedLanguage();
    void shippedShortcuts_data();
    void shippedShortcuts();
    void shortcutEntries_data();
    void shortcutEntries();

private:
    std::unique_ptr<MainWindow> start(AppFixture &fixture, int language);
};

std::unique_ptr<MainWindow> TestInterfaceTexts::start(AppFixture &fixture, int language)
{
    fixture.writeSettings({{QStringLiteral("Language"), language}});
    return std::make_unique<MainWindow>(QRect(0, 0, 1024, 768));
}

void TestInterfaceTexts::shippedBlocks_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("texts");   // Scan, Connect, A0, Receive, Load, Save As; section 1, 2, 3
    QTest::addColumn<QStringList>("menu");
    QTest::addColumn<QString>("helpPage");

    const QStringList helpFirst{"helpAction(off)", "|", "deleteMenu(off)", "|", "backTo(off)", "|", "aboutAction", "|",
                                "exitAction"};
    QTest::newRow("Polski") << 1
                            << QStringList{"Szukaj", "Połącz", "RK4820", "Odbierz", "Wczytaj", "Zapisz jako",
                                           "Interfejs", "Pamięć urządzenia", "PC"}
                            << QStringList{"deleteMenu(off)", "|", "backTo(off)", "|", "helpAction(off)", "|",
                                           "aboutAction", "|", "exitAction"}
                            << "/HELP/Application/PL/welcome.html";
    QTest::newRow("English") << 2
                             << QStringList{"Scan", "Connect", "RK4820", "Receive", "Load", "Save As", "Interface",
                                            "Memory Device", "PC"}
                             << helpFirst << "/HELP/Application/EN/welcome.html";
    QTest::newRow("Français (remembered, though its flag is disabled)")
        << 3
        << QStringList{"Chercher", "Connecter", "RK4820", "Recevoir", "Ouvrir", "Enregistrer sous", "Interface",
                       "Mémoire", "PC"}
        << helpFirst << "/HELP/Application/FR/welcome.html";
}

void TestInterfaceTexts::shippedBlocks()
{
    QFETCH(int, language);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, menu);
    QFETCH(QString, helpPage);

    AppFixture fixture;
    fixture.useShippedGui();
    const auto window = start(fixture, language);
    MainWindowProbe probe(window.get());

    QCOMPARE(probe.languageIndex(), language - 1);
    const QStringList shown{buttonText(*window, "buttonScan"),    buttonText(*window, "buttonConnectDisconnect"),
                            buttonText(*window, "buttonConnectA0"), buttonText(*window, "buttonReceive"),
                            buttonText(*window, "buttonLoad"),      buttonText(*window, "buttonSaveAs"),
                            window->findChild<QGroupBox *>("comSection")->title(),
                            window->findChild<QGroupBox *>("deviceSection")->title(),
                            window->findChild<QGroupBox *>("pcSection")->title()};
    QCOMPARE(shown, texts);
    QCOMPARE(window->findChild<QMenu *>(QStringLiteral("menu_1"))->title(), QStringLiteral("Menu"));
    QCOMPARE(menuEntries(*window), menu);
    QCOMPARE(probe.appHelp(), helpPage);
    QCOMPARE(probe.suffix(), QStringLiteral(".op/.id/.nm/"));
    QVERIFY(!probe.askDataNotSaved().isEmpty());
    QCOMPARE(window->windowTitle(), QStringLiteral(" TKV-05  "));

    // The start help view shows the language's start page in place of the background frame.
    auto *view = window->findChild<Platform::HelpView *>(QStringLiteral("WebBrowser"));
    QVERIFY(view);
    QVERIFY(view->isVisible());
    QCOMPARE(view->geometry(), QRect(0, 120, 800, 440));
    QCOMPARE(view->focusPolicy(), Qt::StrongFocus);
    QVERIFY2(view->source().toLocalFile().endsWith(helpPage), qPrintable(view->source().toString()));
    QVERIFY(!window->findChild<QWidget *>(QStringLiteral("backGroundFrame"))->isVisible());
}

// A block whose menu row is MENU_2 keeps the form's title; a connect text without "/" connects with
// the whole value and disconnects with the value less its last character. Rows the block lacks
// leave their button without text, but never take a command away: a menu entry without its text
// gets a built-in English one in its shipped place, and a block without shortcuts the shipped keys.
void TestInterfaceTexts::blockWithoutMenuAndSlash()
{
    AppFixture fixture;
    fixture.writeGui({AppFixture::language(QStringLiteral("Deutsch"), QStringLiteral("/APPLICATION/png/Flags/Flags_UK.png"),
                                           QStringLiteral("YES"),
                                           {{"MENU_2", "Hilfe"},
                                            {"BUTTON_CONNECT_DISCONNECT", "Verbinden"},
                                            {"BUTTON_SCAN", "Suchen"},
                                            {"EXIT", "Ende"}})});
    const auto window = start(fixture, 1);
    MainWindowProbe probe(window.get());

    QCOMPARE(window->findChild<QMenu *>(QStringLiteral("menu_1"))->title(), QStringLiteral("Menu"));
    QCOMPARE(menuEntries(*window), (QStringList{"helpAction(off)", "|", "deleteMenu(off)", "|", "backTo(off)", "|",
                                                "aboutAction", "|", "exitAction"}));
    QStringList menuTexts;
    for (QAction *action : window->findChild<QMenu *>(QStringLiteral("menu_1"))->actions())
        menuTexts << action->text();
    QCOMPARE(menuTexts.join(QLatin1Char('|')).remove(QLatin1Char('&')).simplified(),
             QStringLiteral("Manual Left Alt+I||End of edition Left Alt+F||Back to edition Left Alt+B||"
                            "About Left Alt+V||Ende"));
    QCOMPARE(probe.connectText(), QStringLiteral("Verbinden"));
    QCOMPARE(probe.disconnectText(), QStringLiteral("Verbinde"));
    QCOMPARE(buttonText(*window, "buttonConnectDisconnect"), QStringLiteral("Verbinden"));
    QCOMPARE(buttonText(*window, "buttonScan"), QStringLiteral("Suchen"));
    QCOMPARE(buttonText(*window, "buttonLoad"), QString());
    QCOMPARE(probe.appHelp(), QString());

    QApplication::setActiveWindow(window.get());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::keySequence(window.get(), QKeySequence(QStringLiteral("Alt+X")));
    QTRY_VERIFY(!window->isVisible());
}

void TestInterfaceTexts::storedLanguage_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("dialog");
    QTest::addColumn<int>("block");

    QTest::newRow("remembered second language") << QVariant(2) << false << 1;
    QTest::newRow("remembered last language") << QVariant(3) << false << 2;
    QTest::newRow("none remembered") << QVariant(0) << true << 0;
    QTest::newRow("beyond the languages") << QVariant(4) << true << 0;
    QTest::newRow("negative (an edited file)") << QVariant(-2) << true << 0;
    QTest::newRow("not a number") << QVariant(QStringLiteral("English")) << true << 0;
}

void TestInterfaceTexts::storedLanguage()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, dialog);
    QFETCH(int, block);

    AppFixture fixture;
    fixture.useShippedGui();
    fixture.writeSettings({{QStringLiteral("Language"), stored}});
    ModalAnswerer answerer([](QWidget *modal) {
        if (auto *flag = modal->findChild<QAbstractButton *>(QStringLiteral("btnLng1")))
            flag->click();
    });
    MainWindow window(QRect(0, 0, 1024, 768));
    QCOMPARE(answerer.count(), dialog ? 1 : 0);
    QCOMPARE(MainWindowProbe(&window).languageIndex(), block);
    QVERIFY(window.isVisible());
}

// Keys of the shipped SHORTCUT value on the English window. "enabled" lists the widgets enabled
// beyond the start-up state (Scan, Load and the port box); "effect" is the button clicked, "popup"
// for the port list opened, "about" for the about box, "closed" for the window closed, or "".
void TestInterfaceTexts::shippedShortcuts_data()
{
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QStringList>("disabled");
    QTest::addColumn<QString>("effect");

    QTest::newRow("Alt+P scans") << QKeySequence("Alt+P") << QStringList() << QStringList() << "buttonScan";
    QTest::newRow("Alt+O loads") << QKeySequence("Alt+O") << QStringList() << QStringList() << "buttonLoad";
    QTest::newRow("Alt+S on a disabled Save") << QKeySequence("Alt+S") << QStringList() << QStringList() << "";
    QTest::newRow("Alt+S on an enabled Save") << QKeySequence("Alt+S") << QStringList{"buttonSave"} << QStringList()
                                              << "buttonSave";
    QTest::newRow("Alt+L on a disabled Connect") << QKeySequence("Alt+L") << QStringList() << QStringList() << "";
    QTest::newRow("Alt+C presses A0") << QKeySequence("Alt+C") << QStringList{"buttonConnectA0"} << QStringList()
                                      << "buttonConnectA0";
    QTest::newRow("Alt+M sends") << QKeySequence("Alt+M") << QStringList{"buttonSend"} << QStringList() << "buttonSend";
    // The port list's entry reads "COMBO_SCAN-Ctrl+Alt+A": it binds Ctrl+Alt+A, so Alt+A stays Save As's
    // alone, also while the port box is enabled.
    QTest::newRow("Alt+A saves as while the port box is enabled")
        << QKeySequence("Alt+A") << QStringList{"buttonSaveAs"} << QStringList() << "buttonSaveAs";
    QTest::newRow("Alt+A on a disabled Save As") << QKeySequence("Alt+A") << QStringList() << QStringList() << "";
    QTest::newRow("Ctrl+Alt+A opens the port list") << QKeySequence("Ctrl+Alt+A") << QStringList{"buttonSaveAs"}
                                                    << QStringList() << "popup";
    QTest::newRow("Ctrl+Alt+A on a disabled port box")
        << QKeySequence("Ctrl+Alt+A") << QStringList() << QStringList{"comboScan"} << "";
    QTest::newRow("Alt+I: no manual before a page set") << QKeySequence("Alt+I") << QStringList() << QStringList() << "";
    QTest::newRow("Alt+F: no end of editing before a page set") << QKeySequence("Alt+F") << QStringList() << QStringList()
                                                                << "";
    QTest::newRow("Alt+V shows the about box") << QKeySequence("Alt+V") << QStringList() << QStringList() << "about";
    QTest::newRow("Alt+X closes") << QKeySequence("Alt+X") << QStringList() << QStringList() << "closed";
}

void TestInterfaceTexts::shippedShortcuts()
{
    QFETCH(QKeySequence, key);
    QFETCH(QStringList, enabled);
    QFETCH(QStringList, disabled);
    QFETCH(QString, effect);

    AppFixture fixture;
    fixture.useShippedGui();
    const auto window = start(fixture, 2);
    MainWindowProbe(window.get()).detachButtonCommands();
    for (const QString &name : enabled)
        window->findChild<QWidget *>(name)->setEnabled(true);
    for (const QString &name : disabled)
        window->findChild<QWidget *>(name)->setEnabled(false);
    QList<std::shared_ptr<QSignalSpy>> clicks;
    for (const QString &name : AllButtons)
        clicks.append(std::make_shared<QSignalSpy>(window->findChild<QPushButton *>(name), SIGNAL(clicked())));
    QStringList boxes;
    ModalAnswerer answerer([&boxes](QWidget *modal) {
        boxes.append(QString::fromLatin1(modal->metaObject()->className()));
        modal->close();
    });
    QApplication::setActiveWindow(window.get());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));

    QTest::keySequence(window.get(), key);
    if (effect.startsWith(QLatin1String("button")))
        QTRY_COMPARE(clicks.at(AllButtons.indexOf(effect))->count(), 1);
    QTest::qWait(250);   // an animated click lands after 100 ms; no second one comes

    QStringList clicked;
    for (int i = 0; i < AllButtons.size(); ++i) {
        for (int n = 0; n < clicks.at(i)->count(); ++n)
            clicked.append(AllButtons.at(i));
    }
    auto *portBox = window->findChild<QComboBox *>(QStringLiteral("comboScan"));
    const bool popup = portBox->view()->isVisible();
    portBox->hidePopup();
    const QStringList expectedClicks = effect.startsWith(QLatin1String("button")) ? QStringList{effect} : QStringList();
    QCOMPARE(clicked, expectedClicks);
    QCOMPARE(popup, effect == QLatin1String("popup"));
    QCOMPARE(boxes, effect == QLatin1String("about") ? QStringList{"QMessageBox"} : QStringList());
    QCOMPARE(!window->isVisible(), effect == QLatin1String("closed"));
}

// Entries of a SHORTCUT value of our own: names in any letter case, blanks and line breaks around
// the key, a name followed by more of a name, and a last entry without its closing "/".
void TestInterfaceTexts::shortcutEntries_data()
{
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<QString>("clicked");

    QTest::newRow("target written in lower case") << QKeySequence("Alt+M") << "buttonSend";
    QTest::newRow("blanks and a line break around the key") << QKeySequence("Alt+O") << "buttonLoad";
    QTest::newRow("more name after the target's name") << QKeySequence("Alt+L") << "buttonConnectDisconnect";
    QTest::newRow("Save As, not Save") << QKeySequence("Alt+A") << "buttonSaveAs";
    QTest::newRow("a last entry without \"/\" is lost") << QKeySequence("Alt+C") << "";
}

void TestInterfaceTexts::shortcutEntries()
{
    QFETCH(QKeySequence, key);
    QFETCH(QString, clicked);

    AppFixture fixture;
    fixture.writeGui({AppFixture::language(
        QStringLiteral("English"), QStringLiteral("/APPLICATION/png/Flags/Flags_UK.png"), QStringLiteral("YES"),
        {{"SHORTCUT", "button_send-Alt+M/\n   BUTTON_LOAD - Alt + O /BUTTON_CONNECT_DISCONNECT-Alt+L/"
                      "Button_Save_As_Alt+A/BUTTONA0-Alt+C"}})});
    const auto window = start(fixture, 1);
    MainWindowProbe(window.get()).detachButtonCommands();
    QList<std::shared_ptr<QSignalSpy>> clicks;
    for (const QString &name : AllButtons) {
        auto *button = window->findChild<QPushButton *>(name);
        button->setEnabled(true);
        clicks.append(std::make_shared<QSignalSpy>(button, SIGNAL(clicked())));
    }
    QApplication::setActiveWindow(window.get());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));

    QTest::keySequence(window.get(), key);
    if (!clicked.isEmpty())
        QTRY_COMPARE(clicks.at(AllButtons.indexOf(clicked))->count(), 1);
    QTest::qWait(250);
    QStringList seen;
    for (int i = 0; i < AllButtons.size(); ++i) {
        if (clicks.at(i)->count() > 0)
            seen.append(AllButtons.at(i));
    }
    QCOMPARE(seen, clicked.isEmpty() ? QStringList() : QStringList{clicked});
}

QTEST_MAIN(TestInterfaceTexts)
#include "tst_interfacetexts.moc"
