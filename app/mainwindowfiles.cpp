// Image files: Load, Save and Save As.

#include "mainwindow.h"

#include "datapaths.h"
#include "globals.h"
#include "mymessagebox.h"
#include "operationbin.h"
#include "page.h"
#include "tabletextfile.h"
#include "ui_mainwindowclass.h"
#include "wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>

namespace {

// The image file dialog: Qt's own, in the data folder, with the file list in detail.
void prepareFileDialog(QFileDialog &dialog, const QString &filter)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(filter);
    dialog.setDirectory(QDir(QStringLiteral("DATA/")).absolutePath());
    dialog.setViewMode(QFileDialog::Detail);
}

}

// The Load: the file is read into an image of its own and recognised there; the edited image, the
// model, the file name and the pages change only when the new page set is built.
void MainWindow::getDataFromBinFile()
{
    const RoadGate::RoadPass road = roadGate.enterRoad();
    if (!road)
        return;
    commitPageEdits();
    if (dataModified && !askDoNotSave())
        return;
    QFileDialog dialog(this);
    prepareFileDialog(dialog, QStringLiteral("*.BIN"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.close();
    const QString fileName = dialog.selectedFiles().value(0);
    if (fileName.isEmpty())
        return;

    OperationBin candidate;
    candidate.loadFile(fileName);
    if (candidate.image().isEmpty()) {
        showPlainBox(QMessageBox::Critical, ERROR_MESSAGE, QMessageBox::Ok,
                     QDir::toNativeSeparators(fileName) + QLatin1Char('\n') + candidate.loadFailureReason());
        return;
    }
    loadingImage = &candidate;
    loadingFileName = fileName;
    const QString name = getXMLFileName(2);
    if (name != QLatin1String("noFile") && !name.isNull()) {
        newDefinitionFilePath = modelFilePath(name);
        if (acceptModelMemorySize(newMemSize)
            && (newMemSize.toInt() == candidate.image().size() || confirmMemorySize())) {
            pagesAfterLoad(fileName);
            dataModified = false;
        }
    }
    loadingImage = nullptr;
    loadingFileName.clear();
}

// The loaded image with its model and file becomes the edited one, under a new page set.
void MainWindow::pagesAfterLoad(const QString &fileName)
{
    if (fileName.isNull() || !loadingImage)
        return;
    memoryImage->loadHex(loadingImage->image().toHex());
    memSize = newMemSize;
    definitionFilePath = newDefinitionFilePath;
    imageFileName = fileName;
    setWindowTitle(QStringLiteral(" TKV-05  ") + fileName);
    ui->plainTextEdit->clear();
    ui->plainTextEdit->setPlainText(imageFileName);
    ui->backGroundFrame->setStyleSheet(QStringLiteral("background-color: transparent;"));
    creatPages();
    ui->buttonSave->setEnabled(true);
    ui->buttonSaveAs->setEnabled(true);
}

// Save and Save As: table pages write their names into the image first, so that the size measured
// against the model's memory is that of what is written (names past the image's end lengthen it).
void MainWindow::saveBinaryFile()
{
    const RoadGate::RoadPass road = roadGate.enterRoad();
    if (!road)
        return;
    commitPageEdits();
    emit saveTMTable();
    if (memSize.toInt() != memoryImage->image().size() && !confirmMemorySize())
        return;
    QFile file(imageFileName);
    memoryImage->saveTo(&file);
}

// Type, the last two characters of the data type, serial number and object identifier of the first
// tree page; no name without a tree page at index 0.
QString MainWindow::proposedImageName() const
{
    if (!firstTreePage)
        return QString();
    return proposedFileName(firstTreePage->systemType() + firstTreePage->getDataTypeId().right(2) + QLatin1Char('_')
                        + firstTreePage->getSerialNumber() + QLatin1Char('_')
                        + firstTreePage->getObjectId().trimmed() + QLatin1String(".bin"));
}

bool MainWindow::mayReplaceFile(const QString &path)
{
    return Platform::fileState(path).kind != Platform::FileState::Regular
           || showPlainBox(QMessageBox::Question, ASK_OVERWRITE_FILE, QMessageBox::Yes | QMessageBox::No)
                  == QMessageBox::Yes;
}

// The file dialog does not ask about a file it finds: ".bin" may yet be added to the name it
// gives, so the question is asked once, for the name written. Title, file box, Save and the name
// of later Saves follow only a file that was written.
void MainWindow::saveBinFileAs()
{
    const RoadGate::RoadPass road = roadGate.enterRoad();
    if (!road)
        return;
    commitPageEdits();
    emit saveTMTable();
    QFileDialog dialog(this);
    prepareFileDialog(dialog, QStringLiteral("*.bin"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QString proposal = proposedImageName();
    if (!proposal.isEmpty())
        dialog.selectFile(proposal);
    if (memSize.toInt() != memoryImage->image().size() && !confirmMemorySize())
        return;
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString name = dialog.selectedFiles().value(0);
    if (!name.contains(QLatin1String(".bin"), Qt::CaseInsensitive))
        name += QLatin1String(".bin");
    if (!mayReplaceFile(name))
        return;
    QFile file(name);
    if (!memoryImage->saveTo(&file))
        return;
    imageFileName = name;
    setWindowTitle(QStringLiteral(" TKV-05  ") + name);
    ui->plainTextEdit->clear();
    ui->plainTextEdit->setPlainText(name);
    ui->buttonSave->setEnabled(true);
}

// Named as the Export's box names its file: the path and the reason under the language's text.
// A file written in place that may be incomplete is said to be so, in the language's words where it
// has them; the image stays unsaved, to be saved elsewhere.
void MainWindow::errorWriteFile()
{
    QStringList details;
    if (!memoryImage->failedSavePath().isEmpty())
        details << QDir::toNativeSeparators(memoryImage->failedSavePath());
    if (!memoryImage->failedSaveReason().isEmpty())
        details << memoryImage->failedSaveReason();
    QString text = FILE_WRITE_ERROR;
    if (memoryImage->failedSaveMayBeIncomplete())
        text = FILE_WRITE_INCOMPLETE.isEmpty() ? Platform::incompleteFileText() : FILE_WRITE_INCOMPLETE;
    showPlainBox(QMessageBox::Critical, text, QMessageBox::Ok, details.join(QLatin1Char('\n')));
}
