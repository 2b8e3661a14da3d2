#include "sound.h"

#include <QFileInfo>
#include <QSound>
#include <QString>

#include <unistd.h>

namespace Platform {

// The sound library plays through PulseAudio (or a server that speaks its protocol): its socket
// lies where the server's address, its runtime folder or the user's runtime folder say.
bool soundServerRunning()
{
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER"))
        return true;
    QStringList sockets;
    if (!qEnvironmentVariableIsEmpty("PULSE_RUNTIME_PATH"))
        sockets << qEnvironmentVariable("PULSE_RUNTIME_PATH") + QStringLiteral("/native");
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        sockets << qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/pulse/native");
    sockets << QStringLiteral("/run/user/%1/pulse/native").arg(getuid()) << QStringLiteral("/var/run/pulse/native");
    for (const QString &socket : sockets) {
        if (QFileInfo(socket).exists())
            return true;
    }
    return false;
}

void playSound(const QString &path)
{
    if (QFileInfo(path).isFile() && soundServerRunning())
        QSound::play(path);
}

}
