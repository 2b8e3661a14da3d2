#pragma once

#include "flatnumbering.h"
#include "page.h"
#include "pagefixture.h"
#include "xmldefinition.h"

#include <QElapsedTimer>
#include <QTabWidget>

#include <memory>
#include <vector>

// The page set of one definition file over one image, made as the main window makes it: every
// page created, configured and added as a tab with an empty title first, then each built by its
// kind in file order, the tree pages' flat-numbering addresses handed to the table pages after
// them. Deleting the set deletes the pages in index order, then the definition reader.
class PageSet
{
public:
    PageSet(MainWindowStandIn &main, const QString &definitionPath, OperationBin *image)
        : m_definition(std::make_unique<XmlDefinition>(definitionPath))
    {
        const int count = m_definition->readPageKinds();
        const PageKindList kinds = m_definition->pageKinds();
        for (int i = 0; i < count; ++i)
            m_pages.emplace_back(main.addPage(m_definition.get(), image));

        FlatNumbering flatNumbering;
        m_buildTimes.fill(0, count);
        QElapsedTimer timer;
        for (int i = 0; i < count; ++i) {
            Page *page = m_pages[i].get();
            timer.start();
            switch (kinds[i]) {
            case PageKindTree: {
                main.tabs->setCurrentIndex(i);
                page->createTreePage(i);
                if (i == 0) {
                    m_firstTreePage = page;
                    page->setSystemType(m_definition->systemType());
                    page->setFileExtensions(QStringLiteral(".op/.id/.nm/"));
                }
                flatNumbering.takeFrom(page);
                break;
            }
            case PageKindTable:
                main.tabs->setCurrentIndex(i);
                flatNumbering.handTo(page);
                page->setFirstTreePage(m_firstTreePage);
                page->disableCopy();
                page->createTablePage(i);
                break;
            case PageKindWeb:
                page->createWebPage(i);
                break;
            default:
                break;
            }
            m_buildTimes[i] = timer.nsecsElapsed();
        }
        if (count > 0)
            main.tabs->setCurrentIndex(0);
    }

    ~PageSet()
    {
        for (auto &page : m_pages)
            page.reset();
    }

    int count() const { return int(m_pages.size()); }
    Page *page(int i) const { return m_pages[i].get(); }
    Page *firstTreePage() const { return m_firstTreePage; }
    XmlDefinition *definition() const { return m_definition.get(); }
    PageKind kind(int i) const { return m_definition->pageKinds().value(i); }
    // Nanoseconds each page's build step took.
    qint64 buildTime(int i) const { return m_buildTimes.value(i); }

private:
    std::unique_ptr<XmlDefinition> m_definition;
    std::vector<std::unique_ptr<Page>> m_pages;
    Page *m_firstTreePage = nullptr;
    QVector<qint64> m_buildTimes;
};
