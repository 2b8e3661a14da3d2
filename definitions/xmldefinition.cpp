#include "xmldefinition.h"

#include "datapaths.h"
#include "lenientxml.h"
#include "slotlists.h"

#include <QDebug>
#include <QFile>
#include <QHash>
#include <QStringList>

#include <algorithm>

namespace {

using DefinitionSlots::SlotLists;
using DefinitionSlots::tableSlotLists;
using DefinitionSlots::treeSlotLists;

// The positional slot rule: an element carrying n distinct attributes fills slots 0 to k-1, k being
// the smaller of n and its list's length (for a one-name list: the number of slots), each slot with
// the attribute its list names there, "" when the element lacks it. Slots from k on stay "", even
// where the element carries the attribute the list names: stored files are read that way.
template <std::size_t N>
QString fillSlots(std::array<QString, N> &out, const QDomNode &node, const SlotLists &lists)
{
    if (!node.isElement())
        return QString();
    const QDomElement element = node.toElement();
    const QString tag = element.tagName();
    const auto it = lists.constFind(tag);
    if (it == lists.constEnd())
        return tag;
    const int carried = element.attributes().count();
    if (it->oneName) {
        const int k = std::min<int>(carried, int(N));
        const QString value = element.attribute(it->names.first());
        for (int i = 0; i < k; ++i)
            out[i] = value;
    } else {
        const int k = std::min({carried, it->names.size(), int(N)});
        for (int i = 0; i < k; ++i)
            out[i] = element.attribute(it->names.at(i));
    }
    return tag;
}

// The positional walk that the tree and table readers share: at each of the three levels below a
// page body every child node takes the next index, whatever kind of node it is. visit(i, j, k, node)
// is called for every node of the third level within the limits; the first node past a level's
// limit goes to overflow(level, node, i, j), and it and the rest of that level are left out.
template <typename Visit, typename Overflow>
void walkBody(const QDomNode &body, const std::array<int, 3> &limits, Visit visit, Overflow overflow)
{
    int i = 0;
    for (QDomNode a = body.firstChild(); !a.isNull(); a = a.nextSibling(), ++i) {
        if (i >= limits[0]) {
            overflow(0, a, i, 0);
            return;
        }
        int j = 0;
        for (QDomNode b = a.firstChild(); !b.isNull(); b = b.nextSibling(), ++j) {
            if (j >= limits[1]) {
                overflow(1, b, i, j);
                break;
            }
            int k = 0;
            for (QDomNode c = b.firstChild(); !c.isNull(); c = c.nextSibling(), ++k) {
                if (k >= limits[2]) {
                    overflow(2, c, i, j);
                    break;
                }
                visit(i, j, k, c);
            }
        }
    }
}

int childCount(const QDomNode &node)
{
    int n = 0;
    for (QDomNode c = node.firstChild(); !c.isNull(); c = c.nextSibling())
        ++n;
    return n;
}

QString firstElementText(const QDomDocument &doc, const QString &tag)
{
    return doc.elementsByTagName(tag).item(0).toElement().text();
}

template <typename T>
const T &latest(const std::vector<std::unique_ptr<T>> &results)
{
    static const T empty{};
    return results.empty() ? empty : *results.back();
}

template <typename T, typename... Args>
T &keep(std::vector<std::unique_ptr<T>> &results, Args &&...args)
{
    results.push_back(std::make_unique<T>(std::forward<Args>(args)...));
    return *results.back();
}

} // namespace

XmlDefinition::XmlDefinition(const QString &path) : m_path(path) {}

const XmlDefinition::Loaded &XmlDefinition::load()
{
    const QString onDisk = Platform::resolveDataPath(m_path);
    const Platform::FileState state = Platform::fileState(onDisk);
    if (m_loaded.valid && onDisk == m_loaded.onDisk && state == m_loaded.state)
        return m_loaded;

    DiagnosticSink sink(m_path);
    QDomDocument doc;
    if (state.kind == Platform::FileState::Folder) {
        sink.add(DefinitionDiagnostic::FileNotOpened, QStringLiteral("is a folder; read as an empty document"));
    } else if (state.kind == Platform::FileState::Other) {
        // A device, a pipe or a socket could deliver without end, or never.
        sink.add(DefinitionDiagnostic::FileNotOpened, QStringLiteral("is not a regular file; read as an empty document"));
    } else if (state.size > MaxFileSize) {
        sink.add(DefinitionDiagnostic::TooLarge, QStringLiteral("has %1 bytes, more than a data file may have (%2); read as "
                                                                "an empty document").arg(state.size).arg(MaxFileSize));
    } else {
        QFile in(onDisk);
        if (!in.open(QIODevice::ReadOnly)) {
            sink.add(DefinitionDiagnostic::FileNotOpened,
                     QStringLiteral("cannot be opened (%1); read as an empty document").arg(in.errorString()));
        } else {
            const QByteArray bytes = in.read(MaxFileSize + 1);
            if (bytes.size() > MaxFileSize)
                sink.add(DefinitionDiagnostic::TooLarge, QStringLiteral("has more bytes than a data file may have (%1); "
                                                                        "read as an empty document").arg(MaxFileSize));
            else
                doc = LenientXml::parse(bytes, sink);
        }
    }

    for (const DefinitionDiagnostic &d : sink.items())
        file(d);
    m_diagnosticsLeftOut += sink.leftOut();
    if (sink.leftOut() > 0)
        qDebug().noquote() << "XmlDefinition:" << m_path << QStringLiteral("holds %1 more findings, left out").arg(sink.leftOut());

    m_loaded = Loaded();
    m_loaded.valid = true;
    m_loaded.onDisk = onDisk;
    m_loaded.state = state;
    m_loaded.doc = doc;
    const QDomNodeList pages = doc.elementsByTagName(QStringLiteral("PAGE"));
    m_loaded.pages.reserve(pages.count());
    for (int i = 0; i < pages.count(); ++i)
        m_loaded.pages.append(pages.item(i).toElement());
    m_loaded.systemHelp = firstElementText(doc, QStringLiteral("SYSTEM_HELP"));
    m_loaded.systemType = firstElementText(doc, QStringLiteral("SYSTEM_TYPE"));
    return m_loaded;
}

// Files a finding once; beyond MaxDiagnostics findings are only counted.
void XmlDefinition::file(const DefinitionDiagnostic &d)
{
    const QString key = QString::number(d.kind) + QLatin1Char(' ') + d.toString();
    if (m_seenDiagnostics.contains(key))
        return;
    if (m_diagnostics.size() >= MaxDiagnostics) {
        ++m_diagnosticsLeftOut;
        return;
    }
    m_seenDiagnostics.insert(key);
    m_diagnostics.append(d);
    if (d.isSkippedContent())
        qDebug().noquote() << "XmlDefinition:" << d.toString();
}

bool XmlDefinition::hasSkippedContent() const
{
    return std::any_of(m_diagnostics.cbegin(), m_diagnostics.cend(),
                       [](const DefinitionDiagnostic &d) { return d.isSkippedContent(); });
}

void XmlDefinition::levelFull(const QDomNode &node, int page, const std::array<const char *, 3> &names, int level,
                              int i, int j, int limit)
{
    QString where = QStringLiteral("page %1").arg(page);
    if (level > 0)
        where += QStringLiteral(", %1 %2").arg(QLatin1String(names[0])).arg(i);
    if (level > 1)
        where += QStringLiteral(", %1 %2").arg(QLatin1String(names[1])).arg(j);
    tableFull(node, QStringLiteral("%1: more than %2 %3%4").arg(where).arg(limit).arg(QLatin1String(names[level]),
                                                                                  limit == 1 ? QString() : QStringLiteral("s")));
}

void XmlDefinition::tableFull(const QDomNode &node, const QString &what)
{
    DefinitionDiagnostic d;
    d.kind = DefinitionDiagnostic::TableFull;
    d.path = m_path;
    d.message = what + QStringLiteral("; this node and the ones after it are left out");
    d.line = node.lineNumber() > 0 ? node.lineNumber() : 0;
    d.column = node.columnNumber() > 0 ? node.columnNumber() : 0;
    file(d);
}

QDomElement XmlDefinition::pageElement(const Loaded &loaded, int page)
{
    return page >= 0 && page < loaded.pages.size() ? loaded.pages.at(page) : QDomElement();
}

int XmlDefinition::readPageKinds()
{
    const QVector<QDomElement> &pages = load().pages;
    PageKindList &kinds = keep(m_pageKinds);
    kinds.reserve(pages.size());
    for (const QDomElement &page : pages) {
        const QDomElement body = page.lastChild().toElement();
        const QString tag = body.tagName(); // "" for a node that is not an element, or no child
        if (tag == QLatin1String("TREE_LIST"))
            kinds.append(PageKindTree);
        else if (tag == QLatin1String("TABLE_LIST"))
            kinds.append(PageKindTable);
        else if (tag == QLatin1String("WEB_LIST"))
            kinds.append(PageKindWeb);
        else
            kinds.append(PageKindNone);
    }
    m_pageCount = kinds.size();
    return m_pageCount;
}

const PageKindList &XmlDefinition::pageKinds() const
{
    return latest(m_pageKinds);
}

QString XmlDefinition::pageName(int page)
{
    return pageElement(load(), page).firstChild().toElement().text();
}

int XmlDefinition::readHeadLineCounts(int page)
{
    const QDomNode body = pageElement(load(), page).lastChild();
    QVector<int> &counts = keep(m_lineCounts);
    for (QDomNode head = body.firstChild(); !head.isNull(); head = head.nextSibling()) {
        // The counts never promise a head line or a line the tree tables do not hold: child 0 is
        // the head line's own row, and the table holds it and 99 lines.
        if (counts.size() >= TreeShape::HeadLines) {
            levelFull(head, page, {"head line", "line", "element"}, 0, counts.size(), 0, TreeShape::HeadLines);
            break;
        }
        counts.append(std::clamp(childCount(head) - 1, 0, TreeShape::Lines - 1));
    }
    m_headLineCount = counts.size();
    return m_headLineCount;
}

const QVector<int> &XmlDefinition::linesPerHeadLine(int) const
{
    return latest(m_lineCounts);
}

const TreeListValues &XmlDefinition::readTreeList(int page)
{
    const Loaded &loaded = load();
    m_systemHelp = loaded.systemHelp;
    m_systemType = loaded.systemType;

    const QDomNode body = pageElement(loaded, page).lastChild();
    const int heads = std::min(childCount(body), int(TreeShape::HeadLines));
    TreeListValues &values = keep(m_treeValues, heads);
    TreeListTags &tags = keep(m_treeTags, heads);
    const SlotLists &lists = treeSlotLists();

    // As many head lines as the body has child nodes, up to the tables' room, as for lines and elements.
    static constexpr std::array<int, 3> limits{TreeShape::HeadLines, TreeShape::Lines, TreeShape::Elements};
    walkBody(body, limits,
             [&](int h, int l, int e, const QDomNode &element) { tags[h][l][e] = fillSlots(values[h][l][e], element, lists); },
             [&](int level, const QDomNode &node, int h, int l) {
                 levelFull(node, page, {"head line", "line", "element"}, level, h, l, limits[level]);
             });
    return values;
}

const TreeListTags &XmlDefinition::treeTags() const
{
    return latest(m_treeTags);
}

const TableListValues &XmlDefinition::readTableList(int page)
{
    const QDomNode body = pageElement(load(), page).lastChild();
    TableListValues &values = keep(m_tableValues);
    TableListTags &tags = keep(m_tableTags);
    const SlotLists &lists = tableSlotLists();

    const QDomNode headers = body.firstChild().firstChild();
    m_tableColumnCount = childCount(headers);
    if (m_tableColumnCount > TableShape::Positions) {
        tableFull(headers, QStringLiteral("page %1 has %2 column headers, the table holds %3")
                               .arg(page).arg(m_tableColumnCount).arg(TableShape::Positions));
        m_tableColumnCount = TableShape::Positions;
    }

    static constexpr std::array<int, 3> limits{TableShape::Tables, TableShape::Sections, TableShape::Positions};
    walkBody(body, limits,
             [&](int t, int s, int p, const QDomNode &node) { tags[t][s][p] = fillSlots(values[t][s][p], node, lists); },
             [&](int level, const QDomNode &node, int t, int s) {
                 levelFull(node, page, {"table", "section", "position"}, level, t, s, limits[level]);
             });
    return values;
}

const TableListTags &XmlDefinition::tableTags() const
{
    return latest(m_tableTags);
}

int XmlDefinition::tableColumnCount(int) const
{
    return m_tableColumnCount;
}

const GuiValues &XmlDefinition::readGui()
{
    const QDomDocument doc = load().doc;
    GuiKeys &keys = keep(m_guiKeys);
    GuiValues &values = keep(m_guiValues);
    const QString vValue = QStringLiteral("VALUE");

    // Blocks and rows are element children only: a comment between two language blocks shifts
    // no language.
    int b = 0;
    for (QDomElement block = doc.documentElement().firstChildElement(); !block.isNull();
         block = block.nextSiblingElement(), ++b) {
        if (b >= GuiShape::Blocks) {
            tableFull(block, QStringLiteral("more than %1 language blocks").arg(GuiShape::Blocks));
            break;
        }
        int r = 0;
        for (QDomElement row = block.firstChildElement(); !row.isNull(); row = row.nextSiblingElement(), ++r) {
            if (r >= GuiShape::Rows) {
                tableFull(row, QStringLiteral("language block %1 has more than %2 rows").arg(b).arg(GuiShape::Rows));
                break;
            }
            const QString key = row.tagName();
            keys[b][r] = key;
            GuiRowValues &v = values[b][r];
            if (key == QLatin1String("EEPROM_DATA")) {
                v[0] = row.attribute(vValue);
                v[1] = row.attribute(QStringLiteral("MEMSIZE"));
                v[2] = row.attribute(QStringLiteral("FILE_NAME"));
            } else if (key == QLatin1String("EEPROM_ADDRESS") || key == QLatin1String("LNG_NAME")) {
                v[0] = row.attribute(vValue);
            } else {
                v[0] = row.text();
            }
        }
    }
    m_guiBlockCount = std::min(b, GuiShape::Blocks);
    return values;
}

const GuiKeys &XmlDefinition::guiKeys() const
{
    return latest(m_guiKeys);
}
