#pragma once

#include "../definitions/fixture.h"
#include "page.h"
#include "pagewidget.h"
#include "testsupport.h" // tests/lines: SignalLog, showActive

#include <QApplication>
#include <QDir>
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
    // The import's texts each page is given; a test may empty them, as a language table without them.
    ImportNothingTexts importNothingTexts;

    MainWindowStandIn()
    {
        importNothingTexts.loneCr = QStringLiteral("CR alone");
        importNothingTexts.brokenTitle = QStringLiteral("title broken");
        importNothingTexts.noRows = QStringLiteral("no rows");
        importNothingTexts.noFields = QStringLiteral("no fields");
        importNothingTexts.noColumn = QStringLiteral("no column takes");
        window.setGeometry(40, 30, 800, 600);
        tabs = new QTabWidget(&window);
        tabs->setGeometry(0, 125, 800, 455);
        helpLine = new QLineEdit(&window);
        helpLine->setGeometry(0, 580, 800, 20);
        button = new QPushButton(QStringLiteral("Receive"), &window);
        button->setGeometry(10, 10, 100, 30);
    }

    // Shows the window and waits until it is on the screen.
    bool show()
    {
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }

    // A page configured as the main window configures it, its container added as a new tab.
    Page *addPage(XmlDefinition *definition, OperationBin *image)
    {
        auto *page = new Page(tabs, definition, image);
        page->setHelpLineEdit(helpLine);
        page->setErrorText(QStringLiteral("Error"));
        page->setFileErrorText(QStringLiteral("File write error"));
        page->setImportNothingTexts(importNothingTexts);
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

// The data tree of the checkout, the working directory of the page suites (the pages read help
// pages, pictures and manuals below it).
inline QString dataRoot()
{
    return QStringLiteral(TKV_DATA_ROOT);
}

inline QString sampleDefinition(const QString &model)
{
    return dataRoot() + QStringLiteral("/application/xml/RK4820_%1_EN.xlx").arg(model);
}

inline QString sampleImage(const QString &model)
{
    return dataRoot() + QStringLiteral("/DATA/RK4820_%1_sample.bin").arg(model);
}

// Small definition files, written into a temporary folder for one test.
class DefinitionFiles
{
public:
    // A definition file (UTF-8 with byte-order mark) holding the given PAGE elements.
    QString write(const QString &pages)
    {
        return m_files.write("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SYSTEM>\n"
                             "<SYSTEM_HELP>/HELP/Application/EN/help.html</SYSTEM_HELP>\n"
                             "<SYSTEM_TYPE>4820_T</SYSTEM_TYPE>\n"
                             + pages.toUtf8() + "\n</SYSTEM>\n");
    }

    static QString treePage(const QString &title, const QString &headLines)
    {
        return QStringLiteral("<PAGE><PGNAME>%1</PGNAME><TREE_LIST>%2</TREE_LIST></PAGE>").arg(title, headLines);
    }

    // A HEAD_LINE: its HEAD_LINE_DEF with the given elements, then one LINE per entry of lines.
    static QString headLine(const QString &definition, const QStringList &lines = {})
    {
        QString text = QStringLiteral("<HEAD_LINE><HEAD_LINE_DEF>%1</HEAD_LINE_DEF>").arg(definition);
        for (const QString &line : lines)
            text += QStringLiteral("<LINE>%1</LINE>").arg(line);
        return text + QStringLiteral("</HEAD_LINE>");
    }

    // A numeric EDIT element. (The reader fills an element's slots by position up to the number of
    // attributes it carries: fixtures carry every attribute of their tag.)
    static QString edit(const QString &uid, const QString &address, int vinit = 0, const QString &format = QString())
    {
        return QStringLiteral("<EDIT WIDTH=\"80\" POS=\"CENTER\" FTCOL=\"11px/black/\" FTCOL_DIF=\"red\" VTYPE=\"U16\" "
                              "VMIN=\"0\" VMAX=\"9999\" VINIT=\"%1\" UID=\"%2\" EEADDR=\"%3\" FORMAT=\"%4\" "
                              "STYLE_DIFF=\"color:red\"/>")
            .arg(vinit)
            .arg(uid, address, format);
    }

    static QString webPage(const QString &title, const QString &htmls)
    {
        return QStringLiteral("<PAGE><PGNAME>%1</PGNAME><WEB_LIST>%2</WEB_LIST></PAGE>").arg(title, htmls);
    }

private:
    Fixture m_files;
};
