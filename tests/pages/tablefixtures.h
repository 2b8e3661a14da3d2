#pragma once

#include "tablerig.h"

// Small table pages for the write-back, the editors and the cell commands:
//  - "keys3": 32 key slots (position, code, flat), codes at 0x800, flat bytes at 0x1000, special
//    flats from FLAT_NR_START 241; FlatMin 1, FlatMax 100, special flats 300 and 301 (words 50, 52).
//    Slot 3 holds 3333 without a flat, slot 4 holds 4444 at special position 250 (no special flat
//    there: "-1"), slot 5 holds 1A2B for flat 12, slot 6 holds 6666 for flat 200 (above FlatMax);
//    the other slots are empty.
//  - "keys2": 8 key slots of position and code only; slot 1 holds 1111.
//  - "locks": 8 flats from 1 (index, computed flat, lock code at 0x200, two option fields of the
//    word at 1536: bits 0-2 of 8 items, bits 3-4 of 3 items); flat 1 has code 1234 and options
//    0x0005 (items 5 and 0), flat 2 options 0x001A (items 2 and 3, which the field has not: the
//    error text).
//  - "names": 8 records of 32 bytes at 0x1400 (index, name of 14 characters, flat U16, block U8);
//    record 1 is Anna, flat 12, block 3.
struct TableFixtures {
    static QString comments()
    {
        return QStringLiteral("Copy/Paste/Import/Save//Unserviced flat!/Delete/Duplicates/Find flat/");
    }

    static QString definition(const QString &kind)
    {
        using namespace TableXml;
        if (kind == QLatin1String("keys3"))
            return header({"Pos.", "ID No.", "Flat"}, {60, 70, 70})
                   + line(tableDim(32, 0, comments()) + index() + edit("TMCODE", "0", "0xFFFF", "0x800", "%04X")
                          + edit("TMFLAT", "0", "9999", "0x1000", "%d", "241"));
        if (kind == QLatin1String("keys2"))
            return header({"Pos.", "ID No."}, {60, 70})
                   + line(tableDim(8, 0, comments()) + index() + edit("TMCODE", "0", "0xFFFF", "0x800", "%04X"));
        if (kind == QLatin1String("locks"))
            return header({"Phy", "Log", "Code", "Melody", "Volume"}, {45, 45, 65, 65, 95})
                   + line(tableDim(8, 1, QStringLiteral("Copy/Paste/Import/Save/0x5a/")) + index()
                          + QStringLiteral("<TEXT_TABLE WIDTH=\"45\" POS=\"CENTER\" FTCOL=\"BLUE\" TXT=\"\" VTYPE=\"U16\""
                                           " VALUE=\"LOGIC\" FLAT_NR_START=\"241\" HELPTXT=\"Log\"/>")
                          + edit("CIPHER", "0", "9999", "0x0200", "%04d", "241") + combo("1536:0-2", "1/2/3/4/5/6/7/8/")
                          + combo("1536:3-4", "Quiet/Normal/Loud/"));
        if (kind == QLatin1String("names"))
            return header({"No.", "Name", "Flat", "Block"}, {45, 200, 60, 60})
                   + line(tableDim(8, 0, comments()) + index() + edit("DBNAME", "0", "0", "0x1400", "14", QString(), "32/28/2/")
                          + edit("DBFLAT", "0", "9999", "0x141C", "%d") + edit("DBBNUMBER", "0", "99", "0x141E", "%d", QString(), "U8"));
        return QString();
    }

    static QString combo(const QString &address, const QString &items)
    {
        return QStringLiteral("<CBEDIT WIDTH=\"65\" POS=\"CENTER\" FTCOL=\"BLACK\" FTCOL_DIF=\"RED\" VTYPE=\"U16\" VMIN=\"0\""
                              " VMAX=\"7\" VINIT=\"0\" TABADDR=\"%1\" VALUE_LIST=\"%2\" HELPTXT=\"Option\" FORMAT=\"\"/>")
            .arg(address, items);
    }

    static void setWord(QByteArray &image, int address, int value)
    {
        image[address] = char(value >> 8);
        image[address + 1] = char(value & 0xFF);
    }

    static QByteArray image(const QString &kind)
    {
        QByteArray image(8192, '\0');
        if (kind == QLatin1String("keys3")) {
            for (int slot = 0; slot < 32; ++slot)
                image[0x1000 + slot] = char(0xFF);
            const struct { int slot, code, flat; } keys[] = {{3, 0x3333, 0}, {4, 0x4444, 250}, {5, 0x1A2B, 12}, {6, 0x6666, 200}};
            for (const auto &key : keys) {
                setWord(image, 0x800 + 2 * key.slot, key.code);
                image[0x1000 + key.slot] = char(key.flat);
            }
            setWord(image, 46, 1);
            setWord(image, 48, 100);
            setWord(image, 50, 300);
            setWord(image, 52, 301);
        } else if (kind == QLatin1String("keys2")) {
            setWord(image, 0x802, 0x1111);
        } else if (kind == QLatin1String("locks")) {
            setWord(image, 0x202, 1234);
            setWord(image, 1538, 0x0005);
            setWord(image, 1540, 0x001A);
        } else if (kind == QLatin1String("names")) {
            const QString name = QStringLiteral("     Anna     ");
            for (int i = 0; i < name.size(); ++i)
                image[0x1400 + 32 + 2 * i] = char(name.at(i).unicode());
            setWord(image, 0x1400 + 32 + 28, 12);
            image[0x1400 + 32 + 30] = 3;
        }
        return image;
    }

    // Builds the fixture's page on its image (the flat numbering as the tree pages would give it).
    static Page *build(TableRig &rig, Fixture &files, const QString &kind)
    {
        return build(rig, files, Fixture::tablePage(definition(kind)), image(kind));
    }

    // Builds the first of the given PAGE elements on an image, numbered as the fixtures are.
    static Page *build(TableRig &rig, Fixture &files, const QString &pages, const QByteArray &bytes)
    {
        rig.image.loadHex(bytes.toHex());
        return rig.build(files.definition(pages), 0, TableRig::FixtureNumbering);
    }
};

// Changed bytes as "address:hex" texts, in address order, for compact comparisons.
inline QStringList changedByteTexts(const TableRig &rig)
{
    QStringList texts;
    for (int address : rig.changedBytes())
        texts << QStringLiteral("%1:%2").arg(address).arg(rig.byte(address), 2, 16, QLatin1Char('0')).toUpper();
    return texts;
}

// "row=code/flat" of every row of a key table.
inline QStringList rowTexts(const TableRig &rig)
{
    QStringList texts;
    for (int row = 0; row < rig.page->tableSize(); ++row)
        texts << QStringLiteral("%1=%2/%3").arg(row).arg(rig.text(row, 1), rig.text(row, 2));
    return texts;
}

// The rows that changed between two lists of rowTexts.
inline QStringList changedRows(const QStringList &before, const QStringList &after)
{
    QStringList changed;
    for (int i = 0; i < after.size(); ++i)
        if (after[i] != before.value(i))
            changed << after[i];
    return changed;
}
