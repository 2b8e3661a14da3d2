#include "helpview.h"

#include "datapaths.h"

#include <QFileInfo>
#include <QUrl>

namespace Platform {

HelpView::HelpView(QWidget *parent) : QTextBrowser(parent)
{
    setOpenLinks(true);
}

void HelpView::navigate(const QString &address)
{
    const QString path = resolveDataPath(address);
    if (QFileInfo(path).isFile())
        setSource(QUrl::fromLocalFile(path));
    else
        setPlainText(address);
}

} // namespace Platform
