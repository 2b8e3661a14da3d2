#include "rwtable.h"

#include "datapaths.h"

#include <QFile>
#include <QFileDialog>
#include <QSaveFile>

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
    QSaveFile file(m_filePath);
    file.setDirectWriteFallback(true);
    bool written = file.open(QIODevice::WriteOnly) && TableTextFile::write(file, m_defaultName, rows, tableKind) &&
                   file.flush() && file.error() == QFileDevice::NoError;
    QString reason = file.errorString();
    if (written) {
        written = file.commit();
        reason = file.errorString();
    } else if (file.isOpen()) {
        file.cancelWriting(); // removes the temporary file; the reason stays the write's
    }
    if (!written)
        emit writeToFileError(m_filePath, reason);
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
