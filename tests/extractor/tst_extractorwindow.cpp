#include "../inplacewrite.h"
#include "../testfiles.h"
#include "imagefixture.h"
#include "mainwindow.h"
#include "wholefile.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <optional>

namespace {

QList<QByteArray> linesOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestExtractorWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loadListsSlotsAndWritesFile();
    void wrongSizeLeavesWindowAsItWas_data();
    void wrongSizeLeavesWindowAsItWas();
    void cancelChangesNothing();
    void writeBeforeLoadTellsTheUser();
    void failedWrites_data();
    void failedWrites();
    void convertAgainOverLongestName();

private:
    void answerModal();
    QString load(const QString &path);
    QString clickConvert();
    QTableWidget *list() const { return window->findChild<QTableWidget *>("tableWidget_TM"); }
    QString textBox() const { return window->findChild<QPlainTextEdit *>("pTextEdit_FName")->toPlainText(); }

    QTemporaryDir *dir = nullptr;
    MainWindow *window = nullptr;
    QString imagePath;

    // Answers every modal the window opens, as a user would: the file dialog with nextFile (Cancel when
    // empty), a message box with Ok after noting its text.
    QTimer answerer;
    QString nextFile;
    int fileDialogs = 0;
    QStringList messages;
};

void TestExtractorWindow::answerModal()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
        ++fileDialogs;
        if (nextFile.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(nextFile);
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        QTest::mouseClick(buttons->button(QDialogButtonBox::Open), Qt::LeftButton);
    } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        messages << box->text();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    }
}

void TestExtractorWindow::init()
{
    dir = new QTemporaryDir;
    QVERIFY(dir->isValid());
    fileDialogs = 0;
    messages.clear();
    answerer.setInterval(5);
    connect(&answerer, &QTimer::timeout, this, &TestExtractorWindow::answerModal, Qt::UniqueConnection);
    answerer.start();
    window = new MainWindow;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    imagePath = dir->filePath("unit.BIN");
    QVERIFY(writeFile(imagePath, rk4810Image({{0, 0x00, QByteArray::fromHex("010203040506")},
                                              {7, 0xFF, QByteArray::fromHex("010203040506")},
                                              {1023, 0xFE, QByteArray::fromHex("000a00000500")}},
                                             true)));
}

void TestExtractorWindow::cleanup()
{
    answerer.stop();
    delete window;
    window = nullptr;
    delete dir;
    dir = nullptr;
}

// Loads through the button and the file dialog; returns the texts of the message boxes that showed.
QString TestExtractorWindow::load(const QString &path)
{
    nextFile = path;
    const int dialogsBefore = fileDialogs;
    messages.clear();
    QTest::mouseClick(window->findChild<QPushButton *>("pButton_LoadBin"), Qt::LeftButton);
    [&] { QCOMPARE(fileDialogs, dialogsBefore + 1); }();
    return messages.join('|');
}

QString TestExtractorWindow::clickConvert()
{
    messages.clear();
    QTest::mouseClick(window->findChild<QPushButton *>("pButton_Convert"), Qt::LeftButton);
    return messages.join('|');
}

void TestExtractorWindow::loadListsSlotsAndWritesFile()
{
    QCOMPARE(load(imagePath), QString());
    QCOMPARE(window->windowTitle(), " RK-4810 TM Extractor " + imagePath);
    QCOMPARE(textBox(), imagePath);

    QTableWidget *l = list();
    QCOMPARE(l->rowCount(), 1024);
    QCOMPARE(l->rowHeight(500), 22);
    const auto row = [l](int r) {
        return QStringList{l->item(r, 0)->text(), l->item(r, 1)->text(), l->item(r, 2)->text(), l->item(r, 3)->text()};
    };
    QCOMPARE(row(0), (QStringList{"   0", "   0", "010203040506", "0700"}));
    QCOMPARE(row(7), (QStringList{"   7", "-----", "------------", "-----"}));
    QCOMPARE(row(1023), (QStringList{"1023", "  fe", "000a00000500", "050a"}));

    QCOMPARE(clickConvert(), QString());
    const QString output = dir->filePath("unit.id");
    const QList<QByteArray> lines = linesOf(output);
    QCOMPARE(lines.size(), 1 + 1024 + 1);
    QCOMPARE(lines.first(), "*****" + output.toLocal8Bit() + "*****\r");
    QCOMPARE(lines.at(1 + 0), QByteArray("   0\t0700\t   0\r"));
    QCOMPARE(lines.at(1 + 7), QByteArray("   7\t-----\t-----\r"));
    QCOMPARE(lines.at(1 + 1023), QByteArray("1023\t050a\t  fe\r"));
    QCOMPARE(lines.last(), QByteArray("End Of Table TM_Flat\r"));
    for (const QByteArray &line : lines)
        QVERIFY2(line.endsWith('\r') && line.count('\r') == 1, line.constData());
    QVERIFY(QFile::exists(imagePath));
}

void TestExtractorWindow::wrongSizeLeavesWindowAsItWas_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("8191 bytes") << 8191;
    QTest::newRow("8193 bytes") << 8193;
    QTest::newRow("empty") << 0;
}

void TestExtractorWindow::wrongSizeLeavesWindowAsItWas()
{
    QFETCH(int, size);
    QCOMPARE(load(imagePath), QString());
    const QString title = window->windowTitle();
    const QString box = textBox();

    const QString otherPath = dir->filePath("other.bin");
    QVERIFY(writeFile(otherPath, QByteArray(size, '\0')));
    QCOMPARE(load(otherPath), QString(" File size mismatch! <> 8192B "));

    QCOMPARE(window->windowTitle(), title);
    QCOMPARE(textBox(), box);
    QCOMPARE(list()->rowCount(), 1024);
    QCOMPARE(list()->item(0, 3)->text(), QString("0700"));

    // The keys still go under the listed image's name.
    QCOMPARE(clickConvert(), QString());
    QVERIFY(QFile::exists(dir->filePath("unit.id")));
    QVERIFY(!QFile::exists(dir->filePath("other.id")));
}

void TestExtractorWindow::cancelChangesNothing()
{
    QCOMPARE(load(QString()), QString());
    QCOMPARE(list()->rowCount(), 0);
    QCOMPARE(window->windowTitle(), QString(" RK-4810 TM Extractor "));
}

void TestExtractorWindow::writeBeforeLoadTellsTheUser()
{
    QCOMPARE(clickConvert(), QString(" No image loaded! "));
    QCOMPARE(list()->rowCount(), 0);
}

void TestExtractorWindow::failedWrites_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("reason");
    QTest::newRow("disk full midway") << "disk full" << systemReason(EFBIG);
    QTest::newRow("named pipe") << "pipe" << "not a regular file";
    QTest::newRow("folder gone") << "folder gone" << systemReason(ENOENT);
    QTest::newRow("in place, stopped part way") << "in place"
                                                << systemReason(EIO) + "\n" + Platform::incompleteFileText();
}

// A write that fails or is refused tells the user why and leaves what was there: an earlier key
// table when the disk fills midway (a file size limit below the new table's size), a named pipe
// in the table's place (refused at once: the open would wait for a reader and freeze the window),
// a folder that has gone (no temporary file can be made there). Where the folder refuses a new file
// the table is written in place: a write that stops part way says the file may be incomplete.
void TestExtractorWindow::failedWrites()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    QVERIFY(QDir(dir->path()).mkdir("sub"));
    const QString inFolder = dir->filePath("sub/unit.bin");
    QVERIFY(QFile::copy(imagePath, inFolder));
    QCOMPARE(load(inFolder), QString());
    const QString output = dir->filePath("sub/unit.id");
    const QByteArray earlier(8192, 'o');
    if (failure == "disk full" || failure == "in place")
        QVERIFY(writeFile(output, earlier));
    else if (failure == "pipe")
        QVERIFY(makeSource(output, "fifo"));
    else
        QVERIFY(QDir(dir->filePath("sub")).removeRecursively());

    QString message;
    {
        PipeRescue rescue(output);
        std::optional<FileSizeLimit> limit;
        std::optional<InPlaceWriteStops> stops;
        if (failure == "disk full")
            QVERIFY(limit.emplace(4096).isSet());
        if (failure == "in place")
            stops.emplace();
        message = clickConvert();
        QVERIFY2(!rescue.rescued(), "Convert waited in the open of the pipe");
    }

    if (failure == "disk full")
        QCOMPARE(readFile(output), earlier);
    else if (failure == "in place")
        QCOMPARE(readFile(output).mid(10), earlier.mid(10));  // ten new bytes over the earlier table
    else if (failure == "pipe")
        QVERIFY(isPipe(output));
    QCOMPARE(message, " File write error! " + output + "\n" + reason);
    if (failure != "folder gone")
        QCOMPARE(QDir(dir->filePath("sub")).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 (QStringList{"unit.bin", "unit.id"}));
}

// The image of the longest name a file may have (255 bytes): its key table (254 bytes) is written,
// and a second Convert replaces it.
void TestExtractorWindow::convertAgainOverLongestName()
{
    const QString stem = dir->filePath(QString(251, QLatin1Char('k')));
    QVERIFY(QFile::copy(imagePath, stem + ".bin"));
    QCOMPARE(load(stem + ".bin"), QString());
    QCOMPARE(clickConvert(), QString());
    QVERIFY(writeFile(stem + ".id", "earlier"));

    QCOMPARE(clickConvert(), QString());
    const QList<QByteArray> lines = linesOf(stem + ".id");
    QCOMPARE(lines.size(), 1026);
    QCOMPARE(lines.constFirst(), "*****" + QFile::encodeName(stem) + ".id*****\r");
}

QTEST_MAIN(TestExtractorWindow)
#include "tst_extractorwindow.moc"
