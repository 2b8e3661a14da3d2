// The web page: one manual page of the model, shown in the page's container.

#include "page.h"

#include "pagewidget.h"
#include "webline.h"
#include "weblistdata.h"
#include "xmldefinition.h"

void Page::createWebPage(int page)
{
    m_pageNumber = page;
    m_webListData = std::make_unique<WebListData>(m_definition);
    m_webListData->load(page);
    setTabTitle(m_definition->pageName(page));
    // Only the first LINK of the first HTML is shown.
    m_webLine = std::make_unique<WebLine>();
    m_webLine->setIndexes(0, 0, m_webListData.get());
    m_webLine->setParentWidget(m_pageWidget->widget());
    m_webLine->createLine();
}
