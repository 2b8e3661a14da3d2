#include "operationbin.h"

#include "datapaths.h"
#include "globals.h"
#include "wholefile.h"

#include <QFile>

#include <limits>

namespace {

// A text that is entirely a number of the given base (10 or 16): its digits and nothing else, no
// blank, no sign, no second prefix, and no more than a 32-bit signed integer holds.
bool parseNumber(const QString &text, int base, int *out)
{
    if (text.isEmpty())
        return false;
    qint64 value = 0;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        int digit = 99;
        if (u >= '0' && u <= '9')
            digit = u - '0';
        else if (base == 16 && u >= 'a' && u <= 'f')
            digit = u - 'a' + 10;
        else if (base == 16 && u >= 'A' && u <= 'F')
            digit = u - 'A' + 10;
        if (digit >= base)
            return false;
        value = value * base + digit;
        if (value > std::numeric_limits<int>::max())
            return false;
    }
    *out = int(value);
    return true;
}

int decimalOrZero(const QString &text)
{
    int value = 0;
    return parseNumber(text, 10, &value) ? value : 0;
}

// Address text to byte address: hexadecimal, with one optional "0x" in front, when it holds a
// lowercase "x", else decimal; -1 when the text is not entirely such a number.
int parseByteAddress(const QString &text)
{
    int value = 0;
    if (text.contains(QLatin1Char('x'))) {
        const QString digits = text.startsWith(QLatin1String("0x")) ? text.mid(2) : text;
        return parseNumber(digits, 16, &value) ? value : -1;
    }
    return parseNumber(text, 10, &value) ? value : -1;
}

// Hexadecimal value text ("3ba1", "0x3BA1", blanks around it allowed); 0 when it is not a number.
int hexValueOrZero(const QString &text)
{
    QString digits = text.trimmed();
    if (digits.startsWith(QLatin1String("0x")) || digits.startsWith(QLatin1String("0X")))
        digits = digits.mid(2);
    int value = 0;
    return parseNumber(digits, 16, &value) ? value : 0;
}

QString hexOfBytes(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

}

OperationBin::OperationBin() = default;

OperationBin::~OperationBin()
{
    delete m_sourceDevice;
}

// ---- addresses -------------------------------------------------------------------------------

int OperationBin::byteAddress(const QString &address)
{
    return parseByteAddress(address);
}

int OperationBin::specAddress(const QString &address)
{
    const int colon = address.indexOf(QLatin1Char(':'));
    return decimalOrZero(colon < 0 ? address : address.left(colon));
}

int OperationBin::specBit(const QString &address)
{
    const int colon = address.indexOf(QLatin1Char(':'));
    return colon < 0 ? 0 : decimalOrZero(address.mid(colon + 1));
}

bool OperationBin::parseBitAddress(const QString &address, int *word, int *bit)
{
    const int colon = address.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return false;
    return parseNumber(address.left(colon), 10, word) && *word <= MaxAddress && parseNumber(address.mid(colon + 1), 10, bit)
        && *bit <= 15;
}

bool OperationBin::BitField::validBits() const
{
    return first >= 0 && last <= 15 && first <= last;
}

bool OperationBin::BitField::valid() const
{
    return address >= 0 && address <= MaxAddress && validBits();
}

// A field's word address that is not a number is -1 here: reads take address 0 for it, writes
// refuse it. Bits that are not numbers make no field at all.
OperationBin::BitField OperationBin::parseBitField(const QString &address)
{
    BitField field;
    const int colon = address.indexOf(QLatin1Char(':'));
    const int dash = address.indexOf(QLatin1Char('-'), colon + 1);
    if (colon < 0 || dash < 0)
        return field;
    int first = 0, last = 0;
    if (!parseNumber(address.mid(colon + 1, dash - colon - 1), 10, &first) || !parseNumber(address.mid(dash + 1), 10, &last))
        return field;
    if (!parseNumber(address.left(colon), 10, &field.address))
        field.address = -1;
    field.first = first;
    field.last = last;
    return field;
}

// ---- raw access ------------------------------------------------------------------------------

int OperationBin::byteAt(qint64 address) const
{
    if (address < 0 || address >= m_image.size())
        return 0;
    return static_cast<unsigned char>(m_image.at(address));
}

bool OperationBin::fitsAddressSpace(int address, qint64 length)
{
    return address >= 0 && length > 0 && address + length - 1 <= MaxAddress;
}

bool OperationBin::writeBytes(int address, const QByteArray &bytes)
{
    // Before the first load there is no image to write into; past the address space, or at an
    // address that is not one, nothing is written either.
    if (!m_loaded || !fitsAddressSpace(address, bytes.size()))
        return false;
    const int end = address + bytes.size();
    if (end > m_image.size())
        m_image.append(QByteArray(end - m_image.size(), '\0'));
    m_image.replace(address, bytes.size(), bytes);
    return true;
}

void OperationBin::writeWordAt(int address, int value)
{
    QByteArray bytes(2, '\0');
    bytes[0] = static_cast<char>((value >> 8) & 0xFF);
    bytes[1] = static_cast<char>(value & 0xFF);
    writeBytes(address, bytes);
}

// ---- bytes and words -------------------------------------------------------------------------

int OperationBin::readTypedValue(const QString &type, const QString &address)
{
    const int at = qMax(0, parseByteAddress(address));
    if (type == QLatin1String("U16"))
        return wordAt(at);
    if (type == QLatin1String("U8"))
        return byteAt(at);
    return 0;
}

int OperationBin::readWord(const QString &decimalAddress)
{
    return wordAt(decimalOrZero(decimalAddress));
}

QString OperationBin::readHexWord(const QString &address)
{
    const int at = qMax(0, parseByteAddress(address));
    return at >= m_image.size() ? QString() : hexOfBytes(m_image.mid(at, 2));
}

QString OperationBin::readIdWord(const QString &address)
{
    int at = 0;
    if (!parseNumber(address.mid(2), 16, &at))
        at = 0;
    if (at >= m_image.size())
        return QString();
    return hexOfBytes(m_image.mid(at, 2));
}

int OperationBin::readByte(const QString &address)
{
    return byteAt(qMax(0, parseByteAddress(address)));
}

QString OperationBin::readByteText(const QString &address)
{
    return QString::number(readByte(address));
}

void OperationBin::writeInt16(const QString &address, int value)
{
    writeWordAt(parseByteAddress(address), value);
}

void OperationBin::writeInt8(const QString &address, int value)
{
    writeBytes(parseByteAddress(address), QByteArray(1, static_cast<char>(value & 0xFF)));
}

void OperationBin::writeHexWord(const QString &value, const QString &address)
{
    writeWordAt(parseByteAddress(address), hexValueOrZero(value));
}

void OperationBin::writeIdWord(const QString &address, const QString &value)
{
    int at = -1;
    if (!parseNumber(address.mid(2), 16, &at))
        at = -1;
    writeWordAt(at, hexValueOrZero(value));
}

// ---- bits and bit fields ---------------------------------------------------------------------

// A part of the address that is not a number counts as 0, so an unparsable bit address reads
// bit 0 of the word at address 0; a bit past 15 reads 0.
int OperationBin::readBit(const QString &, const QString &address)
{
    const int bit = specBit(address);
    if (bit > 15)
        return 0;
    return (wordAt(specAddress(address)) >> bit) & 1;
}

void OperationBin::writeBit(const QString &address, const QString &value)
{
    int word = 0, bit = 0;
    if (!parseBitAddress(address, &word, &bit))
        return;
    int current = wordAt(word);
    if (value == QLatin1String("1"))
        current |= 1 << bit;
    else if (value == QLatin1String("0"))
        current &= ~(1 << bit);
    writeWordAt(word, current);
}

int OperationBin::bitFieldWidth(const QString &address)
{
    const BitField field = parseBitField(address);
    m_firstBit = field.first;
    return field.last - field.first + 1;
}

int OperationBin::readBits(const QString &address)
{
    const BitField field = parseBitField(address);
    m_firstBit = field.first;
    if (!field.validBits())
        return 0;
    const int width = field.last - field.first + 1;
    // The word read whole, so that a field across bit 7 and bit 8 reads as it is written.
    return (wordAt(qMax(0, field.address)) >> field.first) & ((1 << width) - 1);
}

// The value is masked to the field in unsigned arithmetic: any int, -1 included, stores its low
// bits (as many as the field has).
void OperationBin::writeBits(const QString &address, int value)
{
    const BitField field = parseBitField(address);
    m_firstBit = field.first;
    if (!field.valid())
        return;
    const unsigned fieldMask = (1u << (field.last - field.first + 1)) - 1u;
    const unsigned mask = fieldMask << field.first;
    const unsigned word = (unsigned(wordAt(field.address)) & ~mask) | ((unsigned(value) & fieldMask) << field.first);
    writeWordAt(field.address, int(word & 0xFFFFu));
}

// ---- text fields -----------------------------------------------------------------------------

QString OperationBin::centerText(const QString &text, int width)
{
    const int length = text.length();
    if (length >= width)
        return text;
    const int d = width - length;
    return QString(d / 2, QLatin1Char(' ')) + text + QString(d - d / 2, QLatin1Char(' '));
}

QString OperationBin::readText(const QString &length, const QString &address)
{
    const int n = decimalOrZero(length);
    int at = parseByteAddress(address);
    if (at < 0)
        at = 0;
    if (n <= 0 || at >= m_image.size())
        return QString();
    const int count = qMin(n, (m_image.size() - at) / 2);
    QString text(count, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        text[i] = QChar(static_cast<char16_t>(byteAt(at + 2 * i) | byteAt(at + 2 * i + 1) << 8));
    return text;
}

void OperationBin::writeText(const QString &length, const QString &text, const QString &address)
{
    const int n = decimalOrZero(length);
    const int at = parseByteAddress(address);
    // A field that cannot lie in the address space is not written; nothing is made for it either.
    if (!fitsAddressSpace(at, 2 * qint64(n)))
        return;
    // A text longer than its field is cut to it: the bytes behind the field belong to others.
    const QString field = centerText(text.left(n), n);
    QByteArray bytes(2 * n, '\0');
    for (int i = 0; i < n; ++i) {
        const char16_t unit = field.at(i).unicode();
        bytes[2 * i] = static_cast<char>(unit & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(unit >> 8);
    }
    writeBytes(at, bytes);
}

// ---- image files and hex text ----------------------------------------------------------------

void OperationBin::attachBuffer()
{
    if (m_buffer.isOpen())
        m_buffer.close();
    m_buffer.setBuffer(&m_image);
    m_buffer.open(QIODevice::ReadWrite);
    m_loaded = true;
}

void OperationBin::loadFile(const QString &fileName)
{
    delete m_sourceDevice;
    auto *file = new QFile(fileName);
    m_sourceDevice = file;
    if (m_buffer.isOpen())
        m_buffer.close();
    m_image.clear();
    m_loadFailureReason.clear();
    // A pipe would block the open, a device could deliver without end: they are not opened. A
    // file that grew since it was looked at is read one byte past the limit, which refuses it.
    const QString tooLarge = QStringLiteral("more than %1 bytes").arg(MaxImageSize);
    const Platform::FileState state = Platform::fileState(fileName);
    if (state.kind == Platform::FileState::Folder || state.kind == Platform::FileState::Other) {
        m_loadFailureReason = QStringLiteral("not a regular file");
    } else if (state.size > MaxImageSize) {
        m_loadFailureReason = tooLarge;
    } else if (!file->open(QIODevice::ReadOnly)) {
        m_loadFailureReason = file->errorString();
    } else {
        m_image = file->read(MaxImageSize + 1);
        if (file->error() != QFileDevice::NoError)
            m_loadFailureReason = file->errorString();
        else if (m_image.size() > MaxImageSize)
            m_loadFailureReason = tooLarge;
        else if (m_image.isEmpty())
            m_loadFailureReason = QStringLiteral("the file is empty");
        if (!m_loadFailureReason.isEmpty())
            m_image.clear();
        file->close();
    }
    attachBuffer();
}

void OperationBin::loadHex(const QByteArray &hex)
{
    QByteArray digits;
    digits.reserve(hex.size());
    for (char c : hex) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))
            digits.append(c);
    }
    if (digits.size() % 2)
        digits.prepend('0');
    if (m_buffer.isOpen())
        m_buffer.close();
    m_image = QByteArray::fromHex(digits);
    attachBuffer();
}

bool OperationBin::saveTo(QIODevice *device)
{
    bool ok = false;
    QString path;
    Platform::WholeFileFailure failure;
    if (auto *file = qobject_cast<QFile *>(device)) {
        path = file->fileName();
        ok = Platform::writeWholeFile(path, m_image, &failure);
    } else if (device && device->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        ok = device->seek(0) && device->write(m_image) == m_image.size();
        failure.reason = device->errorString();
        device->close();
    } else if (device) {
        failure.reason = device->errorString();
    }
    m_failedSavePath = ok ? QString() : path;
    m_failedSaveReason = ok ? QString() : failure.reason;
    m_failedSaveMayBeIncomplete = !ok && failure.fileMayBeIncomplete;
    if (!ok) {
        emit errorWriteFile();
        return false;
    }
    dataModified = false;
    return true;
}

void OperationBin::prepareBuffer()
{
    if (!m_buffer.isOpen()) {
        m_buffer.setBuffer(&m_image);
        m_buffer.open(QIODevice::ReadWrite);
    }
}

// ---- key record ------------------------------------------------------------------------------

void OperationBin::readTMKey(QString TMkey)
{
    if (TMkey.isEmpty() || TMkey.length() % 30 != 0)
        return;
    if (TMkey.at(0) != QLatin1Char('*') || TMkey.at(1) != QLatin1Char('#') || TMkey.at(2) != QLatin1Char('T'))
        return;
    const QString shortCode = TMkey.mid(27, 2) + TMkey.mid(25, 2);
    const QString longSerial = TMkey.mid(6, 18);
    emit newSignal(shortCode);
    emit sendTMkeyLongSerialNumber(longSerial);
}

void OperationBin::readLongTMKey(QString)
{
}
