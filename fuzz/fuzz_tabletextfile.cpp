// The table text reader on any bytes: what it accepts comes back the same after writing it again,
// and a refused file hands out no rows.

#include "tabletextfile.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    const TableTextFile::ReadResult read = TableTextFile::read(in);
    TableTextFile::describeLine(read.badLine, read.badLineText);
    if (read.status != TableTextFile::ReadResult::Ok) {
        if (!read.rows.isEmpty())
            abort(); // a refused file hands out no rows
        return 0;
    }
    QByteArray written;
    QBuffer out(&written);
    out.open(QIODevice::WriteOnly);
    if (!TableTextFile::write(out, QStringLiteral("t"), read.rows, 2))
        abort();
    out.close();
    out.open(QIODevice::ReadOnly);
    const TableTextFile::ReadResult again = TableTextFile::read(out);
    if (again.status != TableTextFile::ReadResult::Ok || again.rows != read.rows)
        abort();
    return 0;
}
