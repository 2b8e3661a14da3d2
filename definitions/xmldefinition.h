#pragma once
#include "datapaths.h"
#include "definitiondiagnostic.h"
#include "definitiontables.h"

#include <QDomDocument>
#include <QSet>
#include <QString>

#include <array>
#include <memory>
#include <vector>

// The reader of one XML data file: a model definition file or the language and model table
// "GUI.xlx". It answers queries with counts, texts and fixed-shape tables of raw attribute texts and
// interprets no value.
//
// Every query sees the file as it is on disk: it looks at the file's path, size and modification
// time, and reads and parses the file anew only when one of them changed since the document it
// keeps was read. Only a regular file of at most MaxFileSize bytes is read; anything else, and a
// file nested deeper than LenientXml::MaxDepth, reads as an empty document.
//
// Results: every table and array a query builds belongs to the reader and stays valid and unchanged
// until the reader is destroyed; a later query builds its results beside the earlier ones. The
// getters hand out the results of the latest query of their kind.
//
// Nothing is reported to the caller: a file that cannot be read gives the empty results. What the
// reader mended or left out is kept in diagnostics() and printed once as a debug trace; a hostile
// file's findings are kept up to MaxDiagnostics and the rest only counted.
class XmlDefinition
{
public:
    // Far above any data file (the shipped ones are at most about 125 KB).
    static constexpr qint64 MaxFileSize = 2 * 1024 * 1024;
    static constexpr int MaxDiagnostics = DiagnosticSink::MaxItems;

    explicit XmlDefinition(const QString &path);
    XmlDefinition(const XmlDefinition &) = delete;
    XmlDefinition &operator=(const XmlDefinition &) = delete;

    QString path() const { return m_path; }

    // Page list
    int readPageKinds();
    const PageKindList &pageKinds() const;
    QString pageName(int page);
    int readHeadLineCounts(int page);
    const QVector<int> &linesPerHeadLine(int page = -1) const; // the argument plays no part

    // Tree and web pages
    const TreeListValues &readTreeList(int page);
    const TreeListTags &treeTags() const;
    QString systemHelp() const { return m_systemHelp; }
    QString systemType() const { return m_systemType; }

    // Table pages
    const TableListValues &readTableList(int page);
    const TableListTags &tableTags() const;
    int tableColumnCount(int page = -1) const; // the argument plays no part

    // Language and model table
    const GuiValues &readGui();
    const GuiKeys &guiKeys() const;
    int guiBlockCount() const { return m_guiBlockCount; }

    // Everything the reader mended or left out since it was made, each finding once.
    const DefinitionDiagnostics &diagnostics() const { return m_diagnostics; }
    // Findings beyond the first MaxDiagnostics, counted only.
    int diagnosticsLeftOut() const { return m_diagnosticsLeftOut; }
    bool hasSkippedContent() const;

private:
    // The parsed document and what every query looks up in it, with the file's state when it was read.
    struct Loaded {
        bool valid = false;
        QString onDisk;
        Platform::FileState state;
        QDomDocument doc;
        QVector<QDomElement> pages;   // the PAGE elements in document order
        QString systemHelp;
        QString systemType;
    };

    const Loaded &load();
    static QDomElement pageElement(const Loaded &loaded, int page);
    void file(const DefinitionDiagnostic &d);
    void tableFull(const QDomNode &node, const QString &what);
    void levelFull(const QDomNode &node, int page, const std::array<const char *, 3> &names, int level, int i, int j,
                   int limit);

    QString m_path;
    std::vector<std::unique_ptr<TreeListValues>> m_treeValues;
    std::vector<std::unique_ptr<TreeListTags>> m_treeTags;
    std::vector<std::unique_ptr<TableListValues>> m_tableValues;
    std::vector<std::unique_ptr<TableListTags>> m_tableTags;
    std::vector<std::unique_ptr<GuiKeys>> m_guiKeys;
    std::vector<std::unique_ptr<GuiValues>> m_guiValues;
    QString m_systemHelp;
    QString m_systemType;
    int m_guiBlockCount = 0;
    int m_headLineCount = 0;
    int m_tableColumnCount = 0;
    std::vector<std::unique_ptr<PageKindList>> m_pageKinds;
    std::vector<std::unique_ptr<QVector<int>>> m_lineCounts;
    int m_pageCount = 0;

    Loaded m_loaded;
    DefinitionDiagnostics m_diagnostics;
    QSet<QString> m_seenDiagnostics;
    int m_diagnosticsLeftOut = 0;
};
