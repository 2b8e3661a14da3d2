#include "lenientxml.h"

#include <QRegularExpression>
#include <QSet>
#include <QTextCodec>

#include <algorithm>

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
    Repairer(const QString &in, DiagnosticSink &sink) : m_in(in), m_n(in.size()), m_sink(sink) {}

    QString run()
    {
        int i = 0;
        while (i < m_n) {
            const QChar c = m_in.at(i);
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
        if (m_copyFrom == 0)
            return m_in; // nothing mended: no copy
        flushTo(m_n);
        return m_out;
    }

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

    void note(DefinitionDiagnostic::Kind kind, const QString &message, int offset)
    {
        if (m_lineStarts.isEmpty()) {
            m_lineStarts.append(0);
            for (int i = 0; i < m_n; ++i)
                if (m_in.at(i) == QLatin1Char('\n'))
                    m_lineStarts.append(i + 1);
        }
        const auto it = std::upper_bound(m_lineStarts.cbegin(), m_lineStarts.cend(), offset);
        const int line = int(it - m_lineStarts.cbegin());
        m_sink.add(kind, message, line, offset - *(it - 1) + 1);
    }

    // At '&': the end of a reference to an undeclared entity (to be dropped), or i to keep it.
    int undeclaredReference(int i)
    {
        int j = i + 1;
        if (j < m_n && m_in.at(j) == QLatin1Char('#'))
            return i;
        while (j < m_n && isNameChar(m_in.at(j)))
            ++j;
        if (j == i + 1 || j >= m_n || m_in.at(j) != QLatin1Char(';'))
            return i; // not a reference: the parser judges it
        const QString name = m_in.mid(i + 1, j - i - 1);
        if (predefinedEntities().contains(name) || m_declared.contains(name))
            return i;
        note(DefinitionDiagnostic::UndeclaredEntity,
             QStringLiteral("reference to undeclared entity \"&%1;\" dropped").arg(name), i);
        return j + 1;
    }

    int markup(int i)
    {
        if (at(i, "<!--"))
            return skipPast("-->", i + 4);
        if (at(i, "<![CDATA["))
            return skipPast("]]>", i + 9);
        if (at(i, "<?"))
            return skipPast("?>", i + 2);
        if (at(i, "<!DOCTYPE"))
            return doctype(i);
        if (at(i, "<!") || at(i, "</"))
            return skipPast(">", i + 2);
        return startTag(i);
    }

    int doctype(int i)
    {
        int depth = 0;
        QChar quote;
        int j = i + 9;
        for (; j < m_n; ++j) {
            const QChar c = m_in.at(j);
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
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

    struct Attribute {
        int blankStart, nameStart, valueStart, end;
        QString name;
        QString value; // with undeclared references dropped
        bool blankMissing;
        bool dropped;
    };

    int skipSpace(int k) const
    {
        while (k < m_n && m_in.at(k).isSpace())
            ++k;
        return k;
    }

    // At '<' of a start tag. Returns where scanning goes on; the tag is rewritten only when it
    // holds one of the accepted faults. A tag that does not even scan is left to the parser.
    int startTag(int i)
    {
        int k = i + 1;
        while (k < m_n && !m_in.at(k).isSpace() && m_in.at(k) != QLatin1Char('>') && m_in.at(k) != QLatin1Char('/'))
            ++k;
        if (k == i + 1)
            return i + 1;
        const int nameEnd = k;
        QVector<Attribute> attrs;
        int tailStart = k;
        int end = -1;
        while (end < 0) {
            tailStart = k;
            k = skipSpace(k);
            if (k >= m_n)
                return i + 1;
            if (m_in.at(k) == QLatin1Char('>')) {
                end = k + 1;
                break;
            }
            if (m_in.at(k) == QLatin1Char('/') && k + 1 < m_n && m_in.at(k + 1) == QLatin1Char('>')) {
                end = k + 2;
                break;
            }
            Attribute a;
            a.blankStart = tailStart;
            a.blankMissing = (k == tailStart);
            a.dropped = false;
            a.nameStart = k;
            while (k < m_n && !m_in.at(k).isSpace() && m_in.at(k) != QLatin1Char('=') && m_in.at(k) != QLatin1Char('>')
                   && m_in.at(k) != QLatin1Char('/'))
                ++k;
            if (k == a.nameStart)
                return i + 1;
            a.name = m_in.mid(a.nameStart, k - a.nameStart);
            k = skipSpace(k);
            if (k >= m_n || m_in.at(k) != QLatin1Char('='))
                return i + 1;
            k = skipSpace(k + 1);
            if (k >= m_n || (m_in.at(k) != QLatin1Char('"') && m_in.at(k) != QLatin1Char('\'')))
                return i + 1;
            const QChar quote = m_in.at(k);
            a.valueStart = k + 1;
            const int close = m_in.indexOf(quote, a.valueStart);
            if (close < 0)
                return i + 1;
            a.end = close + 1;
            k = a.end;
            attrs.append(a);
        }

        bool changed = false;
        for (int a = 0; a < attrs.size(); ++a) {
            Attribute &attr = attrs[a];
            if (attr.blankMissing) {
                note(DefinitionDiagnostic::MissingBlank,
                     QStringLiteral("no blank before attribute %1; read as if there were one").arg(attr.name),
                     attr.nameStart);
                changed = true;
            }
            for (int b = a + 1; b < attrs.size(); ++b) {
                if (attrs[b].name == attr.name) {
                    attr.dropped = true;
                    break;
                }
            }
            if (attr.dropped) {
                note(DefinitionDiagnostic::RepeatedAttribute,
                     QStringLiteral("attribute %1 repeated in one start tag; the value \"%2\" gives way to the last one")
                         .arg(attr.name, m_in.mid(attr.valueStart, attr.end - 1 - attr.valueStart)),
                     attr.nameStart);
                changed = true;
            }
            // Drop undeclared references inside the value.
            QString value;
            int from = attr.valueStart;
            for (int v = attr.valueStart; v < attr.end - 1; ++v) {
                if (m_in.at(v) != QLatin1Char('&'))
                    continue;
                const int refEnd = undeclaredReference(v);
                if (refEnd > v) {
                    value += m_in.midRef(from, v - from);
                    from = refEnd;
                    v = refEnd - 1;
                    changed = true;
                }
            }
            if (from != attr.valueStart)
                attr.value = value + m_in.midRef(from, attr.end - 1 - from);
            else
                attr.value = m_in.mid(attr.valueStart, attr.end - 1 - attr.valueStart);
        }
        if (!changed)
            return end;

        flushTo(i);
        m_out.append(m_in.midRef(i, nameEnd - i));
        for (const Attribute &attr : attrs) {
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
            m_out.append(attr.value);
            m_out.append(m_in.at(attr.end - 1));
        }
        m_out.append(m_in.midRef(tailStart, end - tailStart));
        m_copyFrom = end;
        return end;
    }

    const QString &m_in;
    const int m_n;
    DiagnosticSink &m_sink;
    QString m_out;
    int m_copyFrom = 0;
    QVector<int> m_lineStarts;
    QSet<QString> m_declared;
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

QString repair(const QString &text, DiagnosticSink &sink)
{
    return Repairer(text, sink).run();
}

QDomDocument parse(const QByteArray &bytes, DiagnosticSink &sink)
{
    const QString text = repair(decode(bytes, sink), sink);
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
