#include "webline.h"

#include "helpview.h"
#include "slotlists.h"
#include "weblistdata.h"

#include <QDir>

WebLine::WebLine() = default;

void WebLine::setIndexes(int headLine, int line, WebListData *data)
{
    m_webHeadLine = headLine;
    m_webLine = line;
    m_webListData = data;
}

QString WebLine::address(const QString &text)
{
    if (text.contains(QLatin1String("http"), Qt::CaseInsensitive))
        return text;
    return QDir::fromNativeSeparators(QDir::currentPath()) + text;
}

void WebLine::createLine()
{
    if (!m_webListData || !parentWidget)
        return;
    const WebLineSlots &attributes = m_webListData->lineAttributes(m_webHeadLine, m_webLine);
    const TreeLineTags &tags = m_webListData->lineTags(m_webHeadLine, m_webLine);
    const QString url = QStringLiteral("URL");
    const int textSlot = DefinitionSlots::treeSlot(url, QStringLiteral("TEXT"));
    for (int e = 0; e < TreeShape::Elements; ++e) {
        if (tags[e] != url)
            continue;
        auto *view = new Platform::HelpView(parentWidget);
        view->setGeometry(0, 0, 795, 430);
        view->navigate(address(attributes[e][textSlot]));
        view->show();
        m_browser = view;
        m_browsers << view;
    }
}

QList<Platform::HelpView *> WebLine::browsers() const
{
    QList<Platform::HelpView *> list;
    for (const QPointer<Platform::HelpView> &view : m_browsers)
        if (view)
            list << view.data();
    return list;
}
