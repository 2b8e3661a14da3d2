#pragma once

#include "../definitions/fixture.h"
#include "globals.h"
#include "mytablewidget.h"
#include "mytablewidgetitem.h"
#include "operationbin.h"
#include "page.h"
#include "pagefixture.h"
#include "tableline.h"
#include "xmldefinition.h"

#include <QFile>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QTimer>

#include <memory>

// Elements of table-page definitions for fixtures. The reader fills as many of an element's slots
// as the element carries attributes, so every element here carries its whole list.
namespace TableXml {

inline QString header(const QStringList &texts, const QList<int> &widths)
{
    QString xml = QStringLiteral("<DEFINITION>");
    for (int i = 0; i < texts.size(); ++i)
        xml += QStringLiteral("<TEXTH WIDTH=\"%1\" POS=\"CENTER\" FTCOL=\"BLUE\" TXT=\"%2\"/>").arg(widths.value(i)).arg(texts[i]);
    return xml + QStringLiteral("</DEFINITION>");
}

inline QString tableDim(int size, int first, const QString &comments)
{
    return QStringLiteral("<TABLEDIM SIZE=\"%1\" INDEX_MIN=\"%2\" INDEX_MAX=\"%3\" COMMENTS=\"%4\"/>")
        .arg(size).arg(first).arg(first + size - 1).arg(comments);
}

inline QString index()
{
    return QStringLiteral("<TEXT_INDEX WIDTH=\"60\" POS=\"CENTER\" FTCOL=\"BLACK\" TXT=\"\" VTYPE=\"U16\" VALUE=\"INDEX\""
                          " HELPTXT=\"Position\"/>");
}

inline QString edit(const QString &uid, const QString &vmin, const QString &vmax, const QString &address,
                    const QString &format, const QString &flatStart = QString(), const QString &valueType = QStringLiteral("U16"))
{
    return QStringLiteral("<EDIT UID=\"%1\" WIDTH=\"70\" POS=\"CENTER\" FTCOL=\"BLACK\" FTCOL_DIF=\"RED\" VTYPE=\"%2\""
                          " VMIN=\"%3\" VMAX=\"%4\" VINIT=\"0\" TABADDR=\"%5\" HELPTXT=\"%1 help\" FLAT_NR_START=\"%6\""
                          " FORMAT=\"%7\"/>")
        .arg(uid, valueType, vmin, vmax, address, flatStart, format);
}

inline QString sections(const QString &limitsAndColours)
{
    const QStringList v = limitsAndColours.split(QLatin1Char(' '));
    return QStringLiteral("<TABSECTIONS SECTION_1=\"%1\" COLOR_1=\"%2\" SECTION_2=\"%3\" COLOR_2=\"%4\" SECTION_3=\"%5\""
                          " COLOR_3=\"%6\" TEXT_1=\"first\" TEXT_2=\"second\" TEXT_3=\"third\"/>")
        .arg(v.value(0), v.value(1), v.value(2), v.value(3), v.value(4), v.value(5));
}

inline QString line(const QString &elements)
{
    return QStringLiteral("<LINE>") + elements + QStringLiteral("</LINE>");
}

}

// One table page built as the main window builds it (flat-numbering addresses, first tree page
// and copy flag first), on a definition file and an image.
struct TableRig {
    MainWindowStandIn main;
    std::unique_ptr<XmlDefinition> reader;
    OperationBin image;
    QByteArray before; // the image as it was before the build
    std::unique_ptr<Page> page;

    // The flat numbering of the U65 sample's tree pages.
    static QStringList u65Specials()
    {
        QStringList list;
        for (int address = 50; address <= 76; address += 2)
            list << QString::number(address);
        return list;
    }

    // The flat-numbering addresses the tree pages hand a table page: none, those of the U65
    // sample, or those of the small fixtures (no block number, special flats at 50 and 52).
    enum Numbering { NoNumbering, U65Numbering, FixtureNumbering };

    // An image of 8192 bytes of one value, or a file.
    void fillImage(char byte) { image.loadHex(QByteArray(8192, byte).toHex()); }
    void loadImage(const QString &path) { image.loadFile(path); }

    // Page pageIndex of a definition file, built on the image as the main window builds a table page.
    Page *build(const QString &definitionPath, int pageIndex, Numbering numbering = NoNumbering)
    {
        reader = std::make_unique<XmlDefinition>(definitionPath);
        reader->readPageKinds();
        page.reset(createPage(pageIndex, numbering));
        return page.get();
    }

    // One more page of the definition read, built the same way; the caller owns it.
    Page *createPage(int pageIndex, Numbering numbering)
    {
        Page *made = main.addPage(reader.get(), &image);
        if (numbering == U65Numbering)
            made->setFlatParameters(QStringLiteral("8"), QStringLiteral("44"), QStringLiteral("42"), QStringLiteral("46"),
                                    QStringLiteral("48"), u65Specials());
        else if (numbering == FixtureNumbering)
            made->setFlatParameters(QString(), QStringLiteral("44"), QStringLiteral("42"), QStringLiteral("46"),
                                    QStringLiteral("48"), {QStringLiteral("50"), QStringLiteral("52")});
        made->setProgressMinimumDuration(1000000); // never shown unless a test asks for it
        made->disableCopy();
        before = image.image();
        dataModified = false;
        made->createTablePage(pageIndex);
        return made;
    }

    // A table page of a shipped model (U65 with its tree pages' flat numbering) on its sample image.
    Page *buildSample(const QString &model, int pageIndex)
    {
        loadImage(sampleImage(model));
        return build(sampleDefinition(model), pageIndex, model == QLatin1String("U65") ? U65Numbering : NoNumbering);
    }

    MyTableWidget *grid() const { return page->tableWidget(); }
    MyTableWidgetItem *cell(int row, int column) const
    {
        TableLine *line = page->lineOfRow(row);
        return line ? line->cells().value(column) : nullptr;
    }
    QString text(int row, int column) const
    {
        const MyTableWidgetItem *c = cell(row, column);
        return c ? c->text() : QStringLiteral("<none>");
    }
    // The user's edit of a cell: the text as the editor commits it.
    void edit(int row, int column, const QString &text)
    {
        grid()->model()->setData(grid()->model()->index(row, column), text, Qt::EditRole);
    }

    int byte(int address) const { return quint8(image.image().at(address)); }
    int word(int address) const { return byte(address) << 8 | byte(address + 1); }
    // The addresses whose bytes differ from those before the build.
    QList<int> changedBytes() const
    {
        QList<int> changed;
        const QByteArray now = image.image();
        for (int i = 0; i < qMax(now.size(), before.size()); ++i)
            if (i >= now.size() || i >= before.size() || now.at(i) != before.at(i))
                changed << i;
        return changed;
    }

    // Selects cells: "r:c" one cell, "r1:c1-r2:c2" a rectangle, areas separated by blanks and added
    // in that order, as with Ctrl+click.
    void select(const QString &areas)
    {
        grid()->clearSelection();
        QItemSelectionModel *model = grid()->selectionModel();
        for (const QString &area : areas.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QStringList corners = area.split(QLatin1Char('-'));
            const QStringList a = corners.first().split(QLatin1Char(':'));
            const QStringList b = corners.last().split(QLatin1Char(':'));
            const QModelIndex from = grid()->model()->index(a[0].toInt(), a[1].toInt());
            const QModelIndex to = grid()->model()->index(b[0].toInt(), b[1].toInt());
            model->select(QItemSelection(from, to), QItemSelectionModel::Select);
        }
    }
};

// Answers the next message box that becomes the active modal widget with Ok and records its text.
class MessageBoxAnswerer : public QObject
{
public:
    QStringList texts;

    explicit MessageBoxAnswerer(int interval = 20)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->accept();
            }
        });
        m_timer.start(interval);
    }

private:
    QTimer m_timer;
};
