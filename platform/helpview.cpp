#include "helpview.h"

#include "datapaths.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>

namespace Platform {

namespace {

// Local paths of a URL that names a file or has no scheme at all (a plain path).
bool isLocal(const QUrl &url)
{
    return url.isLocalFile() || url.scheme().isEmpty();
}

QString localPath(const QUrl &url)
{
    return url.isLocalFile() ? url.toLocalFile() : url.path();
}

// Links the system opens itself: web pages and mail addresses.
bool opensOutside(const QUrl &url)
{
    return HelpView::isWebAddress(url) || url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) == 0;
}

}

HelpView::HelpView(QWidget *parent) : QTextBrowser(parent)
{
    // Links are followed here, so that local targets are resolved like the page itself and web
    // targets go to the system's browser.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpView::followLink);
}

bool HelpView::isWebAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

void HelpView::navigate(const QString &address)
{
    const QString text = address.trimmed();
    const QUrl url(text);
    if (isWebAddress(url))
        showWebAddress(url);
    else if (url.isLocalFile())
        showLocal(url.toLocalFile(), url.fragment(), address);
    else
        showLocal(text, QString(), address);
}

void HelpView::showLocal(const QString &path, const QString &fragment, const QString &address)
{
    const QString found = resolveDataPath(path);
    if (!path.isEmpty() && QFileInfo(found).isFile()) {
        QUrl url = QUrl::fromLocalFile(found);
        if (!fragment.isEmpty())
            url.setFragment(fragment);
        setSource(url);
        plainListMarkers();
    } else {
        setPlainText(address);
    }
}

// The text layout draws a list item's marker in the format of the item's first character, so an
// item that begins with a bold word, an italic one or a link would get a bold, italic or blue
// number. Such an item gets an invisible character of its own format in front, which the marker
// then takes.
void HelpView::plainListMarkers()
{
    static const QString invisible(QChar(0x2060)); // word joiner: no width, no break
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (!block.textList() || block.length() <= 1)
            continue;
        const QTextCharFormat own = block.charFormat();
        QTextCursor start(block);
        const QTextCharFormat first = start.charFormat();
        if (first.font() != own.font() || first.foreground() != own.foreground())
            start.insertText(invisible, own);
    }
}

void HelpView::showWebAddress(const QUrl &url)
{
    const QString href = QString::fromLatin1(url.toEncoded()).toHtmlEscaped();
    setHtml(QStringLiteral("<p><a href=\"%1\">%2</a></p>").arg(href, url.toString().toHtmlEscaped()));
}

void HelpView::followLink(const QUrl &link)
{
    if (opensOutside(link)) {
        QDesktopServices::openUrl(link);
        return;
    }
    if (!isLocal(link))
        return;
    const QUrl target = link.isRelative() && source().isValid() ? source().resolved(link) : link;
    const QUrl page = target.adjusted(QUrl::RemoveFragment);
    if (page.path().isEmpty() || (!source().isEmpty() && page == source().adjusted(QUrl::RemoveFragment))) {
        scrollToAnchor(target.fragment());
        return;
    }
    showLocal(localPath(target), target.fragment(), localPath(target));
}

QVariant HelpView::loadResource(int type, const QUrl &name)
{
    const QUrl url = name.isRelative() && source().isValid() ? source().resolved(name) : name;
    if (!isLocal(url))
        return isWebAddress(url) ? QVariant() : QTextBrowser::loadResource(type, name);
    QFile file(resolveDataPath(localPath(url)));
    if (!file.open(QIODevice::ReadOnly))
        return QVariant();
    return file.readAll();
}

} // namespace Platform
