// Receive and Send through the window against the simulated interface: the commands, the page set,
// the buttons, the title and the unsaved-data flag after a Receive; a model chosen by hand; every
// way a Receive can stop; the memory-size warnings; a Send byte for byte.

#include "roadfixture.h"

#include "mytablewidget.h"
#include "page.h"
#include "programsetup.h"

#include <QSignalSpy>

using Fault = DevSimCore::Fault;
Q_DECLARE_METATYPE(DevSimCore::Fault)

namespace {

const QString Unknown = QStringLiteral("unknown_model_1500.bin");


// The "rd:" commands of the log, a repeated command kept once.
QStringList readCommands(const QStringList &log)
{
    QStringList reads;
    for (const QString &command : log) {
        if (command.startsWith(QLatin1String("rd:")) && (reads.isEmpty() || reads.last() != command))
            reads << command;
    }
    return reads;
}

QStringList blockReads(int blocks)
{
    QStringList reads;
    for (int i = 0; i < blocks; ++i)
        reads << QStringLiteral("rd:a0@%1,10").arg(16 * i, 4, 16, QLatin1Char('0'));
    return reads;
}

QByteArray withWord(QByteArray image, int address, quint16 word)
{
    image[address] = char(word >> 8);
    image[address + 1] = char(word & 0xff);
    return image;
}

// What a Receive that ends early must leave as it was.
struct WindowState {
    QByteArray image;
    QList<Page *> pages;
    QStringList tabs;
    QString title;
    QString memSize;
    QString definition;
    QString fileBox;
    bool modified;

    static WindowState of(RoadRig &rig)
    {
        return {rig.probe->image()->image(), rig.probe->pages(), rig.tabTitles(), rig.window->windowTitle(),
                rig.probe->memSize(), rig.probe->definitionFilePath(),
                rig.widget<QPlainTextEdit>("plainTextEdit")->toPlainText(), dataModified};
    }
    bool operator==(const WindowState &o) const
    {
        return image == o.image && pages == o.pages && tabs == o.tabs && title == o.title && memSize == o.memSize
               && definition == o.definition && fileBox == o.fileBox && modified == o.modified;
    }
};

// Presses the transfer dialog's Cancel button once, when stop() holds.
void cancelWhen(RoadRig &rig, std::function<bool()> stop)
{
    rig.script.onTransfer = [stop, done = false](MyProgressDialog *dialog) mutable {
        if (done || !stop())
            return;
        done = true;
        dialog->findChild<QPushButton *>()->click();
    };
}

}

class TestRoadTransfers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void receive_data();
    void receive();
    void simulatorsOwnMemory();
    void unknownModel_data();
    void unknownModel();
    void stoppedReceive_data();
    void stoppedReceive();
    void memoryTooSmallForReceive_data();
    void memoryTooSmallForReceive();
    void modelMemorySize_data();
    void modelMemorySize();
    void send();
    void sendSizeMismatch_data();
    void sendSizeMismatch();
    void sendNotConnected();
    void transferDialog_data();
    void transferDialog();
};

// The program's style, font and name: the transfer dialog's size depends on them.
void TestRoadTransfers::initTestCase()
{
    prepareApplication();
}

void TestRoadTransfers::cleanup()
{
    dataModified = false;
}

// A Receive of each sample: the identifier read, the size probe and 512 block reads in order; the
// model's pages over the bytes read; Save off, Save As on, the memory button released; the plain
// title; the flag cleared.
void TestRoadTransfers::receive_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<bool>("loadedBefore");

    QTest::newRow("U65") << U65 << U65Tabs << false;
    QTest::newRow("H65") << H65 << H65Tabs << false;
    QTest::newRow("H65 over a loaded U65 with edits") << H65 << H65Tabs << true;
}

void TestRoadTransfers::receive()
{
    QFETCH(QString, sample);
    QFETCH(QStringList, tabs);
    QFETCH(bool, loadedBefore);

    RoadRig rig(RoadRig::sample(sample));
    rig.start();
    if (loadedBefore) {
        QVERIFY(rig.load(U65));
        dataModified = true;
        rig.script.answer(QMessageBox::Yes);
    }
    QVERIFY(rig.selectA0());
    int largestRange = 0;
    rig.script.onTransfer = [&](MyProgressDialog *dialog) { largestRange = qMax(largestRange, dialog->maximum()); };
    rig.sim.core().clearLog();

    rig.button("buttonReceive")->click();

    QVERIFY(rig.script.done());
    QCOMPARE(rig.script.unexpected, 0);
    const QStringList reads = readCommands(rig.sim.core().commands());
    QCOMPARE(reads.mid(0, 2), (QStringList{"rd:A0@000E,02", "rd:A0@1fff,01"}));
    QCOMPARE(reads.mid(2), blockReads(512));
    QCOMPARE(rig.script.transferDialogsShown, 1);
    QCOMPARE(largestRange, 512);
    QCOMPARE(rig.probe->image()->image(), RoadRig::sample(sample));
    QCOMPARE(rig.tabTitles(), tabs);
    QCOMPARE(rig.probe->pageTabWidget()->currentIndex(), 0);
    QCOMPARE(rig.probe->memSize(), QStringLiteral("8192"));
    QVERIFY(rig.probe->definitionFilePath().endsWith(QStringLiteral("/application/xml/") + QString(sample).replace(QLatin1String("_sample.bin"), QLatin1String("_EN.xlx"))));
    QCOMPARE(rig.window->windowTitle(), QStringLiteral(" TKV-05  "));
    QCOMPARE(rig.widget<QPlainTextEdit>("plainTextEdit")->toPlainText(), QString());
    QVERIFY(!rig.button("buttonSave")->isEnabled());
    QVERIFY(rig.button("buttonSaveAs")->isEnabled());
    QVERIFY(!rig.button("buttonConnectA0")->isChecked());
    QVERIFY(!rig.button("buttonReceive")->isEnabled());
    QVERIFY(!rig.button("buttonSend")->isEnabled());
    QVERIFY(rig.probe->transferAddress().isNull());
    QVERIFY(!rig.probe->port()->isBreakRequested());
    QVERIFY(!dataModified);
}

// The simulator started without a memory option holds a shipped sample image, found from the
// checkout's DATA/ whatever the working directory: a first Receive recognises its model.
void TestRoadTransfers::simulatorsOwnMemory()
{
    // Started in a folder without DATA/: the image comes from the checkout.
    const QString previous = QDir::currentPath();
    QTemporaryDir elsewhere;
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    QString source;
    const QByteArray memory = DevSimCore::defaultMemory(&source);
    QDir::setCurrent(previous);
    QCOMPARE(QFileInfo(source).canonicalFilePath(), QFileInfo(QStringLiteral(TKV_DATA_ROOT "/DATA/") + U65).canonicalFilePath());
    RoadRig rig(memory);
    rig.start();
    QVERIFY(rig.selectA0());
    rig.button("buttonReceive")->click();
    QCOMPARE(rig.script.seen, QStringList());
    QCOMPARE(rig.tabTitles(), U65Tabs);
    QCOMPARE(rig.probe->image()->image(), RoadRig::sample(U65));
}

// An identification word of no model: the model choice. Ok with the second model reads the memory
// once with that model's size, writes its word into the image and builds its pages; the flag keeps
// its value. Cancel reads nothing and changes nothing; Send goes off, and A2 too until the next poll.
void TestRoadTransfers::unknownModel_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("Ok") << true;
    QTest::newRow("Cancel") << false;
}

void TestRoadTransfers::unknownModel()
{
    QFETCH(bool, ok);

    RoadRig rig(RoadRig::sample(Unknown));
    rig.sim.core().setMemory(1, QByteArray(256, '\0'));
    rig.start();
    QVERIFY(rig.load(U65));
    dataModified = true;
    QVERIFY(rig.selectA0());
    QVERIFY(RoadRig::waitFor([&] { return rig.button("buttonConnectA2")->isEnabled(); }));
    rig.bankPollOff();
    const WindowState before = WindowState::of(rig);
    QStringList offered;
    rig.script.answer(QMessageBox::Yes).then([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QStringLiteral("TKV-05"));
        QCOMPARE(box->icon(), QMessageBox::Warning);
        auto *models = box->findChild<QComboBox *>();
        for (int i = 0; i < models->count(); ++i)
            offered << models->itemText(i);
        models->setCurrentIndex(1);
        box->button(ok ? QMessageBox::Ok : QMessageBox::Cancel)->click();
    });
    rig.sim.core().clearLog();

    rig.button("buttonReceive")->click();

    QVERIFY(rig.script.done());
    QCOMPARE(rig.script.unexpected, 0);
    QCOMPARE(offered, (QStringList{"RK4820_U65_EN.xlx", "RK4820_H65_EN.xlx"}));
    const QStringList reads = readCommands(rig.sim.core().commands());
    QCOMPARE(reads.first(), QStringLiteral("rd:A0@000E,02"));
    if (ok) {
        QCOMPARE(reads.mid(1), QStringList{"rd:A0@1fff,01"} + blockReads(512));
        QCOMPARE(rig.probe->image()->image(), withWord(RoadRig::sample(Unknown), 0x0E, 0x3BA1));
        QCOMPARE(rig.tabTitles(), H65Tabs);
        QCOMPARE(rig.window->windowTitle(), QStringLiteral(" TKV-05  "));
        QVERIFY(rig.probe->definitionFilePath().endsWith(QLatin1String("RK4820_H65_EN.xlx")));
        QVERIFY(dataModified);
    } else {
        QCOMPARE(reads.size(), 1);
        QVERIFY(WindowState::of(rig) == before);
        QVERIFY(!rig.button("buttonSend")->isEnabled());
        QVERIFY(!rig.button("buttonConnectA2")->isEnabled());
        QVERIFY(!rig.button("buttonConnectA2")->isChecked());
    }
    QVERIFY(!rig.probe->port()->isBreakRequested());
}

// A Receive stopped before the whole memory is read keeps the image, the pages, the model, the
// title and the unsaved-data flag, and clears the stop request: by Cancel, by Esc, by a memory that
// leaves the bus, by Cancel at a read error.
void TestRoadTransfers::stoppedReceive_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("Cancel") << "cancel" << Fault::WrongMark << QStringList();
    QTest::newRow("Esc") << "esc" << Fault::WrongMark << QStringList();
    QTest::newRow("memory unplugged") << "answer" << Fault::DropOut
                                      << QStringList{"critical: TKV-05 device is unavailable !!!"};
    QTest::newRow("read error, Cancel") << "answer" << Fault::ReadError
                                        << QStringList{"warning: Connection error between TKV-05 and external memory !!!"};
}

void TestRoadTransfers::stoppedReceive()
{
    QFETCH(QString, how);
    QFETCH(Fault, fault);
    QFETCH(QStringList, messages);

    RoadRig rig(RoadRig::sample(H65));
    rig.sim.core().setFault(fault, 100, -1);
    rig.start();
    QVERIFY(rig.load(U65));
    dataModified = true;
    QVERIFY(rig.selectA0());
    const WindowState before = WindowState::of(rig);
    rig.script.answer(QMessageBox::Yes);
    if (how == QLatin1String("cancel")) {
        cancelWhen(rig, [&] { return rig.sim.core().blockCommands() > 100; });
    } else if (how == QLatin1String("esc")) {
        rig.script.onTransfer = [&](MyProgressDialog *dialog) {
            if (rig.sim.core().blockCommands() > 100)
                QTest::keyClick(dialog, Qt::Key_Escape);
        };
    } else {
        rig.script.answer(fault == Fault::ReadError ? QMessageBox::Cancel : QMessageBox::Ok);
    }

    rig.button("buttonReceive")->click();

    QVERIFY(rig.script.done());
    QCOMPARE(rig.script.seen.mid(1), messages);
    QVERIFY(WindowState::of(rig) == before);
    QVERIFY(!rig.probe->port()->isBreakRequested());
    QVERIFY(!rig.button("buttonConnectA0")->isChecked());
    QVERIFY(!rig.button("buttonReceive")->isEnabled());
    QVERIFY(rig.button("buttonSave")->isEnabled());
}

// The control unit's memory is half the model's size: the warning. Cancel reads nothing; Ok reads
// until the first block past the memory's end, which is asked again until the user stops, and the
// Receive then keeps everything as it was.
void TestRoadTransfers::memoryTooSmallForReceive_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("Cancel") << false;
    QTest::newRow("Ok, then Cancel") << true;
}

void TestRoadTransfers::memoryTooSmallForReceive()
{
    QFETCH(bool, ok);

    RoadRig rig(RoadRig::sample(U65).left(4096));
    rig.start();
    QVERIFY(rig.load(H65));
    QVERIFY(rig.selectA0());
    const WindowState before = WindowState::of(rig);
    rig.script.answer(ok ? QMessageBox::Ok : QMessageBox::Cancel);
    cancelWhen(rig, [&] { return rig.sim.core().blockCommands() > 300; });
    rig.sim.core().clearLog();

    rig.button("buttonReceive")->click();

    QVERIFY(rig.script.done());
    QCOMPARE(rig.script.seen, QStringList{"box: " + rig.probe->warningMemSize()});
    const QStringList reads = readCommands(rig.sim.core().commands());
    if (ok) {
        QCOMPARE(reads.mid(2, 256), blockReads(256));
        QCOMPARE(reads.mid(258), QStringList{"rd:a0@1000,10"});
        QVERIFY(rig.sim.core().commands().count(QStringLiteral("rd:a0@1000,10")) > 40);
    } else {
        QCOMPARE(reads, (QStringList{"rd:A0@000E,02", "rd:A0@1fff,01"}));
    }
    QVERIFY(WindowState::of(rig) == before);
    QVERIFY(!rig.probe->port()->isBreakRequested());
}

// The H65 model's MEMSIZE in the language table, taken by a Receive or a Load, of a recognised
// model or of the one chosen at the model choice. A size that is not a whole number from 16 to
// 65536 is refused with the error box before any command for it goes out (no size probe, no
// block); the image, the pages, the file name and the unsaved-data state stay as they were.
// 65536, the whole address space, is read and loaded.
void TestRoadTransfers::modelMemorySize_data()
{
    QTest::addColumn<QString>("memSize");   // a null text: the row has no MEMSIZE
    QTest::addColumn<bool>("receive");
    QTest::addColumn<bool>("chosen");

    const QStringList sizes{"0", "-1", "65537", "70000", "2147483647", "abc", QString(), "65536"};
    for (const QString &size : sizes) {
        for (bool receive : {true, false}) {
            for (bool chosen : {false, true}) {
                QTest::addRow("%s, %s%s", size.isNull() ? "no MEMSIZE" : qPrintable('"' + size + '"'),
                              receive ? "Receive" : "Load", chosen ? ", model chosen" : "")
                    << size << receive << chosen;
            }
        }
    }
}

void TestRoadTransfers::modelMemorySize()
{
    QFETCH(QString, memSize);
    QFETCH(bool, receive);
    QFETCH(bool, chosen);
    const bool usable = memSize == QLatin1String("65536");

    // The memory or the file: the sample of H65 or of no model, as long as the size when it is usable.
    QByteArray bytes = RoadRig::sample(chosen ? Unknown : H65);
    if (usable)
        bytes.append(QByteArray(65536 - bytes.size(), '\x5a'));
    RoadRig rig(receive ? bytes : QByteArray());
    const QString h65Row = QStringLiteral("VALUE=\"0x3BA1\" MEMSIZE=\"8192\"");
    bool rowFound = false;
    rig.rewriteGui([&](QString &text) {
        rowFound = text.count(h65Row) == 3;
        text.replace(h65Row, memSize.isNull() ? QStringLiteral("VALUE=\"0x3BA1\"")
                                              : QStringLiteral("VALUE=\"0x3BA1\" MEMSIZE=\"%1\"").arg(memSize));
    });
    QVERIFY(rowFound);
    rig.start(receive);
    const QString file = rig.dataPath(QStringLiteral("model.bin"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    out.close();
    QVERIFY(rig.load(U65));
    if (receive) {
        QVERIFY(rig.selectA0());
        rig.bankPollOff();
    }
    // The read of 65536 bytes is stopped once its first blocks have gone out (the 4096 blocks
    // after them are as any others); a read that ran past the address space would be stopped too.
    int largestRange = 0;
    bool cancelled = false;
    rig.script.onTransfer = [&](MyProgressDialog *dialog) {
        largestRange = qMax(largestRange, dialog->maximum());
        if (!cancelled && rig.sim.core().blockCommands() >= 4) {
            cancelled = true;
            dialog->findChild<QPushButton *>()->click();
        }
    };
    dataModified = true;
    const WindowState before = WindowState::of(rig);
    const QString fileBefore = rig.probe->imageFileName();

    QStringList expectedSeen{QStringLiteral("question: ") + rig.probe->askDataNotSaved()};
    rig.script.answer(QMessageBox::Yes);
    if (!receive) {
        rig.script.chooseFile(file);
        expectedSeen << QStringLiteral("file dialog");
    }
    if (chosen) {
        rig.script.then([](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            box->findChild<QComboBox *>()->setCurrentIndex(1);
            box->button(QMessageBox::Ok)->click();
        });
        expectedSeen << QStringLiteral("model choice");
    }
    if (!usable) {
        rig.script.answer(QMessageBox::Ok);
        expectedSeen << QStringLiteral("critical: ") + rig.probe->errorMessage() + QStringLiteral("\nMEMSIZE=\"")
                            + memSize + QLatin1Char('"');
    }
    rig.sim.core().clearLog();

    QMetaObject::invokeMethod(rig.window.get(), receive ? "getDataFromEEprom" : "getDataFromBinFile");

    QVERIFY(rig.script.done());
    QCOMPARE(rig.script.unexpected, 0);
    QCOMPARE(rig.script.seen, expectedSeen);
    const QStringList reads = readCommands(rig.sim.core().commands());
    const QStringList identifierRead = receive ? QStringList{"rd:A0@000E,02"} : QStringList();
    QVERIFY(!rig.probe->port()->isBreakRequested());
    if (!usable) {
        QCOMPARE(reads, identifierRead);
        QCOMPARE(rig.blockCommands(), QStringList());
        QCOMPARE(rig.script.transferDialogsShown, 0);
        QVERIFY(WindowState::of(rig) == before);
        QCOMPARE(rig.probe->imageFileName(), fileBefore);
        return;
    }
    QByteArray expected = bytes;
    if (chosen) {
        expected[0x0E] = char(0x3B);
        expected[0x0F] = char(0xA1);
    }
    if (receive) {
        QCOMPARE(reads.mid(0, 2), identifierRead + QStringList{"rd:A0@ffff,01"});
        QCOMPARE(reads.mid(2), blockReads(4096).mid(0, reads.size() - 2));
        QVERIFY(reads.size() > 2);
        QCOMPARE(rig.script.transferDialogsShown, 1);
        QCOMPARE(largestRange, 4096);
        // Cancelled: nothing changes.
        QVERIFY(WindowState::of(rig) == before);
        return;
    } else {
        QCOMPARE(reads, QStringList());
        QCOMPARE(rig.probe->imageFileName(), file);
    }
    QCOMPARE(rig.probe->image()->image(), expected);
    QCOMPARE(rig.tabTitles(), H65Tabs);
    QCOMPARE(rig.probe->memSize(), QStringLiteral("65536"));
    QVERIFY(rig.probe->definitionFilePath().endsWith(QLatin1String("RK4820_H65_EN.xlx")));
    QCOMPARE(dataModified, chosen);   // a chosen model keeps the flag
}

// Send writes the image into the memory byte for byte, a name typed into the name table included;
// it releases the memory button and leaves the title, the pages and the flag alone.
void TestRoadTransfers::send()
{
    RoadRig rig(QByteArray(8192, '\0'));
    rig.start();
    QVERIFY(rig.load(U65));
    rig.probe->image()->writeInt16(QStringLiteral("0x0030"), 0x1234);
    // A name typed into the name table, which the page writes into the image only when asked.
    MyTableWidget *names = rig.probe->pages().at(4)->tableWidget();
    QCOMPARE(rig.probe->pages().at(4)->tableKind(), 3);
    int nameColumn = 0;
    while (nameColumn < names->columnCount() && names->item(0, nameColumn)->type() != 1006)
        ++nameColumn;
    names->model()->setData(names->model()->index(1, nameColumn), QStringLiteral("Bob"), Qt::EditRole);
    const QString field = QStringLiteral("     Bob      ");
    const QByteArray fieldBytes(reinterpret_cast<const char *>(field.utf16()), 2 * field.size());
    QVERIFY(!rig.probe->image()->image().contains(fieldBytes));
    dataModified = true;
    QVERIFY(rig.selectA0());
    QVERIFY(rig.button("buttonSend")->isEnabled());
    const WindowState before = WindowState::of(rig);
    rig.sim.core().clearLog();

    rig.button("buttonSend")->click();

    QCOMPARE(rig.script.seen, QStringList());
    const QByteArray sent = rig.probe->image()->image();
    QCOMPARE(rig.sim.core().memory(0), sent);
    QVERIFY(sent.contains(fieldBytes));
    QCOMPARE(rig.sim.core().commands().value(0), QStringLiteral("rd:A0@1fff,01"));
    WindowState after = WindowState::of(rig);
    after.image = before.image;   // the name is the only change
    QVERIFY(after == before);
    QVERIFY(!rig.button("buttonConnectA0")->isChecked());
    QVERIFY(!rig.button("buttonSend")->isEnabled());
    QVERIFY(rig.probe->transferAddress().isNull());
    QVERIFY(!rig.probe->port()->isBreakRequested());
}

// An image of another size than the memory asks before anything is written, whichever is the
// shorter: Cancel writes nothing and keeps the memory button down, Ok writes the memory's blocks.
void TestRoadTransfers::sendSizeMismatch_data()
{
    QTest::addColumn<int>("memory");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("ok");

    for (bool ok : {false, true}) {
        const char *answer = ok ? "Ok" : "Cancel";
        QTest::addRow("memory smaller than the model, %s", answer) << 4096 << U65 << ok;
        QTest::addRow("image shorter than the memory, %s", answer) << 8192 << "short_image_4096.bin" << ok;
    }
}

void TestRoadTransfers::sendSizeMismatch()
{
    QFETCH(int, memory);
    QFETCH(QString, file);
    QFETCH(bool, ok);

    RoadRig rig(QByteArray(memory, '\x55'));
    rig.start();
    rig.script.chooseFile(rig.dataPath(file));
    if (file != U65)
        rig.script.answer(QMessageBox::Ok);   // the short image's size warning at the Load
    QMetaObject::invokeMethod(rig.window.get(), "getDataFromBinFile");
    QVERIFY(rig.script.done());
    QVERIFY(rig.selectA0());
    rig.script.seen.clear();
    rig.script.answer(ok ? QMessageBox::Ok : QMessageBox::Cancel);
    // Blocks past a smaller memory's end are asked again until the user stops.
    cancelWhen(rig, [&] { return rig.sim.core().blockCommands() > 300 && memory < 8192; });
    rig.sim.core().clearLog();

    rig.button("buttonSend")->click();

    // What was sent: the image with the table pages' names (which may lengthen a short image).
    const QByteArray image = rig.probe->image()->image();
    const int common = qMin(memory, image.size());
    QVERIFY(rig.script.done());
    QCOMPARE(rig.script.seen, QStringList{"box: " + rig.probe->warningMemSize()});
    const QStringList writes = rig.blockCommands();
    if (ok) {
        QVERIFY(writes.size() >= 256);
        QCOMPARE(rig.sim.core().memory(0).left(common), image.left(common));
        QCOMPARE(rig.sim.core().memory(0).mid(common), QByteArray(memory - common, '\x55'));
        QVERIFY(!rig.button("buttonConnectA0")->isChecked());
    } else {
        QCOMPARE(writes, QStringList());
        QVERIFY(rig.button("buttonConnectA0")->isChecked());
        QCOMPARE(rig.probe->transferAddress(), QStringLiteral("a0"));
        QVERIFY(rig.button("buttonSend")->isEnabled());
    }
}

// Send while no port is connected: the table pages write their names into the image, and nothing
// else happens.
void TestRoadTransfers::sendNotConnected()
{
    RoadRig rig(RoadRig::sample(U65));
    rig.start();
    QVERIFY(rig.load(U65));
    QSignalSpy names(rig.window.get(), SIGNAL(saveTMTable()));

    QMetaObject::invokeMethod(rig.window.get(), "writeDataToEEprom");

    QCOMPARE(names.count(), 1);
    QCOMPARE(rig.script.seen, QStringList());
    QCOMPARE(rig.sim.core().commands().filter(QStringLiteral("rd:")), QStringList());
    QCOMPARE(rig.blockCommands(), QStringList());
}

// The transfer dialog of a Receive and of a Send in each shipped language: a window of its own,
// window-modal over the main window, titled "TKV-05", the language's label and Cancel text, one
// step a block, 320 x 80 at the least and its texts whole.
void TestRoadTransfers::transferDialog_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("send");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("cancel");

    QTest::newRow("Polski: Receive") << 1 << false << "Odbieranie danych... proszę czekać" << "Anuluj";
    QTest::newRow("Polski: Send") << 1 << true << "Wysyłanie danych... proszę czekać" << "Anuluj";
    QTest::newRow("English: Receive") << 2 << false << "Receiving data... please wait" << "Cancel";
    QTest::newRow("English: Send") << 2 << true << "Sending data... please wait" << "Cancel";
}

void TestRoadTransfers::transferDialog()
{
    QFETCH(int, language);
    QFETCH(bool, send);
    QFETCH(QString, label);
    QFETCH(QString, cancel);

    RoadRig rig(RoadRig::sample(U65));
    rig.files.writeSettings({{QStringLiteral("Language"), language}});
    rig.start();
    if (send)
        QVERIFY(rig.load(U65));
    QVERIFY(rig.selectA0());
    struct {
        QString label, cancel, title;
        QSize size;
        Qt::WindowModality modality = Qt::NonModal;
        bool ownWindow = false;
        QWidget *parent = nullptr;
        int minimum = -1, maximum = -1;
        QStringList cut;
    } seen;
    rig.script.onTransfer = [&](MyProgressDialog *dialog) {
        if (!seen.title.isNull())
            return;
        seen = {dialog->labelText(), dialog->findChild<QPushButton *>()->text(), dialog->windowTitle(), dialog->size(),
                dialog->windowModality(), dialog->isWindow(), dialog->parentWidget(), dialog->minimum(),
                dialog->maximum(), cutTexts(dialog)};
    };

    rig.button(send ? "buttonSend" : "buttonReceive")->click();

    QVERIFY(rig.script.done());
    QCOMPARE(rig.script.unexpected, 0);
    QCOMPARE(rig.script.transferDialogsShown, 1);
    QCOMPARE(seen.label, label);
    QCOMPARE(seen.cancel, cancel);
    QCOMPARE(seen.title, QStringLiteral("TKV-05"));
    QCOMPARE(seen.modality, Qt::WindowModal);
    QVERIFY(seen.ownWindow);
    QCOMPARE(seen.parent, rig.window.get());
    QCOMPARE(seen.minimum, 0);
    QCOMPARE(seen.maximum, 512);
    QVERIFY2(seen.size.width() >= 320 && seen.size.height() >= 80,
             qPrintable(QStringLiteral("%1 x %2").arg(seen.size.width()).arg(seen.size.height())));
    QVERIFY2(seen.cut.isEmpty(), qPrintable(seen.cut.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestRoadTransfers)
#include "tst_roadtransfers.moc"
