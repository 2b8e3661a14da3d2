#pragma once

#include "page.h"
#include "pagewidget.h"
#include "testsupport.h" // tests/lines: SignalLog, showActive

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QWidget>

#include <memory>
#include <vector>

// What a page needs of the main window: the window itself (parent of the progress dialog), its
// page tab widget at the main window's place, a help line and one button to click at.
struct MainWindowStandIn {
    QWidget window;
    QTabWidget *tabs;
    QLineEdit *helpLine;
    QPushButton *button;

    MainWindowStandIn()
    {
        window.setGeometry(40, 30, 800, 600);
        tabs = new QTabWidget(&window);
        tabs->setGeometry(0, 125, 800, 455);
        helpLine = new QLineEdit(&window);
        helpLine->setGeometry(0, 580, 800, 20);
        button = new QPushButton(QStringLiteral("Receive"), &window);
        button->setGeometry(10, 10, 100, 30);
    }

    // A page configured as the main window configures it, its container added as a new tab.
    Page *addPage(XmlDefinition *definition, OperationBin *image)
    {
        auto *page = new Page(tabs, definition, image);
        page->setHelpLineEdit(helpLine);
        page->setErrorText(QStringLiteral("Error"));
        page->setFileErrorText(QStringLiteral("File write error"));
        page->setMainWindow(&window);
        page->setCopyingText(QStringLiteral("Copying data"));
        page->setCreatingText(QStringLiteral("Creating page"));
        page->setPageRect(QRect());
        tabs->addTab(page->pageWidget()->widget(), QString());
        return page;
    }
};

// The visible top-level widgets other than the given one.
inline QWidgetList otherVisibleWindows(const QWidget *except)
{
    QWidgetList found;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != except && w->isVisible())
            found << w;
    return found;
}
