// The port list, connecting and the device commands against the simulated interface.

#include "simrig.h"
#include "serialports.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(DevSimCore::Fault)

namespace {

int registrations(const QString &folder)
{
    return QDir(folder).entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot).size();
}

}

class TestComPort : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Platform::clearSerialPortOverride(); }

    void portEntries_data();
    void portEntries();
    void simulatedPortIsListedWhileRegistered();
    void registrationOfAnEndedProcessIsDropped();
    void testPort_data();
    void testPort();
    void connectOnlyWhenOpened();
    void readAvailableTextCutsAtNul();
    void delayIsAtLeastItsLength();
    void freeRunningInterface();

    void scanMemory_data();
    void scanMemory();
    void scanOnClosedPortIsSilentWithoutSignal();
    void setBankButtons_data();
    void setBankButtons();
    void bankPresent_data();
    void bankPresent();

    void readDeviceWord_data();
    void readDeviceWord();
    void extractData_data();
    void extractData();
    void addressFields_data();
    void addressFields();
    void memoryFits_data();
    void memoryFits();
};

void TestComPort::portEntries_data()
{
    QTest::addColumn<QString>("identification");
    QTest::addColumn<int>("answerDelay");
    QTest::addColumn<bool>("muted");
    QTest::addColumn<QString>("shown");

    QTest::newRow("long identification") << "TKV-05 interface 2.1" << 0 << false << "TKV-05 interface 2.1";
    QTest::newRow("11 characters") << "ABCDEFGHIJK" << 0 << false << "ABCDEFGHIJK";
    QTest::newRow("10 characters are not shown") << "ABCDEFGHIJ" << 0 << false << "";
    QTest::newRow("slow answer is awaited") << "TKV-05 interface 2.1" << 40 << false << "TKV-05 interface 2.1";
    QTest::newRow("no answer") << "TKV-05 interface 2.1" << 0 << true << "";
}

void TestComPort::portEntries()
{
    QFETCH(QString, identification);
    QFETCH(int, answerDelay);
    QFETCH(bool, muted);
    QFETCH(QString, shown);

    SimRig rig;
    rig.sim.core().setIdentification(identification);
    rig.sim.core().setAnswerDelayMs(answerDelay);
    rig.sim.core().setMuted(muted);
    QVERIFY(rig.sim.start());
    // A name whose device does not exist is left out of the list.
    Platform::overrideSerialPortNames({QStringLiteral("pts/999999"), rig.sim.shortName()});

    ComPort lister;
    const QStringList entries{rig.sim.shortName() + QLatin1Char(' ') + shown};
    QCOMPARE(lister.availablePorts(), entries);
    QCOMPARE(lister.availablePorts(), entries);   // a second listing starts afresh
    QCOMPARE(rig.commandCount(QStringLiteral("hwid")), 2);
}

void TestComPort::simulatedPortIsListedWhileRegistered()
{
    QTemporaryDir folder;
    Platform::setSimulatedPortFolder(folder.path());
    SimRig rig;
    QVERIFY(rig.sim.start());
    QVERIFY(!Platform::serialPortNames().contains(rig.sim.shortName()));
    QVERIFY(Platform::registerSimulatedPort(rig.sim.devicePath()));
    // A terminal that is gone, registered by a process that still runs.
    QVERIFY(Platform::registerSimulatedPort(QStringLiteral("/dev/pts/999999")));

    const QStringList names = Platform::serialPortNames();
    QVERIFY(names.size() <= Platform::MaxSerialPorts);
    QVERIFY(names.contains(rig.sim.shortName()));
    QVERIFY(!names.contains(QStringLiteral("pts/999999")));
    QCOMPARE(registrations(folder.path()), 1);   // the stale entry is cleared away

    Platform::unregisterSimulatedPort(rig.sim.devicePath());
    QVERIFY(!Platform::serialPortNames().contains(rig.sim.shortName()));
    QCOMPARE(registrations(folder.path()), 0);
    Platform::setSimulatedPortFolder(QString());
}

// A simulator killed without clean-up leaves its registration behind, and the system may give its
// terminal number to someone else's terminal: a registration whose process has ended is never
// listed (so never opened), and it is cleared away.
void TestComPort::registrationOfAnEndedProcessIsDropped()
{
    QTemporaryDir folder;
    Platform::setSimulatedPortFolder(folder.path());
    QProcess ended;
    ended.start(QStringLiteral("true"), QStringList());
    QVERIFY(ended.waitForStarted());
    const qint64 pid = ended.processId();
    QVERIFY(ended.waitForFinished());

    SimRig rig;   // stands for the terminal that now has the ended simulator's number
    QVERIFY(rig.sim.start());
    QVERIFY(Platform::registerSimulatedPort(rig.sim.devicePath(), pid));
    QCOMPARE(registrations(folder.path()), 1);

    QVERIFY(!Platform::serialPortNames().contains(rig.sim.shortName()));
    QCOMPARE(registrations(folder.path()), 0);
    QCOMPARE(rig.sim.core().commands(), QStringList());   // nothing was written to the terminal
    Platform::setSimulatedPortFolder(QString());
}

void TestComPort::testPort_data()
{
    QTest::addColumn<QString>("entryTemplate");   // %1: the simulator's short name
    QTest::addColumn<bool>("opens");

    QTest::newRow("short name") << "%1" << true;
    QTest::newRow("entry with identification") << "%1 TKV-05 interface" << true;
    QTest::newRow("leading blank") << " %1" << false;
    QTest::newRow("wrong letter case") << "PTS/%1" << false;
    QTest::newRow("device that does not exist") << "pts/999999 X" << false;
    QTest::newRow("not a port name") << "../etc/passwd" << false;
}

void TestComPort::testPort()
{
    QFETCH(QString, entryTemplate);
    QFETCH(bool, opens);

    SimRig rig;
    QVERIFY(rig.sim.start());
    QString entry = entryTemplate;
    if (entry.startsWith(QLatin1String("PTS/")))
        entry = QLatin1String("PTS/") + rig.sim.shortName().mid(4);
    else if (entry.contains(QLatin1String("%1")))
        entry = entry.arg(rig.sim.shortName());
    QCOMPARE(rig.port.testPort(entry), opens);
}

void TestComPort::connectOnlyWhenOpened()
{
    SimRig rig;
    QVERIFY(rig.connect());
    QVERIFY(rig.port.serialPort()->isOpen());
    rig.port.connectDisconnectPort();
    QVERIFY(!rig.port.isConnected());
    QVERIFY(!rig.port.serialPort()->isOpen());

    ComPort missing;
    missing.setPortName(QStringLiteral("pts/999999"));
    missing.connectDisconnectPort();
    QVERIFY(!missing.isConnected());
}

void TestComPort::readAvailableTextCutsAtNul()
{
    SimRig rig;
    QVERIFY(rig.connect());
    rig.sim.send(QByteArray("ab\0cd", 5));
    QVERIFY(rig.waitForBytes(5));
    QCOMPARE(rig.port.readAvailableText(), QStringLiteral("ab"));
    QCOMPARE(rig.port.serialPort()->bytesAvailable(), 0);
}

void TestComPort::delayIsAtLeastItsLength()
{
    QElapsedTimer clock;
    clock.start();
    delayMs(30);
    QVERIFY(clock.elapsed() >= 30);
    clock.restart();
    delayMs(-5);
    QVERIFY(clock.elapsed() < 5);
}

// Free-running (as for manual runs and the benchmarks), the interface answers from a thread of
// its own on the wall clock: a delayed reply comes whole and not early, and input it sends by
// itself follows.
void TestComPort::freeRunningInterface()
{
    DevSimPty sim;
    sim.core().setMemory(0, SimRig::pattern(128));
    sim.core().setAnswerDelayMs(30);
    QVERIFY(sim.start());
    QextSerialPort port(sim.devicePath(), QextSerialPort::Polling);
    QVERIFY(port.open(QIODevice::ReadWrite));

    QElapsedTimer clock;
    clock.start();
    port.write("scan\r");
    const QByteArray expected("scan\r\nA0\r");
    QByteArray reply;
    while (reply.size() < expected.size() && clock.elapsed() < 10000) {
        QTest::qSleep(1);
        reply += port.readAll();
    }
    QVERIFY2(clock.elapsed() >= 29, qPrintable(QString::number(clock.elapsed())));   // its clock counts whole milliseconds
    QCOMPARE(reply, expected);

    sim.send("key");
    QTRY_COMPARE_WITH_TIMEOUT(port.bytesAvailable(), 3, 10000);
    QCOMPARE(port.readAll(), QByteArray("key"));
    port.close();
}

void TestComPort::scanMemory_data()
{
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<bool>("muted");
    QTest::addColumn<QStringList>("banks");

    QTest::newRow("all three") << QList<int>{256, 256, 256} << false << QStringList{"A0", "A2", "A4"};
    QTest::newRow("A0 and A4") << QList<int>{256, 0, 256} << false << QStringList{"A0", "NOA2", "A4"};
    QTest::newRow("A2 alone") << QList<int>{0, 256, 0} << false << QStringList{"NOA0", "A2", "NOA4"};
    QTest::newRow("answer without memories") << QList<int>{0, 0, 0} << false << QStringList{"NOA0", "NOA2", "NOA4"};
    QTest::newRow("silence") << QList<int>{256, 256, 256} << true << QStringList{"noaddress", "NOA0", "NOA2", "NOA4"};
}

void TestComPort::scanMemory()
{
    QFETCH(QList<int>, sizes);
    QFETCH(bool, muted);
    QFETCH(QStringList, banks);

    SimRig rig(sizes[0], sizes[1], sizes[2]);
    rig.sim.core().setMuted(muted);
    QVERIFY(rig.connect());
    QSignalSpy unplugged(&rig.port, &ComPort::deviceUnplugged);
    QCOMPARE(rig.port.scanMemory(rig.port.serialPort()), banks);
    QCOMPARE(unplugged.count(), muted ? 1 : 0);
}

void TestComPort::scanOnClosedPortIsSilentWithoutSignal()
{
    SimRig rig;
    QVERIFY(rig.connect());
    rig.port.connectDisconnectPort();
    QSignalSpy unplugged(&rig.port, &ComPort::deviceUnplugged);
    QCOMPARE(rig.port.scanMemory(rig.port.serialPort()), (QStringList{"noaddress", "NOA0", "NOA2", "NOA4"}));
    QCOMPARE(unplugged.count(), 0);
}

void TestComPort::setBankButtons_data()
{
    QTest::addColumn<QStringList>("banks");
    QTest::addColumn<QList<bool>>("checkedBefore");
    QTest::addColumn<QList<bool>>("enabledAfter");
    QTest::addColumn<QList<bool>>("checkedAfter");

    QTest::newRow("A0 and A4, A0 down") << QStringList{"A0", "NOA2", "A4"} << QList<bool>{true, false, false}
                                        << QList<bool>{true, false, true} << QList<bool>{true, false, false};
    QTest::newRow("A2 gone while down") << QStringList{"A0", "NOA2", "NOA4"} << QList<bool>{false, true, false}
                                        << QList<bool>{true, false, false} << QList<bool>{false, false, false};
    QTest::newRow("noaddress disables all") << QStringList{"noaddress", "NOA0", "NOA2", "NOA4"} << QList<bool>{true, false, false}
                                            << QList<bool>{false, false, false} << QList<bool>{false, false, false};
    QTest::newRow("compared by position and case") << QStringList{"a0", "A4", "A2"} << QList<bool>{true, false, false}
                                                   << QList<bool>{false, false, false} << QList<bool>{false, false, false};
}

void TestComPort::setBankButtons()
{
    QFETCH(QStringList, banks);
    QFETCH(QList<bool>, checkedBefore);
    QFETCH(QList<bool>, enabledAfter);
    QFETCH(QList<bool>, checkedAfter);

    QPushButton buttons[3];
    for (int i = 0; i < 3; ++i) {
        buttons[i].setCheckable(true);
        buttons[i].setChecked(checkedBefore[i]);
        buttons[i].setEnabled(!enabledAfter[i]);
    }
    ComPort port;
    port.setBankButtons(banks, &buttons[0], &buttons[1], &buttons[2]);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(buttons[i].isEnabled(), enabledAfter[i]);
        QCOMPARE(buttons[i].isChecked(), checkedAfter[i]);
    }
}

void TestComPort::bankPresent_data()
{
    QTest::addColumn<QString>("slave");
    QTest::addColumn<bool>("muted");
    QTest::addColumn<bool>("present");

    QTest::newRow("a2 answers as A2") << "a2" << false << true;
    QTest::newRow("answer without the memory") << "a4" << false << false;
    QTest::newRow("silence") << "a2" << true << false;
}

void TestComPort::bankPresent()
{
    QFETCH(QString, slave);
    QFETCH(bool, muted);
    QFETCH(bool, present);

    SimRig rig(256, 256, 0);
    rig.sim.core().setMuted(muted);
    QVERIFY(rig.connect());
    QCOMPARE(rig.port.bankPresent(slave), present);
}

void TestComPort::readDeviceWord_data()
{
    QTest::addColumn<QString>("slave");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("word");

    QTest::newRow("model identifier") << "A0" << "0x000E" << "rd:A0@000E,02" << "3ba1";
    QTest::newRow("one digit, padded") << "A0" << "0xE" << "rd:A0@000E,02" << "3ba1";
    QTest::newRow("five digits give no address") << "A0" << "0x0000E" << "rd:A0@,02" << "";
    QTest::newRow("memory absent") << "a4" << "0x000E" << "rd:a4@000E,02" << "";
}

void TestComPort::readDeviceWord()
{
    QFETCH(QString, slave);
    QFETCH(QString, address);
    QFETCH(QString, command);
    QFETCH(QString, word);

    SimRig rig;
    QByteArray memory = rig.sim.core().memory(0);
    memory[0x0E] = char(0x3b);
    memory[0x0F] = char(0xa1);
    rig.sim.core().setMemory(0, memory);
    QVERIFY(rig.connect());
    rig.port.setSlaveAddress(slave);
    QCOMPARE(rig.port.readDeviceWord(address), word);
    QCOMPARE(rig.sim.core().commands().value(0), command);
}

void TestComPort::extractData_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("data");

    QTest::newRow("one field") << QByteArray("rd:A0@000E,02\r\n**3ba1-7f\r") << QByteArray("3ba1");
    QTest::newRow("no marks") << QByteArray("rd:A0@000E,02\r\n3ba1-7f\r") << QByteArray();
    QTest::newRow("two fields joined") << QByteArray("**12-xx**34-") << QByteArray("1234");
    QTest::newRow("cut off before the dash") << QByteArray("**3b") << QByteArray();
}

void TestComPort::extractData()
{
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, data);
    QCOMPARE(ComPort::extractData(reply), data);
}

void TestComPort::addressFields_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("field");

    QTest::newRow("0") << 0 << "0000";
    QTest::newRow("8191") << 8191 << "1fff";
    QTest::newRow("65535") << 65535 << "ffff";
    QTest::newRow("65536") << 65536 << "";
    QTest::newRow("-1") << -1 << "";
}

void TestComPort::addressFields()
{
    QFETCH(int, number);
    QFETCH(QString, field);
    QCOMPARE(ComPort::formatAddress(number), field);
}

void TestComPort::memoryFits_data()
{
    QTest::addColumn<int>("deviceSize");
    QTest::addColumn<QString>("probedSize");
    QTest::addColumn<bool>("muted");
    QTest::addColumn<bool>("fits");

    QTest::newRow("same size") << 8192 << "8192" << false << true;
    QTest::newRow("larger memory") << 8192 << "4096" << false << true;
    QTest::newRow("smaller memory") << 4096 << "8192" << false << false;
    QTest::newRow("silence counts as fitting") << 4096 << "8192" << true << true;
}

void TestComPort::memoryFits()
{
    QFETCH(int, deviceSize);
    QFETCH(QString, probedSize);
    QFETCH(bool, muted);
    QFETCH(bool, fits);

    SimRig rig(deviceSize);
    rig.sim.core().setMuted(muted);
    QVERIFY(rig.connect());
    QCOMPARE(rig.port.memoryFits(QStringLiteral("A0"), probedSize), fits);
    QCOMPARE(rig.sim.core().commands().value(0),
             QStringLiteral("rd:A0@%1,01").arg(ComPort::formatAddress(probedSize.toInt() - 1)));
}

QTEST_MAIN(TestComPort)
#include "tst_comport.moc"
