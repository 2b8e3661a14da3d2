#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QObject>
#include <QString>

class QIODevice;

// The memory image being edited: the bytes of one configuration memory, with typed access by
// address text.
//
// Address texts: a byte address is hexadecimal when it contains a lowercase "x" ("0x000E"),
// else decimal ("26"); a text that is not entirely such a number (" 2", "+2", "0x0x2") means
// address 0 to a read and is refused by a write. A bit address is "W:b" (decimal word address,
// bit 0-15), a bit field "A:f-l". 16-bit values are big-endian; bits 0-7 of a word lie in its
// second byte, bits 8-15 in its first.
//
// Reads never extend the image: a missing byte reads as 0. A write past the end extends the
// image with zero bytes, up to the 16-bit address space; a write at a negative, unparsable or
// larger address changes nothing.
class OperationBin : public QObject
{
    Q_OBJECT
public:
    OperationBin();
    ~OperationBin() override;

    // Highest address a write may reach.
    static constexpr int MaxAddress = 0xFFFF;
    // The largest image: the whole 16-bit address space, 64 KiB.
    static constexpr int MaxImageSize = MaxAddress + 1;

    // An address worked out from numbers (a table's base and a row's position): one outside the
    // address space becomes MaxImageSize, past every image, where reads find missing bytes and
    // writes are refused.
    static int boundedAddress(qint64 address)
    {
        return address >= 0 && address <= MaxAddress ? int(address) : MaxImageSize;
    }

    // Address texts. byteAddress gives -1 for a text that is not a number.
    static int byteAddress(const QString &address);
    static int specAddress(const QString &address);
    static int specBit(const QString &address);

    // Bytes and words.
    int readTypedValue(const QString &type, const QString &address);
    int readWord(const QString &decimalAddress);
    QString readHexWord(const QString &address);
    QString readIdWord(const QString &address);
    int readByte(const QString &address);
    QString readByteText(const QString &address);
    void writeInt16(const QString &address, int value);
    void writeInt8(const QString &address, int value);
    void writeHexWord(const QString &value, const QString &address);
    void writeIdWord(const QString &address, const QString &value);

    // Bits and bit fields.
    int readBit(const QString &type, const QString &address);
    void writeBit(const QString &address, const QString &value);
    int readBits(const QString &address);
    void writeBits(const QString &address, int value);
    int bitFieldWidth(const QString &address);
    int firstBit() const { return m_firstBit; }

    // Text fields: N UTF-16LE characters, centred with spaces.
    QString readText(const QString &length, const QString &address);
    void writeText(const QString &length, const QString &text, const QString &address);
    static QString centerText(const QString &text, int width);

    // Image files and the device's hex text. A file is read only when it is a regular file of at
    // most MaxImageSize bytes; anything else (a folder, a pipe, a device, a larger file, one that
    // cannot be read) gives an empty image, and so does an empty file: why is kept until the next
    // load (empty after a file was read).
    void loadFile(const QString &fileName);
    QString loadFailureReason() const { return m_loadFailureReason; }
    void loadHex(const QByteArray &hex);
    // Writes the whole image; true only when every byte reached the device. A file is replaced
    // whole or not at all (see Platform::writeWholeFile), or, where its folder refuses the
    // replacement, in place: only an in-place write that stopped part way may have changed the old
    // file (failedSaveMayBeIncomplete()). A failure emits errorWriteFile(); what it met is kept for
    // the slot to read until the next save.
    bool saveTo(QIODevice *device);
    // The file the last failed save was to write (empty for a device that is no file), the
    // system's reason and whether the file may be incomplete; empty and false after a good save.
    QString failedSavePath() const { return m_failedSavePath; }
    QString failedSaveReason() const { return m_failedSaveReason; }
    bool failedSaveMayBeIncomplete() const { return m_failedSaveMayBeIncomplete; }
    QByteArray image() const { return m_image; }
    void prepareBuffer();

signals:
    void sendTMkeySerialNumber(QString TMKeySerialNumber);
    void sendTMkeyLongSerialNumber(QString TMKeySerialNumber);
    void newSignal(QString TMkey);
    void errorWriteFile();

public slots:
    void readTMKey(QString TMkey);
    void readLongTMKey(QString serialNumber);

private:
    struct BitField {
        int address = -1;
        int first = 0;
        int last = -1;
        bool validBits() const;
        bool valid() const;
    };
    static BitField parseBitField(const QString &address);
    static bool parseBitAddress(const QString &address, int *word, int *bit);
    static bool fitsAddressSpace(int address, qint64 length);

    int byteAt(qint64 address) const;
    int wordAt(int address) const { return byteAt(address) << 8 | byteAt(qint64(address) + 1); }
    bool writeBytes(int address, const QByteArray &bytes);
    void writeWordAt(int address, int value);
    void attachBuffer();

    QIODevice *m_sourceDevice = nullptr;
    QBuffer m_buffer;
    QByteArray m_image;
    bool m_loaded = false;   // writes are taken only once a load gave the image its bytes
    int m_firstBit = 0;
    QString m_failedSavePath;
    QString m_failedSaveReason;
    bool m_failedSaveMayBeIncomplete = false;
    QString m_loadFailureReason;
};
