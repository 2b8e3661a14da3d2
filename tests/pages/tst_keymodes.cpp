#include "keypanelfixture.h"

#include <QtTest>

// The key table's reader modes: what each mode does with a key code read, the repeat window, and
// which pages take keys at all.
class TestKeyModes : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void modes_data();
    void modes();
    void fullTable();
    void verifyDeselectsTheMarkedLine();
    void longSerial();
    void repeatWindow();
    void hiddenAndBusyPagesDropKeys();
    void onlyTheCurrentTabActs();
    void pageWithoutPanelWidgets();
};

void TestKeyModes::initTestCase()
{
    // The sounds are found below the working directory.
    QVERIFY(QDir::setCurrent(QStringLiteral(TKV_DATA_ROOT)));
}

void TestKeyModes::cleanup()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestKeyModes::modes_data()
{
    QTest::addColumn<int>("mode");            // the mode button clicked (0 none)
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("selection");   // TableRig::select areas
    QTest::addColumn<QString>("flatField");   // TEXT_3
    QTest::addColumn<QStringList>("rows");    // rows changed, "row=code/flat"
    QTest::addColumn<QStringList>("bytes");   // image bytes changed
    QTest::addColumn<QStringList>("sounds");
    QTest::addColumn<int>("warnings");        // unserviced-flat warnings answered
    QTest::addColumn<QList<int>>("selected"); // rows with selected cells at the end
    QTest::addColumn<int>("marked");
    QTest::addColumn<bool>("button3");        // Add to position still down
    QTest::addColumn<bool>("modified");

    const QStringList none;
    const QList<int> noRows;
    const QStringList add{"id_add.wav"}, error{"id_error.wav"};
    QTest::newRow("no mode: new key sound") << 0 << "ABCD" << "" << "" << none << none << QStringList{"id_read.wav"} << 0
                                            << noRows << 0 << false << false;
    // Add writes the key into the image: the unsaved-data question must know.
    QTest::newRow("add: first free position")
        << 1 << "ABCD" << "" << "" << QStringList{"0=ABCD/-----"} << QStringList{"2048:AB", "2049:CD", "4096:00"} << add << 0
        << QList<int>{0} << 1 << false << true;
    QTest::newRow("add: code already held, any letter case")
        << 1 << "1a2b" << "" << "" << none << none << error << 0 << QList<int>{5} << 6 << false << false;
    QTest::newRow("add: 0000 is a code like any other")
        << 1 << "0000" << "" << "" << QStringList{"0=0000/-----"} << QStringList{"4096:00"} << add << 0 << QList<int>{0} << 1
        << false << true;
    QTest::newRow("add: ERROR ignored") << 1 << "ERROR" << "" << "" << none << none << none << 0 << noRows << 0 << false << false;
    QTest::newRow("add: garbled code ignored") << 1 << "1A2G" << "" << "" << none << none << none << 0 << noRows << 0 << false
                                               << false;
    QTest::newRow("add: five digits ignored") << 1 << "1A2B3" << "" << "" << none << none << none << 0 << noRows << 0 << false
                                              << false;
    QTest::newRow("add to flat") << 2 << "ABCD" << "" << "12" << QStringList{"0=ABCD/12"}
                                 << QStringList{"2048:AB", "2049:CD", "4096:0C"} << add << 0 << QList<int>{0} << 1 << false << true;
    QTest::newRow("add to flat: unserviced flat") << 2 << "ABCD" << "" << "500" << QStringList{"0=ABCD/e"}
                                                  << QStringList{"2048:AB", "2049:CD", "4096:00"} << add << 1 << QList<int>{0} << 1
                                                  << false << true;
    QTest::newRow("add to flat: empty flat field") << 2 << "ABCD" << "" << "" << QStringList{"0=ABCD/e"}
                                                   << QStringList{"2048:AB", "2049:CD", "4096:00"} << add << 1 << QList<int>{0}
                                                   << 1 << false << true;
    QTest::newRow("add to flat: code already held") << 2 << "6666" << "" << "12" << none << none << error << 0 << QList<int>{6}
                                                    << 7 << false << false;
    QTest::newRow("add to position") << 3 << "ABCD" << "10:1" << "" << QStringList{"10=ABCD/-----"}
                                     << QStringList{"2068:AB", "2069:CD", "4106:00"} << add << 0 << QList<int>{10} << 11 << false
                                     << true;
    QTest::newRow("add to position: replaces a key, keeps its flat")
        << 3 << "ABCD" << "5:0-5:2" << "" << QStringList{"5=ABCD/12"} << QStringList{"2058:AB", "2059:CD"} << add << 0
        << QList<int>{5} << 6 << false << true;
    QTest::newRow("add to position: three rows, topmost takes it")
        << 3 << "ABCD" << "10:0-12:2" << "" << QStringList{"10=ABCD/-----"} << QStringList{"2068:AB", "2069:CD", "4106:00"}
        << QStringList{"id_add.wav", "id_add.wav", "id_add.wav"} << 0 << QList<int>{12} << 13 << false << true;
    QTest::newRow("add to position: flat column only") << 3 << "ABCD" << "10:2" << "" << none << none << none << 0
                                                       << QList<int>{10} << 0 << true << false;
    QTest::newRow("add to position: no selection") << 3 << "ABCD" << "" << "" << none << none << none << 0 << noRows << 0 << true
                                                   << false;
    QTest::newRow("add to position: code already held")
        << 3 << "3333" << "10:1" << "" << none << none << error << 0 << QList<int>{3, 10} << 4 << false << false;
    QTest::newRow("add to position: ERROR ignored") << 3 << "ERROR" << "10:1" << "" << none << none << none << 0
                                                    << QList<int>{10} << 0 << true << false;
    QTest::newRow("verify: found") << 5 << "6666" << "" << "" << none << none << QStringList{"id_found.wav"} << 0
                                   << QList<int>{6} << 7 << false << false;
    QTest::newRow("verify: not found") << 5 << "ABCD" << "" << "" << none << none << QStringList{"id_nfound.wav"} << 0 << noRows
                                       << 0 << false << false;
    QTest::newRow("verify: free positions hold no 0000") << 5 << "0000" << "" << "" << none << none
                                                         << QStringList{"id_nfound.wav"} << 0 << noRows << 0 << false << false;
    QTest::newRow("verify: ERROR silent") << 5 << "ERROR" << "" << "" << none << none << none << 0 << noRows << 0 << false
                                          << false;
}

void TestKeyModes::modes()
{
    QFETCH(int, mode);
    QFETCH(QString, code);
    QFETCH(QString, selection);
    QFETCH(QString, flatField);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, bytes);
    QFETCH(QStringList, sounds);
    QFETCH(int, warnings);
    QFETCH(QList<int>, selected);
    QFETCH(int, marked);
    QFETCH(bool, button3);
    QFETCH(bool, modified);

    Fixture files;
    TableRig rig;
    Page *page = KeyPanelFixture::build(rig, files);
    const QStringList before = rowTexts(rig);
    if (mode)
        KeyPanelFixture::button(page, mode)->click();
    rig.select(selection);
    KeyPanelFixture::field(page, 3)->setText(flatField);
    SoundRecorder recorder;
    MessageBoxAnswerer answerer(5);

    emit rig.image.newSignal(code);
    QTRY_COMPARE(answerer.texts.size(), warnings);

    QCOMPARE(KeyPanelFixture::field(page, 1)->text(), code);
    QCOMPARE(changedRows(before, rowTexts(rig)), rows);
    QCOMPARE(changedByteTexts(rig), bytes);
    QCOMPARE(recorder.played, sounds);
    QCOMPARE(KeyPanelFixture::selectedRows(rig), selected);
    QCOMPARE(page->markedLine(), marked);
    QCOMPARE(KeyPanelFixture::button(page, 3)->isChecked(), button3);
    QCOMPARE(dataModified, modified);
    if (mode == 5 && marked)
        QCOMPARE(rig.grid()->currentIndex(), rig.grid()->model()->index(marked - 1, 1));
}

// A full table takes no key: nothing changes and nothing sounds.
void TestKeyModes::fullTable()
{
    QList<KeyPanelFixture::Slot> slotList;
    for (int slot = 0; slot < 32; ++slot)
        slotList << KeyPanelFixture::Slot{slot, 0x100 + slot, 1};
    Fixture files;
    TableRig rig;
    Page *page = KeyPanelFixture::build(rig, files, KeyPanelFixture::image(slotList));
    SoundRecorder sounds;
    for (int mode : {1, 2}) {
        KeyPanelFixture::button(page, mode)->click();
        emit rig.image.newSignal(QStringLiteral("ABC%1").arg(mode));
    }
    QVERIFY(rig.changedBytes().isEmpty());
    QVERIFY(sounds.played.isEmpty());
    QCOMPARE(page->markedLine(), 0);
    QVERIFY(!dataModified);
}

void TestKeyModes::verifyDeselectsTheMarkedLine()
{
    Fixture files;
    TableRig rig;
    Page *page = KeyPanelFixture::build(rig, files);
    KeyPanelFixture::button(page, 5)->click();
    emit rig.image.newSignal(QStringLiteral("1A2B"));
    QCOMPARE(KeyPanelFixture::selectedRows(rig), QList<int>{5});
    emit rig.image.newSignal(QStringLiteral("ABCD"));
    QCOMPARE(KeyPanelFixture::selectedRows(rig), QList<int>{});
    emit rig.image.newSignal(QStringLiteral("6666"));
    emit rig.image.newSignal(QStringLiteral("ERROR"));
    QCOMPARE(KeyPanelFixture::selectedRows(rig), QList<int>{});
}

void TestKeyModes::longSerial()
{
    Fixture files;
    TableRig rig;
    Page *page = KeyPanelFixture::build(rig, files);
    emit rig.image.sendTMkeyLongSerialNumber(QStringLiteral("0123456789ABCDEF01"));
    QCOMPARE(KeyPanelFixture::field(page, 2)->text(), QStringLiteral("0123456789ABCDEF01"));
}

// The same code again within 450 ms of its acceptance is dropped; later, or another code, counts.
void TestKeyModes::repeatWindow()
{
    Fixture files;
    TableRig rig;
    Page *page = KeyPanelFixture::build(rig, files);
    qint64 now = 10000;
    page->setKeyClock([&now] { return now; });
    KeyPanelFixture::button(page, 1)->click();
    SoundRecorder sounds;
    QSignalSpy accepted(page, &Page::TMData);

    emit rig.image.newSignal(QStringLiteral("ABCD")); // placed at 0
    now += 300;
    emit rig.image.newSignal(QStringLiteral("ABCD")); // dropped
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(sounds.played, QStringList{"id_add.wav"});
    now += 200;                                        // 500 ms after the first
    emit rig.image.newSignal(QStringLiteral("ABCD")); // accepted: already held
    QCOMPARE(sounds.played, (QStringList{"id_add.wav", "id_error.wav"}));
    now += 10;
    emit rig.image.newSignal(QStringLiteral("BCDE")); // another code: placed at 1
    QCOMPARE(accepted.count(), 3);
    QCOMPARE(rig.text(1, 1), QStringLiteral("BCDE"));
}

void TestKeyModes::hiddenAndBusyPagesDropKeys()
{
    Fixture files;
    TableRig rig;
    Page *page = KeyPanelFixture::build(rig, files);
    KeyPanelFixture::button(page, 1)->click();
    QSignalSpy accepted(page, &Page::TMData);

    // Another tab is current: the key page's container is hidden.
    rig.main.tabs->addTab(new QWidget, QStringLiteral("other"));
    rig.main.tabs->setCurrentIndex(1);
    emit rig.image.newSignal(QStringLiteral("ABCD"));
    emit rig.image.sendTMkeyLongSerialNumber(QStringLiteral("0123456789ABCDEF01"));
    QCOMPARE(accepted.count(), 0);
    QCOMPARE(KeyPanelFixture::field(page, 2)->text(), QString());
    rig.main.tabs->setCurrentIndex(0);

    // An import runs: its open dialog (answered late) lets the key through the event loop.
    rig.select(QStringLiteral("0:0"));
    bool keyWhileBusy = false;
    QTimer::singleShot(0, page, [&] {
        emit rig.image.newSignal(QStringLiteral("BCDE"));
        keyWhileBusy = true;
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    QTimer closer;
    connect(&closer, &QTimer::timeout, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    closer.start(20);
    page->loadDataFromFile();
    QVERIFY(keyWhileBusy);
    QCOMPARE(accepted.count(), 0);
    QVERIFY(rig.changedBytes().isEmpty());

    emit rig.image.newSignal(QStringLiteral("CDEF"));
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(rig.text(0, 1), QStringLiteral("CDEF"));
}

// Every key page hears every key; only the one on the current tab acts.
void TestKeyModes::onlyTheCurrentTabActs()
{
    Fixture files;
    TableRig rig;
    KeyPanelFixture::build(rig, files, KeyPanelFixture::image(), 2);
    std::unique_ptr<Page> second(rig.createPage(1, TableRig::FixtureNumbering));
    Page *first = rig.page.get();
    for (Page *page : {first, second.get()})
        KeyPanelFixture::button(page, 5)->click();
    SoundRecorder sounds;
    QSignalSpy firstAccepted(first, &Page::TMData), secondAccepted(second.get(), &Page::TMData);

    rig.main.tabs->setCurrentIndex(1);
    emit rig.image.newSignal(QStringLiteral("1A2B"));
    QCOMPARE(firstAccepted.count(), 0);
    QCOMPARE(secondAccepted.count(), 1);
    QCOMPARE(sounds.played, QStringList{"id_found.wav"});
    QCOMPARE(second->markedLine(), 6);
    QCOMPARE(first->markedLine(), 0);
    QCOMPARE(KeyPanelFixture::field(first, 1)->text(), QString());
}

// A panel without its menu box or fields: keys change nothing and make no sound.
void TestKeyModes::pageWithoutPanelWidgets()
{
    Fixture files;
    TableRig rig;
    const QString page = Fixture::tablePage(TableFixtures::definition(QStringLiteral("keys3"))
                                            + QStringLiteral("<WIDGETS><TEXT_1 WIDTH=\"115\" HORIZ_MARG=\"350\" VERT_MARG=\"30\""
                                                             " POS=\"LEFT\" LABEL=\"Serial\"/></WIDGETS>"));
    TableFixtures::build(rig, files, page, KeyPanelFixture::image());
    SoundRecorder sounds;
    emit rig.image.newSignal(QStringLiteral("ABCD"));
    for (int line : {3, 0, 32, 33})
        rig.page->selectRow(line);
    QVERIFY(sounds.played.isEmpty());
    QVERIFY(rig.changedBytes().isEmpty());
    QCOMPARE(KeyPanelFixture::selectedRows(rig), (QList<int>{2, 31}));
}

QTEST_MAIN(TestKeyModes)
#include "tst_keymodes.moc"
