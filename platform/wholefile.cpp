#include "wholefile.h"

#include "datapaths.h"

#include <QSaveFile>

namespace Platform {

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *reason)
{
    const FileState::Kind kind = fileState(path).kind;
    if (kind != FileState::Missing && kind != FileState::Regular) {
        *reason = QStringLiteral("not a regular file");
        return false;
    }
    QSaveFile file(path);
    // Unbuffered, so that a write the system takes only in part is followed by one that fails with
    // its reason (a full disk) instead of a buffer flush that knows none.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *reason = file.errorString();
        return false;
    }
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            *reason = file.errorString();
            file.cancelWriting();
            return false;
        }
        done += written;
    }
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    return true;
}

}
