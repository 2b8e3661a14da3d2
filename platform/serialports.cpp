#include "serialports.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <signal.h>
#include <sys/types.h>

namespace Platform {

namespace {

QString &folderSetting()
{
    static QString folder;
    return folder;
}

bool &overrideActive()
{
    static bool active = false;
    return active;
}

QStringList &overrideNames()
{
    static QStringList names;
    return names;
}

qint64 ownProcess()
{
    return QCoreApplication::applicationPid();
}

// A registration is a link named after the terminal and the process that registered it
// ("pts_3@4711"), so that the list can tell a running simulator from one that ended without
// clean-up, whose terminal number the system may since have given to someone else.
QString linkNameFor(const QString &devicePath, qint64 registrant)
{
    QString name = devicePath;
    if (name.startsWith(QLatin1String("/dev/")))
        name = name.mid(5);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return simulatedPortFolder() + QLatin1Char('/') + name + QLatin1Char('@') + QString::number(registrant);
}

bool processRuns(qint64 pid)
{
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

bool registrantRuns(const QString &linkName)
{
    const int at = linkName.lastIndexOf(QLatin1Char('@'));
    bool ok = false;
    const qint64 pid = at < 0 ? 0 : linkName.mid(at + 1).toLongLong(&ok);
    return ok && processRuns(pid);
}

}

QString simulatedPortFolder()
{
    if (!folderSetting().isEmpty())
        return folderSetting();
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    return base + QLatin1String("/tkv05-simulated-ports");
}

void setSimulatedPortFolder(const QString &folder)
{
    folderSetting() = folder;
}

QString serialDevicePath(const QString &shortName)
{
    return QLatin1String("/dev/") + shortName;
}

bool isSerialPortName(const QString &shortName)
{
    static const QRegularExpression pattern(QStringLiteral("^(tty[A-Za-z0-9]+|pts/[0-9]+)$"));
    return pattern.match(shortName).hasMatch();
}

QStringList serialPortNames()
{
    if (overrideActive())
        return overrideNames().mid(0, MaxSerialPorts);

    QStringList system;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        const QString name = info.portName();
        if (isSerialPortName(name) && !system.contains(name))
            system << name;
    }
    std::sort(system.begin(), system.end());

    QStringList simulated;
    const QFileInfoList links = QDir(simulatedPortFolder()).entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &link : links) {
        if (!link.isSymLink())
            continue;
        const QString target = link.symLinkTarget();
        if (!registrantRuns(link.fileName()) || !target.startsWith(QLatin1String("/dev/")) || !QFileInfo::exists(target)) {
            QFile::remove(link.filePath());   // left behind by a simulator that did not end cleanly
            continue;
        }
        const QString name = target.mid(5);
        if (isSerialPortName(name) && !system.contains(name) && !simulated.contains(name))
            simulated << name;
    }
    return (system + simulated).mid(0, MaxSerialPorts);
}

bool registerSimulatedPort(const QString &devicePath, qint64 registrant)
{
    if (!QDir().mkpath(simulatedPortFolder()))
        return false;
    const QString link = linkNameFor(devicePath, registrant > 0 ? registrant : ownProcess());
    QFile::remove(link);
    return QFile::link(devicePath, link);
}

void unregisterSimulatedPort(const QString &devicePath)
{
    QFile::remove(linkNameFor(devicePath, ownProcess()));
}

void overrideSerialPortNames(const QStringList &names)
{
    overrideActive() = true;
    overrideNames() = names;
}

void clearSerialPortOverride()
{
    overrideActive() = false;
    overrideNames().clear();
}

}
