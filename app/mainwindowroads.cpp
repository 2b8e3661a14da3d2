// Ports and memory buttons, model recognition, Receive and Send.

#include "mainwindow.h"

#include "comport.h"
#include "datapaths.h"
#include "globals.h"
#include "mymessagebox.h"
#include "myprogressdialog.h"
#include "operationbin.h"
#include "page.h"
#include "pagewidget.h"
#include "progresssize.h"
#include "qextserialport.h"
#include "ui_mainwindowclass.h"

#include <QComboBox>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>

namespace {

// Bytes of one transfer block, and hexadecimal digits of a block as the read returns them.
constexpr int BlockBytes = 16;
constexpr int BlockDigits = 2 * BlockBytes;
// The busy wait that ends every Receive.
constexpr int ReceiveEndWaitMs = 60;

QIcon logoIcon()
{
    return QIcon(Platform::resolveDataPath(QStringLiteral("application/png/logo.png")));
}

}

// ---- Ports and memory buttons --------------------------------------------------------------------

void MainWindow::availableComPorts()
{
    ui->comboScan->clear();
    ComPort scanner;
    portList = scanner.availablePorts();
    ui->comboScan->insertItems(0, portList);
    settings->setValue(QStringLiteral("ComPorts"), portList);
    settings->sync();
    bankPoller.setObjects(port, ui->buttonConnectA0, ui->buttonConnectA2, ui->buttonConnectA4, ui->buttonSend,
                          ui->buttonReceive, ui->plainTextEdit, ui->comboScan, portList);
}

void MainWindow::connectDisconnectPort()
{
    const RoadGate::RoadPass road = roadGate.enterRoad();
    if (!road)
        return;
    switchPort();
}

void MainWindow::switchPort()
{
    const QString entry = ui->comboScan->currentText();
    port->setPortName(entry.section(QLatin1Char(' '), 0, 0));
    if (port->isConnected()) {
        port->connectDisconnectPort();
        ui->comboScan->setEnabled(true);
        ui->buttonConnectDisconnect->setText(connectText);
        port->setBankButtons(port->scanMemory(port->serialPort()), ui->buttonConnectA0, ui->buttonConnectA2,
                             ui->buttonConnectA4);
        ui->buttonReceive->setEnabled(false);
        ui->buttonSend->setEnabled(false);
        ui->buttonScan->setEnabled(true);
        return;
    }
    selectedPortText = entry;
    if (!port->testPort(entry))
        return;
    settings->setValue(QStringLiteral("SelectedPort"), entry);
    settings->sync();
    port->connectDisconnectPort();
    if (!port->isConnected())
        return;   // the port refused after its test: as after a failed test
    ui->buttonConnectDisconnect->setText(disconnectText);
    ui->comboScan->setEnabled(false);
    ui->buttonScan->setEnabled(false);
}

// The interface has gone: its port is closed, in the middle of a road too.
void MainWindow::deviceUnplugged()
{
    if (port->isConnected())
        switchPort();
}

namespace {

// A memory button's slot: a button down sets both slave texts and enables Receive (and Send while a
// page set exists); a button released disables both. The other two buttons are released without a
// click.
struct MemoryButtons {
    QPushButton *own;
    QPushButton *other1;
    QPushButton *other2;
};

void pressMemoryButton(const MemoryButtons &buttons, const char *probe, const char *transfer,
                              QString *probeAddress, QString *transferAddress, QPushButton *receive,
                              QPushButton *send, bool pageSet)
{
    if (buttons.own->isChecked()) {
        *probeAddress = QLatin1String(probe);
        *transferAddress = QLatin1String(transfer);
        receive->setEnabled(true);
        if (pageSet)
            send->setEnabled(true);
    } else {
        receive->setEnabled(false);
        send->setEnabled(false);
    }
    buttons.other1->setChecked(false);
    buttons.other2->setChecked(false);
}

}

void MainWindow::setSlaveAddressA0()
{
    pressMemoryButton({ui->buttonConnectA0, ui->buttonConnectA2, ui->buttonConnectA4}, "A0", "a0", &probeAddress,
                      &transferAddress, ui->buttonReceive, ui->buttonSend, pageTabWidget != nullptr);
}

void MainWindow::setSlaveAddressA2()
{
    pressMemoryButton({ui->buttonConnectA2, ui->buttonConnectA0, ui->buttonConnectA4}, "a2", "a2", &probeAddress,
                      &transferAddress, ui->buttonReceive, ui->buttonSend, pageTabWidget != nullptr);
}

void MainWindow::setSlaveAddressA4()
{
    pressMemoryButton({ui->buttonConnectA4, ui->buttonConnectA2, ui->buttonConnectA0}, "a4", "a4", &probeAddress,
                      &transferAddress, ui->buttonReceive, ui->buttonSend, pageTabWidget != nullptr);
}

// Releases the memory button that is down, by a click, so that its slot disables Receive and Send.
void MainWindow::updateButtonsPosition()
{
    for (QPushButton *button : {ui->buttonConnectA0, ui->buttonConnectA2, ui->buttonConnectA4}) {
        if (button->isChecked())
            button->click();
    }
}

void MainWindow::showUnpDevWar()
{
    showPlainBox(QMessageBox::Critical, WARNING_UNPLUGGED_DEV, QMessageBox::Ok);
}

void MainWindow::penUnplugged()
{
    if (showPlainBox(QMessageBox::Warning, WARNING_UNPLUGGED_PEN, QMessageBox::Ok | QMessageBox::Cancel)
        == QMessageBox::Cancel)
        port->breakSendReceive();
}

// The interface's key reader follows the tabs: on while the current page holds the key table. The
// page is found by the tab's widget; no tab, a widget of no live page and a deletion in progress
// switch nothing.
void MainWindow::currentTabWidget(int index)
{
    if (deletingPages || index < 0 || !pageTabWidget || !port->serialPort()->isOpen())
        return;
    QWidget *tab = pageTabWidget->widget(index);
    for (Page *page : qAsConst(pages)) {
        if (page && page->pageWidget()->widget() == tab) {
            port->serialPort()->write(page->keyReaderFlag() ? "idon\r" : "idoff\r");
            return;
        }
    }
}

// The answer to a key-reader switch stays waiting on the port and reaches the key poll together
// with the key record that follows it: the record is passed on from its mark.
void MainWindow::relayKeyText(QString text)
{
    const int record = text.indexOf(QLatin1String("*#T"));
    emit sendTMkeySerialNumber(record > 0 ? text.mid(record) : text);
}

// ---- Model recognition ---------------------------------------------------------------------------

QString MainWindow::modelFilePath(const QString &fileName) const
{
    return getWorkingDirPath(QStringLiteral("/application/xml/")) + fileName;
}

// The model of the identification word, from the device (1) or from the image being loaded (2).
// A match sets the model's memory size for the command in progress; no match runs the model
// choice, whose Ok completes the command, and gives "noFile".
QString MainWindow::getXMLFileName(int switch_Device_File)
{
    QString result;
    bool found = false;
    QString address;
    for (int row = 0; row < GuiShape::Rows; ++row) {
        if (guiKey(languageIndex, row) == QLatin1String("EEPROM_ADDRESS"))
            address = guiValue(languageIndex, row);
    }
    port->setSlaveAddress(probeAddress);
    QString identifier;
    if (switch_Device_File == 1) {
        identifier = port->readDeviceWord(address);
        identifierSource = 1;
    } else {
        identifier = loadingImage ? loadingImage->readIdWord(address) : QString();
        identifierSource = 2;
    }
    QStringList fileNames;
    for (int row = 0; row < GuiShape::Rows; ++row) {
        if (guiKey(languageIndex, row) != QLatin1String("EEPROM_DATA"))
            continue;
        const auto &values = (*guiValues)[languageIndex][row];
        fileNames << values[2];
        if (identifier.compare(values[0].mid(2, 4), Qt::CaseInsensitive) == 0) {
            result = values[2];
            newMemSize = values[1];
            found = true;
        }
    }
    if (!found) {
        result = QStringLiteral("noFile");
        showModelChoiceDialog(fileNames, QStringLiteral("TKV-05"));
    }
    return result;
}

void MainWindow::showModelChoiceDialog(const QStringList &fileNames, const QString &title)
{
    MyMessageBox box(ui->centralWidget, 310, 120);
    box.setWindowIcon(logoIcon());
    box.setWindowFlags(Qt::Dialog);
    box.setIcon(QMessageBox::Warning);
    box.setWindowTitle(title);
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.button(QMessageBox::Ok)->setFixedSize(90, 24);
    box.button(QMessageBox::Cancel)->setFixedSize(90, 24);
    modelChoiceBox = new QComboBox(&box);
    modelChoiceBox->addItems(fileNames);
    modelChoiceBox->setGeometry(60, 50, 190, 20);
    box.setText(ID_NOTFOUND_MESSAGE);
    connect(box.button(QMessageBox::Ok), SIGNAL(clicked()), this, SLOT(getActualXmlFile()));
    connect(&box, SIGNAL(rejected()), this, SLOT(updateButtonsConnectionState()));
    box.exec();
    modelChoiceBox = nullptr;
}

// Ok of the model choice: the Receive or Load of the chosen model, with its identification word
// written into the image. The command's unsaved-data state stays as it was.
void MainWindow::getActualXmlFile()
{
    if (!modelChoiceBox || modelChoiceBox->count() == 0) {
        updateButtonsConnectionState();   // nothing to choose: as Cancel
        return;
    }
    chosenFileName = modelChoiceBox->currentText();
    newDefinitionFilePath = modelFilePath(chosenFileName);
    QString identifier;
    QString address;
    for (int row = 0; row < GuiShape::Rows; ++row) {
        const QString key = guiKey(languageIndex, row);
        const auto &values = (*guiValues)[languageIndex][row];
        if (key == QLatin1String("EEPROM_DATA") && values[2].compare(chosenFileName, Qt::CaseInsensitive) == 0) {
            identifier = values[0];
            newMemSize = values[1];
        } else if (key == QLatin1String("EEPROM_ADDRESS")) {
            address = values[0];
        }
    }

    const bool sizeTaken = acceptModelMemorySize(newMemSize);
    if (identifierSource == 2) {
        if (!loadingImage || !sizeTaken)
            return;
        loadingImage->writeIdWord(address, identifier);
        if (newMemSize.toInt() == loadingImage->image().size() || confirmMemorySize())
            pagesAfterLoad(loadingFileName);
        return;
    }

    if (sizeTaken && (port->memoryFits(probeAddress, newMemSize) || confirmMemorySize())) {
        transferWithProgress(RECEIVE_DATA_MESSAGE, 1, newMemSize);
        if (receiveComplete(newMemSize)) {
            memoryImage->loadHex(receiveBuffer);
            memoryImage->writeIdWord(address, identifier);
            pagesAfterReceive();
        }
    }
    delayMs(ReceiveEndWaitMs);
    port->continueSendReceive();
}

void MainWindow::updateButtonsConnectionState()
{
    if (identifierSource != 1)
        return;
    ui->buttonSend->setEnabled(false);
    ui->buttonConnectA2->setChecked(false);
    ui->buttonConnectA2->setEnabled(false);
}

// ---- Receive and Send ----------------------------------------------------------------------------

// A model's memory size is a whole number of bytes from one block to the 16-bit address space. Any
// other size in the language table is refused where the model is taken, before a command goes out
// for it: the user is told and the command ends with nothing changed.
bool MainWindow::acceptModelMemorySize(const QString &size)
{
    if (ComPort::transferSize(size) != 0)
        return true;
    showPlainBox(QMessageBox::Critical, ERROR_MESSAGE + QLatin1String("\nMEMSIZE=\"") + size + QLatin1Char('"'),
                 QMessageBox::Ok);
    return false;
}

bool MainWindow::confirmMemorySize()
{
    return showPlainBox(QMessageBox::NoIcon, WARNING_MEM_SIZE, QMessageBox::Ok | QMessageBox::Cancel)
           == QMessageBox::Ok;
}

// The Receive: the model by its identification word, the memory-size probe, the read, and the page
// set over the new image. Only a read of the whole memory replaces anything: a Receive that ends
// earlier leaves the image, the pages, the model and the unsaved-data state as they were.
void MainWindow::getDataFromEEprom()
{
    const RoadGate::RoadPass road = roadGate.enterRoad();
    if (!road)
        return;
    commitPageEdits();
    if (dataModified && !askDoNotSave())
        return;
    const QString name = getXMLFileName(1);
    if (name == QLatin1String("noFile"))
        return;
    newDefinitionFilePath = modelFilePath(name);
    if (!acceptModelMemorySize(newMemSize))
        return;
    if (!port->memoryFits(probeAddress, newMemSize) && !confirmMemorySize())
        return;
    if (!name.isNull()) {
        transferWithProgress(RECEIVE_DATA_MESSAGE, 1, newMemSize);
        if (receiveComplete(newMemSize)) {
            memoryImage->loadHex(receiveBuffer);
            pagesAfterReceive();
            dataModified = false;
        }
    }
    delayMs(ReceiveEndWaitMs);
    port->continueSendReceive();
}

// The Send: table pages write their names into the image first, so that the image measured is the
// one written. A memory of another size than the model's, or an image of another size than the
// memory, asks before anything is written.
void MainWindow::writeDataToEEprom()
{
    const RoadGate::RoadPass road = roadGate.enterRoad();
    if (!road)
        return;
    commitPageEdits();
    emit saveTMTable();
    memoryImage->prepareBuffer();
    if (!port->isConnected())
        return;
    const bool fits = port->memoryFits(probeAddress, memSize);
    if (!(fits && memSize.toInt() == memoryImage->image().size()) && !confirmMemorySize())
        return;
    transferWithProgress(SEND_DATA_MESSAGE, 2, memSize);
    port->continueSendReceive();
}

void MainWindow::setProgress(int progress)
{
    if (transferDialog)
        transferDialog->setProgress(progress);
}

void MainWindow::transferWithProgress(const QString &label, int kind, QString memorySize)
{
    const QString slave = transferAddress;
    transferDialog = new MyProgressDialog(this, Qt::Window);
    transferDialog->setWindowModality(Qt::WindowModal);
    auto *cancel = new QPushButton(BUTTON_CANCEL_S_R_D);
    transferDialog->setCancelButton(cancel);
    transferDialog->setRange(0, memorySize.toInt() / BlockBytes);
    transferDialog->setLabelText(label);
    fixProgressDialogSize(transferDialog, 320, 80);
    transferDialog->setWindowTitle(QStringLiteral("TKV-05"));
    transferDialog->setWindowIcon(logoIcon());

    connect(port, SIGNAL(progressRead(int)), this, SLOT(setProgress(int)));
    connect(cancel, SIGNAL(pressed()), port, SLOT(breakSendReceive()));
    connect(cancel, SIGNAL(pressed()), this, SLOT(updateButtonsPosition()));
    connect(transferDialog, SIGNAL(escapeKey()), port, SLOT(breakSendReceive()));

    if (kind == 1)
        receiveBuffer = port->readMemory(slave, memorySize);
    else
        port->writePort1(memoryImage->image(), slave, memorySize);
    updateButtonsPosition();

    disconnect(port, SIGNAL(progressRead(int)), this, SLOT(setProgress(int)));
    transferAddress = QString();
    delete transferDialog;
    transferDialog = nullptr;
}

bool MainWindow::receiveComplete(const QString &memorySize) const
{
    const int blocks = memorySize.toInt() / BlockBytes;
    return !port->isBreakRequested() && blocks >= 1 && receiveBuffer.size() == blocks * BlockDigits;
}

// The new image's page set; the image has no file yet.
void MainWindow::pagesAfterReceive()
{
    memSize = newMemSize;
    definitionFilePath = newDefinitionFilePath;
    ui->backGroundFrame->setStyleSheet(QStringLiteral("background-color: transparent;"));
    creatPages();
    ui->buttonSave->setEnabled(false);
    ui->buttonSaveAs->setEnabled(true);
    ui->plainTextEdit->clear();
    setWindowTitle(QStringLiteral(" TKV-05  "));
}
