#include "lenientxml.h"

#include <QRegularExpression>
#include <QSet>
#include <QTextCodec>

#include <algorithm>
#include <cstring>
#include <vector>

namespace LenientXml {

namespace {

bool isUtf16Or32(const QTextCodec *codec)
{
    const int mib = codec->mibEnum();
    return (mib >= 1013 && mib <= 1015) || (mib >= 1017 && mib <= 1019);
}

QTextCodec *codecFromDeclaration(const QByteArray &bytes, DiagnosticSink &sink)
{
    const QByteArray head = bytes.left(256);
    if (!head.startsWith("<?xml"))
        return nullptr;
    const int end = head.indexOf("?>");
    static const QRegularExpression encoding(QStringLiteral("encoding\\s*=\\s*[\"']([^\"']*)[\"']"));
    const QRegularExpressionMatch m = encoding.match(QString::fromLatin1(end < 0 ? head : head.left(end)));
    if (!m.hasMatch())
        return nullptr;
    QTextCodec *codec = QTextCodec::codecForName(m.captured(1).toLatin1());
    if (!codec) {
        sink.add(DefinitionDiagnostic::BadEncoding,
                 QStringLiteral("unknown encoding \"%1\", read as UTF-8").arg(m.captured(1)), 1, 1);
        return nullptr;
    }
    // A two- or four-byte encoding would have shown itself in the first bytes; the declaration
    // of such a file without its mark does not match its bytes, which read as single bytes.
    return isUtf16Or32(codec) ? nullptr : codec;
}

const QSet<QString> &predefinedEntities()
{
    static const QSet<QString> names{QStringLiteral("amp"), QStringLiteral("lt"), QStringLiteral("gt"),
                                     QStringLiteral("quot"), QStringLiteral("apos")};
    return names;
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char(':') || c == QLatin1Char('-')
        || c == QLatin1Char('.');
}

class Repairer
{
public:
    Repairer(const QString &in, DiagnosticSink &sink) : m_in(in), m_text(in.constData()), m_n(in.size()), m_sink(sink) {}

    // The text with the accepted faults mended. Every step moves on to at least the next "<" it has
    // not looked at yet, so the pass is linear in the text's length. When the elements nest deeper
    // than MaxDepth it stops there: tooDeep() is then true and the text is of no use.
    QString run()
    {
        int i = 0;
        while (i < m_n && m_tooDeepAt < 0) {
            const QChar c = m_text[i];
            if (c == QLatin1Char('<')) {
                i = markup(i);
            } else if (c == QLatin1Char('&')) {
                const int end = undeclaredReference(i);
                if (end > i) {
                    flushTo(i);
                    m_copyFrom = end;
                    i = end;
                } else {
                    ++i;
                }
            } else {
                ++i;
            }
        }
        if (m_tooDeepAt >= 0) {
            note(DefinitionDiagnostic::TooLarge, m_tooDeepAt, [] {
                return QStringLiteral("elements nested more than %1 deep; read as an empty document").arg(MaxDepth);
            });
            return QString();
        }
        if (m_copyFrom == 0)
            return m_in; // nothing mended: no copy
        flushTo(m_n);
        return m_out;
    }

    bool tooDeep() const { return m_tooDeepAt >= 0; }

private:
    bool at(int i, const char *s) const { return m_in.midRef(i).startsWith(QLatin1String(s)); }

    int skipPast(const char *s, int from) const
    {
        const int idx = m_in.indexOf(QLatin1String(s), from);
        return idx < 0 ? m_n : idx + int(qstrlen(s));
    }

    void flushTo(int i)
    {
        if (m_out.isEmpty())
            m_out.reserve(m_n + 16);
        m_out.append(m_in.midRef(m_copyFrom, i - m_copyFrom));
        m_copyFrom = i;
    }

    // Files a finding at an offset of the text; its message is only made while the sink has room.
    template <typename Message>
    void note(DefinitionDiagnostic::Kind kind, int offset, Message message)
    {
        if (m_sink.isFull()) {
            m_sink.addLeftOut();
            return;
        }
        // Lines are counted from the previous finding, which is near: the findings come in the
        // order of the scan.
        const int from = std::min(offset, m_lineAt), to = std::max(offset, m_lineAt);
        int breaks = 0;
        for (int k = from; k < to; ++k)
            breaks += m_text[k] == QLatin1Char('\n');
        m_line += offset >= m_lineAt ? breaks : -breaks;
        m_lineAt = offset;
        int lineStart = offset;
        while (lineStart > 0 && m_text[lineStart - 1] != QLatin1Char('\n'))
            --lineStart;
        m_sink.add(kind, message(), m_line, offset - lineStart + 1);
    }

    // At '&': the end of a reference to an undeclared entity (to be dropped, and noted when asked),
    // or i to keep it.
    int undeclaredReference(int i, bool noteIt = true)
    {
        int j = i + 1;
        if (j < m_n && m_text[j] == QLatin1Char('#'))
            return i;
        while (j < m_n && isNameChar(m_text[j]))
            ++j;
        if (j == i + 1 || j >= m_n || m_text[j] != QLatin1Char(';'))
            return i; // not a reference: the parser judges it
        const QStringRef name = m_in.midRef(i + 1, j - i - 1);
        if (predefinedEntities().contains(name.toString()) || m_declared.contains(name.toString()))
            return i;
        if (noteIt) {
            note(DefinitionDiagnostic::UndeclaredEntity, i, [&name] {
                return QStringLiteral("reference to undeclared entity \"&%1;\" dropped").arg(name);
            });
        }
        return j + 1;
    }

    int markup(int i)
    {
        const QChar next = i + 1 < m_n ? m_text[i + 1] : QChar();
        if (next != QLatin1Char('!') && next != QLatin1Char('?') && next != QLatin1Char('/'))
            return startTag(i);
        if (at(i, "<!--"))
            return skipPast("-->", i + 4);
        if (at(i, "<![CDATA["))
            return skipPast("]]>", i + 9);
        if (at(i, "<?"))
            return skipPast("?>", i + 2);
        if (at(i, "<!DOCTYPE"))
            return doctype(i);
        if (at(i, "</")) {
            if (m_depth > 0)
                --m_depth;
            return skipPast(">", i + 2);
        }
        if (at(i, "<!"))
            return skipPast(">", i + 2);
        return startTag(i);
    }

    // The document type declaration, with the names of the entities its internal subset declares.
    // Quotes count only in the declarations: comments and processing instructions of the subset
    // are passed over whole, whatever they hold.
    int doctype(int i)
    {
        int depth = 0;
        QChar quote;
        int j = i + 9;
        for (; j < m_n; ++j) {
            const QChar c = m_text[j];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (depth > 0 && at(j, "<!--")) {
                j = skipPast("-->", j + 4) - 1;
            } else if (depth > 0 && at(j, "<?")) {
                j = skipPast("?>", j + 2) - 1;
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                quote = c;
            } else if (c == QLatin1Char('[')) {
                ++depth;
            } else if (c == QLatin1Char(']')) {
                --depth;
            } else if (c == QLatin1Char('>') && depth <= 0) {
                break;
            }
        }
        static const QRegularExpression entity(QStringLiteral("<!ENTITY\\s+(?:%\\s+)?([^\\s]+)"));
        auto it = entity.globalMatch(m_in.midRef(i, j - i).toString());
        while (it.hasNext())
            m_declared.insert(it.next().captured(1));
        return std::min(j + 1, m_n);
    }

    // One attribute of the start tag being scanned, as offsets into the text.
    struct Attribute {
        int blankStart, nameStart, nameEnd, valueStart, end;
        bool blankMissing;
        bool dropped;
        QStringRef name(const QString &in) const { return in.midRef(nameStart, nameEnd - nameStart); }
    };

    int skipSpace(int k) const
    {
        while (k < m_n && m_text[k].isSpace())
            ++k;
        return k;
    }

    // Where a name that starts at k ends: at a blank, at one of the stop characters ('>', '/' and,
    // for an attribute, '='), or at the end. -1 when a "<" comes first: no tag can go on past it.
    int nameEnd(int k, bool attribute) const
    {
        for (; k < m_n; ++k) {
            const ushort c = m_text[k].unicode();
            if (c == '<')
                return -1;
            if (c == '>' || c == '/' || (attribute && c == '=') || m_text[k].isSpace())
                return k;
        }
        return k;
    }

    // Orders attribute names: by length, then by their UTF-16 units (any strict order will do).
    bool nameBefore(const Attribute &x, const Attribute &y) const
    {
        const int lx = x.nameEnd - x.nameStart, ly = y.nameEnd - y.nameStart;
        if (lx != ly)
            return lx < ly;
        return std::memcmp(m_text + x.nameStart, m_text + y.nameStart, std::size_t(lx) * sizeof(QChar)) < 0;
    }

    bool sameName(const Attribute &x, const Attribute &y) const { return !nameBefore(x, y) && !nameBefore(y, x); }

    // Marks every attribute that gives way to a later one of the same name: the attributes are
    // ordered by name (and position), so each repetition is found next to its twin.
    bool markRepeated()
    {
        if (m_attrs.size() < 2)
            return false;
        m_order.resize(m_attrs.size());
        for (std::size_t a = 0; a < m_attrs.size(); ++a)
            m_order[a] = int(a);
        std::sort(m_order.begin(), m_order.end(), [this](int x, int y) {
            if (nameBefore(m_attrs[x], m_attrs[y]))
                return true;
            return !nameBefore(m_attrs[y], m_attrs[x]) && x < y;
        });
        bool any = false;
        for (std::size_t k = 0; k + 1 < m_order.size(); ++k) {
            if (sameName(m_attrs[m_order[k]], m_attrs[m_order[k + 1]])) {
                m_attrs[m_order[k]].dropped = true;
                any = true;
            }
        }
        return any;
    }

    // Appends the value of an attribute to the output, its undeclared references dropped.
    void appendMendedValue(const Attribute &attr)
    {
        int from = attr.valueStart;
        for (int v = attr.valueStart; v < attr.end - 1; ++v) {
            if (m_text[v] != QLatin1Char('&'))
                continue;
            const int refEnd = undeclaredReference(v);
            if (refEnd > v) {
                m_out.append(m_in.midRef(from, v - from));
                from = refEnd;
                v = refEnd - 1;
            }
        }
        m_out.append(m_in.midRef(from, attr.end - 1 - from));
    }

    // At '<' of a start tag. Returns where scanning goes on; the tag is rewritten only when it
    // holds one of the accepted faults. A tag that does not even scan is left to the parser, and
    // its scan never runs past the next "<" (a value holds none in a well-formed file).
    int startTag(int i)
    {
        int k = nameEnd(i + 1, false);
        if (k <= i + 1)
            return i + 1;
        const int nameEndAt = k;
        m_attrs.clear();
        int tailStart = k;
        int end = -1;
        bool empty = false;
        while (end < 0) {
            tailStart = k;
            k = skipSpace(k);
            if (k >= m_n)
                return i + 1;
            if (m_text[k] == QLatin1Char('>')) {
                end = k + 1;
                break;
            }
            if (m_text[k] == QLatin1Char('/') && k + 1 < m_n && m_text[k + 1] == QLatin1Char('>')) {
                end = k + 2;
                empty = true;
                break;
            }
            Attribute a;
            a.blankStart = tailStart;
            a.blankMissing = (k == tailStart);
            a.dropped = false;
            a.nameStart = k;
            k = nameEnd(k, true);
            if (k <= a.nameStart)
                return i + 1;
            a.nameEnd = k;
            k = skipSpace(k);
            if (k >= m_n || m_text[k] != QLatin1Char('='))
                return i + 1;
            k = skipSpace(k + 1);
            if (k >= m_n || (m_text[k] != QLatin1Char('"') && m_text[k] != QLatin1Char('\'')))
                return i + 1;
            const QChar quote = m_text[k];
            a.valueStart = k + 1;
            int close = a.valueStart;
            while (close < m_n && m_text[close] != quote && m_text[close] != QLatin1Char('<'))
                ++close;
            if (close >= m_n || m_text[close] != quote)
                return i + 1;
            a.end = close + 1;
            k = a.end;
            m_attrs.push_back(a);
        }

        if (!empty && ++m_depth > MaxDepth) {
            m_tooDeepAt = i;
            return end;
        }

        bool changed = markRepeated();
        for (const Attribute &attr : m_attrs) {
            if (attr.blankMissing) {
                note(DefinitionDiagnostic::MissingBlank, attr.nameStart, [this, &attr] {
                    return QStringLiteral("no blank before attribute %1; read as if there were one").arg(attr.name(m_in));
                });
                changed = true;
            }
            if (attr.dropped) {
                note(DefinitionDiagnostic::RepeatedAttribute, attr.nameStart, [this, &attr] {
                    return QStringLiteral("attribute %1 repeated in one start tag; the value \"%2\" gives way to the last one")
                        .arg(attr.name(m_in), m_in.midRef(attr.valueStart, attr.end - 1 - attr.valueStart));
                });
            }
            if (!changed) {
                for (int v = attr.valueStart; v < attr.end - 1 && !changed; ++v)
                    changed = m_text[v] == QLatin1Char('&') && undeclaredReference(v, false) > v;
            }
        }
        if (!changed)
            return end;

        flushTo(i);
        m_out.append(m_in.midRef(i, nameEndAt - i));
        for (const Attribute &attr : m_attrs) {
            if (attr.dropped) {
                // Keep its line breaks so that the lines after it keep their numbers.
                m_out.append(QString(m_in.midRef(attr.blankStart, attr.end - attr.blankStart).count(QLatin1Char('\n')),
                                     QLatin1Char('\n')));
                continue;
            }
            if (attr.blankMissing)
                m_out.append(QLatin1Char(' '));
            else
                m_out.append(m_in.midRef(attr.blankStart, attr.nameStart - attr.blankStart));
            m_out.append(m_in.midRef(attr.nameStart, attr.valueStart - attr.nameStart));
            appendMendedValue(attr);
            m_out.append(m_text[attr.end - 1]);
        }
        m_out.append(m_in.midRef(tailStart, end - tailStart));
        m_copyFrom = end;
        return end;
    }

    const QString &m_in;
    const QChar *const m_text;
    const int m_n;
    DiagnosticSink &m_sink;
    QString m_out;
    int m_copyFrom = 0;
    int m_lineAt = 0;   // the offset up to which lines were counted for the last finding
    int m_line = 1;     // the line of that offset
    QSet<QString> m_declared;
    int m_depth = 0;
    int m_tooDeepAt = -1;
    std::vector<Attribute> m_attrs;   // of the start tag being scanned; kept for its room
    std::vector<int> m_order;
};

} // namespace

QString decode(const QByteArray &bytes, DiagnosticSink &sink)
{
    QTextCodec *codec = nullptr;
    int skip = 0;
    const auto startsWith = [&bytes](std::initializer_list<unsigned char> mark) {
        if (bytes.size() < int(mark.size()))
            return false;
        int i = 0;
        for (unsigned char b : mark)
            if (static_cast<unsigned char>(bytes.at(i++)) != b)
                return false;
        return true;
    };
    if (startsWith({0xEF, 0xBB, 0xBF})) {
        codec = QTextCodec::codecForMib(106);
        skip = 3;
    } else if (startsWith({0xFE, 0xFF})) {
        codec = QTextCodec::codecForMib(1013);
        skip = 2;
    } else if (startsWith({0xFF, 0xFE})) {
        codec = QTextCodec::codecForMib(1014);
        skip = 2;
    } else if (startsWith({0x00, '<'})) {
        codec = QTextCodec::codecForMib(1013);
    } else if (startsWith({'<', 0x00})) {
        codec = QTextCodec::codecForMib(1014);
    } else {
        codec = codecFromDeclaration(bytes, sink);
        if (!codec)
            codec = QTextCodec::codecForMib(106);
    }
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    const QString text = codec->toUnicode(bytes.constData() + skip, bytes.size() - skip, &state);
    if (state.invalidChars > 0 || state.remainingChars > 0)
        sink.add(DefinitionDiagnostic::BadEncoding,
                 QStringLiteral("%1 byte sequences that are not %2 were replaced")
                     .arg(state.invalidChars + state.remainingChars)
                     .arg(QString::fromLatin1(codec->name())));
    return text;
}

QString repair(const QString &text, DiagnosticSink &sink, bool *tooDeep)
{
    Repairer repairer(text, sink);
    QString mended = repairer.run();
    if (tooDeep)
        *tooDeep = repairer.tooDeep();
    return mended;
}

QDomDocument parse(const QByteArray &bytes, DiagnosticSink &sink)
{
    bool tooDeep = false;
    const QString text = repair(decode(bytes, sink), sink, &tooDeep);
    if (tooDeep)
        return QDomDocument();
    QDomDocument doc;
    QString message;
    int line = 0;
    int column = 0;
    if (!doc.setContent(text, false, &message, &line, &column)) {
        sink.add(DefinitionDiagnostic::NotWellFormed,
                 QStringLiteral("not well-formed (%1); read as an empty document").arg(message), line, column);
        return QDomDocument();
    }
    return doc;
}

}
