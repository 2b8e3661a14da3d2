// The key table's reader modes, its find functions and the table text files. The table page wires
// its side panel, the image and its menu to these slots; each does nothing yet.

#include "page.h"

#include <QWidget>

void Page::processData(QString) {}
void Page::processLongSerial(QString) {}
void Page::setSerialNumber(QString) {}
void Page::setLongSerialNUmber(QString) {}
void Page::newKeyRead() {}
void Page::addNewTMCodeToFreePosition(QString) {}
void Page::addTMCodeToFlat(QString) {}
void Page::addTMCodeToSelectedPosition(QString) {}
void Page::scrollToTMCode(QString) {}
void Page::findFlat() {}
void Page::findFlatFromTab() {}
void Page::findDuplicates() {}
void Page::scrolToPosition(QTableWidgetItem *) {}
void Page::findMouseMenu(const QModelIndex &, const QString &) {}
void Page::makeCopyTableToFile() {}
void Page::loadDataFromFile() {}
