#include "keytable.h"

#include "linetext.h"
#include "wholefile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>

namespace KeyTable {

namespace {
constexpr int planeSize = 0x0400;
constexpr int flatPlane = 0x1C00;
constexpr quint8 emptyFlat = 0xFF;

quint8 byteAt(const QByteArray &image, int offset)
{
    return offset >= 0 && offset < image.size() ? quint8(image.at(offset)) : quint8(0xFF);
}
} // namespace

SlotRow slotRow(const QByteArray &image, int slot)
{
    SlotRow row;
    row.position = QString::number(slot).rightJustified(4, QLatin1Char(' '));
    const quint8 flat = byteAt(image, flatPlane + slot);
    if (flat == emptyFlat) {
        row.flat = QStringLiteral("-----");
        row.serial = QStringLiteral("------------");
        row.hash = QStringLiteral("-----");
        return row;
    }
    row.flat = QString::number(flat, 16).rightJustified(4, QLatin1Char(' '));
    quint8 b[6];
    for (int i = 0; i < 6; ++i)
        b[i] = byteAt(image, planeSize * (6 - i) + slot);
    for (quint8 byte : b)
        row.serial += QString::number(byte, 16).rightJustified(2, QLatin1Char('0'));
    const int hash = ((b[0] ^ b[2] ^ b[4]) << 8) | (b[1] ^ b[3] ^ b[5]);
    row.hash = QString::number(hash, 16).rightJustified(4, QLatin1Char('0'));
    return row;
}

QString outputFileName(const QString &imagePath)
{
    static const QString imageExtension = QStringLiteral(".bin");
    // A path that ends in ".bin" has it in its last component, so folder names are never touched.
    if (imagePath.endsWith(imageExtension, Qt::CaseInsensitive))
        return imagePath.left(imagePath.size() - imageExtension.size()) + QStringLiteral(".id");
    return imagePath + QStringLiteral(".id");
}

ReadResult readImage(const QString &path, QByteArray *image)
{
    if (QFileInfo(path).size() != imageSize)
        return ReadResult::WrongSize;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ReadResult::Unreadable;
    const QByteArray bytes = file.read(imageSize);
    if (bytes.size() != imageSize)
        return ReadResult::Unreadable;
    *image = bytes;
    return ReadResult::Ok;
}

bool writeKeyTable(QIODevice &device, const QString &title, const QVector<SlotRow> &rows)
{
    // Line ends are written as bytes: a text-mode device would give LF alone on some systems.
    static const QByteArray lineEnd("\r\n");
    static const QByteArray tab("\t");
    QByteArray text;
    text.reserve(32 + title.size() + rows.size() * 20);
    // A control character in the title (a line break in a folder's name) is written as a space, so
    // that the title stays one line.
    text += "*****" + Platform::asOneLine(title).toLocal8Bit() + "*****" + lineEnd;
    for (const SlotRow &row : rows)
        text += row.position.toLocal8Bit() + tab + row.hash.toLocal8Bit() + tab + row.flat.toLocal8Bit() + lineEnd;
    text += "End Of Table TM_Flat" + lineEnd;
    return device.write(text) == text.size();
}

bool writeKeyTableFile(const QString &path, const QVector<SlotRow> &rows, QString *error)
{
    QBuffer text;
    text.open(QIODevice::WriteOnly);
    writeKeyTable(text, path, rows);
    return Platform::writeWholeFile(path, text.data(), error);
}

} // namespace KeyTable
