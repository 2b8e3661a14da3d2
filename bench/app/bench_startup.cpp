// Start-up of the built program: from the process start to its "Main InitEnd" trace, with the
// language remembered (no language dialog), on the checkout's data tree in a working directory of
// its own. The platform is the one in QT_QPA_PLATFORM (offscreen when unset; run under xvfb-run
// with QT_QPA_PLATFORM=xcb for a real X server). Prints every run and the median.
//
//   bench_startup [runs]        (default 11)

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int TimeoutMs = 20000;

// Milliseconds until the trace, or -1.
qint64 oneStart(const QString &workingDirectory, const QProcessEnvironment &environment)
{
    QProcess program;
    program.setWorkingDirectory(workingDirectory);
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    QByteArray output;
    QElapsedTimer clock;
    clock.start();
    program.start(QStringLiteral(TKV05_PROGRAM), QStringList());
    qint64 at = -1;
    while (clock.elapsed() < TimeoutMs && program.state() != QProcess::NotRunning) {
        program.waitForReadyRead(5);
        output += program.readAll();
        if (output.contains("Main InitEnd")) {
            at = clock.elapsed();
            break;
        }
    }
    program.kill();
    program.waitForFinished(5000);
    return at;
}

}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(1, atoi(argv[1])) : 11;

    QTemporaryDir dir;
    QDir root(dir.path());
    for (const char *linked : {"application", "HELP", "DATA"})
        QFile::link(QStringLiteral(TKV_DATA_ROOT "/") + QLatin1String(linked), root.filePath(QLatin1String(linked)));
    QFile settings(root.filePath(QStringLiteral("Tkv.ini")));
    if (!settings.open(QIODevice::WriteOnly) || settings.write("[General]\nLanguage=2\n") < 0) {
        fprintf(stderr, "cannot write the settings file\n");
        return 1;
    }
    settings.close();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.qpa.*=false"));
    const QString platform = environment.value(QStringLiteral("QT_QPA_PLATFORM"));

    QList<qint64> times;
    for (int run = 0; run < runs; ++run) {
        const qint64 ms = oneStart(dir.path(), environment);
        if (ms < 0) {
            fprintf(stderr, "run %d: no \"Main InitEnd\" within %d ms\n", run + 1, TimeoutMs);
            return 1;
        }
        times << ms;
        printf("run %2d: %lld ms\n", run + 1, ms);
    }
    std::sort(times.begin(), times.end());
    printf("start-up to \"Main InitEnd\" (%s): median %lld ms of %d runs (min %lld, max %lld); goal 500 ms\n",
           qPrintable(platform), times.at(times.size() / 2), runs, times.first(), times.last());
    return 0;
}
