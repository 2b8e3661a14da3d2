// Ports and memory buttons, model recognition, Receive and Send, image files and the page set.
// The constructor connects these slots; they do nothing yet.

#include "mainwindow.h"

void MainWindow::availableComPorts() {}
void MainWindow::connectDisconnectPort() {}
void MainWindow::deviceUnplugged() {}
void MainWindow::setSlaveAddressA0() {}
void MainWindow::setSlaveAddressA2() {}
void MainWindow::setSlaveAddressA4() {}
void MainWindow::updateButtonsPosition() {}
void MainWindow::showUnpDevWar() {}
void MainWindow::penUnplugged() {}
void MainWindow::currentTabWidget(int) {}

QString MainWindow::getXMLFileName(int) { return QString(); }
void MainWindow::getActualXmlFile() {}
void MainWindow::updateButtonsConnectionState() {}
void MainWindow::showModelChoiceDialog(const QStringList &, const QString &) {}

void MainWindow::getDataFromEEprom() {}
void MainWindow::writeDataToEEprom() {}
void MainWindow::setProgress(int) {}
void MainWindow::transferWithProgress(const QString &, int) {}
void MainWindow::pagesAfterReceive() {}

void MainWindow::getDataFromBinFile() {}
void MainWindow::saveBinaryFile() {}
void MainWindow::saveBinFileAs() {}
void MainWindow::errorWriteFile() {}
void MainWindow::pagesAfterLoad(const QString &) {}

void MainWindow::creatPages() {}
void MainWindow::buildPages() {}
void MainWindow::deletePages() {}
void MainWindow::linkPageItems() {}
void MainWindow::updatePagesQuestion(int) {}
void MainWindow::updateTables() {}
void MainWindow::deletePagesToUpdate() {}
void MainWindow::rebuildPages() {}
