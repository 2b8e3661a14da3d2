#include "rwtable.h"

#include "datapaths.h"
#include "wholefile.h"

#include <QBuffer>
#include <QFile>
#include <QFileDialog>

RWTable::RWTable() = default;
RWTable::~RWTable() = default;

void RWTable::makeHeader(const QString &systemType, const QString &idd, const QString &ido, const QString &sn)
{
    m_defaultName = systemType + idd.right(2) + QLatin1Char('_') + sn + QLatin1Char('_') + ido;
}

QString RWTable::proposedName() const
{
    return proposedFileName(m_defaultName) + m_extension;
}

bool RWTable::runDialog(bool save)
{
    QFileDialog dialog(nullptr, QString(), QString(), QStringLiteral("*") + m_extension);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // The page asks before a file is replaced, once, for the name with its extension.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.selectFile(proposedName());
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    m_accepted = true;
    m_filePath = dialog.selectedFiles().constFirst();
    return true;
}

bool RWTable::openForWriting()
{
    if (!runDialog(true))
        return false;
    if (!m_filePath.contains(m_extension, Qt::CaseInsensitive))
        m_filePath += m_extension;
    return true;
}

bool RWTable::writeTable(const QVector<QStringList> &rows, int tableKind)
{
    QBuffer text;
    text.open(QIODevice::WriteOnly);
    TableTextFile::write(text, m_defaultName, rows, tableKind);
    m_writeErrorReason.clear();
    const bool written = Platform::writeWholeFile(m_filePath, text.data(), &m_writeErrorReason);
    if (!written)
        emit writeToFileError();
    return written;
}

bool RWTable::openForReading()
{
    if (!runDialog(false))
        return false;
    parse();
    return true;
}

void RWTable::parse()
{
    // A pipe would block the open, a device deliver without end: only a regular file is opened.
    const Platform::FileState::Kind kind = Platform::fileState(m_filePath).kind;
    if (kind == Platform::FileState::Folder || kind == Platform::FileState::Other) {
        m_result = TableTextFile::ReadResult();
        m_result.reason = QStringLiteral("not a regular file");
        return;
    }
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        m_result = TableTextFile::ReadResult();
        m_result.reason = file.errorString();
        return;
    }
    m_result = TableTextFile::read(file);
}
