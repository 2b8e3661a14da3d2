#pragma once

#include "mybutton.h"
#include "pagesound.h"
#include "pagewidget.h"
#include "tablefixtures.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>

// The "keys3" table (32 slots; 3333 at 3 without a flat, 4444 at 4 on a special position, 1A2B at 5
// for flat 12, 6666 at 6 for flat 200) with the side panel of the shipped key tables: the fields,
// the mode buttons, the found list and the sounds.
struct KeyPanelFixture {
    // The WIDGETS section of the shipped U65 key table.
    static QString panel()
    {
        QFile file(TableRig::shipped(QStringLiteral("RK4820_U65_EN.xlx")));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("no shipped definition");
        const QString text = QString::fromUtf8(file.readAll());
        const int from = text.indexOf(QLatin1String("<WIDGETS>"));
        const int to = text.indexOf(QLatin1String("</WIDGETS>"), from) + int(strlen("</WIDGETS>"));
        return text.mid(from, to - from);
    }

    static QString page() { return Fixture::tablePage(TableFixtures::definition(QStringLiteral("keys3")) + panel()); }

    // An image with the key slots given as {slot, code, flat byte} over the keys3 image.
    struct Slot {
        int slot, code, flat;
    };
    static QByteArray image(const QList<Slot> &keys = {})
    {
        QByteArray bytes = TableFixtures::image(QStringLiteral("keys3"));
        for (const Slot &s : keys) {
            TableFixtures::setWord(bytes, 0x800 + 2 * s.slot, s.code);
            bytes[0x1000 + s.slot] = char(s.flat);
        }
        return bytes;
    }

    // Builds page pageIndex of a definition of copies key pages, as the main window builds a table page.
    static Page *build(TableRig &rig, Fixture &files, const QByteArray &bytes = image(), int copies = 1)
    {
        QString pages;
        for (int i = 0; i < copies; ++i)
            pages += page();
        rig.image.loadHex(bytes.toHex());
        rig.reader = std::make_unique<XmlDefinition>(files.definition(pages));
        rig.reader->readPageKinds();
        rig.page.reset(buildPage(rig, 0));
        return rig.page.get();
    }

    static Page *buildPage(TableRig &rig, int pageIndex)
    {
        Page *page = rig.main.addPage(rig.reader.get(), &rig.image);
        page->setFlatParameters(QString(), QStringLiteral("44"), QStringLiteral("42"), QStringLiteral("46"),
                                QStringLiteral("48"), {QStringLiteral("50"), QStringLiteral("52")});
        page->setProgressMinimumDuration(1000000);
        page->disableCopy();
        rig.before = rig.image.image();
        dataModified = false;
        page->createTablePage(pageIndex);
        return page;
    }

    static QAbstractButton *button(Page *page, int n) { return page->panelLine()->panelButtons[size_t(n - 1)]; }
    static QLineEdit *field(Page *page, int n) { return page->panelLine()->panelEdits[size_t(n - 1)]; }

    // "row=code/flat" of every row whose code or flat differs from the texts before.
    static QStringList rowTexts(const TableRig &rig)
    {
        QStringList texts;
        for (int row = 0; row < rig.page->tableSize(); ++row)
            texts << QStringLiteral("%1=%2/%3").arg(row).arg(rig.text(row, 1), rig.text(row, 2));
        return texts;
    }

    // The rows that have a selected cell.
    static QList<int> selectedRows(const TableRig &rig)
    {
        QList<int> rows;
        for (const QModelIndex &index : rig.grid()->selectionModel()->selectedIndexes())
            if (!rows.contains(index.row()))
                rows << index.row();
        std::sort(rows.begin(), rows.end());
        return rows;
    }
};

// Records the file names of the sounds the pages play, for as long as it lives.
class SoundRecorder
{
public:
    QStringList played;

    SoundRecorder()
    {
        m_previous = PageSound::setPlayer([this](const QString &path) { played << QFileInfo(path).fileName(); });
    }
    ~SoundRecorder() { PageSound::setPlayer(m_previous); }

private:
    PageSound::Player m_previous;
};

// The rows that changed between two lists of rowTexts.
inline QStringList changedRows(const QStringList &before, const QStringList &after)
{
    QStringList changed;
    for (int i = 0; i < after.size(); ++i)
        if (after[i] != before.value(i))
            changed << after[i];
    return changed;
}
