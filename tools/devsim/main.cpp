// A simulated programming interface for trying TKV-05 without hardware: it opens a
// pseudo-terminal, prints its device path, and answers there until it is stopped (Ctrl+C).
// While it runs, the program's port list shows its terminal.
//
//   tkv-devsim [--a0 SIZE|FILE] [--a2 SIZE|FILE] [--a4 SIZE|FILE] [--id TEXT]
//
// A memory is given by a size in bytes (filled with a pattern) or by an image file; without a
// memory option A0 holds the U65 sample image of the checkout's DATA/ (see
// DevSimCore::defaultMemory). Lines typed on standard input: "key CODE [SERIAL]" sends a key
// record, "unplug A2" removes a memory, "quit" ends.
#include "devsimpty.h"
#include "serialports.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void quitOnSignal(int)
{
    const char c = 'q';
    (void)!::write(signalPipe[1], &c, 1);
}

}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    DevSimPty sim;

    const QStringList args = app.arguments().mid(1);
    bool anyMemory = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString option = args.at(i);
        const QString value = args.value(i + 1);
        const int slave = DevSimCore::slaveIndex(option.mid(2));
        if (option.startsWith(QLatin1String("--")) && slave >= 0 && !value.isEmpty()) {
            bool number = false;
            const int size = value.toInt(&number);
            QByteArray bytes;
            if (number) {
                bytes = DevSimCore::patternMemory(qBound(0, size, 65536));
            } else {
                QFile file(value);
                if (!file.open(QIODevice::ReadOnly)) {
                    err << "cannot read " << value << "\n";
                    return 2;
                }
                bytes = file.readAll();
            }
            sim.core().setMemory(slave, bytes);
            anyMemory = true;
            ++i;
        } else if (option == QLatin1String("--id") && !value.isEmpty()) {
            sim.core().setIdentification(value);
            ++i;
        } else {
            err << "usage: tkv-devsim [--a0 SIZE|FILE] [--a2 SIZE|FILE] [--a4 SIZE|FILE] [--id TEXT]\n";
            return 2;
        }
    }
    if (!anyMemory) {
        QString source;
        sim.core().setMemory(0, DevSimCore::defaultMemory(&source));
        if (source.isEmpty())
            err << "no sample image found: A0 holds 8192 bytes of pattern, which no model recognises" << Qt::endl;
        else
            err << "A0 holds " << source << Qt::endl;
    }

    if (!sim.start()) {
        err << "cannot open a pseudo-terminal\n";
        return 1;
    }
    Platform::registerSimulatedPort(sim.devicePath());
    out << sim.devicePath() << Qt::endl;

    // Ctrl+C and kill end the run cleanly, so that the terminal leaves the port list.
    if (pipe(signalPipe) != 0)
        return 1;
    QSocketNotifier stopper(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopper, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, quitOnSignal);
    std::signal(SIGTERM, quitOnSignal);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&]() {
        char line[256];
        if (!fgets(line, sizeof line, stdin)) {
            input.setEnabled(false);
            return;
        }
        const QStringList words = QString::fromLocal8Bit(line).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty())
            return;
        if (words.at(0) == QLatin1String("key") && words.size() >= 2)
            sim.send(DevSimCore::keyRecord(words.value(2, QStringLiteral("0123456789ABCDEF01")), words.at(1)));
        else if (words.at(0) == QLatin1String("unplug") && words.size() >= 2 && DevSimCore::slaveIndex(words.at(1)) >= 0)
            sim.core().removeMemory(DevSimCore::slaveIndex(words.at(1)));
        else if (words.at(0) == QLatin1String("quit"))
            QCoreApplication::quit();
        else
            err << "commands: key CODE [SERIAL], unplug A0|A2|A4, quit\n";
    });

    const int result = app.exec();
    Platform::unregisterSimulatedPort(sim.devicePath());
    sim.stop();
    return result;
}
