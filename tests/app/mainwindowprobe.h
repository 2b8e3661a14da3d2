#pragma once

#include "mainwindow.h"

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
    QString appHelp() const { return w->APP_HELP; }
    QString aboutMessage() const { return w->ABOUT_MESSAGE; }
    QString suffix() const { return w->SUFFIX; }
    QString warningMemSize() const { return w->WARNING_MEM_SIZE; }
    const QStringList &portList() const { return w->portList; }
    QString selectedPortText() const { return w->selectedPortText; }
    bool pagesBuilt() const { return w->pagesBuilt; }
    void playSound() { w->playSound(); }

private:
    MainWindow *w;
};
