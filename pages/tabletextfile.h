#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class QIODevice;

// The text file format of table pages, in which a table's rows are exported and imported and the
// key-table extractor writes its key tables:
//
//   *****<title>*****                     CR LF
//   field TAB field TAB ... field TAB      CR LF   one line per table row, every field followed by TAB
//   End Of Table <kind>                            no line end after it
//
// The text is UTF-8 without byte-order mark (the local 8-bit encoding of this system). A reader
// takes LF or CR LF as line end; a line's fields are the texts that a TAB ends (text after the
// last TAB belongs to no field). A first line that opens with "*****" is the title, skipped
// whatever follows its closing "*****" (a blank, a TAB, a CR left by a second CR LF conversion) and
// never the end line, whatever its text says; the end line is the first other line that contains
// "End Of Table" in any letter case (a first line without the title mark included); every line
// between the first and the end line is one row, a blank line a row without fields; what follows
// the end line is not read. Refused: a file whose end line holds a CR before its "End Of Table"
// (line ends of CR alone, also right after the title's closing mark), and one whose title line
// opens with "*****" and holds no closing "*****" (a line break in the title cut it).
namespace TableTextFile {

// A larger file is no table text file: the largest table (4999 rows of 15 fields) takes a few MiB.
constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

// The title line, without its line end. Control characters of the title are written as spaces, so
// that no title breaks its line.
QString titleLine(const QString &title);

// The end line of a table kind (1 lock codes, 2 keys, 3 names); empty for any other kind.
QString endLine(int tableKind);

// Writes the whole text to the device; true when the device took every byte.
bool write(QIODevice &device, const QString &title, const QVector<QStringList> &rows, int tableKind);

// The fields of one line (without its line end).
QStringList splitFields(const QString &line);

struct ReadResult {
    enum Status {
        Ok,
        Unreadable, // the device could not be read: reason
        TooLarge,   // more than MaxFileSize bytes: reason
        NotUtf8,    // badLine holds bytes that are not UTF-8
        NoEndLine,  // the text ends without its end line: badLine is its last line
        LoneCr,     // the end line stands behind line ends of CR alone, in badLine
        BrokenTitle // the title line (badLine 1) lacks its closing "*****": a line break cut it
    };
    Status status = Unreadable;
    QVector<QStringList> rows;
    // The first bad line, 1-based (the title is line 1), and its text; 0 when there is none.
    int badLine = 0;
    QString badLineText;
    QString reason;
    // The first data row's line as it stands in the file (its text after the last TAB included).
    QString firstRowText;
};

// Reads a whole table text from an open device.
ReadResult read(QIODevice &device);

// The file line (1-based) that holds data row index (0-based).
inline int lineOfRow(int index) { return index + 2; }

// A line as a message shows it: its number, then its text with the fields set apart and its control
// characters named ("<CR>" where a carriage return stands).
QString describeLine(int lineNumber, const QString &text);

}

// A text as the name of a file in the current folder: "/", "\" and control characters become "_",
// so that a proposed file name never names a folder.
QString proposedFileName(const QString &text);
