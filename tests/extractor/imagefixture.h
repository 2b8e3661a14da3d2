#ifndef TESTS_EXTRACTOR_IMAGEFIXTURE_H
#define TESTS_EXTRACTOR_IMAGEFIXTURE_H

#include <QByteArray>
#include <QVector>

// Builds RK-4810 images for the tests: every byte that no listed slot sets is filler that differs
// from its neighbours, so that a slot read from the wrong plane or offset shows wrong texts.
struct TestSlot {
    int slot;
    quint8 flat;
    QByteArray serial; // b0..b5
};

inline QByteArray rk4810Image(const QVector<TestSlot> &keySlots, bool otherSlotsEmpty = false)
{
    QByteArray image(8192, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char((i * 7 + 3) & 0xFF);
    if (otherSlotsEmpty)
        image.replace(0x1C00, 0x0400, QByteArray(0x0400, char(0xFF)));
    for (const TestSlot &s : keySlots) {
        image[0x1C00 + s.slot] = char(s.flat);
        for (int i = 0; i < 6; ++i)
            image[0x0400 * (6 - i) + s.slot] = s.serial.at(i);
    }
    return image;
}

#endif
