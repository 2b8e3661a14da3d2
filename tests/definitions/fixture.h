#pragma once
#include "xmldefinition.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

// Small definition files written into a temporary folder for one test.
class Fixture
{
public:
    // Writes bytes as a file of its own and returns its path.
    QString write(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("f%1.xlx").arg(m_count++));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write fixture %s", qPrintable(path));
        return path;
    }

    // A UTF-8 definition file with a byte-order mark around the given PAGE elements.
    QString definition(const QString &pages, const QString &help = QStringLiteral("/HELP/Application/EN/help.html"))
    {
        return write("\xEF\xBB\xBF" + wrap(pages, help).toUtf8());
    }

    static QString wrap(const QString &pages, const QString &help = QStringLiteral("/HELP/Application/EN/help.html"),
                        const QString &encoding = QStringLiteral("UTF-8"))
    {
        return QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>\n<SYSTEM>\n<NAME>Test unit</NAME>\n"
                              "<SYSTEM_HELP>%2</SYSTEM_HELP>\n<SYSTEM_TYPE>4820_U</SYSTEM_TYPE>\n%3\n</SYSTEM>\n")
            .arg(encoding, help, pages);
    }

    // One tree page whose first head line holds a HEAD_LINE_DEF row and the given LINE rows.
    static QString treePage(const QString &lines, const QString &title = QStringLiteral("Parameters"))
    {
        return QStringLiteral("<PAGE><PGNAME>%1</PGNAME><TREE_LIST><HEAD_LINE>"
                              "<HEAD_LINE_DEF><TEXT WIDTH=\"0\" POS=\"LEFT\" FTCOL=\"11px/black/\" TXT=\"Head\"/></HEAD_LINE_DEF>"
                              "%2</HEAD_LINE></TREE_LIST></PAGE>")
            .arg(title, lines);
    }

    static QString tablePage(const QString &sections)
    {
        return QStringLiteral("<PAGE><PGNAME>Codes</PGNAME><TABLE_LIST><TABLE>%1</TABLE></TABLE_LIST></PAGE>").arg(sections);
    }

private:
    QTemporaryDir m_dir;
    int m_count = 0;
};

inline bool hasDiagnostic(const XmlDefinition &reader, DefinitionDiagnostic::Kind kind)
{
    for (const DefinitionDiagnostic &d : reader.diagnostics())
        if (d.kind == kind)
            return true;
    return false;
}

// The slots of an element as a list, trailing empty slots left off, for compact comparisons.
template <typename Slots>
QStringList filledSlots(const Slots &in)
{
    QStringList list(in.begin(), in.end());
    while (!list.isEmpty() && list.last().isEmpty())
        list.removeLast();
    return list;
}
