#include "tabletextfile.h"

#include "linetext.h"

#include <QByteArray>
#include <QFileDevice>
#include <QIODevice>
#include <QTextCodec>

namespace TableTextFile {

namespace {

const QString EndMarker = QStringLiteral("End Of Table");
const QString TitleMark = QStringLiteral("*****");

QTextCodec *utf8()
{
    static QTextCodec *const codec = QTextCodec::codecForName("UTF-8");
    return codec;
}

// One line of bytes without its line end; ok is false when it holds bytes that are not UTF-8.
QString decodeLine(const QByteArray &bytes, bool *ok)
{
    QTextCodec::ConverterState state;
    const QString text = utf8()->toUnicode(bytes.constData(), bytes.size(), &state);
    *ok = state.invalidChars == 0 && state.remainingChars == 0;
    return text;
}

// A control character as a person reads it in a message: its name in angle brackets, "<CR>" for a
// carriage return, "<LF>" for a line feed, its code for the others ("<0x1B>").
QString controlName(QChar c)
{
    if (c == QLatin1Char('\r'))
        return QStringLiteral("<CR>");
    if (c == QLatin1Char('\n'))
        return QStringLiteral("<LF>");
    return QStringLiteral("<0x%1>").arg(QString::number(c.unicode(), 16).toUpper().rightJustified(2, QLatin1Char('0')));
}

}

QString titleLine(const QString &title)
{
    return TitleMark + Platform::asOneLine(title) + TitleMark;
}

QString endLine(int tableKind)
{
    switch (tableKind) {
    case 1:
        return QStringLiteral("End Of Table Code/Flat Options");
    case 2:
        return QStringLiteral("End Of Table TM_Flat");
    case 3:
        return QStringLiteral("End Of Table DB_NAME");
    default:
        return QString();
    }
}

bool write(QIODevice &device, const QString &title, const QVector<QStringList> &rows, int tableKind)
{
    // Line ends are written as bytes: a text-mode device writes LF alone on this system.
    static const QByteArray lineEnd("\r\n");
    QByteArray text = titleLine(title).toUtf8() + lineEnd;
    for (const QStringList &row : rows) {
        for (const QString &field : row)
            text += field.toUtf8() + '\t';
        text += lineEnd;
    }
    text += endLine(tableKind).toUtf8();
    return device.write(text) == text.size();
}

QStringList splitFields(const QString &line)
{
    QStringList fields = line.split(QLatin1Char('\t'));
    fields.removeLast(); // what follows the last TAB (the whole line when it has none)
    return fields;
}

ReadResult read(QIODevice &device)
{
    ReadResult result;
    if (!device.isReadable()) {
        result.reason = device.errorString();
        return result;
    }
    QByteArray bytes;
    bool tooLarge = !device.isSequential() && device.size() - device.pos() > MaxFileSize;
    while (!tooLarge) {
        const QByteArray chunk = device.read(1 << 16);
        if (chunk.isEmpty())
            break;
        bytes += chunk;
        tooLarge = bytes.size() > MaxFileSize;
    }
    if (auto *file = qobject_cast<QFileDevice *>(&device); file && file->error() != QFileDevice::NoError) {
        result.reason = file->errorString();
        return result;
    }
    if (tooLarge) {
        result.status = ReadResult::TooLarge;
        result.reason = QStringLiteral("more than %1 bytes").arg(MaxFileSize);
        return result;
    }

    int start = 0;
    int lineNumber = 0;
    QString lastLine;
    while (start < bytes.size()) {
        int end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArray raw = bytes.mid(start, end - start);
        if (raw.endsWith('\r'))
            raw.chop(1);
        ++lineNumber;
        bool ok = true;
        const QString line = decodeLine(raw, &ok);
        // The title is only skipped: a title in another encoding does no harm.
        if (!ok && lineNumber > 1) {
            result.status = ReadResult::NotUtf8;
            result.badLine = lineNumber;
            result.badLineText = line;
            result.rows.clear();
            return result;
        }
        // A first line that opens with the title mark is the title, whatever its text says (a unit's
        // address or a folder's name may hold the end line's words); only what follows its closing
        // mark can hold rows joined to it by CRs.
        const bool title = lineNumber == 1 && line.startsWith(TitleMark);
        const int titleEnd = title ? line.indexOf(TitleMark, TitleMark.size()) : 0;
        // Both programs close the title with its mark: a title line without it was cut by a line
        // break in the title, whose rest would be read as the first row.
        if (titleEnd < 0) {
            result.status = ReadResult::BrokenTitle;
            result.badLine = 1;
            result.badLineText = line;
            return result;
        }
        const QStringRef tested = line.midRef(title ? titleEnd + TitleMark.size() : 0);
        const int endMarker = tested.indexOf(EndMarker, 0, Qt::CaseInsensitive);
        // Rows and end line joined by CRs into one line: the rows are in it, not before it.
        if (endMarker >= 0 && tested.left(endMarker).contains(QLatin1Char('\r'))) {
            result.status = ReadResult::LoneCr;
            result.badLine = lineNumber;
            result.badLineText = line;
            result.rows.clear();
            return result;
        }
        if (endMarker >= 0 && !title) {
            result.status = ReadResult::Ok;
            return result;
        }
        if (lineNumber == 2)
            result.firstRowText = line;
        if (lineNumber > 1)
            result.rows.append(splitFields(line));
        lastLine = line;
        start = end + 1;
    }
    // The text ends where its end line should stand: the last line is the bad one.
    result.status = ReadResult::NoEndLine;
    result.badLine = qMax(lineNumber, 1);
    result.badLineText = lastLine;
    result.rows.clear();
    return result;
}

QString describeLine(int lineNumber, const QString &text)
{
    constexpr int MaxShown = 120;
    QString shown;
    for (const QChar c : text) {
        if (c == QLatin1Char('\t'))
            shown += QStringLiteral(" | ");
        else if (c.category() == QChar::Other_Control)
            shown += controlName(c);
        else
            shown += c;
    }
    if (shown.size() > MaxShown)
        shown = shown.left(MaxShown) + QChar(0x2026);
    return QStringLiteral("%1: %2").arg(lineNumber).arg(shown);
}

}

QString proposedFileName(const QString &text)
{
    QString name = text;
    for (QChar &c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    }
    return name;
}
