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
        QFile file(sampleDefinition(QStringLiteral("U65")));
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

    // Builds the first page of a definition of copies key pages, as the main window builds a table page.
    static Page *build(TableRig &rig, Fixture &files, const QByteArray &bytes = image(), int copies = 1)
    {
        QString pages;
        for (int i = 0; i < copies; ++i)
            pages += page();
        return TableFixtures::build(rig, files, pages, bytes);
    }

    static QAbstractButton *button(Page *page, int n) { return page->panelLine()->panelButtons[size_t(n - 1)]; }
    static QLineEdit *field(Page *page, int n) { return page->panelLine()->panelEdits[size_t(n - 1)]; }

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
