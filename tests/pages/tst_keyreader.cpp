// What the key reader's page side stands on: the repeat window on a monotonic clock and the
// sounds, found in any letter case and played through a replaceable player.

#include "keyrepeatfilter.h"
#include "pagesound.h"

#include <QDir>
#include <QTest>

// One read: the code and the clock's time in milliseconds.
struct Read {
    QString code;
    qint64 time;
};
using Reads = QVector<Read>;
Q_DECLARE_METATYPE(Reads)

class TestKeyReader : public QObject
{
    Q_OBJECT

private slots:
    void repeatWindow_data();
    void repeatWindow();
    void sounds();
};

void TestKeyReader::repeatWindow_data()
{
    QTest::addColumn<Reads>("reads");
    QTest::addColumn<QString>("accepted"); // one letter a read: y accepted, n dropped

    QTest::newRow("first read") << Reads{{"1A2B", 0}} << "y";
    QTest::newRow("repeat after 300 ms") << Reads{{"1A2B", 1000}, {"1A2B", 1300}} << "yn";
    QTest::newRow("repeat after 450 ms") << Reads{{"1A2B", 1000}, {"1A2B", 1450}} << "yn";
    QTest::newRow("repeat after 451 ms") << Reads{{"1A2B", 1000}, {"1A2B", 1451}} << "yy";
    QTest::newRow("repeat after 500 ms") << Reads{{"1A2B", 1000}, {"1A2B", 1500}} << "yy";
    QTest::newRow("other codes at once") << Reads{{"1A2B", 1000}, {"3C4D", 1010}, {"1A2B", 1020}} << "yyy";
    // A dropped repeat does not extend the window: a held key counts again every 450 ms.
    QTest::newRow("held key") << Reads{{"1A2B", 0}, {"1A2B", 300}, {"1A2B", 451}, {"1A2B", 800}, {"1A2B", 902}}
                              << "ynyny";
}

void TestKeyReader::repeatWindow()
{
    QFETCH(Reads, reads);
    QFETCH(QString, accepted);
    qint64 now = 0;
    KeyRepeatFilter filter;
    filter.setClock([&now] { return now; });
    QString seen;
    for (const Read &read : reads) {
        now = read.time;
        const bool accepts = filter.accepts(read.code);
        if (accepts)
            filter.record(read.code);
        seen += accepts ? QLatin1Char('y') : QLatin1Char('n');
    }
    QCOMPARE(seen, accepted);
}

void TestKeyReader::sounds()
{
    QVERIFY(QDir::setCurrent(QStringLiteral(TKV_DATA_ROOT)));
    QStringList played;
    PageSound::setPlayer([&played](const QString &path) { played << path; });
    PageSound::play(QStringLiteral("APPLICATION/Media/ID_ADD.WAV"));
    PageSound::play(QString());
    PageSound::play(QStringLiteral("application/media/missing.wav"));
    const PageSound::Player recorder = PageSound::setPlayer({});
    QVERIFY(recorder);
    PageSound::play(QStringLiteral("application/media/id_add.wav")); // the system's player: silent here
    QCOMPARE(played, (QStringList{QDir::current().filePath(QStringLiteral("application/media/id_add.wav")),
                                  QDir::current().filePath(QStringLiteral("application/media/missing.wav"))}));
}

QTEST_GUILESS_MAIN(TestKeyReader)
#include "tst_keyreader.moc"
