// The definition reader on any bytes: every query of a page build, on GUI.xlx's table and on each
// page as a tree, table and web page, with the page accessors.

#include "tabledefinition.h"
#include "treepagedefinitions.h"
#include "weblistdata.h"
#include "xmldefinition.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

namespace {

QTemporaryDir *folder = nullptr;
QString input;

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler(quiet);
    folder = new QTemporaryDir;
    input = folder->filePath(QStringLiteral("input.xlx"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    {
        QFile file(input);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    XmlDefinition reader(input);
    reader.readGui();
    reader.guiKeys();
    const int pages = reader.readPageKinds();
    for (int page = -1; page <= qMin(pages, 8); ++page) {
        reader.pageName(page);
        const int heads = reader.readHeadLineCounts(page);
        const QVector<int> counts = reader.linesPerHeadLine(page);
        TreePageDefinitions tree(&reader);
        tree.load(page);
        for (int h = 0; h < heads; ++h)
            for (int l = 0; l <= counts.value(h) + 1; ++l) {
                tree.lineAttributes(h, l);
                tree.lineTags(h, l);
            }
        WebListData web(&reader);
        web.load(page);
        web.lineAttributes(0, 0);
        TableDefinition table(&reader);
        table.load(page);
        reader.tableColumnCount(page);
        for (int section = 0; section < 3; ++section) {
            table.sectionAttributes(0, section);
            table.sectionTags(0, section);
        }
        reader.systemHelp();
        reader.systemType();
    }
    return 0;
}
