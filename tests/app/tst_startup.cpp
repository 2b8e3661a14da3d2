#include "appfixture.h"
#include "mainwindowprobe.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>

#include <memory>

namespace {

QStringList traces;

void collectTrace(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg)
        traces.append(message);
}

// Chooses the language with the given 1-based number in the language dialog.
std::function<void(QWidget *)> chooseLanguage(int number)
{
    return [number](QWidget *modal) {
        if (auto *flag = modal->findChild<QAbstractButton *>(QStringLiteral("btnLng%1").arg(number)))
            flag->click();
    };
}

}

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void firstRunWritesDefaultsAndAsks();
    void placement_data();
    void placement();
    void portBoxRefill_data();
    void portBoxRefill();
    void missingFlagsAndTraceOrder();
    void languageRowsMissing();
};

void TestStartup::firstRunWritesDefaultsAndAsks()
{
    AppFixture fixture;
    fixture.useShippedGui();
    ModalAnswerer answerer(chooseLanguage(2));
    MainWindow window(QRect(0, 0, 1024, 768));

    QCOMPARE(answerer.count(), 1);
    QVERIFY(window.isVisible());
    QFile file(fixture.settingsPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY2(text.contains("Language=0\n") && text.contains("ComPorts=\n"), text.constData());
    QCOMPARE(fixture.setting("AppWinPos").toPoint(), QPoint(113, 85));
    QCOMPARE(fixture.setting("SelectedPort").toString(), QString());

    auto *box = window.findChild<QComboBox *>(QStringLiteral("comboScan"));
    QCOMPARE(box->count(), 1);
    QCOMPARE(box->currentText(), QString());
    QVERIFY(!window.findChild<QPushButton *>(QStringLiteral("buttonConnectDisconnect"))->isEnabled());
}

void TestStartup::placement_data()
{
    QTest::addColumn<QSize>("desktop");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QPoint>("corner");

    QTest::newRow("no corner stored: centred") << QSize(1024, 768) << QVariant() << QPoint(113, 85);
    QTest::newRow("stored corner fits") << QSize(1024, 768) << QVariant(QPoint(200, 100)) << QPoint(200, 100);
    QTest::newRow("edges touch the shrunk screen") << QSize(1024, 768) << QVariant(QPoint(205, 149)) << QPoint(205, 149);
    QTest::newRow("one pixel past the right margin") << QSize(1024, 768) << QVariant(QPoint(206, 149)) << QPoint(113, 85);
    QTest::newRow("above the top margin") << QSize(1024, 768) << QVariant(QPoint(0, 10)) << QPoint(113, 85);
    QTest::newRow("not a point") << QSize(1024, 768) << QVariant(QStringLiteral("left")) << QPoint(113, 85);
    QTest::newRow("small screen: below the top margin") << QSize(640, 480) << QVariant() << QPoint(0, 20);
    QTest::newRow("large screen") << QSize(1920, 1080) << QVariant(QPoint(1100, 460)) << QPoint(1100, 460);
}

void TestStartup::placement()
{
    QFETCH(QSize, desktop);
    QFETCH(QVariant, stored);
    QFETCH(QPoint, corner);

    AppFixture fixture;
    fixture.useShippedGui();
    QVariantMap settings{{QStringLiteral("Language"), 1}};
    if (stored.isValid())
        settings.insert(QStringLiteral("AppWinPos"), stored);
    fixture.writeSettings(settings);

    auto window = std::make_unique<MainWindow>(QRect(QPoint(0, 0), desktop));
    QCOMPARE(fixture.setting("AppWinPos").toPoint(), corner);
    QCOMPARE(window->geometry(), QRect(corner, QSize(800, 600)));
    QCOMPARE(window->minimumSize(), QSize(800, 600));
    QCOMPARE(window->maximumSize(), QSize(800, 600));

    // Shut-down stores the corner of the client area the window has then.
    window->setGeometry(QRect(corner + QPoint(7, 5), window->size()));
    window.reset();
    QCOMPARE(fixture.setting("AppWinPos").toPoint(), corner + QPoint(7, 5));
}

void TestStartup::portBoxRefill_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("selectedAfter");
    QTest::addColumn<bool>("connectEnabled");

    const QString tkv = QStringLiteral("ttyACM0 TKV-05 USB 1.2");
    const QString plain = QStringLiteral("ttyUSB0");
    QTest::newRow("stored port second in the list") << QStringList{tkv, plain} << plain << plain << plain << false;
    QTest::newRow("stored interface second in the list") << QStringList{plain, tkv} << tkv << tkv << tkv << true;
    QTest::newRow("stored interface first") << QStringList{tkv, plain} << tkv << tkv << tkv << true;
    QTest::newRow("stored port not in the list") << QStringList{plain, tkv} << QStringLiteral("ttyS9") << plain << plain
                                                 << false;
    QTest::newRow("empty list") << QStringList() << QStringLiteral("ttyS9") << QString() << QStringLiteral("ttyS9")
                                << false;
}

void TestStartup::portBoxRefill()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, selected);
    QFETCH(QString, current);
    QFETCH(QString, selectedAfter);
    QFETCH(bool, connectEnabled);

    AppFixture fixture;
    fixture.useShippedGui();
    fixture.writeSettings({{QStringLiteral("Language"), 1},
                           {QStringLiteral("ComPorts"), stored},
                           {QStringLiteral("SelectedPort"), selected}});
    MainWindow window(QRect(0, 0, 1024, 768));

    auto *box = window.findChild<QComboBox *>(QStringLiteral("comboScan"));
    QCOMPARE(box->count(), stored.size());
    QCOMPARE(box->currentText(), current);
    QCOMPARE(fixture.setting("SelectedPort").toString(), selectedAfter);
    QCOMPARE(MainWindowProbe(&window).selectedPortText(), selected);
    QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("buttonConnectDisconnect"))->isEnabled(), connectEnabled);
}

// The second block names no flag, the third one a file that is missing: both get the stand-in of
// their position, and the flags stay aligned with the names. The traces come in start-up order.
void TestStartup::missingFlagsAndTraceOrder()
{
    AppFixture fixture;
    fixture.writeGui({AppFixture::language(QStringLiteral("Polski"), QStringLiteral("/APPLICATION/png/Flags/Flags_Poland.png")),
                      AppFixture::language(QStringLiteral("English"), QString()),
                      AppFixture::language(QStringLiteral("Other"), QStringLiteral("/APPLICATION/png/Flags/Flags_Nowhere.png"))});
    traces.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectTrace);
    std::unique_ptr<MainWindow> window;
    {
        ModalAnswerer answerer(chooseLanguage(1));
        window = std::make_unique<MainWindow>(QRect(0, 0, 1024, 768));
    }
    qInstallMessageHandler(previous);

    const QStringList flags = MainWindowProbe(window.get()).languageFlags();
    QCOMPARE(flags.size(), 6);
    QVERIFY2(QFileInfo(flags.at(0)).isFile(), qPrintable(flags.at(0)));
    QVERIFY(flags.at(0).endsWith(QLatin1String("application/png/Flags/Flags_Poland.png")));
    QCOMPARE(flags.mid(1), QStringList({":Img/debug/Rsc/Img/Flags_UK.png", ":Img/debug/Rsc/Img/Flags_Russia.png",
                                        ":Img/debug/Rsc/Img/Flags_Slovakia.png", ":Img/debug/Rsc/Img/Flags_France.png",
                                        ":Img/debug/Rsc/Img/Flags_Germany.png"}));
    QVERIFY(!QFile::exists(flags.at(1)));

    const QStringList expected{"Main Init", "File not exist: ", "Lng-Parse OK", "Lng Init",
                               "make btn: \"btnExit\"", "make btn: \"btnLng1\"", "make btn: \"btnLng2\"",
                               "make btn: \"btnLng3\"", "Lng Destroy", "Main InitEnd"};
    QStringList seen;
    for (const QString &trace : traces) {
        if (expected.contains(trace))
            seen.append(trace);
    }
    QCOMPARE(seen, expected);
}

// The second block lacks its name and check-box text, the third its enable text (and names itself
// twice): every block keeps its own entry in each list, and its button applies that block.
void TestStartup::languageRowsMissing()
{
    AppFixture fixture;
    const QString flag = QStringLiteral("/APPLICATION/png/Flags/Flags_UK.png");
    fixture.writeGui({AppFixture::language(QStringLiteral("Polski"), flag),
                      {{"LNG_FLAG", flag}, {"LNG_ENABLE", "YES"}, {"MENU_1", "Second"}},
                      {{"LNG_NAME", "Third"}, {"LNG_NAME", "Again"}, {"LNG_TEXT_NOASK", "Remember Third"},
                       {"MENU_1", "Third"}},
                      AppFixture::language(QStringLiteral("Fourth"), flag, QStringLiteral("YES"),
                                           {{"MENU_1", "Fourth"}})});
    std::unique_ptr<MainWindow> window;
    {
        ModalAnswerer answerer(chooseLanguage(2));
        window = std::make_unique<MainWindow>(QRect(0, 0, 1024, 768));
    }
    const MainWindowProbe probe(window.get());
    QCOMPARE(probe.languageNames(), (QStringList{"Polski", "Language 2", "Third", "Fourth"}));
    QCOMPARE(probe.languageEnabled(), (QStringList{"YES", "YES", "", "YES"}));
    QCOMPARE(probe.languageNoAskTexts(),
             (QStringList{"Remember Polski", "Remember my choice and do not show this dialog at startup.",
                          "Remember Third", "Remember Fourth"}));
    QCOMPARE(probe.languageIndex(), 1);
    QCOMPARE(window->findChild<QMenu *>(QStringLiteral("menu_1"))->title(), QStringLiteral("Second"));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
