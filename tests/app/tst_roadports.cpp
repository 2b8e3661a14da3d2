// The port road against the simulated interface: the scan, connecting and disconnecting, the memory
// buttons, an interface that hangs up, and the key reader that follows the tabs.

#include "roadfixture.h"

#include "mybutton.h"
#include "page.h"
#include "programsetup.h"
#include "tableline.h"
#include "qextserialport.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionComboBox>

class TestRoadPorts : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void connectStates_data();
    void connectStates();
    void disconnect();
    void memoryButtons_data();
    void memoryButtons();
    void hangUpWhileIdle();
    void keyReaderFollowsTabs();
    void keyRecordBehindSwitchAnswer();
    void simulatorEntryShownWhole();
};

namespace {

// Enabled states of Scan, the port box and Connect, and Connect's text.
struct PortState {
    bool scan;
    bool box;
    bool connect;
    QString text;
};

PortState portState(const RoadRig &rig)
{
    return {rig.button("buttonScan")->isEnabled(), rig.widget<QComboBox>("comboScan")->isEnabled(),
            rig.button("buttonConnectDisconnect")->isEnabled(), rig.button("buttonConnectDisconnect")->text()};
}

}

void TestRoadPorts::cleanup()
{
    dataModified = false;
}

// What the scan lists and whether Connect connects: an interface, a port that does not identify as
// one, a port gone between scan and connect, and no port at all.
void TestRoadPorts::connectStates_data()
{
    QTest::addColumn<QString>("identification");   // empty: no port found
    QTest::addColumn<bool>("goneBeforeConnect");
    QTest::addColumn<bool>("connectEnabled");
    QTest::addColumn<bool>("connected");

    QTest::newRow("interface") << "TKV-05 programming interface" << false << true << true;
    QTest::newRow("port without identification") << "TKV-05" << false << false << false;
    QTest::newRow("other device") << "Modem of another kind" << false << false << false;
    QTest::newRow("interface gone after the scan") << "TKV-05 programming interface" << true << true << false;
    QTest::newRow("no port") << QString() << false << false << false;
}

void TestRoadPorts::connectStates()
{
    QFETCH(QString, identification);
    QFETCH(bool, goneBeforeConnect);
    QFETCH(bool, connectEnabled);
    QFETCH(bool, connected);

    RoadRig rig(RoadRig::sample(U65));
    rig.sim.core().setIdentification(identification);
    rig.start(!identification.isEmpty());
    if (QTest::currentTestFailed())
        return;

    rig.button("buttonScan")->click();
    auto *box = rig.widget<QComboBox>("comboScan");
    const QStringList expected = identification.isEmpty() ? QStringList()
        : QStringList{rig.sim.shortName() + QLatin1Char(' ') + (identification.size() > 10 ? identification : QString())};
    QCOMPARE(rig.probe->portList(), expected);
    QCOMPARE(box->count(), expected.size());
    QCOMPARE(rig.files.setting(QStringLiteral("ComPorts")).toStringList(), expected);
    QCOMPARE(rig.files.setting(QStringLiteral("SelectedPort")).toString(), expected.value(0));
    QCOMPARE(rig.button("buttonConnectDisconnect")->isEnabled(), connectEnabled);

    if (goneBeforeConnect)
        rig.sim.stop();
    rig.button("buttonConnectDisconnect")->click();
    QCOMPARE(rig.probe->port()->isConnected(), connected);
    QCOMPARE(rig.script.seen, QStringList());
    const PortState state = portState(rig);
    QCOMPARE(state.scan, !connected);
    QCOMPARE(state.box, !connected);
    QCOMPARE(state.text, connected ? rig.probe->disconnectText() : rig.probe->connectText());
    if (connected) {
        QCOMPARE(rig.probe->port()->serialPort()->portName(), rig.sim.devicePath());
        QTRY_VERIFY_WITH_TIMEOUT(rig.button("buttonConnectA0")->isEnabled(), 5000);
    }
    QVERIFY(!rig.button("buttonConnectA2")->isEnabled());
    QVERIFY(!rig.button("buttonReceive")->isEnabled());
}

// Disconnect: the port closes, the memory buttons, Receive and Send go off, the port box and Scan
// come back.
void TestRoadPorts::disconnect()
{
    RoadRig rig(RoadRig::sample(U65));
    rig.sim.core().setMemory(2, QByteArray(256, '\0'));
    rig.start();
    QVERIFY(rig.selectA0());
    QVERIFY(rig.button("buttonConnectA4")->isEnabled());

    rig.button("buttonConnectDisconnect")->click();
    QVERIFY(!rig.probe->port()->isConnected());
    QVERIFY(!rig.probe->port()->serialPort()->isOpen());
    const PortState state = portState(rig);
    QVERIFY(state.scan && state.box && state.connect);
    QCOMPARE(state.text, rig.probe->connectText());
    for (const char *name : {"buttonConnectA0", "buttonConnectA2", "buttonConnectA4"}) {
        QVERIFY(!rig.button(name)->isEnabled());
        QVERIFY(!rig.button(name)->isChecked());
    }
    QVERIFY(!rig.button("buttonReceive")->isEnabled());
    QVERIFY(!rig.button("buttonSend")->isEnabled());
}

// The memory buttons: the poll enables those whose memory answers; pressing one sets both slave
// texts and enables Receive, and Send only while a page set exists; it releases the others.
void TestRoadPorts::memoryButtons_data()
{
    QTest::addColumn<bool>("pageSet");
    QTest::addColumn<QStringList>("presses");
    QTest::addColumn<QString>("probeText");
    QTest::addColumn<QString>("transferText");
    QTest::addColumn<QString>("down");   // the button down afterwards; empty: none
    QTest::addColumn<bool>("receive");
    QTest::addColumn<bool>("send");

    for (bool pageSet : {false, true}) {
        const char *set = pageSet ? "page set" : "no page set";
        QTest::addRow("A0, %s", set) << pageSet << QStringList{"buttonConnectA0"} << "A0" << "a0"
                                     << "buttonConnectA0" << true << pageSet;
        QTest::addRow("A2, %s", set) << pageSet << QStringList{"buttonConnectA2"} << "a2" << "a2"
                                     << "buttonConnectA2" << true << pageSet;
        QTest::addRow("A4, %s", set) << pageSet << QStringList{"buttonConnectA4"} << "a4" << "a4"
                                     << "buttonConnectA4" << true << pageSet;
        QTest::addRow("A0 then A2, %s", set) << pageSet << QStringList{"buttonConnectA0", "buttonConnectA2"} << "a2"
                                             << "a2" << "buttonConnectA2" << true << pageSet;
        QTest::addRow("A4 pressed twice, %s", set) << pageSet << QStringList{"buttonConnectA4", "buttonConnectA4"}
                                                   << "a4" << "a4" << QString() << false << false;
    }
}

void TestRoadPorts::memoryButtons()
{
    QFETCH(bool, pageSet);
    QFETCH(QStringList, presses);
    QFETCH(QString, probeText);
    QFETCH(QString, transferText);
    QFETCH(QString, down);
    QFETCH(bool, receive);
    QFETCH(bool, send);

    RoadRig rig(RoadRig::sample(U65));
    rig.sim.core().setMemory(1, QByteArray(256, '\0'));
    rig.sim.core().setMemory(2, QByteArray(256, '\0'));
    rig.start();
    if (pageSet)
        QVERIFY(rig.load(U65));
    QVERIFY(rig.connectInterface());
    QTRY_VERIFY_WITH_TIMEOUT(rig.button("buttonConnectA4")->isEnabled() && rig.button("buttonConnectA2")->isEnabled(),
                             5000);

    for (const QString &name : presses)
        QTest::mouseClick(rig.button(name.toLatin1().constData()), Qt::LeftButton);
    QCOMPARE(rig.probe->probeAddress(), probeText);
    QCOMPARE(rig.probe->transferAddress(), transferText);
    for (const char *name : {"buttonConnectA0", "buttonConnectA2", "buttonConnectA4"})
        QCOMPARE(rig.button(name)->isChecked(), down == QLatin1String(name));
    QCOMPARE(rig.button("buttonReceive")->isEnabled(), receive);
    QCOMPARE(rig.button("buttonSend")->isEnabled(), send);

    // The next poll keeps the button down while its memory answers.
    const int scans = rig.sim.core().commands().count(QStringLiteral("scan"));
    QTRY_VERIFY_WITH_TIMEOUT(rig.sim.core().commands().count(QStringLiteral("scan")) > scans + 1, 5000);
    for (const char *name : {"buttonConnectA0", "buttonConnectA2", "buttonConnectA4"})
        QCOMPARE(rig.button(name)->isChecked(), down == QLatin1String(name));
}

// The interface goes away while nothing is transferred: the next memory poll finds silence and the
// window disconnects, without a message.
void TestRoadPorts::hangUpWhileIdle()
{
    RoadRig rig(RoadRig::sample(U65));
    rig.start();
    QVERIFY(rig.selectA0());

    rig.sim.hangUp();
    QTRY_VERIFY_WITH_TIMEOUT(!rig.probe->port()->isConnected(), 5000);
    QVERIFY(!rig.probe->port()->serialPort()->isOpen());
    QCOMPARE(rig.button("buttonConnectDisconnect")->text(), rig.probe->connectText());
    QVERIFY(rig.button("buttonScan")->isEnabled());
    QVERIFY(!rig.button("buttonConnectA0")->isEnabled());
    QVERIFY(!rig.button("buttonConnectA0")->isChecked());
    QVERIFY(!rig.button("buttonReceive")->isEnabled());
    QCOMPARE(rig.script.seen, QStringList());
}

// The key reader is on while the key table's tab is current: every tab change of a connected window
// switches it, the page build's own ones included, and nothing is written while the port is closed
// or the set is being deleted. A key held to the reader right after a switch reaches the key table.
void TestRoadPorts::keyReaderFollowsTabs()
{
    RoadRig rig(RoadRig::sample(U65));
    rig.start();
    QVERIFY(rig.load(U65));
    const auto switches = [&rig] {
        QStringList found;
        for (const QString &c : rig.sim.core().commands()) {
            if (c == QLatin1String("idon") || c == QLatin1String("idoff"))
                found << c;
        }
        rig.sim.core().clearLog();
        return found;
    };
    QTabWidget *tabs = rig.probe->pageTabWidget();
    tabs->setCurrentIndex(3);
    QVERIFY(rig.connectInterface());
    QCOMPARE(switches(), QStringList());

    for (int index : {0, 3, 4, 2, 3})
        tabs->setCurrentIndex(index);
    QVERIFY(RoadRig::waitFor([&] { return rig.sim.core().commands().count() >= 5; }));
    QCOMPARE(switches(), (QStringList{"idoff", "idon", "idoff", "idoff", "idon"}));

    // With Add down, the key table shows the key and takes it into a free slot.
    Page *keys = rig.probe->pages().at(3);
    keys->panelLine()->panelButtons[0]->click();
    dataModified = false;
    rig.sim.send(DevSimCore::keyRecord(QStringLiteral("01A2B3C4D5E6F70800"), QStringLiteral("3BA1")));
    QTRY_COMPARE_WITH_TIMEOUT(keys->panelLine()->panelEdits[0]->text(), QStringLiteral("3BA1"), 5000);
    bool added = false;
    for (int k = 1; k <= keys->tableSize() && !added; ++k)
        added = keys->tableLine(k)->tmCodeText() == QLatin1String("3BA1");
    QVERIFY(added);
    QVERIFY(dataModified);

    // The build makes each tree and table page current before it is built, the first one last: the
    // reader goes off.
    dataModified = false;
    QVERIFY(rig.load(U65));
    QVERIFY(RoadRig::waitFor([&] { return rig.sim.core().commands().contains(QStringLiteral("idoff")); }));
    QTest::qWait(100);
    const QStringList build = switches();
    QCOMPARE(build.count(QStringLiteral("idoff")), build.size());

    rig.window->findChild<QMenu *>(QStringLiteral("menu_1"))->findChild<QAction *>(QStringLiteral("deleteMenu"))->trigger();
    QVERIFY(!rig.probe->hasPageTabs());
    QTest::qWait(100);
    QCOMPARE(switches(), QStringList());
}

// The interface's answer to a key-reader switch waits on the port; the key record held to the
// reader right after it is still taken (whole, once), however the two arrive together.
void TestRoadPorts::keyRecordBehindSwitchAnswer()
{
    RoadRig rig(RoadRig::sample(U65));
    rig.start();
    QVERIFY(rig.connectInterface());
    rig.probe->setPollIntervals(60000, 20);   // the key poll alone takes what waits
    QSignalSpy codes(rig.probe->image(), SIGNAL(newSignal(QString)));

    rig.probe->port()->serialPort()->write("idon\r");
    QTRY_VERIFY(rig.sim.core().commands().contains(QStringLiteral("idon")));
    rig.sim.send(DevSimCore::keyRecord(QStringLiteral("01A2B3C4D5E6F70800"), QStringLiteral("3BA1")));
    QTRY_COMPARE_WITH_TIMEOUT(codes.count(), 1, 5000);
    QCOMPARE(codes.at(0).at(0).toString(), QStringLiteral("3BA1"));
    rig.sim.send(DevSimCore::keyRecord(QStringLiteral("01A2B3C4D5E6F70801"), QStringLiteral("1491")));
    QTRY_COMPARE_WITH_TIMEOUT(codes.count(), 2, 5000);
    QCOMPARE(codes.at(1).at(0).toString(), QStringLiteral("1491"));
}

// The simulated interface's own identification, as the scan lists it, fits the port box in the
// program's style and font (a terminal number of two digits included), and Connect takes it.
void TestRoadPorts::simulatorEntryShownWhole()
{
    prepareApplication();
    RoadRig rig(RoadRig::sample(U65));
    rig.start();
    if (QTest::currentTestFailed())
        return;

    rig.button("buttonScan")->click();
    auto *box = rig.widget<QComboBox>("comboScan");
    QCOMPARE(box->count(), 1);
    QStyleOptionComboBox option;
    option.initFrom(box);
    const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
    const QString entry = box->itemText(0);
    QVERIFY2(entry.startsWith(rig.sim.shortName() + QLatin1Char(' ')) && entry.size() > rig.sim.shortName().size() + 11, qPrintable(entry));
    const QString widest = QStringLiteral("pts/99") + entry.mid(rig.sim.shortName().size());
    QVERIFY2(box->fontMetrics().horizontalAdvance(widest) <= field.width(),
             qPrintable(QStringLiteral("\"%1\" needs %2 px, the box shows %3").arg(widest).arg(box->fontMetrics().horizontalAdvance(widest)).arg(field.width())));
    QVERIFY(rig.button("buttonConnectDisconnect")->isEnabled());
}

QTEST_MAIN(TestRoadPorts)
#include "tst_roadports.moc"
