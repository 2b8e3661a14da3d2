#pragma once

#include "mainwindow.h"

#include <QPushButton>

// What the tests read and set of the main window that its widgets do not show: the window names
// this class as its friend.
class MainWindowProbe
{
public:
    explicit MainWindowProbe(MainWindow *window) : w(window) {}

    const QStringList &languageNames() const { return w->languageNames; }
    const QStringList &languageFlags() const { return w->languageFlags; }
    const QStringList &languageEnabled() const { return w->languageEnabled; }
    const QStringList &languageNoAskTexts() const { return w->languageNoAskTexts; }
    int languageIndex() const { return w->languageIndex; }
    QString connectText() const { return w->connectText; }
    QString disconnectText() const { return w->disconnectText; }
    QString askDataNotSaved() const { return w->ASK_DATA_NOT_SAVED; }
    QString updatePagesMessage() const { return w->UPADTE_PAGES_MESSAGE; }
    QString appHelp() const { return w->APP_HELP; }
    QString aboutMessage() const { return w->ABOUT_MESSAGE; }
    QString suffix() const { return w->SUFFIX; }
    QString warningMemSize() const { return w->WARNING_MEM_SIZE; }
    QString modelNotFoundMessage() const { return w->ID_NOTFOUND_MESSAGE; }
    QString createPagesMessage() const { return w->CREATE_PAGES_MESSAGE; }
    QString copyingDataMessage() const { return w->COPYING_DATA_MESSAGE; }
    const QStringList &portList() const { return w->portList; }
    QString selectedPortText() const { return w->selectedPortText; }
    bool pagesBuilt() const { return w->pageTabWidget != nullptr; }
    void playSound() { w->playSound(); }

    // The form's buttons keep their clicks but no longer run the window's commands, for tests that
    // watch which button a key clicks.
    void detachButtonCommands()
    {
        for (QPushButton *button : w->findChildren<QPushButton *>())
            QObject::disconnect(button, SIGNAL(clicked()), w, nullptr);
    }

    // Ports, transfers, image files and the page set.
    ComPort *port() const { return w->port; }
    OperationBin *image() const { return w->memoryImage; }
    void setPollIntervals(int bankMs, int keyMs)
    {
        w->bankPoller.setInterval(bankMs);
        w->keyPoller.setInterval(keyMs);
    }
    QString probeAddress() const { return w->probeAddress; }
    QString transferAddress() const { return w->transferAddress; }
    QString memSize() const { return w->memSize; }
    // The model the next page build reads, as a recognised one would set it.
    void useModel(const QString &definitionPath, const QString &size)
    {
        w->definitionFilePath = definitionPath;
        w->memSize = size;
    }
    QString errorMessage() const { return w->ERROR_MESSAGE; }
    QString fileWriteError() const { return w->FILE_WRITE_ERROR; }
    QString fileWriteIncomplete() const { return w->FILE_WRITE_INCOMPLETE; }
    QString askOverwriteFile() const { return w->ASK_OVERWRITE_FILE; }
    QString definitionFilePath() const { return w->definitionFilePath; }
    QString imageFileName() const { return w->imageFileName; }
    bool hasPageTabs() const { return w->pageTabWidget != nullptr; }
    QTabWidget *pageTabWidget() const { return w->pageTabWidget; }
    QLineEdit *statusLine() const { return w->statusLine; }
    XmlDefinition *pageDefinition() const { return w->pageDefinition; }
    const QList<Page *> &pages() const { return w->pages; }
    QList<int> treePageIndexes() const { return w->treePageIndexes; }
    QList<int> tablePageIndexes() const { return w->tablePageIndexes; }
    Page *firstTreePage() const { return w->firstTreePage; }
    QStringList flatAddresses() const
    {
        const FlatNumbering &flat = w->flatNumbering;
        return {flat.blocNumber, flat.flatUpStairs, flat.shiftRange, flat.flatMin, flat.flatMax};
    }
    QStringList specialFlatAddresses() const { return w->flatNumbering.special; }
    QString modelHelpPage() const { return w->modelHelpPage; }

private:
    MainWindow *w;
};
