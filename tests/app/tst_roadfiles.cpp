// Image files through the window, dialogs answered as a user would: Load of known, short, unknown,
// missing and empty files; Save and Save As with their names, the size warning and failed writes.

#include "roadfixture.h"

#include "../testfiles.h"
#include "mytablewidget.h"
#include "page.h"
#include "../inplacewrite.h"
#include "wholefile.h"

#include <QLineEdit>
#include <QSignalSpy>

#include <optional>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The page set's key table, its first two rows selected whole.
Page *keyTableWithRowsSelected(const RoadRig &rig)
{
    for (Page *page : rig.probe->pages()) {
        if (page->tableKind() != 2)
            continue;
        QAbstractItemModel *model = page->tableWidget()->model();
        page->tableWidget()->selectionModel()->select(QItemSelection(model->index(0, 0), model->index(1, 2)),
                                                      QItemSelectionModel::Select);
        return page;
    }
    return nullptr;
}

// Runs a command that writes a file: Save and Save As by their buttons, Export from the key table.
bool runWrite(RoadRig &rig, const QString &command)
{
    if (command == QLatin1String("Export")) {
        Page *keys = keyTableWithRowsSelected(rig);
        return keys && QMetaObject::invokeMethod(keys, "makeCopyTableToFile");
    }
    rig.button(command == QLatin1String("Save") ? "buttonSave" : "buttonSaveAs")->click();
    return true;
}

// What the window shows of its image file.
QStringList windowFileState(const RoadRig &rig)
{
    return {rig.window->windowTitle(), rig.widget<QPlainTextEdit>("plainTextEdit")->toPlainText(),
            rig.probe->imageFileName(), rig.button("buttonSave")->isEnabled() ? "Save enabled" : "Save disabled"};
}

}

class TestRoadFiles : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void load_data();
    void load();
    void save();
    void saveSizeWarning_data();
    void saveSizeWarning();
    void namesPastImageEnd_data();
    void namesPastImageEnd();
    void saveAs_data();
    void saveAs();
    void saveAsProposal();
    void noProposalWithoutFirstTreePage();
    void emptyModelList();
    void overwriteQuestion_data();
    void overwriteQuestion();
    void failedWrites_data();
    void failedWrites();
};

void TestRoadFiles::cleanup()
{
    dataModified = false;
}

// A Load over the page set of a loaded H65 image. Steps: "yes"/"no" at the unsaved-data question,
// "file" (the file chosen), "cancel file", "choose H65"/"cancel choice" at the model choice,
// "ok"/"cancel" at the size warning, "ok error" at the error box. Result: the new image with its
// pages, or everything as before.
void TestRoadFiles::load_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("result");   // "file", "stamped" (the file, model word 3BA1), "before"
    QTest::addColumn<QString>("definition");
    QTest::addColumn<bool>("modifiedAfter");

    const QString u65Xml = QStringLiteral("RK4820_U65_EN.xlx");
    const QString h65Xml = QStringLiteral("RK4820_H65_EN.xlx");
    QTest::newRow("known") << U65 << false << QStringList{"file"} << "file" << u65Xml << false;
    QTest::newRow("known, edits dropped") << U65 << true << QStringList{"yes", "file"} << "file" << u65Xml << false;
    QTest::newRow("No at the question") << U65 << true << QStringList{"no"} << "before" << h65Xml << true;
    QTest::newRow("file dialog cancelled") << U65 << true << QStringList{"yes", "cancel file"} << "before" << h65Xml
                                           << true;
    QTest::newRow("4096 bytes, Ok") << "short_image_4096.bin" << true << QStringList{"yes", "file", "ok"} << "file"
                                    << u65Xml << false;
    QTest::newRow("4096 bytes, Cancel") << "short_image_4096.bin" << true << QStringList{"yes", "file", "cancel"}
                                        << "before" << h65Xml << true;
    QTest::newRow("unknown, Ok") << "unknown_model_1500.bin" << false << QStringList{"file", "choose H65"}
                                 << "stamped" << h65Xml << false;
    QTest::newRow("unknown, Ok keeps the flag") << "unknown_model_1500.bin" << true
                                                << QStringList{"yes", "file", "choose H65"} << "stamped" << h65Xml << true;
    QTest::newRow("unknown, Cancel") << "unknown_model_1500.bin" << true << QStringList{"yes", "file", "cancel choice"}
                                     << "before" << h65Xml << true;
    QTest::newRow("unknown 4096 bytes, Ok, Cancel") << "unknown_4096.bin" << true
                                                    << QStringList{"yes", "file", "choose H65", "cancel"} << "before"
                                                    << h65Xml << true;
    QTest::newRow("missing file") << "missing.bin" << true << QStringList{"yes", "file", "ok error"} << "before"
                                  << h65Xml << true;
    QTest::newRow("empty file") << "empty.bin" << false << QStringList{"file", "ok error"} << "before" << h65Xml
                                << false;
    // Files that are no images: the load neither blocks nor grows without end.
    QTest::newRow("named pipe") << "pipe.bin" << true << QStringList{"yes", "file", "ok error"} << "before" << h65Xml
                                << true;
    QTest::newRow("link to /dev/zero") << "zero.bin" << false << QStringList{"file", "ok error"} << "before" << h65Xml
                                       << false;
    QTest::newRow("one byte over 64 KiB") << "over.bin" << false << QStringList{"file", "ok error"} << "before"
                                          << h65Xml << false;
    QTest::newRow("64 KiB, Ok") << "limit.bin" << false << QStringList{"file", "ok"} << "file" << u65Xml << false;
}

void TestRoadFiles::load()
{
    QFETCH(QString, file);
    QFETCH(bool, modified);
    QFETCH(QStringList, steps);
    QFETCH(QString, result);
    QFETCH(QString, definition);
    QFETCH(bool, modifiedAfter);

    RoadRig rig;
    rig.start(false);
    QVERIFY(writeFile(rig.dataPath(QStringLiteral("empty.bin")), QByteArray()));
    QVERIFY(writeFile(rig.dataPath(QStringLiteral("unknown_4096.bin")),
                      RoadRig::sample(QStringLiteral("unknown_model_1500.bin")).left(4096)));
    // The U65 sample filled up to the largest image, and one byte past it.
    QByteArray written = RoadRig::sample(U65);
    if (file == QLatin1String("limit.bin") || file == QLatin1String("over.bin")) {
        const int size = OperationBin::MaxImageSize + (file == QLatin1String("over.bin") ? 1 : 0);
        written.append(QByteArray(size - written.size(), '\0'));
        QVERIFY(writeFile(rig.dataPath(file), written));
    } else if (file == QLatin1String("pipe.bin") || file == QLatin1String("zero.bin")) {
        QVERIFY(makeSource(rig.dataPath(file), file == QLatin1String("pipe.bin") ? "fifo" : "zero"));
    } else {
        written = RoadRig::sample(file);
    }
    QVERIFY(rig.load(H65));
    const QString before = rig.dataPath(H65);
    const QList<Page *> pagesBefore = rig.probe->pages();
    dataModified = modified;

    const QString path = rig.dataPath(file);
    QStringList expectedSeen;
    for (const QString &step : steps) {
        if (step == QLatin1String("yes") || step == QLatin1String("no")) {
            rig.script.answer(step == QLatin1String("yes") ? QMessageBox::Yes : QMessageBox::No);
            expectedSeen << QStringLiteral("question: ") + rig.probe->askDataNotSaved();
        } else if (step == QLatin1String("file") || step == QLatin1String("cancel file")) {
            rig.script.chooseFile(step == QLatin1String("file") ? path : QString());
            expectedSeen << QStringLiteral("file dialog");
        } else if (step.endsWith(QLatin1String("choice")) || step == QLatin1String("choose H65")) {
            const bool choose = step == QLatin1String("choose H65");
            rig.script.then([choose](QWidget *w) {
                auto *box = qobject_cast<QMessageBox *>(w);
                box->findChild<QComboBox *>()->setCurrentIndex(1);
                box->button(choose ? QMessageBox::Ok : QMessageBox::Cancel)->click();
            });
            expectedSeen << QStringLiteral("model choice");
        } else if (step == QLatin1String("ok error")) {
            // Why the file is refused, under its path.
            const QHash<QString, QString> why = {{"missing.bin", systemReason(ENOENT)},
                                                 {"empty.bin", "the file is empty"},
                                                 {"pipe.bin", "not a regular file"},
                                                 {"zero.bin", "not a regular file"},
                                                 {"over.bin", "more than 65536 bytes"}};
            rig.script.answer(QMessageBox::Ok);
            expectedSeen << QStringLiteral("critical: ") + rig.probe->errorMessage() + QLatin1Char('\n') + path
                                + QLatin1Char('\n') + why.value(file);
        } else {
            rig.script.answer(step == QLatin1String("ok") ? QMessageBox::Ok : QMessageBox::Cancel);
            expectedSeen << QStringLiteral("box: ") + rig.probe->warningMemSize();
        }
    }

    QMetaObject::invokeMethod(rig.window.get(), "getDataFromBinFile");

    QVERIFY(rig.script.done());
    QCOMPARE(rig.script.seen, expectedSeen);
    QVERIFY(rig.probe->definitionFilePath().endsWith(QLatin1Char('/') + definition));
    QCOMPARE(dataModified, modifiedAfter);
    QVERIFY(rig.button("buttonSave")->isEnabled());
    QVERIFY(rig.button("buttonSaveAs")->isEnabled());
    if (result == QLatin1String("before")) {
        QCOMPARE(rig.probe->image()->image(), RoadRig::sample(H65));
        QCOMPARE(rig.probe->pages(), pagesBefore);
        QCOMPARE(rig.probe->imageFileName(), before);
        QCOMPARE(rig.window->windowTitle(), QStringLiteral(" TKV-05  ") + before);
        QCOMPARE(rig.widget<QPlainTextEdit>("plainTextEdit")->toPlainText(), before);
        return;
    }
    QByteArray expected = fileBytes(path);
    if (result == QLatin1String("stamped")) {
        expected[0x0E] = char(0x3B);
        expected[0x0F] = char(0xA1);
    }
    QCOMPARE(rig.probe->image()->image(), expected);
    QCOMPARE(fileBytes(path), written);   // the file itself is not touched
    QVERIFY(rig.probe->pages() != pagesBefore);
    QCOMPARE(rig.probe->imageFileName(), path);
    QCOMPARE(rig.window->windowTitle(), QStringLiteral(" TKV-05  ") + path);
    QCOMPARE(rig.widget<QPlainTextEdit>("plainTextEdit")->toPlainText(), path);
    QCOMPARE(rig.probe->memSize(), QStringLiteral("8192"));
}

// Save writes the edited image to its file and clears the flag; the table pages give their names
// first.
void TestRoadFiles::save()
{
    RoadRig rig;
    rig.start(false);
    QVERIFY(rig.load(U65));
    rig.probe->image()->writeInt16(QStringLiteral("0x0030"), 0x4321);
    dataModified = true;
    QSignalSpy names(rig.window.get(), SIGNAL(saveTMTable()));

    rig.button("buttonSave")->click();

    QCOMPARE(rig.script.seen, QStringList());
    QCOMPARE(names.count(), 1);
    QCOMPARE(fileBytes(rig.dataPath(U65)), rig.probe->image()->image());
    QCOMPARE(fileBytes(rig.dataPath(U65)).mid(0x30, 2), QByteArray("\x43\x21"));
    QVERIFY(!dataModified);
}

// An image of another size than the model's memory: the table pages give their names, then the
// warning. Cancel writes nothing.
void TestRoadFiles::saveSizeWarning_data()
{
    QTest::addColumn<bool>("saveAs");
    QTest::addColumn<bool>("ok");
    for (bool saveAs : {false, true}) {
        QTest::addRow("%s, Cancel", saveAs ? "Save As" : "Save") << saveAs << false;
        QTest::addRow("%s, Ok", saveAs ? "Save As" : "Save") << saveAs << true;
    }
}

void TestRoadFiles::saveSizeWarning()
{
    QFETCH(bool, saveAs);
    QFETCH(bool, ok);

    RoadRig rig;
    rig.start(false);
    const QString shortImage = rig.dataPath(QStringLiteral("short_image_4096.bin"));
    rig.script.chooseFile(shortImage).answer(QMessageBox::Ok);
    QMetaObject::invokeMethod(rig.window.get(), "getDataFromBinFile");
    QVERIFY(rig.script.done());
    QVERIFY(writeFile(shortImage, QByteArray("old")));
    rig.script.seen.clear();
    dataModified = true;
    QSignalSpy names(rig.window.get(), SIGNAL(saveTMTable()));
    const QString target = saveAs ? rig.dataPath(QStringLiteral("copy.bin")) : shortImage;
    rig.script.answer(ok ? QMessageBox::Ok : QMessageBox::Cancel);
    if (saveAs && ok)
        rig.script.chooseFile(target);

    rig.button(saveAs ? "buttonSaveAs" : "buttonSave")->click();

    QVERIFY(rig.script.done());
    QCOMPARE(rig.script.seen.value(0), QStringLiteral("box: ") + rig.probe->warningMemSize());
    QCOMPARE(rig.script.seen.size(), saveAs && ok ? 2 : 1);
    QCOMPARE(names.count(), 1);
    QCOMPARE(dataModified, !ok);
    if (ok)
        QCOMPARE(fileBytes(target), rig.probe->image()->image());
    else
        QCOMPARE(fileBytes(target), saveAs ? QByteArray() : QByteArray("old"));
}

// A name table that reaches past the image's end lengthens the image when the names go in: Save,
// Save As and Send measure what they would write, so they ask; Cancel writes nothing anywhere.
void TestRoadFiles::namesPastImageEnd_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("Save") << "buttonSave";
    QTest::newRow("Save As") << "buttonSaveAs";
    QTest::newRow("Send") << "buttonSend";
}

void TestRoadFiles::namesPastImageEnd()
{
    QFETCH(QString, command);

    const QByteArray memory(8192, '\x55');
    RoadRig rig(memory);
    QVERIFY(rig.rewriteU65([](QStringList &pages) {
        for (QString &page : pages)
            page.replace(QStringLiteral("TABADDR=\"0x1400\""), QStringLiteral("TABADDR=\"0x1FF0\""));
    }));
    rig.start();
    QVERIFY(rig.load(U65));
    QVERIFY(rig.selectA0());
    const QStringList files = QDir(rig.dataPath(QString())).entryList(QDir::Files);
    rig.sim.core().clearLog();
    rig.script.answer(QMessageBox::Cancel);

    rig.button(qPrintable(command))->click();

    QVERIFY(rig.script.done());
    QCOMPARE(rig.script.seen, QStringList{"box: " + rig.probe->warningMemSize()});
    QCOMPARE(rig.probe->image()->image().size(), 0x1FF0 + 95 * 32 + 28);
    QCOMPARE(QDir(rig.dataPath(QString())).entryList(QDir::Files), files);
    QCOMPARE(fileBytes(rig.dataPath(U65)), RoadRig::sample(U65));
    QCOMPARE(rig.blockCommands(), QStringList());
    QCOMPARE(rig.sim.core().memory(0), memory);
}

// Save As: the name typed, with ".bin" added unless it holds one in any letter case; title, file
// box, Save and the file of later Saves follow it.
void TestRoadFiles::saveAs_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");

    QTest::newRow("no extension") << "copy" << "copy.bin";
    QTest::newRow("capital extension") << "copy.BIN" << "copy.BIN";
    QTest::newRow("extension inside the name") << "copy.bin.old" << "copy.bin.old";
    const QString longest = QString(251, QLatin1Char('k')) + QStringLiteral(".bin"); // 255 bytes, the most a name has
    QTest::newRow("longest name") << longest << longest;
}

void TestRoadFiles::saveAs()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);

    RoadRig rig;
    rig.start(false);
    QVERIFY(rig.load(H65));
    dataModified = true;
    rig.script.chooseFile(rig.dataPath(typed));

    rig.button("buttonSaveAs")->click();

    QVERIFY(rig.script.done());
    const QString path = rig.dataPath(written);
    QCOMPARE(fileBytes(path), rig.probe->image()->image());
    QCOMPARE(rig.window->windowTitle(), QStringLiteral(" TKV-05  ") + path);
    QCOMPARE(rig.widget<QPlainTextEdit>("plainTextEdit")->toPlainText(), path);
    QCOMPARE(rig.probe->imageFileName(), path);
    QVERIFY(rig.button("buttonSave")->isEnabled());
    QVERIFY(!dataModified);
    QCOMPARE(fileBytes(rig.dataPath(H65)), RoadRig::sample(H65));

    // A Save after it writes the same file.
    rig.probe->image()->writeInt8(QStringLiteral("0x0031"), 0x77);
    dataModified = true;
    rig.button("buttonSave")->click();
    QCOMPARE(rig.script.seen, QStringList{QStringLiteral("file dialog")});
    QCOMPARE(fileBytes(path).at(0x31), char(0x77));
    QVERIFY(!dataModified);
}

// The proposed name comes from the first tree page: type, the last two characters of the model,
// serial number and object identifier; characters that would name a folder or control the
// terminal become "_".
void TestRoadFiles::saveAsProposal()
{
    RoadRig rig;
    rig.start(false);
    OperationBin image;
    image.loadFile(rig.dataPath(U65));
    image.writeInt16(QStringLiteral("0"), 1234);
    image.writeText(QStringLiteral("30"), QStringLiteral("Gate 3/B\\C\tEast"), QStringLiteral("0x0100"));
    QVERIFY(writeFile(rig.dataPath(QStringLiteral("named.bin")), image.image()));
    QVERIFY(rig.load(QStringLiteral("named.bin")));
    QString proposal;
    rig.script.then([&](QWidget *w) {
        proposal = w->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
        qobject_cast<QDialog *>(w)->reject();
    });

    rig.button("buttonSaveAs")->click();

    QVERIFY(rig.script.done());
    QCOMPARE(proposal, QStringLiteral("4820_U65_01234_Gate 3_B_C_East.bin"));
}

// A set whose first page is no tree page: Save As proposes no name.
void TestRoadFiles::noProposalWithoutFirstTreePage()
{
    RoadRig rig;
    QVERIFY(rig.rewriteU65([](QStringList &pages) { pages.removeAt(1); pages.removeAt(1); }));
    rig.start(false);
    QVERIFY(rig.load(U65));
    QCOMPARE(rig.probe->pages().at(0)->tableKind(), 1);
    QString proposal = QStringLiteral("not read");
    rig.script.then([&](QWidget *w) {
        proposal = w->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
        qobject_cast<QDialog *>(w)->reject();
    });

    rig.button("buttonSaveAs")->click();

    QVERIFY(rig.script.done());
    QCOMPARE(proposal, QString());
}

// A language block that lists no model: the model choice offers nothing, and its Ok is a Cancel.
void TestRoadFiles::emptyModelList()
{
    RoadRig rig;
    rig.withoutGuiRows(QStringLiteral("EEPROM_DATA"));
    rig.start(false);
    int offered = -1;
    rig.script.chooseFile(rig.dataPath(U65)).then([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        offered = box->findChild<QComboBox *>()->count();
        box->button(QMessageBox::Ok)->click();
    });

    QMetaObject::invokeMethod(rig.window.get(), "getDataFromBinFile");

    QVERIFY(rig.script.done());
    QCOMPARE(offered, 0);
    QVERIFY(!rig.probe->hasPageTabs());
    QCOMPARE(rig.probe->image()->image(), QByteArray());
    QCOMPARE(rig.probe->imageFileName(), QString());
    QCOMPARE(rig.window->windowTitle(), QStringLiteral(" TKV-05  "));
}

// Save As and Export over an existing file: the language's question, once, for the name written
// (the program adds the extension to a name typed without it; the file dialog itself does not
// ask). No writes nothing and leaves the window as it was; Yes replaces the file.
void TestRoadFiles::overwriteQuestion_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("question"); // how the language's question begins
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("yes");

    const QVector<QPair<int, QString>> languages{{1, "Plik już istnieje."}, {2, "The file already exists."}};
    for (const auto &language : languages) {
        const char *name = language.first == 1 ? "Polish" : "English";
        for (bool yes : {false, true}) {
            QTest::addRow("%s, Save As, %s", name, yes ? "Yes" : "No")
                << language.first << language.second << "Save As" << "copy" << "copy.bin" << yes;
            QTest::addRow("%s, Export, %s", name, yes ? "Yes" : "No")
                << language.first << language.second << "Export" << "keys" << "keys.id" << yes;
        }
    }
    QTest::newRow("English, Save As, whole name typed") << 2 << "The file already exists." << "Save As" << "copy.bin"
                                                        << "copy.bin" << true;
    QTest::newRow("English, Export, whole name typed") << 2 << "The file already exists." << "Export" << "keys.id"
                                                       << "keys.id" << true;
}

void TestRoadFiles::overwriteQuestion()
{
    QFETCH(int, language);
    QFETCH(QString, question);
    QFETCH(QString, command);
    QFETCH(QString, typed);
    QFETCH(QString, target);
    QFETCH(bool, yes);

    RoadRig rig;
    rig.files.writeSettings({{QStringLiteral("Language"), language}});
    rig.start(false);
    QVERIFY(rig.load(U65));
    rig.probe->image()->writeInt16(QStringLiteral("0x0030"), 0x4321);
    dataModified = true;
    const QString path = rig.dataPath(target);
    const QByteArray old("the old file");
    QVERIFY(writeFile(path, old));
    const QStringList before = windowFileState(rig);
    rig.script.chooseFile(rig.dataPath(typed)).answer(yes ? QMessageBox::Yes : QMessageBox::No);

    QVERIFY(runWrite(rig, command));

    QVERIFY(rig.probe->askOverwriteFile().startsWith(question));
    QCOMPARE(rig.script.seen, (QStringList{"file dialog", "question: " + rig.probe->askOverwriteFile()}));
    QVERIFY(rig.script.done());
    QCOMPARE(rig.script.unexpected, 0);
    const bool saveAs = command == QLatin1String("Save As");
    if (!yes) {
        QCOMPARE(fileBytes(path), old);
        QCOMPARE(windowFileState(rig), before);
        QVERIFY(dataModified);
    } else if (saveAs) {
        QCOMPARE(fileBytes(path), rig.probe->image()->image());
        QCOMPARE(windowFileState(rig), (QStringList{" TKV-05  " + path, path, path, "Save enabled"}));
        QVERIFY(!dataModified);
    } else {
        QVERIFY(fileBytes(path).startsWith("*****"));
        QVERIFY(fileBytes(path).endsWith("End Of Table TM_Flat"));
        QCOMPARE(windowFileState(rig), before);
    }
}

// A write that fails or is refused: the old file as it was, the error box with the file's path and
// the system's reason on lines of their own, the flag still set, and the window naming the file it
// named before. The disk fills midway (a file size limit), the target is a named pipe (refused at
// once: an open would wait for a reader), or its folder has gone, so that no temporary file can be
// made there. Where the folder refuses a new file the file is written in place: when that write
// stops part way, the box says the file may be incomplete (in built-in English where the language
// table has no text for it), and the image stays unsaved.
void TestRoadFiles::failedWrites_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("reason");
    for (const char *command : {"Save", "Save As", "Export"}) {
        QTest::addRow("%s, disk full midway", command) << command << "disk full" << systemReason(EFBIG);
        QTest::addRow("%s, named pipe", command) << command << "pipe" << "not a regular file";
        QTest::addRow("%s, folder gone", command) << command << "folder gone" << systemReason(ENOENT);
        QTest::addRow("%s, in place, stopped part way", command) << command << "in place" << systemReason(EIO);
    }
    QTest::newRow("Save, in place, no language text") << "Save" << "in place, no text" << systemReason(EIO);
}

void TestRoadFiles::failedWrites()
{
    QFETCH(QString, command);
    QFETCH(QString, failure);
    QFETCH(QString, reason);

    RoadRig rig;
    const bool inPlace = failure.startsWith(QLatin1String("in place"));
    if (failure == QLatin1String("in place, no text")) {
        rig.rewriteGui([](QString &text) {
            text.remove(QRegularExpression(QStringLiteral("<FILE_WRITE_INCOMPLETE>[^<]*</FILE_WRITE_INCOMPLETE>")));
        });
    }
    rig.start(false);
    const QString folder = rig.dataPath(QStringLiteral("sub"));
    QVERIFY(QDir().mkpath(folder));
    const QString loaded = folder + QLatin1Char('/') + U65;
    QVERIFY(QFile::copy(rig.dataPath(U65), loaded));
    QVERIFY(rig.load(QStringLiteral("sub/") + U65));
    rig.probe->image()->writeInt16(QStringLiteral("0x0030"), 0x4321);
    dataModified = true;
    const QStringList before = windowFileState(rig);

    const bool save = command == QLatin1String("Save");
    const bool exported = command == QLatin1String("Export");
    const QString target = save ? loaded : folder + (exported ? QStringLiteral("/keys.id") : QStringLiteral("/copy.bin"));
    const QByteArray old = save ? RoadRig::sample(U65) : QByteArray(8192, 'o');
    if (!save)
        QVERIFY(writeFile(target, old));
    const auto prepare = [&] {
        if (failure == QLatin1String("pipe"))
            return QFile::remove(target) && makeSource(target, QStringLiteral("fifo"));
        if (failure == QLatin1String("folder gone"))
            return QDir(folder).removeRecursively();
        return true;
    };
    QStringList expected;
    if (save) {
        QVERIFY(prepare());
    } else {
        rig.script.then([&](QWidget *w) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            DialogScript::typeFileName(dialog, target.left(target.lastIndexOf(QLatin1Char('.'))));
            QVERIFY(prepare());
            QMetaObject::invokeMethod(dialog, "accept");
        });
        expected << QStringLiteral("file dialog");
        if (failure == QLatin1String("disk full") || inPlace) {
            rig.script.answer(QMessageBox::Yes);
            expected << QStringLiteral("question: ") + rig.probe->askOverwriteFile();
        }
    }
    QString text = rig.probe->fileWriteError();
    if (failure == QLatin1String("in place, no text")) {
        QCOMPARE(rig.probe->fileWriteIncomplete(), QString());
        text = Platform::incompleteFileText();
    } else if (inPlace && !exported) {
        text = rig.probe->fileWriteIncomplete();
        QVERIFY(!text.isEmpty());
    }
    if (inPlace && exported)
        reason += QLatin1Char('\n') + Platform::incompleteFileText();
    rig.script.answer(QMessageBox::Ok);
    expected << QStringLiteral("critical: ") + text + QLatin1Char('\n') + QDir::toNativeSeparators(target)
                    + QLatin1Char('\n') + reason;
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);

    {
        PipeRescue rescue(target);
        std::optional<FileSizeLimit> limit;
        std::optional<InPlaceWriteStops> stops;
        if (failure == QLatin1String("disk full"))
            QVERIFY(limit.emplace(64).isSet());
        if (inPlace)
            stops.emplace();
        QVERIFY(runWrite(rig, command));
        QVERIFY2(!rescue.rescued(), "the write waited in the open of the pipe");
    }

    QCOMPARE(rig.script.seen, expected);
    QVERIFY(rig.script.done());
    QVERIFY(dataModified);
    QCOMPARE(windowFileState(rig), before);
    if (failure == QLatin1String("disk full"))
        QCOMPARE(fileBytes(target), old);
    else if (inPlace)
        QCOMPARE(fileBytes(target).mid(10), old.mid(10));  // ten new bytes over the old file
    else if (failure == QLatin1String("pipe"))
        QVERIFY(isPipe(target));
    else
        QVERIFY(!QFileInfo::exists(folder));
    if (failure != QLatin1String("folder gone"))
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot), entries);
}

QTEST_MAIN(TestRoadFiles)
#include "tst_roadfiles.moc"
