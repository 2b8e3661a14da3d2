#include "mainwindow.h"

#include "keytable.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QTableWidgetItem>
#include <QVector>

namespace {
const QString titleText = QStringLiteral(" RK-4810 TM Extractor ");
constexpr int columnWidths[] = {50, 60, 120, 80};
constexpr int rowHeight = 22;

enum Column { PositionColumn, FlatColumn, SerialColumn, HashColumn };

void tell(QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, QString(), text, QMessageBox::Ok);
    box.exec();
}

QString cellText(const QTableWidget *list, int row, int column)
{
    const QTableWidgetItem *item = list->item(row, column);
    return item ? item->text() : QString();
}
} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), ui(new Ui_MainWindow)
{
    ui->setupUi(this);
    setWindowTitle(titleText);
    ui->pTextEdit_FName->clear();
    ui->pTextEdit_FName->setFocusPolicy(Qt::NoFocus);
    ui->centralWidget->setFocusPolicy(Qt::NoFocus);
    connect(ui->pButton_LoadBin, SIGNAL(clicked()), this, SLOT(readBinFile()));
    connect(ui->pButton_Convert, SIGNAL(clicked()), this, SLOT(writeTMFile()));
    ui->tableWidget_TM->setRowCount(0);
    setColumnWidths();
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::readBinFile()
{
    QFileDialog dialog(this);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(QString());
    dialog.setViewMode(QFileDialog::Detail);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("*.BIN"));
    dialog.setDirectory(QDir::current().absoluteFilePath(QStringLiteral("DATA/")));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().first();

    // A file that is not a whole image changes nothing, so title, output name and list keep
    // belonging to the same image.
    QByteArray loaded;
    switch (KeyTable::readImage(path, &loaded)) {
    case KeyTable::ReadResult::WrongSize:
        tell(QMessageBox::NoIcon, QStringLiteral(" File size mismatch! <> 8192B "));
        return;
    case KeyTable::ReadResult::Unreadable:
        tell(QMessageBox::Critical, QStringLiteral(" File read error! ") + path);
        return;
    case KeyTable::ReadResult::Ok:
        break;
    }
    image = loaded;
    outputFileName = KeyTable::outputFileName(path);
    setWindowTitle(titleText + path);
    ui->pTextEdit_FName->setPlainText(path);
    fillList();
}

void MainWindow::writeTMFile()
{
    if (outputFileName.isEmpty()) {
        tell(QMessageBox::Warning, QStringLiteral(" No image loaded! "));
        return;
    }
    // The file takes the texts the list shows.
    const QTableWidget *list = ui->tableWidget_TM;
    QVector<KeyTable::SlotRow> rows(list->rowCount());
    for (int r = 0; r < rows.size(); ++r) {
        rows[r].position = cellText(list, r, PositionColumn);
        rows[r].flat = cellText(list, r, FlatColumn);
        rows[r].serial = cellText(list, r, SerialColumn);
        rows[r].hash = cellText(list, r, HashColumn);
    }
    QString error;
    if (!KeyTable::writeKeyTableFile(outputFileName, rows, &error))
        tell(QMessageBox::Critical, QStringLiteral(" File write error! ") + outputFileName + QLatin1Char('\n') + error);
}

void MainWindow::setColumnWidths()
{
    for (int c = 0; c < 4; ++c)
        ui->tableWidget_TM->setColumnWidth(c, columnWidths[c]);
}

void MainWindow::fillList()
{
    QTableWidget *list = ui->tableWidget_TM;
    list->setUpdatesEnabled(false);
    list->setColumnCount(4);
    list->setRowCount(KeyTable::slotCount);
    setColumnWidths();
    // The style's own minimum row height is taller than the list's rows.
    list->verticalHeader()->setMinimumSectionSize(rowHeight);
    for (int r = 0; r < KeyTable::slotCount; ++r) {
        const KeyTable::SlotRow row = KeyTable::slotRow(image, r);
        list->setRowHeight(r, rowHeight);
        list->setItem(r, PositionColumn, new QTableWidgetItem(row.position));
        list->setItem(r, FlatColumn, new QTableWidgetItem(row.flat));
        list->setItem(r, SerialColumn, new QTableWidgetItem(row.serial));
        list->setItem(r, HashColumn, new QTableWidgetItem(row.hash));
    }
    list->setUpdatesEnabled(true);
}
