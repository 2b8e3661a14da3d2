#pragma once
#include <QString>
#include <QStringList>

namespace Platform {

// Serial ports by short name ("ttyACM0", "ttyUSB0", "pts/3"); the device path is "/dev/" in front.
//
// The list holds at most MaxSerialPorts names: the serial devices the system reports, in name
// order, then the pseudo-terminals of simulated programming interfaces that are running (each
// one registers its terminal in a folder of the user's runtime directory while it runs).
constexpr int MaxSerialPorts = 41;

QStringList serialPortNames();

// "/dev/" followed by the short name.
QString serialDevicePath(const QString &shortName);

// Whether a text is a short name of the form the list gives: "tty" and letters and digits, or
// "pts/" and digits; case-sensitive, no blanks.
bool isSerialPortName(const QString &shortName);

// Registration of a simulated interface's terminal (device path such as "/dev/pts/3") by a
// process, this one when registrant is 0. The list leaves out, and clears away, every registration
// whose process no longer runs or whose terminal is gone.
bool registerSimulatedPort(const QString &devicePath, qint64 registrant = 0);
void unregisterSimulatedPort(const QString &devicePath);

// The folder where simulated interfaces register; a test may point it elsewhere.
QString simulatedPortFolder();
void setSimulatedPortFolder(const QString &folder);

// For tests: when set (not null), serialPortNames() gives these names instead of looking at the
// system; an empty list set with clearSerialPortOverride() restores the normal behaviour.
void overrideSerialPortNames(const QStringList &names);
void clearSerialPortOverride();

}
