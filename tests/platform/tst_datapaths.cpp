#include "datapaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The data files name files in another letter case than the disk has them; every reader of
// pictures, flags, sounds and help pages goes through this helper.
class TestDataPaths : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char *f : {"application/png/Flags/Flags_UK.png", "application/xml/GUI.xlx", "HELP/Application/EN/welcome.html"}) {
            const QString path = m_dir.filePath(QString::fromLatin1(f));
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }

    void resolves_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected"); // relative to the base

        QTest::newRow("exact") << "application/xml/GUI.xlx" << "application/xml/GUI.xlx";
        QTest::newRow("leading slash is below the base") << "/application/xml/GUI.xlx" << "application/xml/GUI.xlx";
        QTest::newRow("flag in capitals") << "/APPLICATION/png/Flags/Flags_UK.png" << "application/png/Flags/Flags_UK.png";
        QTest::newRow("every component in another case") << "/help/APPLICATION/en/WELCOME.HTML"
                                                          << "HELP/Application/EN/welcome.html";
        QTest::newRow("backslashes") << "\\HELP\\Application\\EN\\welcome.html" << "HELP/Application/EN/welcome.html";
        QTest::newRow("dot components") << "/application/./png/../xml/gui.xlx" << "application/xml/GUI.xlx";
        QTest::newRow("missing file comes back joined unchanged") << "/APPLICATION/png/Flags/Flags_Mars.png"
                                                                  << "APPLICATION/png/Flags/Flags_Mars.png";
        QTest::newRow("missing folder comes back joined unchanged") << "/Sounds/beep.wav" << "Sounds/beep.wav";
        QTest::newRow("a file is no folder") << "/application/xml/GUI.xlx/more" << "application/xml/GUI.xlx/more";
    }

    void resolves()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(Platform::resolveDataPath(path, m_dir.path()), QDir::cleanPath(m_dir.path() + QLatin1Char('/') + expected));
    }

    // The main window joins the working directory to a name; such a path resolves like the
    // short form, and an absolute path elsewhere that exists is taken as it stands.
    void absolutePaths()
    {
        const QString gui = m_dir.filePath(QStringLiteral("application/xml/GUI.xlx"));
        QCOMPARE(Platform::resolveDataPath(m_dir.path() + QStringLiteral("/APPLICATION/XML/gui.xlx"), m_dir.path()), gui);
        QTemporaryDir other;
        const QString elsewhere = other.filePath(QStringLiteral("x.xlx"));
        QFile file(elsewhere);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QCOMPARE(Platform::resolveDataPath(elsewhere, m_dir.path()), elsewhere);

        // A data path that begins with "/" names a file below the working directory first, even
        // where the same absolute path exists elsewhere ("/etc/passwd" in a data file is not the
        // system's).
        const QString shadow = m_dir.path() + elsewhere;
        QVERIFY(QDir().mkpath(QFileInfo(shadow).path()));
        QFile below(shadow);
        QVERIFY(below.open(QIODevice::WriteOnly));
        below.close();
        QCOMPARE(Platform::resolveDataPath(elsewhere, m_dir.path()), shadow);
        QCOMPARE(Platform::resolveDataPath(elsewhere.toUpper(), m_dir.path()), QDir::cleanPath(shadow));
    }

    void defaultBaseIsWorkingDirectory()
    {
        const QString saved = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        const QString resolved = Platform::resolveDataPath(QStringLiteral("/Application/XML/GUI.XLX"));
        QDir::setCurrent(saved);
        QCOMPARE(QFileInfo(resolved).canonicalFilePath(), QFileInfo(m_dir.filePath("application/xml/GUI.xlx")).canonicalFilePath());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestDataPaths)
#include "tst_datapaths.moc"
