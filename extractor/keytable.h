#ifndef EXTRACTOR_KEYTABLE_H
#define EXTRACTOR_KEYTABLE_H

#include <QByteArray>
#include <QString>
#include <QVector>

class QIODevice;

// The key table of an RK-4810 memory image and the key-table text file written from it.
namespace KeyTable {

constexpr int imageSize = 8192;
constexpr int slotCount = 1024;

// One slot as the list shows it: position, flat, key serial number and hash.
struct SlotRow {
    QString position;
    QString flat;
    QString serial;
    QString hash;
};

// Slot r keeps its serial bytes 5..0 in the planes at 0x0400..0x1800 and its flat byte in the plane
// at 0x1C00, one byte per plane at offset r; flat byte 0xFF marks an empty slot. Bytes missing from
// a short image count as 0xFF.
SlotRow slotRow(const QByteArray &image, int slot);

// The table text file beside the image: the image's own ".bin" extension (any letter case) becomes
// ".id"; any other name gets ".id" appended, so the result is never the image itself.
QString outputFileName(const QString &imagePath);

enum class ReadResult { Ok, WrongSize, Unreadable };

// Reads an image file of exactly imageSize bytes into *image; on any other result *image is untouched.
ReadResult readImage(const QString &path, QByteArray *image);

// Writes the key-table text: "*****" title "*****" (control characters of the title as spaces),
// one "position TAB hash TAB flat" line per row,
// "End Of Table TM_Flat"; every line, the last included, ends in CR LF; local 8-bit encoding.
// Returns false when the device did not take all of it.
bool writeKeyTable(QIODevice &device, const QString &title, const QVector<SlotRow> &rows);

// Writes the key-table text to the file at path, with path as the title, replacing the file whole
// or not at all as the configuration program writes its files (Platform::writeWholeFile). On
// failure returns false and puts the system's reason into *error.
bool writeKeyTableFile(const QString &path, const QVector<SlotRow> &rows, QString *error);

} // namespace KeyTable

#endif
