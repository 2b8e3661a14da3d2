#pragma once

#include "tabletextfile.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

// One export or import of a table page: its file dialog, its file and what was read. A page makes
// one for each operation and lets it go at the operation's end.
//
// The dialogs are Qt's own (never the desktop's), without parent, title or start folder, in detail
// view, filtering "*" + the table kind's extension.
class RWTable : public QObject
{
    Q_OBJECT

public:
    RWTable();
    ~RWTable() override;

    void setExtension(const QString &extension) { m_extension = extension; }
    QString extension() const { return m_extension; }

    // The default file name: system type + the last two characters of the IDD value (the whole value
    // when shorter) + "_" + SN + "_" + IDO, the parts as they are; the title line holds it exactly.
    void makeHeader(const QString &systemType, const QString &idd, const QString &ido, const QString &sn);
    QString defaultName() const { return m_defaultName; }
    QString headerLine() const { return TableTextFile::titleLine(m_defaultName); }
    // What the save dialog proposes: the default name made a plain file name, with the extension.
    QString proposedName() const;

    // Export. The save dialog; true when the user chose a file. The chosen path gets the extension
    // appended unless it holds it anywhere (letter case ignored). The dialog does not ask about an
    // existing file: its caller asks, for the path with its extension.
    bool openForWriting();
    // Writes the rows as a table text of tableKind under the default name, replacing the file whole
    // or not at all, or in place where its folder refuses the replacement (see
    // Platform::writeWholeFile: a target that is no regular file is refused). On failure emits
    // writeToFileError() and returns false; writeErrorReason() then tells the system's reason, and
    // that the file may be incomplete where an in-place write stopped part way.
    bool writeTable(const QVector<QStringList> &rows, int tableKind);
    QString writeErrorReason() const { return m_writeErrorReason; }

    // Import. The open dialog; when the user chose a file, reads it (parse) and returns true.
    bool openForReading();
    // Reads filePath() whole: never writes it. A folder, pipe or device is not read (Unreadable).
    void parse();
    const TableTextFile::ReadResult &result() const { return m_result; }
    QVector<QStringList> rows() const { return m_result.rows; }

    bool isAccepted() const { return m_accepted; }
    QString filePath() const { return m_filePath; }
    // For callers that know the file without a dialog.
    void setFilePath(const QString &path) { m_filePath = path; }

signals:
    void writeToFileError();

private:
    // Runs a file dialog; on acceptance takes the first chosen file as filePath.
    bool runDialog(bool save);

    bool m_accepted = false;
    QString m_extension;
    QString m_defaultName;
    QString m_filePath;
    QString m_writeErrorReason;
    TableTextFile::ReadResult m_result;
};
