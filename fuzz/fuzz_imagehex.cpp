// The memory image on any text: the device's hex image text up to the first "|", then address
// texts one a line, each used with every read and write of the image (bytes, words, bits, bit
// fields and text fields).

#include "operationbin.h"

#include <QByteArray>
#include <QStringList>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    const int bar = input.indexOf('|');
    OperationBin bin;
    bin.loadHex(bar < 0 ? input : input.left(bar));
    if (bar < 0)
        return 0;
    const QStringList addresses = QString::fromLatin1(input.mid(bar + 1)).split(QLatin1Char('\n'));
    // Values for the writes, mixed from what was read (unsigned: the mixing may wrap).
    unsigned mix = 0;
    for (const QString &address : addresses) {
        mix = mix * 31u + unsigned(bin.readTypedValue(QStringLiteral("U16"), address) + bin.readTypedValue(QStringLiteral("U8"), address));
        mix += unsigned(bin.readWord(address) + bin.readByte(address) + bin.readBit(QString(), address) + bin.readBits(address));
        mix += unsigned(bin.readHexWord(address).size() + bin.readIdWord(address).size() + bin.readByteText(address).size());
        mix += unsigned(bin.bitFieldWidth(address)) + unsigned(bin.firstBit()) + unsigned(OperationBin::specAddress(address))
            + unsigned(OperationBin::specBit(address));
        const int value = int(mix);
        bin.writeInt16(address, value);
        bin.writeInt8(address, value);
        bin.writeHexWord(address, address);
        bin.writeIdWord(address, address);
        bin.writeBit(address, QString::number(mix & 1u));
        bin.writeBits(address, value);
        bin.writeBits(address, int(0u - mix));
        bin.writeText(address, address, address);
        mix += unsigned(bin.readText(address, address).size());
    }
    return 0;
}
