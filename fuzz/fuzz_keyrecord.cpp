// The key record on any text the key reader might send: its short and long key serials.

#include "operationbin.h"

#include <QString>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), int(size));
    OperationBin bin;
    QString seen;
    QObject::connect(&bin, &OperationBin::newSignal, [&seen](const QString &code) { seen += code; });
    QObject::connect(&bin, &OperationBin::sendTMkeyLongSerialNumber, [&seen](const QString &serial) { seen += serial; });
    bin.readTMKey(text);
    bin.readLongTMKey(text);
    volatile int kept = seen.size();
    (void)kept;
    return 0;
}
