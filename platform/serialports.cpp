#include "serialports.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QStandardPaths>

#include <algorithm>

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

QString linkNameFor(const QString &devicePath)
{
    QString name = devicePath;
    if (name.startsWith(QLatin1String("/dev/")))
        name = name.mid(5);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return simulatedPortFolder() + QLatin1Char('/') + name;
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
        if (!target.startsWith(QLatin1String("/dev/")) || !QFileInfo::exists(target)) {
            QFile::remove(link.filePath());   // left behind by a simulator that did not end cleanly
            continue;
        }
        const QString name = target.mid(5);
        if (isSerialPortName(name) && !system.contains(name) && !simulated.contains(name))
            simulated << name;
    }
    return (system + simulated).mid(0, MaxSerialPorts);
}

bool registerSimulatedPort(const QString &devicePath)
{
    if (!QDir().mkpath(simulatedPortFolder()))
        return false;
    const QString link = linkNameFor(devicePath);
    QFile::remove(link);
    return QFile::link(devicePath, link);
}

void unregisterSimulatedPort(const QString &devicePath)
{
    QFile::remove(linkNameFor(devicePath));
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
