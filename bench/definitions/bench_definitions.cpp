// Times the definition reader's share of one full page build against a bare parse of the same file.
//
//   bench_definitions [definition file] [rounds]
//
// Without a file it takes the largest definition file in application/xml. A page build makes the
// queries the pages make: the page list; per tree page the head-line counts (page and tree model),
// the title, the accessor's load and every line's attributes and tags, then the system help and
// type; per table page the title, the load, the column count, the header and side-panel sections
// and one row-template section per table row; per web page its load, title and one line.

#include "median.h"
#include "tabledefinition.h"
#include "treepagedefinitions.h"
#include "weblistdata.h"
#include "xmldefinition.h"

#include <QCoreApplication>
#include <QDir>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

QString largestDefinitionFile()
{
    const QDir xml(QStringLiteral(TKV_DATA_ROOT "/application/xml"));
    QFileInfo best;
    for (const QFileInfo &f : xml.entryInfoList({QStringLiteral("*.xlx")}, QDir::Files))
        if (f.fileName().compare(QLatin1String("GUI.xlx"), Qt::CaseInsensitive) != 0 && f.size() > best.size())
            best = f;
    return best.absoluteFilePath();
}

// Returns a count of what was read so that nothing is optimised away.
qint64 pageBuild(const QString &path)
{
    qint64 seen = 0;
    XmlDefinition reader(path);
    const int pages = reader.readPageKinds();
    const PageKindList kinds = reader.pageKinds();
    for (int page = 0; page < pages; ++page) {
        if (kinds[page] == PageKindTree) {
            reader.readHeadLineCounts(page); // the tree model
            reader.linesPerHeadLine();
            const int heads = reader.readHeadLineCounts(page);
            const QVector<int> counts = reader.linesPerHeadLine(page);
            TreePageDefinitions tree(&reader);
            tree.load(page);
            seen += reader.pageName(page).size();
            for (int h = 0; h < heads; ++h)
                for (int l = 0; l <= counts[h]; ++l)
                    seen += tree.lineAttributes(h, l)[0][0].size() + tree.lineTags(h, l)[0].size();
            seen += reader.systemHelp().size() + reader.systemType().size();
        } else if (kinds[page] == PageKindTable) {
            TableDefinition table(&reader);
            table.load(page);
            seen += reader.pageName(page).size() + reader.tableColumnCount(page);
            for (int section : {2, 0, 1})
                seen += table.sectionTags(0, section)[0].size() + table.sectionAttributes(0, section)[0][0].size();
            const int rows = table.sectionAttributes(0, 1)[0][0].toInt(); // TABLEDIM SIZE
            for (int row = 0; row < rows; ++row)
                seen += table.sectionTags(0, 1)[0].size() + table.sectionAttributes(0, 1)[0][0].size();
        } else if (kinds[page] == PageKindWeb) {
            WebListData web(&reader);
            web.load(page);
            seen += reader.pageName(page).size() + web.lineAttributes(0, 0)[0][0].size() + web.lineTags(0, 0)[0].size();
        }
    }
    return seen;
}

qint64 bareParse(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    QDomDocument doc;
    doc.setContent(file.readAll());
    return doc.documentElement().childNodes().count();
}

template <typename F>
double medianMs(int rounds, F f)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        volatile qint64 sink = f();
        (void)sink;
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString path = args.size() > 1 ? args.at(1) : largestDefinitionFile();
    const int rounds = args.size() > 2 ? std::max(1, args.at(2).toInt()) : 21;
    QTextStream out(stdout);
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        out << "no definition file to measure\n";
        return 1;
    }

    XmlDefinition probe(path);
    const int pages = probe.readPageKinds();
    pageBuild(path); // warm the file cache and the slot lists
    const double build = medianMs(rounds, [&] { return pageBuild(path); });
    const double parse = medianMs(rounds, [&] { return bareParse(path); });

    out << "file:              " << path << " (" << QFileInfo(path).size() << " bytes, " << pages << " pages)\n";
    out << "page build queries: " << QString::number(build, 'f', 2) << " ms (median of " << rounds << ")\n";
    out << "bare QDomDocument:  " << QString::number(parse, 'f', 2) << " ms (median of " << rounds << ")\n";
    out << "ratio:              " << QString::number(build / parse, 'f', 1) << "\n";
    return 0;
}
