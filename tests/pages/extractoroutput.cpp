// The extractor's key-table writer, called where the page's names (the table kind KeyTable) would
// clash with its namespace.

#include "keytable.h"

#include <QBuffer>

QByteArray extractorKeyTable(const QString &title, const QVector<QStringList> &slotRows)
{
    QVector<KeyTable::SlotRow> rows;
    for (const QStringList &slot : slotRows)
        rows << KeyTable::SlotRow{slot.value(0), slot.value(1), slot.value(2), slot.value(3)};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    KeyTable::writeKeyTable(buffer, title, rows);
    return bytes;
}
